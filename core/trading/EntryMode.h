#pragma once

#include "app/AppState.h"
#include "app/EntryMode.h"
#include "app/Dialogs.h"
#include "store/Currency.h"
#include "store/Sheet.h"

#include <string>

namespace vandorix {

enum class TradeWindowKind { Purchase, Sale };

// Whether the ledger row belongs to a trade of this kind with this quantity, unit price and
// product: a purchase row ("VAK"/"VAR") compares C and D, a sale row ("EAR") J and K.
bool LedgerRowFitsTrade(const Sheet &ledger, int row, TradeWindowKind kind, long long quantity,
                        Currency unitPrice, const std::string &productCode);

// `DecideEntryMode` for the trade windows, run when the settlement code is entered.
// Reads SettlementCode, TradeQuantity and UnitPrice as entered and the product's code from R1
// of "Szla" (into ProductCode); looks the code up in "Befszla01"; a found row must be a trade
// of this kind with these figures. Sets EntryMode, ModifyRequested,
// DeleteRequested, LedgerRow and, in the sale window when modifying, PreviousQuantity.
EntryDecision DecideTradeEntryMode(AppState &app, Dialogs &dialogs, TradeWindowKind kind);

} // namespace vandorix
