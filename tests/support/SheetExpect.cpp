#include "support/SheetExpect.h"

#include "store/Sheet.h"

#include <gtest/gtest.h>

namespace vandorix::testing {

void ExpectCells(const Sheet &sheet, std::initializer_list<Cell> cells) {
    for (const Cell &c : cells)
        EXPECT_EQ(sheet.value(c.row, c.col), c.value) << "row " << c.row << ", column " << c.col;
}

void ExpectTexts(const Sheet &sheet, std::initializer_list<TextCell> cells) {
    for (const TextCell &c : cells)
        EXPECT_EQ(sheet.value(c.row, c.col).text(), c.text) << "row " << c.row << ", column " << c.col;
}

void ExpectIntegers(const Sheet &sheet, std::initializer_list<IntegerCell> cells) {
    for (const IntegerCell &c : cells)
        EXPECT_EQ(sheet.value(c.row, c.col).integer(), c.value)
            << "row " << c.row << ", column " << c.col;
}

void ExpectAmounts(const Sheet &sheet, std::initializer_list<AmountCell> cells) {
    for (const AmountCell &c : cells) {
        if (!c.amount)
            EXPECT_TRUE(sheet.value(c.row, c.col).isBlank()) << "row " << c.row << ", column " << c.col;
        else
            EXPECT_EQ(sheet.value(c.row, c.col).currency(), *Currency::parse(c.amount))
                << "row " << c.row << ", column " << c.col;
    }
}

::testing::AssertionResult RowsEmpty(const Sheet &sheet, int from, int to, int lastColumn) {
    for (int r = from; r <= to; ++r)
        for (int c = 1; c <= lastColumn; ++c)
            if (!sheet.value(r, c).isBlank())
                return ::testing::AssertionFailure()
                       << "row " << r << " column " << c << ": " << sheet.value(r, c).display();
    return ::testing::AssertionSuccess();
}

} // namespace vandorix::testing
