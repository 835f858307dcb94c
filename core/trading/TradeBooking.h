#pragma once

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "trading/EntryMode.h"
#include "trading/TradeRows.h"

namespace vandorix {

// The commands of the purchase and sale windows without the windows. The entry is in AppState
// (TradeDate, TradeQuantity, UnitPrice, Commission, OrderCode, SettlementCode, SaleOrder), the
// product's workbook and the account workbook are open and prepared, the entry-mode decision
// has run (EntryMode, ModifyRequested, ProductCode).

// Records the trade, or rewrites the one being modified: the trade row of "Szla" with its lot
// matching, the ledger row, both recomputations and the ledger lot codes; then the day's
// closing price: the trade's unit price first (a purchase only when the day has no price),
// and the final price asked from the user. A refusal (NotEnoughShares, LotAlreadySold,
// NotFound) comes before anything is written and asks nothing. Saves nothing.
TradeOutcome BookTrade(AppState &app, Dialogs &dialogs, TradeWindowKind kind);

// Deletes the trade of SettlementCode: its ledger row and its trade row go to the deleted-row
// logs (opened here and left open for the caller to save), a sale's lots are given back, the
// sheets and the lot codes are recomputed, the day's closing price is recorded again. A
// purchase whose lot has been sold from is refused (LotAlreadySold) and nothing is opened.
TradeOutcome DeleteTrade(AppState &app, TradeWindowKind kind);

// Saves and closes the deleted-row logs (product log first) when they are open, then the
// product workbook and the account workbook, all as changed, and asks the host to quit.
void SaveTradeWorkbooks(AppState &app);

} // namespace vandorix
