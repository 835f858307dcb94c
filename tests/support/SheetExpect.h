#pragma once

#include "store/Sheet.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace vandorix::testing {

// One expected cell: its row, its column and what it holds; an amount as a user types it
// ("1500,25"), nullptr for a blank cell.
template <typename T>
struct ExpectedCell {
    int row, col;
    T value;
};
using TextCell = ExpectedCell<std::string>;
using IntegerCell = ExpectedCell<long long>;
using Cell = ExpectedCell<CellValue>;
using AmountCell = ExpectedCell<const char *>;

namespace detail {
inline std::string Where(int row, int col) {
    return "row " + std::to_string(row) + ", column " + std::to_string(col);
}
} // namespace detail

// Each cell read as a value, as text, as a whole number or as an amount equals the expected one.
inline void ExpectCells(const Sheet &sheet, std::initializer_list<Cell> cells) {
    for (const Cell &c : cells)
        EXPECT_EQ(sheet.value(c.row, c.col), c.value) << detail::Where(c.row, c.col);
}

inline void ExpectTexts(const Sheet &sheet, std::initializer_list<TextCell> cells) {
    for (const TextCell &c : cells)
        EXPECT_EQ(sheet.value(c.row, c.col).text(), c.value) << detail::Where(c.row, c.col);
}

inline void ExpectIntegers(const Sheet &sheet, std::initializer_list<IntegerCell> cells) {
    for (const IntegerCell &c : cells)
        EXPECT_EQ(sheet.value(c.row, c.col).integer(), c.value) << detail::Where(c.row, c.col);
}

inline void ExpectAmounts(const Sheet &sheet, std::initializer_list<AmountCell> cells) {
    for (const AmountCell &c : cells) {
        const CellValue &v = sheet.value(c.row, c.col);
        if (c.value)
            EXPECT_EQ(v.currency(), *Currency::parse(c.value)) << detail::Where(c.row, c.col);
        else
            EXPECT_TRUE(v.isBlank()) << detail::Where(c.row, c.col);
    }
}

// Every cell of rows `from` to `to`, columns 1 to `lastColumn`, is empty.
inline ::testing::AssertionResult RowsEmpty(const Sheet &sheet, int from, int to, int lastColumn) {
    for (int r = from; r <= to; ++r)
        for (int c = 1; c <= lastColumn; ++c)
            if (!sheet.value(r, c).isBlank())
                return ::testing::AssertionFailure()
                       << detail::Where(r, c) << ": " << sheet.value(r, c).display();
    return ::testing::AssertionSuccess();
}

} // namespace vandorix::testing
