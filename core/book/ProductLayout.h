#pragma once

#include "book/Rows.h"

namespace vandorix {

// Columns of the daily price sheet "<name>01".
inline constexpr int kPriceColDate = 1;
inline constexpr int kPriceColClose = 2;
inline constexpr int kPriceColValue = 3;
inline constexpr int kPriceColResult = 4;
inline constexpr int kPriceColChange = 5;

// The product list "BET01": names in column B, codes in column C, from row 5.
inline constexpr int kListFirstRow = book::kFirstDataRow;
inline constexpr int kListColName = 2;
inline constexpr int kListColCode = 3;

} // namespace vandorix
