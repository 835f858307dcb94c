#pragma once

#include <string>

namespace vandorix {

enum class HAlign { General, Left, Center, Right };

// The visible format of a cell or row. Formats are interned: equal formats share one
// `FormatRef`, so comparing and copying formats is comparing and copying a pointer, also
// between workbooks.
struct CellFormat {
    std::string numberFormat = "General";
    bool bold = false;
    HAlign align = HAlign::General;
    // Amount style: a number in such a cell is a currency amount.
    bool currency = false;

    bool operator==(const CellFormat &) const = default;
    bool isDateFormat() const;
};

using FormatRef = const CellFormat *;

// The shared interned copy of `format`; nullptr for the default (General) format.
FormatRef internFormat(const CellFormat &format);
const CellFormat &formatOf(FormatRef ref);

// True when a number format code shows a date: built-in codes, or date letters outside quotes,
// brackets and escapes.
bool isDateNumberFormat(const std::string &code);

// Shown by spreadsheet applications as "2026. 11. 01.", the Hungarian way.
inline constexpr const char *kDefaultDateFormat = "yyyy. mm. dd.";
inline constexpr const char *kDefaultAmountFormat = "#,##0.00";

} // namespace vandorix
