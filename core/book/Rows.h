#pragma once

#include <string>
#include <string_view>

namespace vandorix {

// The row rules every data sheet of the workbooks shares: rows 1 to 4 are title and headings,
// data rows run from row 5 without gaps, the totals row stands three rows below the last data
// row, and row 2 holds a period caption framed by " -től      " and " -ig.".
namespace book {

inline constexpr int kTitleRow = 1;
inline constexpr int kCaptionRow = 2;
inline constexpr int kHeadingRow = 3;
inline constexpr int kDetailRow = 4;
inline constexpr int kFirstDataRow = 5;
// Distance from the last data row to the totals row.
inline constexpr int kTotalsOffset = 3;
// Totals row of a sheet without data rows (the last data row is then heading row 4).
inline constexpr int kEmptyTotalsRow = kFirstDataRow - 1 + kTotalsOffset;
// Column B of the totals row.
inline constexpr const char *kTotalsLabel = "Összesen";
// " -től      " (a blank, "-től", six blanks) and " -ig." frame the period caption.
inline constexpr const char *kCaptionFrom = " -től      ";
inline constexpr const char *kCaptionTo = " -ig.";

// "<first> -től      <last> -ig.".
std::string PeriodCaption(std::string_view first, std::string_view last);

} // namespace book

} // namespace vandorix
