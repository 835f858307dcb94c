// The result report window "Eredmény kimutatás" driven end to end: trades and prices entered
// through the real windows, the report computed, "Eredmeny01" read from the stored file and
// compared with figures worked out from the entries alone.
#include "ReportSession.h"

#include <gtest/gtest.h>

namespace vandorix::testing {
namespace {

constexpr const char *kDateOnlyKeep = "Felhívás|Itt csak dátum lehet, javítson.";

std::string ResultReport(Date from, Date to) {
    return "menu Befektetés/Információ/Eredmény\ntype Text1 " + Typed(from) + "\ntype Text2 " + Typed(to) +
           "\nclick Command1\n";
}

// What a product row of "Eredmeny01" must hold for a period.
struct ProductFigures {
    Currency d, e, g, j, k;
};
ProductFigures Expected(const ReportModel &m, Date from, Date to) {
    ProductFigures f;
    if (const Date *a = m.priceDay(to)) {
        f.d = m.result(*a);
        if (*a == to) f.e = m.change(*a);
    }
    if (const Date *b = m.priceDay(from)) f.g = m.result(*b);
    f.j = m.realisedBetween(from, to);
    f.k = m.realisedBetween(Date(), to);
    return f;
}

void ExpectProductRow(const Sheet &s, int row, const ProductFigures &f, Date from, Date to) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(s.value(row, 3).date(), to);
    EXPECT_EQ(s.value(row, 6).date(), from);
    const std::pair<int, Currency> amounts[] = {{4, f.d},       {5, f.e},        {7, f.g},  {8, f.d - f.g},
                                                {9, f.d - f.g}, {10, f.j},       {11, f.k}, {12, f.d - f.k}};
    for (auto [c, v] : amounts) EXPECT_EQ(Cur(s, row, c), v) << "column " << c;
}

// Rows 5 to n summed into row n + 3, rows n + 1, n + 2 and n + 4 empty in C to L.
void ExpectTotals(const Sheet &s, int n) {
    for (int c = 3; c <= 12; ++c) {
        EXPECT_TRUE(s.value(n + 1, c).isBlank()) << c;
        EXPECT_TRUE(s.value(n + 2, c).isBlank()) << c;
        EXPECT_TRUE(s.value(n + 4, c).isBlank()) << c;
    }
    EXPECT_TRUE(s.value(n + 3, 3).isBlank());
    EXPECT_TRUE(s.value(n + 3, 6).isBlank());
    EXPECT_TRUE(s.value(n + 3, 1).isBlank()); // the totals row carries no label
    for (int c : {4, 5, 7, 8, 9, 10, 11, 12}) {
        Currency sum;
        for (int r = 5; r <= n; ++r) sum += s.value(r, c).currency().value_or(Currency());
        EXPECT_EQ(Cur(s, n + 3, c), sum) << "column " << c;
    }
}

class ResultReportTest : public ::testing::Test {
protected:
    ReportSession s;
    void SetUp() override { s.enterScenario(); }
    const Sheet &report(std::unique_ptr<Workbook> &keep) {
        keep = s.account();
        return keep->sheet("Eredmeny01");
    }
};

TEST_F(ResultReportTest, ProductRowsFollowTheEntriesAndAPeriodBeforeAnyPriceGivesZeros) {
    struct Period { Date from, to; };
    const Period periods[] = {
        {Day(2026, 2, 5), Day(2026, 3, 31)},  // end on a day without a price row: E is 0
        {Day(2026, 2, 10), Day(2026, 4, 1)},  // end and start on price days
        {Day(2026, 1, 1), Day(2026, 1, 31)},  // ends before the first price row
        {Day(2026, 1, 1), Day(2026, 12, 6)},  // the whole year, ends after the last price row
        {Day(2026, 3, 2), Day(2026, 3, 2)},   // a single day with the sale
        {Day(2026, 4, 1), Day(2026, 2, 10)},  // start after end: the same rules
    };
    for (const Period &p : periods) {
        SCOPED_TRACE(Typed(p.from) + " - " + Typed(p.to));
        s.play(ResultReport(p.from, p.to) + "click Command4\n");
        std::unique_ptr<Workbook> wb;
        const Sheet &r = report(wb);
        EXPECT_EQ(Text(r, 6, 1), "Alfa");
        ExpectProductRow(r, 6, Expected(s.model, p.from, p.to), p.from, p.to);
        ExpectTotals(r, 6);
    }
    // Figures that need no model: the first period as a user would check it by hand.
    {
        std::unique_ptr<Workbook> wb;
        s.play(ResultReport(Day(2026, 2, 5), Day(2026, 3, 31)) + "click Command4\n");
        const Sheet &r = report(wb);
        // 2 March: 30 shares at 1200, proceeds 143700, costs 100500 + 52750.
        EXPECT_EQ(Cur(r, 6, 4), Amount("26450"));
        EXPECT_EQ(Cur(r, 6, 5), Amount("0"));
        EXPECT_EQ(Cur(r, 6, 7), Amount("-500")); // 2 February: 100 × 1000 − 100500
        EXPECT_EQ(Cur(r, 6, 10), Amount("22100")); // 143700 − 100500 − 20/50 × 52750
    }
    s.play(ResultReport(Day(2025, 6, 1), Day(2025, 12, 31)) + "click Command4\n");
    std::unique_ptr<Workbook> wb;
    const Sheet &r = report(wb);
    for (int c : {4, 5, 7, 8, 9, 10, 11, 12}) {
        EXPECT_EQ(Cur(r, 6, c), Currency()) << c;
        EXPECT_EQ(Cur(r, 5, c), Currency()) << c; // "ARHIV01" is empty
    }
    EXPECT_EQ(r.value(5, 3).date(), Day(2025, 12, 31));
    EXPECT_EQ(r.value(5, 6).date(), Day(2025, 6, 1));
}

TEST_F(ResultReportTest, ProductWithoutPricesGetsZerosAndTheTotalsMoveDown) {
    s.play(RegisterScript("Beta", "HU0000654321"));
    // A stale totals block of a longer list must not survive below the new one.
    EditWorkbookFile(s.accountFile(), [](Workbook &wb) {
        Sheet &r = wb.sheet("Eredmeny01");
        for (int c = 3; c <= 12; ++c) r.setValue(11, c, Amount("999"));
    });
    s.play(ResultReport(Day(2026, 1, 1), Day(2026, 4, 1)) + "click Command4\n");
    std::unique_ptr<Workbook> wb;
    const Sheet &r = report(wb);
    ASSERT_EQ(Text(r, 7, 1), "Beta");
    ExpectProductRow(r, 6, Expected(s.model, Day(2026, 1, 1), Day(2026, 4, 1)), Day(2026, 1, 1),
                     Day(2026, 4, 1));
    ExpectProductRow(r, 7, ProductFigures{}, Day(2026, 1, 1), Day(2026, 4, 1));
    ExpectTotals(r, 7);
    EXPECT_TRUE(r.value(11, 4).isBlank());
}

// Archive rows as the archiving appends them: date, running total, result, realised result of
// the year, name, -, result of the year.
struct ArchiveRow {
    Date day;
    const char *result, *realised, *year;
};
const ArchiveRow kArchive[] = {
    {Day(2026, 2, 1), "1000", "100", "10"},
    {Day(2026, 3, 15), "2000", "200", "20"},
    {Day(2026, 5, 1), "-4000", "400", "40"},
};

TEST_F(ResultReportTest, ArchivedRowSumsTheArchiveRowsOfThePeriod) {
    EditWorkbookFile(s.accountFile(), [](Workbook &wb) {
        Sheet &a = wb.sheet("ARHIV01");
        Currency running;
        int r = 5;
        for (const ArchiveRow &row : kArchive) {
            running += Amount(row.result);
            a.setValue(r, 1, row.day);
            a.setValue(r, 2, running);
            a.setValue(r, 3, Amount(row.result));
            a.setValue(r, 4, Amount(row.realised));
            a.setValue(r, 5, "Régi");
            a.setValue(r, 7, Amount(row.year));
            ++r;
        }
    });
    // An archive row belongs to the period when it is dated within it, the start day included;
    // the period starts from the running total of the rows before it.
    struct Period { Date from, to; };
    const Period periods[] = {
        {Day(2026, 2, 5), Day(2026, 3, 31)},
        {Day(2026, 2, 1), Day(2026, 3, 31)}, // starts on an archive row's day
        {Day(2026, 1, 1), Day(2026, 1, 31)}, // ends before the first archive row
        {Day(2026, 6, 1), Day(2026, 11, 30)}, // starts after the last archive row
        {Day(2026, 1, 1), Day(2026, 12, 6)},
        {Day(2026, 3, 15), Day(2026, 3, 15)},
    };
    for (const Period &p : periods) {
        SCOPED_TRACE(Typed(p.from) + " - " + Typed(p.to));
        Currency atEnd, before, results, realised, year;
        for (const ArchiveRow &row : kArchive) {
            if (row.day <= p.to) atEnd += Amount(row.result);
            if (row.day < p.from) before += Amount(row.result);
            if (row.day >= p.from && row.day <= p.to) {
                results += Amount(row.result);
                realised += Amount(row.realised);
                year += Amount(row.year);
            }
        }
        s.play(ResultReport(p.from, p.to) + "click Command4\n");
        std::unique_ptr<Workbook> wb;
        const Sheet &r = report(wb);
        const std::pair<int, Currency> amounts[] = {{4, atEnd},  {5, Currency()}, {7, before},
                                                    {8, results}, {9, year},       {10, realised},
                                                    {11, atEnd},  {12, Currency()}};
        for (auto [c, v] : amounts) EXPECT_EQ(Cur(r, 5, c), v) << "column " << c;
        ExpectTotals(r, 6);
    }
}

TEST_F(ResultReportTest, DateFieldsRefuseWhatIsNoDateOrLiesAfterToday) {
    s.play("menu Befektetés/Információ/Eredmény\n");
    Form &w = s.window();
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_FALSE(w.control("Command2").enabled);
    EXPECT_FALSE(w.control("Command3").enabled);
    // The start field keeps a wrong text for correction.
    s.play("type Text1 2026.02.30\nanswer OK\n");
    EXPECT_EQ(w.control("Text1").text, "2026.02.30");
    EXPECT_EQ(w.focus(), "Text1");
    EXPECT_EQ(s.shown().back(), kDateOnlyKeep);
    // The end field is limited to today and emptied when refused.
    s.play("type Text1 2026.02.01\ntype Text2 2026.12.07\nanswer OK\n");
    EXPECT_EQ(s.shown().back(),
              "Dátum hiba|A dátum nagyobb a rendszerdátumnál.\r\nElőre bevitel nem lehetséges");
    EXPECT_EQ(w.control("Text2").text, "");
    EXPECT_FALSE(w.control("Command1").enabled);
    s.play("type Text2 semmi\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|Itt csak dátum lehet.");
    s.play("type Text2 2026.12.06\n");
    EXPECT_TRUE(w.control("Command1").enabled);
    EXPECT_EQ(w.focus(), "Command1");
    // A start changed to no date after the end was accepted is refused by the computation.
    s.play("set Text1 tegnap\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kDateOnlyKeep);
    EXPECT_EQ(w.focus(), "Text1");
    std::unique_ptr<Workbook> wb;
    EXPECT_TRUE(report(wb).value(6, 3).isBlank()); // nothing was computed
    s.play("set Text1 2026.01.01\nclick Command1\n");
    EXPECT_TRUE(w.control("Command2").enabled);
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_EQ(w.focus(), "Command2");
    EXPECT_EQ(w.control("Text1").text, "");
    EXPECT_EQ(report(wb).value(6, 3).date(), Day(2026, 12, 6));
}

TEST_F(ResultReportTest, CancelKeepsTheFileAndViewingHoldsTheReportThenReturns) {
    auto before = FileBytes(s.accountFile());
    s.play("menu Befektetés/Információ/Eredmény\ntype Text1 2026.01.01\ntype Text2 2026.04.01\n"
           "click Command3\nclick Command4\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.accountFile()), before);
    s.play(ResultReport(Day(2026, 1, 1), Day(2026, 4, 1)) + "click Command2\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    EXPECT_TRUE(s.atMainWindow());
    std::unique_ptr<Workbook> wb;
    const Sheet &r = report(wb);
    ExpectProductRow(r, 6, Expected(s.model, Day(2026, 1, 1), Day(2026, 4, 1)), Day(2026, 1, 1),
                     Day(2026, 4, 1));
    for (const char *name : {"Befszla01", "Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"}) {
        EXPECT_TRUE(wb->sheet(name).visible()) << name;
        EXPECT_TRUE(wb->sheet(name).isProtected()) << name;
    }
}

TEST(ResultReportWithoutProducts, TellsThereIsNothingAndEndsTheProgram) {
    InProcessSession s;
    s.run("menu Befektetés/Információ/Eredmény\nanswer OK\n");
    ASSERT_FALSE(s.shown().empty());
    EXPECT_EQ(s.shown().back(), std::string("Felhívás|Nincs még részvény az adatbázisban,\r\n") +
                                    "ezért eredmény sem lehet. Kilépés.");
    EXPECT_TRUE(s.app().ended());
}

} // namespace
} // namespace vandorix::testing
