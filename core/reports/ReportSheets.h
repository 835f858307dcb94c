#pragma once

#include "store/Currency.h"
#include "store/Date.h"

#include <optional>

namespace vandorix {

struct AppState;
class Sheet;

// The report procedures of the result report ("Eredmeny01") and the value report ("Ertek01").
// They read the period from `RangeFromDate` and `RangeToDate` and work on the open, prepared
// account workbook; each product workbook is opened only while its row is computed and is
// closed again without writing. Every scan is linear in the rows it reads.

// Fills columns C to L of "Eredmeny01": row 5 from "ARHIV01", one row per product listed in
// "Ertek01" from row 6 from its price sheet and its trade sheet, then the totals block.
void ComputeResultReport(AppState &app);
// Clears columns C to L of the four rows below the last row whose A is filled and writes the
// sums of D, E, G, H, I, J, K and L into the third of them.
void TotalResultReport(AppState &app);

// Fills columns C to G of "Ertek01": row 5 the cash account from "Befszla01", one row per
// product from its price sheet, and the totals two rows below the list. Returns false, writing
// nothing, when the ledger has no data row.
bool ComputeValueReport(AppState &app);

// The price-sheet rows that bound a period, found from the last data row upward in one pass:
// the last row dated on or before the period end, and the last row dated on or before the
// period start; 0 where there is none. Rows above 5 are never read.
struct PeriodRows {
    int endRow = 0;
    int startRow = 0;
};
PeriodRows FindPeriodRows(const Sheet &prices, int lastRow, Date start, Date end);

} // namespace vandorix
