#include "LedgerFixture.h"

#include "account/Ledger.h"
#include "support/LedgerInvariants.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

using namespace accounttest;

// Codes of rows 5 onwards, in sheet order.
std::vector<int> codes(const Sheet &s) {
    std::vector<int> out;
    for (int r = 5; !s.value(r, 1).isBlank(); ++r)
        out.push_back(static_cast<int>(s.value(r, 21).integer().value_or(-1)));
    return out;
}

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

TEST(LedgerRows, CashMovementGoesAfterEveryRowOfItsDateOrEarlier) {
    Ledger l;
    // Into an empty ledger: row 5, nothing inserted (the template's totals stay in row 7 until
    // the recomputation moves them).
    EXPECT_EQ(InsertCashMovementRow(l.s, day(3, 10)), 5);
    EXPECT_EQ(l.s.value(7, 2).text(), "Összesen");
    book(l, 5, day(3, 10), 1, "BAR");
    // Earlier than every row: row 5, the former rows move down.
    book(l, InsertCashMovementRow(l.s, day(3, 1)), day(3, 1), 2, "BAR");
    // The same date as existing rows: below the last of them.
    book(l, InsertCashMovementRow(l.s, day(3, 10)), day(3, 10), 3, "KAR");
    book(l, InsertCashMovementRow(l.s, day(3, 10)), day(3, 10), 4, "HAR");
    // Later than every row: at the first empty row, the totals move down with it.
    book(l, InsertCashMovementRow(l.s, day(4, 1)), day(4, 1), 5, "OAR");
    // Between two dates.
    book(l, InsertCashMovementRow(l.s, day(3, 5)), day(3, 5), 6, "BKR");
    EXPECT_EQ(codes(l.s), (std::vector<int>{2, 6, 1, 3, 4, 5}));
    EXPECT_EQ(l.s.value(2, 22).integer(), 13);
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

TEST(LedgerRows, TradeRowsAlwaysInsertAndPurchasesFollowTheDaysDepositsAndPurchases) {
    Ledger l;
    // A first trade inserts a sheet row at row 5 of an empty ledger.
    EXPECT_EQ(InsertTradeLedgerRow(l.s, day(5, 5), TradeRowKind::Purchase), 5);
    EXPECT_EQ(l.s.value(8, 2).text(), "Összesen"); // the template's totals moved down by one
    book(l, 5, day(5, 5), 1, "VAK");

    Ledger m;
    book(m, InsertCashMovementRow(m.s, day(5, 4)), day(5, 4), 10, "KAR");
    book(m, InsertCashMovementRow(m.s, day(5, 5)), day(5, 5), 11, "BAR");
    book(m, InsertCashMovementRow(m.s, day(5, 5)), day(5, 5), 12, "BAR");
    book(m, InsertCashMovementRow(m.s, day(5, 5)), day(5, 5), 13, "KAR");
    book(m, InsertCashMovementRow(m.s, day(5, 6)), day(5, 6), 14, "BAR");
    book(m, InsertTradeLedgerRow(m.s, day(5, 5), TradeRowKind::Purchase), day(5, 5), 15, "VAK");
    book(m, InsertTradeLedgerRow(m.s, day(5, 5), TradeRowKind::Purchase), day(5, 5), 16, "VAK");
    book(m, InsertTradeLedgerRow(m.s, day(5, 5), TradeRowKind::Sale), day(5, 5), 17, "EAR");
    // A purchase on a day without rows goes before the next day's rows.
    book(m, InsertTradeLedgerRow(m.s, day(5, 3), TradeRowKind::Purchase), day(5, 3), 18, "VAK");
    // A purchase later than every row goes at the end.
    book(m, InsertTradeLedgerRow(m.s, day(6, 1), TradeRowKind::Purchase), day(6, 1), 19, "VAK");
    EXPECT_EQ(codes(m.s), (std::vector<int>{18, 10, 11, 12, 15, 16, 13, 17, 14, 19}));
}

} // namespace
} // namespace vandorix
