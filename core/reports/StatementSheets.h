#pragma once

#include "book/Sheets.h"
#include "store/Currency.h"
#include "store/Date.h"

#include <optional>
#include <string>

namespace vandorix {

class Dialogs;
class Sheet;

// The statement procedures of the account statement ("Befszla02" of the account workbook) and
// the product statement ("Szla02" of a product workbook). Both copy the rows of a period from
// their source sheet ("Befszla01", "Szla"), whose data rows run from row 5 in date order, and
// rebuild the running column and the totals three rows below the last copied row. Every
// procedure reads each row a fixed number of times: linear in the rows.

inline constexpr const char *kAccountStatementSheet = sheets::kLedgerStatement;
inline constexpr const char *kProductStatementSheet = sheets::kTradeStatement;

// The source rows of a period: `first` is the first row dated on or after the start, `last`
// the last row dated on or before the end (or the last data row when `throughLastRow`). When
// `last` < `first` the period holds no row.
struct StatementRows {
    int first = 0;
    int last = 0;
    bool empty() const { return last < first; }
};
StatementRows FindStatementRows(const Sheet &source, int lastDataRow, Date start, Date end,
                                bool throughLastRow);

// Copies the values (not the formats) of the source rows into the statement from row 5 on,
// `columns` columns of the account ledger, or the whole row when `columns` is 0.
void CopyStatementRows(const Sheet &source, Sheet &statement, StatementRows rows, int columns);

// --- Account statement -----------------------------------------------------------------------

// Empties rows 5 down of "Befszla02", at least to `ledgerLastRow` + 12 and to the last stored
// row, so no row of an earlier, longer statement stays behind.
void ClearStatementSheet(Sheet &statement, int ledgerLastRow);

// The twin of the ledger recomputation on "Befszla02": row 5 keeps the ledger balance copied
// with it, each later row adds its movement S; the totals row three rows below the last
// copied row M holds the sums of E, F, G, L to R, the closing balance and "Összesen"; V2 the
// totals row; A2 the period caption (of the requested dates when no row was copied).
// Returns M (4 when no row was copied).
int RecalcStatementSheet(Sheet &statement, Date periodStart, Date periodEnd);

// The dividend tax rate in percent, asked in an input box with 15 proposed; an empty answer or
// a cancelled box is 0. A rate that is no number, negative or not below 100 is refused with a
// message and asked again.
Currency AskDividendTaxRate(Dialogs &dialogs);

// Gross dividends: the net dividends rounded to whole units, divided by (1 − rate/100), rounded
// to the nearest whole number, halves up. Exact; `ratePercent` must be below 100.
long long GrossDividends(Currency netDividends, Currency ratePercent);

// The result and tax summary below the totals of a statement whose last row is M: closed
// result and deductible fees (M+6), separate fees (M+7), net and gross dividends (M+8), the
// result before tax (M+10), with their labels.
void WriteStatementSummary(Sheet &statement, int lastRow, Currency ratePercent);

// --- Product statement -----------------------------------------------------------------------

// Empties rows 5 to S2 + 12 of "Szla02" (S2 the totals row of the previous statement), at
// least to the last stored row when S2 is unusable.
void ClearProductStatementSheet(Sheet &statement);

// Rebuilds "Szla02" after the copy: the running holding R from row 6 (row 5 keeps the holding
// copied from "Szla"), the totals row three rows below the last row with the sums of C, E, F,
// G, J, L, M, N, P and V, `heldAverageCost` in H when shares are held, the final holding in R
// and "Összesen"; S2 and the caption A2 (of the requested dates when no row was copied).
// Returns the last copied row (4 when none).
int FinishProductStatementSheet(Sheet &statement, Date periodStart, Date periodEnd,
                                int heldQuantity, Currency heldAverageCost);

} // namespace vandorix
