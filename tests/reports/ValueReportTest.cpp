// The value report window "Érték kimutatása" driven end to end: "Ertek01" read from the stored
// file and compared with the worth worked out from the entries alone.
#include "ReportSession.h"

#include <gtest/gtest.h>

namespace vandorix::testing {
namespace {

constexpr const char *kDateOnlyKeep = "Felhívás|Itt csak dátum lehet, javítson.";
const std::string kMenu = "menu Befektetés/Információ/Érték kinutatás\n";

std::string ValueReport(Date reference, Date valueDay) {
    return kMenu + "type Text1 " + Typed(reference) + "\ntype Text2 " + Typed(valueDay) +
           "\nclick Command1\nanswer OK\n";
}

// The worth of the holding on the last price day on or before `day`; 0 when none.
Currency Worth(const ReportModel &m, Date day) {
    const Date *d = m.priceDay(day);
    return d ? m.worth(*d) : Currency();
}

void ExpectRow(const Sheet &s, int row, Date ref, Date value, Currency worth, Currency refWorth) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(s.value(row, 3).date(), value);
    EXPECT_EQ(Cur(s, row, 4), worth);
    EXPECT_EQ(s.value(row, 5).date(), ref);
    EXPECT_EQ(Cur(s, row, 6), refWorth);
    EXPECT_EQ(Cur(s, row, 7), worth - refWorth);
}

// The totals two rows below the first empty A after the list, rows L to L + 4 otherwise empty.
void ExpectTotals(const Sheet &s, int L) {
    EXPECT_TRUE(RowsEmpty(s, L, L + 1, 7));
    EXPECT_TRUE(RowsEmpty(s, L + 3, L + 4, 7));
    for (int c : {1, 2, 3, 5}) EXPECT_TRUE(s.value(L + 2, c).isBlank()) << c;
    for (int c : {4, 6, 7}) {
        Currency sum;
        for (int r = 5; r < L; ++r) sum += s.value(r, c).currency().value_or(Currency());
        EXPECT_EQ(Cur(s, L + 2, c), sum) << "column " << c;
    }
}

class ValueReportTest : public ::testing::Test {
protected:
    ReportSession s;
    void SetUp() override { s.enterScenario(); }
    std::unique_ptr<Workbook> wb;
    const Sheet &report() {
        wb = s.account();
        return wb->sheet("Ertek01");
    }
    void expectReport(Date ref, Date value) {
        SCOPED_TRACE(Typed(ref) + " / " + Typed(value));
        s.play(ValueReport(ref, value) + "click Command2\n");
        const Sheet &r = report();
        ExpectRow(r, 5, ref, value, s.model.cash(value), s.model.cash(ref));
        EXPECT_EQ(Text(r, 6, 1), "Alfa");
        ExpectRow(r, 6, ref, value, Worth(s.model, value), Worth(s.model, ref));
        ExpectTotals(r, 7);
    }
};

TEST_F(ValueReportTest, WorthOnBothDaysFollowsTheEntriesAndDaysBeforeTheFirstRowsGiveZero) {
    expectReport(Day(2026, 2, 10), Day(2026, 4, 10)); // both on days with rows
    expectReport(Day(2026, 1, 1), Day(2026, 12, 6));  // value day after the last price row
    expectReport(Day(2026, 3, 31), Day(2026, 2, 5));  // value day before the reference day
    // By hand: 31 March holds 30 shares at 1200 and 1000000 − 100500 − 52750 + 143700 cash.
    expectReport(Day(2026, 2, 5), Day(2026, 3, 31));
    ExpectAmounts(report(), {{6, 4, "36000"}, {5, 4, "990450"}, {5, 6, "899500"}});
    // The reference day carries the first purchase: the cash after it and the holding bought
    // that day make the day's worth; a movement after the reference day is not part of it.
    expectReport(Day(2026, 2, 2), Day(2026, 2, 20));
    ExpectAmounts(report(), {{5, 6, "899500"}, {6, 6, "100000"}});
    // Nothing happened between the two days: no difference anywhere.
    expectReport(Day(2026, 3, 5), Day(2026, 3, 20));
    ExpectAmounts(report(), {{5, 7, "0"}, {6, 7, "0"}});
    // Days before the first rows give zero; before the first price row the holding was worth
    // nothing.
    expectReport(Day(2025, 11, 1), Day(2025, 12, 1));
    ExpectAmounts(report(), {{5, 4, "0"}, {5, 6, "0"}, {6, 4, "0"}, {6, 6, "0"}});
    expectReport(Day(2026, 1, 10), Day(2026, 2, 2));
    ExpectAmounts(report(), {{6, 6, "0"}, {5, 6, "1000000"}});
}

TEST_F(ValueReportTest, ProductWithoutPricesGetsZerosAndStaleRowsBelowAreCleared) {
    s.play(RegisterScript("Beta", "HU0000654321"));
    EditWorkbookFile(s.accountFile(), [](Workbook &wb) {
        for (int c = 1; c <= 7; ++c) {
            wb.sheet("Ertek01").setValue(9, c, Amount("999"));  // L + 1
            wb.sheet("Ertek01").setValue(12, c, Amount("999")); // L + 4
        }
    });
    s.play(ValueReport(Day(2026, 1, 1), Day(2026, 4, 1)) + "click Command2\n");
    const Sheet &r = report();
    ASSERT_EQ(Text(r, 7, 1), "Beta");
    ExpectRow(r, 7, Day(2026, 1, 1), Day(2026, 4, 1), Currency(), Currency());
    ExpectTotals(r, 8);
}

TEST_F(ValueReportTest, WindowAfterTheReportTheStoredSheetsAndWrongDatesKeptForCorrection) {
    s.play(kMenu);
    Form &w = s.window();
    EXPECT_EQ(w.control("Text1").text, "2026. 01. 01.");
    EXPECT_EQ(w.control("Text2").text, "2026. 12. 06.");
    EXPECT_EQ(w.focus(), "Text1");
    EXPECT_FALSE(w.control("Command1").enabled);
    s.play("type Text1 2026. 01. 01.\ntype Text2 2026. 12. 06.\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    EXPECT_EQ(s.app().visibleForm(), &w);
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_TRUE(w.control("Command2").enabled);
    EXPECT_EQ(w.focus(), "Command2");
    const Sheet &r = report();
    ExpectRow(r, 6, Day(2026, 1, 1), Day(2026, 12, 6), Worth(s.model, Day(2026, 12, 6)),
              Currency());
    for (const char *name : {"Befszla01", "Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"})
        EXPECT_TRUE(wb->sheet(name).visible() && wb->sheet(name).isProtected()) << name;
    // A second report from the same window opens the account workbook again.
    s.play("type Text1 2026.02.05\ntype Text2 2026.03.31\n"
           "click Command1\nanswer OK\nclick Command2\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(Cur(report(), 5, 4), s.model.cash(Day(2026, 3, 31)));
    for (const auto &entry : std::filesystem::directory_iterator(s.installation().root() / "Termekek"))
        EXPECT_TRUE(entry.is_regular_file()); // the product files are only read
    // The date fields keep a wrong text for correction.
    s.play(kMenu + "type Text1 2026.13.01\nanswer OK\n");
    ASSERT_EQ(&s.window(), &w);
    EXPECT_EQ(s.shown().back(), kDateOnlyKeep);
    EXPECT_EQ(w.control("Text1").text, "2026.13.01");
    EXPECT_EQ(w.focus(), "Text1");
    s.play("type Text1 2026.01.01\ntype Text2 holnap\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kDateOnlyKeep);
    EXPECT_EQ(w.control("Text2").text, "holnap");
    EXPECT_EQ(w.focus(), "Text2");
    EXPECT_FALSE(w.control("Command1").enabled);
    // The value day is not limited to today.
    s.play("type Text2 2027.01.15\n");
    EXPECT_TRUE(w.control("Command1").enabled);
    EXPECT_EQ(w.focus(), "Command1");
}

TEST(ValueReportEmptyLedger, TellsThereIsNoDataAndWritesNothing) {
    TradeSession s;
    auto before = FileBytes(s.accountFile());
    s.play(kMenu + "type Text1 2026. 01. 01.\ntype Text2 2026. 12. 06.\nclick Command1\n"
                   "answer OK\n");
    EXPECT_EQ(s.shown().back(), "Kilépés|A Befektetési fájlban\r\nMég nincs érték adat. Kilépés!");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.accountFile()), before);
}

} // namespace
} // namespace vandorix::testing
