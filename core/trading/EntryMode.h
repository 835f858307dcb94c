#pragma once

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "store/Currency.h"
#include "store/Sheet.h"

#include <string>

namespace vandorix {

enum class TradeWindowKind { Purchase, Sale };

// What the settlement code decided; the window enables its buttons accordingly.
enum class EntryDecision {
    NewTrade,     // EntryMode 0: "Rögzítés" records a new trade
    Modify,       // EntryMode 2: the fields are entered again, "Rögzítés" rewrites the trade
    Delete,       // EntryMode 1: "Törlés" deletes the trade
    Mismatch,     // the code belongs to another kind of movement or to other data; the
                  // mismatch notice was shown and the window returns to the main window
    LeaveProgram, // the user declined both modifying and deleting: the program ends
};

// Whether the ledger row belongs to a trade of this kind with this quantity, unit price and
// product: a purchase row ("VAK"/"VAR") compares C and D, a sale row ("EAR") J and K.
bool LedgerRowFitsTrade(const Sheet &ledger, int row, TradeWindowKind kind, long long quantity,
                        Currency unitPrice, const std::string &productCode);

// The entry-mode decision of the trade windows, run when the settlement code is entered.
// Reads SettlementCode, TradeQuantity and UnitPrice as entered and the product's code from R1
// of "Szla" (into ProductCode); looks the code up in "Befszla01" and, for a found code, asks
// whether to modify and else whether to delete it. Sets EntryMode, ModifyRequested,
// DeleteRequested, LedgerRow and, in the sale window when modifying, PreviousQuantity.
EntryDecision DecideTradeEntryMode(AppState &app, Dialogs &dialogs, TradeWindowKind kind);

} // namespace vandorix
