#include "LedgerFixture.h"

#include "account/Ledger.h"
#include "support/LedgerInvariants.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

using namespace accounttest;

// Writes a movement into the row the rule gives and recomputes, as a window does.
void book(Ledger &l, int row, Date d, int code, const char *type) {
    l.s.setValue(row, 1, d);
    l.s.setValue(row, 16, cur("1"));
    l.s.setValue(row, 19, cur("1"));
    l.s.setValue(row, 21, code);
    l.s.setValue(row, 22, type);
    l.recalc();
    ASSERT_TRUE(testing::LedgerIsSound(l.s));
}

TEST(LedgerRows, FirstEmptyRowAndRowByCode) {
    Ledger l;
    EXPECT_EQ(FindFirstEmptyLedgerRow(l.s), 5);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 1), 0);
    book(l, InsertCashMovementRow(l.s, day(1, 1)), day(1, 1), 31, "BAR");
    book(l, InsertCashMovementRow(l.s, day(1, 2)), day(1, 2), 32, "KAR");
    EXPECT_EQ(FindFirstEmptyLedgerRow(l.s), 7);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 32), 6);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 33), 0);
    // The search ends at the first empty column A: a code below it is not found.
    l.s.setValue(20, 21, 77);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 77), 0);
}

TEST(LedgerRows, InsertedRowTakesTheFormatsOfTheRowBelow) {
    Ledger l;
    book(l, 5, day(2, 2), 1, "BAR");
    FormatRef marked = internFormat(CellFormat{"0.000", true, HAlign::Left, false});
    l.s.setCellFormat(5, 9, marked);
    const int row = InsertCashMovementRow(l.s, day(2, 1));
    EXPECT_EQ(row, 5);
    EXPECT_EQ(l.s.cellFormat(5, 9), marked);
}

} // namespace
} // namespace vandorix
