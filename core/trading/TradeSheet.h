#pragma once

#include "app/AppState.h"
#include "book/TradeLayout.h"
#include "store/Currency.h"
#include "store/Date.h"
#include "store/Sheet.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vandorix {

// "Szla" of the open product workbook.
Sheet &TradeSheet(AppState &app);


// Row finders. Every scan starts at row 5 and ends at the first row whose A is empty.
// The row whose settlement code (U) is `code`; 0 when there is none.
int TradeRowOfSettlementCode(const Sheet &sheet, long long code);
// Where a purchase of date `d` goes: below the rows of earlier dates and below the day's open
// lots, above the day's first row that is not an open lot.
int PurchaseInsertionRow(const Sheet &sheet, Date d);
// Where a sale of date `d` goes: below every row of that date or earlier.
int SaleInsertionRow(const Sheet &sheet, Date d);
// Inserts a sheet row at `row` and gives it the formats of the row now below it.
void InsertTradeRow(Sheet &sheet, int row);
// Adds 1 to S2, as every insertion does before the recomputation.
void AdvanceTotalsPointer(Sheet &sheet);
// The open quantity of the lots above `row`: the sum of V over the "VAK" rows 5 to row − 1.
int OpenQuantityAbove(const Sheet &sheet, int row);

// Cost of `taken` shares of the lot in `row`: the lot's purchase cost G in proportion to the
// quantity bought C, exact to a ten-thousandth (the per-share double H only when G or C is
// missing).
Currency LotCostOf(const Sheet &sheet, int row, long long taken);
// Net proceeds of `taken` shares of the sale in `row`: N in proportion to J, exact likewise.
Currency SaleProceedsOf(const Sheet &sheet, int row, long long taken);
// amount × numerator ÷ denominator, rounded half away from zero to a ten-thousandth.
Currency ScaleCurrency(Currency amount, long long numerator, long long denominator);

// Rebuilds what is derived from the trade rows of "Szla": the holding column, the totals row,
// S2 and the period caption A2; sets HeldQuantity, HeldAverageCost, FirstTradeDate and
// LastTradeDate. Leaves "Szla" the active sheet.
void RecalcTradeSheet(AppState &app);
void RecalcTradeSheet(Sheet &sheet, AppState &app);

// The period caption of A2: "<first> -től      <last> -ig.".
std::string TradePeriodCaption(Date first, Date last);

} // namespace vandorix
