// The result report "Eredmény kimutatás" and the value report "Érték kimutatása" driven end to
// end: "Eredmeny01" and "Ertek01" read from the stored file and compared with figures worked
// out from the entries alone.
#include "ReportSession.h"

#include <gtest/gtest.h>

namespace vandorix::testing {
namespace {

constexpr const char *kDateOnlyKeep = "Felhívás|Itt csak dátum lehet, javítson.";
const std::string kValueMenu = "menu Befektetés/Információ/Érték kinutatás\n";

std::string ResultReport(Date from, Date to) {
    return "menu Befektetés/Információ/Eredmény\ntype Text1 " + Typed(from) + "\ntype Text2 " +
           Typed(to) + "\nclick Command1\n";
}
std::string ValueReport(Date reference, Date valueDay) {
    return kValueMenu + "type Text1 " + Typed(reference) + "\ntype Text2 " + Typed(valueDay) +
           "\nclick Command1\nanswer OK\n";
}

// A row of "Eredmeny01" for a period, worked out from `m`; an empty model gives all zeros.
void ExpectProductRow(const Sheet &s, int row, Date from, Date to, const ReportModel &m = {}) {
    SCOPED_TRACE("row " + std::to_string(row));
    Currency d, e, g;
    if (const Date *a = m.priceDay(to)) {
        d = m.result(*a);
        if (*a == to) e = m.change(*a);
    }
    if (const Date *b = m.priceDay(from)) g = m.result(*b);
    const Currency j = m.realisedBetween(from, to), k = m.realisedBetween(Date(), to);
    EXPECT_EQ(s.value(row, 3).date(), to);
    EXPECT_EQ(s.value(row, 6).date(), from);
    const std::pair<int, Currency> amounts[] = {{4, d},     {5, e},  {7, g},  {8, d - g},
                                                {9, d - g}, {10, j}, {11, k}, {12, d - k}};
    for (auto [c, v] : amounts) EXPECT_EQ(Cur(s, row, c), v) << "column " << c;
}

// Rows 5 to `last` summed into row last + 3, which holds nothing in the `blank` columns; rows
// last + 1, last + 2, last + 4 and last + 5 are empty up to `lastCol`.
void ExpectTotals(const Sheet &s, int last, int lastCol, std::initializer_list<int> blank,
                  std::initializer_list<int> summed) {
    EXPECT_TRUE(RowsEmpty(s, last + 1, last + 2, lastCol));
    EXPECT_TRUE(RowsEmpty(s, last + 4, last + 5, lastCol));
    for (int c : blank) EXPECT_TRUE(s.value(last + 3, c).isBlank()) << c;
    for (int c : summed) {
        Currency sum;
        for (int r = 5; r <= last; ++r) sum += s.value(r, c).currency().value_or(Currency());
        EXPECT_EQ(Cur(s, last + 3, c), sum) << "column " << c;
    }
}

void ExpectRow(const Sheet &s, int row, Date ref, Date value, Currency worth, Currency refWorth) {
    SCOPED_TRACE("row " + std::to_string(row));
    EXPECT_EQ(s.value(row, 3).date(), value);
    EXPECT_EQ(Cur(s, row, 4), worth);
    EXPECT_EQ(s.value(row, 5).date(), ref);
    EXPECT_EQ(Cur(s, row, 6), refWorth);
    EXPECT_EQ(Cur(s, row, 7), worth - refWorth);
}

TEST(ResultAndValueReports, DatesViewingCancelAProductWithoutPricesArchivedRowsAndWorth) {
    ReportSession s;
    s.enterScenario();
    std::unique_ptr<Workbook> wb;
    auto report = [&](const char *sheet = "Eredmeny01") -> const Sheet & {
        wb = s.account();
        return wb->sheet(sheet);
    };
    auto expectValueReport = [&](Date ref, Date value) {
        SCOPED_TRACE(Typed(ref) + " / " + Typed(value));
        s.play(ValueReport(ref, value) + "click Command2\n");
        const Sheet &r = report("Ertek01");
        ExpectRow(r, 5, ref, value, s.model.cash(value), s.model.cash(ref));
        EXPECT_EQ(Text(r, 6, 1), "Alfa");
        ExpectRow(r, 6, ref, value, s.model.worth(value), s.model.worth(ref));
        ExpectRow(r, 7, ref, value, Currency(), Currency()); // Beta, without prices
        ExpectTotals(r, 7, 7, {1, 2, 3, 5}, {4, 6, 7});
    };
    s.play("menu Befektetés/Információ/Eredmény\n");
    Form &w = s.window();
    for (const char *c : {"Command1", "Command2", "Command3"})
        EXPECT_FALSE(w.control(c).enabled) << c;
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
    EXPECT_TRUE(report().value(6, 3).isBlank()); // nothing was computed
    s.play("set Text1 2026.01.01\nclick Command1\n");
    EXPECT_TRUE(w.control("Command2").enabled);
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_EQ(w.focus(), "Command2");
    EXPECT_EQ(w.control("Text1").text, "");
    // Viewing holds the report behind the continue notice, then returns to the main window.
    s.play("click Command2\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    EXPECT_TRUE(s.atMainWindow());
    ExpectProductRow(report(), 6, Day(2026, 1, 1), Day(2026, 12, 6), s.model);
    for (const char *name : {"Befszla01", "Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"})
        EXPECT_TRUE(wb->sheet(name).visible() && wb->sheet(name).isProtected()) << name;
    // Cancel and exit write nothing.
    const std::string viewed = FileBytes(s.accountFile());
    s.play("menu Befektetés/Információ/Eredmény\ntype Text1 2026.01.01\ntype Text2 2026.04.01\n"
           "click Command3\nclick Command4\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.accountFile()), viewed);

    // A product without prices gets zeros; stale rows of a longer list do not survive below.
    s.play(RegisterScript("Beta", "HU0000654321"));
    EditWorkbookFile(s.accountFile(), [](Workbook &wb) {
        // Around the totals row 10 that follows the new last row 7.
        for (int c = 3; c <= 12; ++c) wb.sheet("Eredmeny01").setValue(11, c, Amount("999"));
        for (int c = 1; c <= 7; ++c) {
            wb.sheet("Ertek01").setValue(9, c, Amount("999"));
            wb.sheet("Ertek01").setValue(12, c, Amount("999"));
        }
    });
    const Date start = Day(2026, 1, 1), end = Day(2026, 4, 1);
    s.play(ResultReport(start, end) + "click Command4\n");
    const Sheet &withBeta = report();
    ASSERT_EQ(Text(withBeta, 7, 1), "Beta");
    ExpectProductRow(withBeta, 5, start, end); // "ARHIV01" is empty
    ExpectTotals(withBeta, 7, 12, {1, 3, 6}, {4, 5, 7, 8, 9, 10, 11, 12});
    expectValueReport(start, end);

    // The product row and the archived row over periods around the entries and the archive,
    // its rows as the archiving appends them: date, running total, result, realised result of
    // the year, name, -, result of the year.
    struct ArchiveRow {
        Date day;
        const char *result, *realised, *year;
    };
    const ArchiveRow archive[] = {{Day(2026, 2, 1), "1000", "100", "10"},
                                  {Day(2026, 3, 15), "2000", "200", "20"},
                                  {Day(2026, 5, 1), "-4000", "400", "40"}};
    EditWorkbookFile(s.accountFile(), [&](Workbook &wb) {
        Currency running;
        for (int i = 0; i < 3; ++i) {
            const ArchiveRow &a = archive[i];
            running += Amount(a.result);
            const CellValue row[] = {a.day,  running,    Amount(a.result), Amount(a.realised),
                                     "Régi", CellValue(), Amount(a.year)};
            for (int c = 1; c <= 7; ++c) wb.sheet("ARHIV01").setValue(5 + i, c, row[c - 1]);
        }
    });
    const std::pair<Date, Date> periods[] = {
        {Day(2026, 2, 5), Day(2026, 3, 31)},  // end on a day without a price row: E is 0
        {Day(2026, 2, 10), Day(2026, 4, 1)},  // end and start on price days
        {Day(2026, 1, 1), Day(2026, 1, 31)},  // ends before the first price and archive rows
        {Day(2026, 1, 1), Day(2026, 12, 6)},  // the whole year, ends after the last price row
        {Day(2026, 3, 2), Day(2026, 3, 2)},   // a single day with the sale
        {Day(2026, 4, 1), Day(2026, 2, 10)},  // start after end: the same rules
        {Day(2025, 6, 1), Day(2025, 12, 31)}, // before every entry: all zero
        {Day(2026, 2, 1), Day(2026, 3, 31)},  // starts on an archive row's day
        {Day(2026, 6, 1), Day(2026, 11, 30)}, // starts after the last archive row
        {Day(2026, 3, 15), Day(2026, 3, 15)}, // a single day with an archive row
    };
    for (const auto &[from, to] : periods) {
        SCOPED_TRACE(Typed(from) + " - " + Typed(to));
        // An archive row belongs to the period when it is dated within it, the start day
        // included; the period starts from the running total of the rows before it.
        Currency atEnd, before, results, realised, year;
        for (const ArchiveRow &row : archive) {
            if (row.day <= to) atEnd += Amount(row.result);
            if (row.day < from) before += Amount(row.result);
            if (row.day < from || row.day > to) continue;
            results += Amount(row.result);
            realised += Amount(row.realised);
            year += Amount(row.year);
        }
        s.play(ResultReport(from, to) + "click Command4\n");
        const Sheet &r = report();
        EXPECT_EQ(Text(r, 6, 1), "Alfa");
        ExpectProductRow(r, 6, from, to, s.model);
        ExpectProductRow(r, 7, from, to);
        ExpectTotals(r, 7, 12, {1, 3, 6}, {4, 5, 7, 8, 9, 10, 11, 12});
        EXPECT_EQ(r.value(5, 3).date(), to);
        EXPECT_EQ(r.value(5, 6).date(), from);
        if (to < from) continue; // the archive sums are checked for ordered periods
        const std::pair<int, Currency> amounts[] = {
            {4, atEnd}, {5, Currency()}, {7, before}, {8, results},
            {9, year},  {10, realised},  {11, atEnd}, {12, Currency()}};
        for (auto [c, v] : amounts) EXPECT_EQ(Cur(r, 5, c), v) << "column " << c;
        if (from != periods[0].first) continue;
        // By hand, 2 March: 30 shares at 1200, proceeds 143700, costs 100500 + 52750; on
        // 2 February 100 × 1000 − 100500; realised 143700 − 100500 − 20/50 × 52750.
        ExpectAmounts(r, {{6, 4, "26450"}, {6, 5, "0"}, {6, 7, "-500"}, {6, 10, "22100"}});
    }

    expectValueReport(Day(2026, 2, 10), Day(2026, 4, 10)); // both on days with rows
    expectValueReport(Day(2026, 1, 1), Day(2026, 12, 6));  // value day after the last price row
    expectValueReport(Day(2026, 3, 31), Day(2026, 2, 5));  // value day before the reference day
    // By hand: 31 March holds 30 shares at 1200 and 1000000 − 100500 − 52750 + 143700 cash.
    expectValueReport(Day(2026, 2, 5), Day(2026, 3, 31));
    ExpectAmounts(report("Ertek01"), {{6, 4, "36000"}, {5, 4, "990450"}, {5, 6, "899500"}});
    // The reference day carries the first purchase: the cash after it and the holding bought
    // that day make the day's worth; a movement after the reference day is not part of it.
    expectValueReport(Day(2026, 2, 2), Day(2026, 2, 20));
    ExpectAmounts(report("Ertek01"), {{5, 6, "899500"}, {6, 6, "100000"}});
    // Nothing happened between the two days: no difference anywhere.
    expectValueReport(Day(2026, 3, 5), Day(2026, 3, 20));
    ExpectAmounts(report("Ertek01"), {{5, 7, "0"}, {6, 7, "0"}});
    // Days before the first rows give zero; before the first price row the holding was worth
    // nothing.
    expectValueReport(Day(2025, 11, 1), Day(2025, 12, 1));
    ExpectAmounts(report("Ertek01"), {{5, 4, "0"}, {5, 6, "0"}, {6, 4, "0"}, {6, 6, "0"}});
    expectValueReport(Day(2026, 1, 10), Day(2026, 2, 2));
    ExpectAmounts(report("Ertek01"), {{6, 6, "0"}, {5, 6, "1000000"}});

    // The window after a report, the stored sheets, a second report from the same window.
    s.play(kValueMenu);
    Form &vw = s.window();
    EXPECT_EQ(vw.control("Text1").text, "2026. 01. 01.");
    EXPECT_EQ(vw.control("Text2").text, "2026. 12. 06.");
    EXPECT_EQ(vw.focus(), "Text1");
    EXPECT_FALSE(vw.control("Command1").enabled);
    s.play("type Text1 2026. 01. 01.\ntype Text2 2026. 12. 06.\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    EXPECT_EQ(s.app().visibleForm(), &vw);
    EXPECT_FALSE(vw.control("Command1").enabled);
    EXPECT_TRUE(vw.control("Command2").enabled);
    EXPECT_EQ(vw.focus(), "Command2");
    ExpectRow(report("Ertek01"), 6, Day(2026, 1, 1), Day(2026, 12, 6),
              s.model.worth(Day(2026, 12, 6)), Currency());
    // A second report from the same window opens the account workbook again.
    s.play("type Text1 2026.02.05\ntype Text2 2026.03.31\n"
           "click Command1\nanswer OK\nclick Command2\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(Cur(report("Ertek01"), 5, 4), s.model.cash(Day(2026, 3, 31)));
    // The date fields keep a wrong text for correction.
    s.play(kValueMenu + "type Text1 2026.13.01\nanswer OK\n");
    ASSERT_EQ(&s.window(), &vw);
    EXPECT_EQ(s.shown().back(), kDateOnlyKeep);
    EXPECT_EQ(vw.control("Text1").text, "2026.13.01");
    EXPECT_EQ(vw.focus(), "Text1");
    s.play("type Text1 2026.01.01\ntype Text2 holnap\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kDateOnlyKeep);
    EXPECT_EQ(vw.control("Text2").text, "holnap");
    EXPECT_EQ(vw.focus(), "Text2");
    EXPECT_FALSE(vw.control("Command1").enabled);
    // The value day is not limited to today.
    s.play("type Text2 2027.01.15\n");
    EXPECT_TRUE(vw.control("Command1").enabled);
    EXPECT_EQ(vw.focus(), "Command1");
}

TEST(ReportsWithoutData, StatementAndValueReportWriteNothingAndTheResultReportEndsTheProgram) {
    InProcessSession s;
    const std::string before = FileBytes(s.installation().accountWorkbook());
    s.run("menu Befektetés/Befektetési számla/Számla kivonat\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|A kért dátum intervallumban\r\nnincs adat");
    EXPECT_EQ(s.app().visibleForm(), &s.app().mainForm());
    s.run(kValueMenu + "type Text1 2026. 01. 01.\ntype Text2 2026. 12. 06.\nclick Command1\n"
                       "answer OK\n");
    EXPECT_EQ(s.shown().back(), "Kilépés|A Befektetési fájlban\r\nMég nincs érték adat. Kilépés!");
    EXPECT_EQ(s.app().visibleForm(), &s.app().mainForm());
    EXPECT_EQ(FileBytes(s.installation().accountWorkbook()), before);
    s.run("menu Befektetés/Információ/Eredmény\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), std::string("Felhívás|Nincs még részvény az adatbázisban,\r\n") +
                                    "ezért eredmény sem lehet. Kilépés.");
    EXPECT_TRUE(s.app().ended());
}

} // namespace
} // namespace vandorix::testing
