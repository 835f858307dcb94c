#pragma once

#include "app/AppState.h"
#include "trading/TradeRows.h"

namespace vandorix {

inline constexpr const char *kPurchaseNotModifiableMessage =
    "A sorból már eladás történt\r\nA vétel sor nem módosítható";
inline constexpr const char *kPurchaseNotDeletableMessage =
    "A sorból már eladás történt\r\nA sor nem törölhető.";

// Sets TradeRow to the row of SettlementCode in "Szla"; NotFound when there is none.
TradeOutcome FindTradeRow(AppState &app);

// Rewrites the purchase of SettlementCode with the entered values. Refused (LotAlreadySold)
// once shares of its lot were sold. A changed date moves the row to the new date's place, so
// the rows stay in date order. Recomputes the sheet; sets TradeRow.
TradeOutcome ModifyPurchase(AppState &app);

// Rewrites the sale of SettlementCode with the entered values and matches it again. The
// availability is checked before anything is written: the lots open on the (new) date plus
// what this sale itself took from them must cover the new quantity. A changed date moves the
// row below every row of the new date. Recomputes the sheet; sets TradeRow, SaleResult.
TradeOutcome ModifySale(AppState &app);

// Finds the purchase of SettlementCode (TradeRow) and refuses its deletion when shares of its
// lot were sold. Nothing is changed; the caller copies the row to the log, then deletes it.
TradeOutcome CheckPurchaseDeletable(AppState &app);
// Deletes the purchase row TradeRow and recomputes the sheet.
void DeletePurchaseRow(AppState &app);
// Gives the lots consumed by the sale in row TradeRow back, deletes the row and recomputes.
void DeleteSaleRow(AppState &app);

} // namespace vandorix
