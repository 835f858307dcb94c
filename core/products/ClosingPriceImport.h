#pragma once

#include "app/AppState.h"
#include "products/PriceFile.h"

#include <vector>

namespace vandorix {

// Many days of closing prices recorded in the price sheet "<name>01" of the open, prepared
// product workbook in one step. The sheet becomes exactly what recording the same days one
// by one, in ascending order, through the closing-price window gives: the same rows in the
// same places with the same formats, the value columns of every row from the first recorded
// day down, the data range and caption, and the indicators of each recorded row as that
// row's own recording would have computed them (a row recorded while the sheet had fewer
// than 27 rows gets none). The rows are placed in one pass and the value columns computed in
// one pass, instead of once per day.

// How many of `days` (ascending, each once) already have a price in the price sheet: those an
// import asks about.
int CountDaysWithPrice(AppState &app, const std::vector<PriceFileDay> &days);

struct PriceImportResult {
    int recorded = 0; // days written
    int kept = 0;     // days that had a price and kept it
};

// Records `days` (ascending, each once). A day that already has a price is overwritten when
// `overwriteExisting`, otherwise kept as it is. Nothing is changed when no day is written.
// Neither saves nor closes anything.
PriceImportResult ImportClosingPrices(AppState &app, const std::vector<PriceFileDay> &days,
                                      bool overwriteExisting);

} // namespace vandorix
