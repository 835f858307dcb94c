#pragma once

#include "app/AppState.h"
#include "trading/EntryMode.h"

namespace vandorix {

// The trade's row in the account ledger "Befszla01", written from the entry in AppState
// (TradeDate, TradeQuantity, UnitPrice, Commission, OrderCode, SettlementCode, ProductName,
// ProductCode, SaleOrder and, for a sale, SaleResult).

// A new trade gets a row at its date's place (a purchase after the day's deposits and
// purchases, a sale after every row of its date); a modified trade keeps its row unless its
// date changed, when the row moves to the new date's place so the ledger stays in date order.
// Writes the trade's columns, then recomputes the ledger. Sets LedgerRow.
void WriteTradeLedgerRow(AppState &app, TradeWindowKind kind);

// Copies the values of the ledger row of SettlementCode into the open account deletion log,
// deletes the row and recomputes the ledger. Returns the log row it went to; 0 when the ledger
// holds no row with the code.
int MoveTradeLedgerRowToLog(AppState &app);

} // namespace vandorix
