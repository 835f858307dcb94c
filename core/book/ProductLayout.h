#pragma once

#include "book/Rows.h"

namespace vandorix {

// Columns of the daily price sheet "<name>01".
enum PriceColumn : int {
    kPriceColDate = 1,   // A
    kPriceColClose = 2,  // B  closing price
    kPriceColValue = 3,  // C  value of the holding
    kPriceColResult = 4, // D  result up to the day
    kPriceColChange = 5, // E  change of D against the row above
};

// The product list "BET01": names in column B, codes in column C, from row 5.
inline constexpr int kListFirstRow = book::kFirstDataRow;
enum ListColumn : int { kListColName = 2, kListColCode = 3 };

} // namespace vandorix
