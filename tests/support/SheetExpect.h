#pragma once

#include "store/CellValue.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

namespace vandorix {
class Sheet;
}

namespace vandorix::testing {

// One expected cell: its row, its column and what it holds.
struct TextCell {
    int row, col;
    std::string text;
};
struct IntegerCell {
    int row, col;
    long long value;
};
struct Cell {
    int row, col;
    CellValue value;
};
// `amount` as a user types it ("1500,25"); nullptr for a blank cell.
struct AmountCell {
    int row, col;
    const char *amount;
};

// Each cell read as text, as a whole number or as an amount equals the expected one.
void ExpectCells(const Sheet &sheet, std::initializer_list<Cell> cells);
void ExpectTexts(const Sheet &sheet, std::initializer_list<TextCell> cells);
void ExpectIntegers(const Sheet &sheet, std::initializer_list<IntegerCell> cells);
void ExpectAmounts(const Sheet &sheet, std::initializer_list<AmountCell> cells);

// Every cell of rows `from` to `to`, columns 1 to `lastColumn`, is empty.
::testing::AssertionResult RowsEmpty(const Sheet &sheet, int from, int to, int lastColumn);

} // namespace vandorix::testing
