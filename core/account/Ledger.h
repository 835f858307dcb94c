#pragma once

#include "book/LedgerLayout.h"
#include "store/Date.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vandorix {

struct AppState;
class Sheet;

// The first row at or below row 5 whose column A is empty; the last data row is the one above.
int FindFirstEmptyLedgerRow(const Sheet &ledger);

// Whether the row-type code in column V of `row` is `code`, on the ledger or on a sheet laid
// out like it (the account statement).
bool LedgerRowHasType(const Sheet &sheet, int row, std::string_view code);
bool LedgerRowHasType(const Sheet &sheet, int row, ItemCode code);

// The data row whose settlement code (column U) equals `code`, scanning from row 5 to the
// first empty column A; 0 when there is none.
int FindLedgerRowByCode(const Sheet &ledger, std::int64_t code);

// Makes room for a new cash movement (deposit, refund, withdrawal, fee, dividend) dated `date`
// and returns its row: row 5 of an empty ledger, used as it is; otherwise a sheet row inserted
// after every row of that date or earlier, carrying the formats of the row below it.
int InsertCashMovementRow(Sheet &ledger, Date date);

enum class TradeRowKind { Purchase, Sale };

// For the trade windows (purchase, sale, their corrections): finds the ledger row of a new
// trade dated `date`, inserts a sheet row there (also into an empty ledger, then at row 5),
// copies the formats of the row below onto it and returns its number; the caller writes the
// trade's columns and then runs RecalcAccountLedger.
//  - Sale: after every row dated `date` or earlier.
//  - Purchase: at the first row not dated earlier than `date`; on a row of the same date it
//    moves on past that day's "BAR" rows, then past that day's "VAK" rows, so the purchase
//    follows the day's deposits and earlier purchases and precedes its other movements.
int InsertTradeLedgerRow(Sheet &ledger, Date date, TradeRowKind kind);

// Rebuilds what the ledger derives from its data rows: the running balance T, the totals row
// three rows below the last data row ("Összesen" in B, the sums of E, F, G, L to R, the closing
// balance in T), V2 and the period caption in A2. Leaves the last data row in
// `LedgerLastRow`, its date in `LedgerLastDate` and sets `LedgerEmpty` when row 5 is empty.
// An empty ledger is brought to the state of a new workbook: zero totals in row 7, V2 = 7, no
// caption. Activates "Befszla01" of the open account workbook. Linear in the row count.
void RecalcAccountLedger(AppState &app);

// The period caption "<first date> -től      <last date> -ig.".
std::string LedgerPeriodCaption(const std::string &firstDate, const std::string &lastDate);

} // namespace vandorix
