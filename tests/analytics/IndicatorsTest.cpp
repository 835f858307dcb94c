#include "analytics/Indicators.h"
#include "support/ReferenceFigures.h"
#include "support/SheetExpect.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace vandorix::testing {
namespace {

// The product "Alfa" in a program state of its own, with the indicator steps as a recording
// runs them.
struct Product : ProductBooks {
    // Rows from row 5, refreshed as a recording leaves them.
    void load(const std::vector<PriceLine> &lines) {
        WritePriceRows(prices(), lines);
        RefreshProductDataRange(app);
    }
    void movingAverages(int row) {
        app.RecalcFromRow = row;
        app.ReferenceDate = *prices().value(row, 1).date();
        ComputeMovingAverages(app);
    }
    void rsi(int row) {
        app.RecalcFromRow = app.RsiRow = row;
        ComputeRsi(app);
    }
};

std::vector<PriceLine> series(Date first, int count) {
    std::vector<PriceLine> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back({first.addDays(i),
                         Currency::fromRaw(500000 + ((i * 37) % 23) * 2500 + i * 125)});
    return lines;
}

TEST(MovingAverages, ThresholdRowsDecideWhichAreWrittenAndRowsOfOneDayAreAllInside) {
    Product p;
    const auto lines = series(Day(2025, 1, 1), 210);
    p.load(lines);
    for (int row : {27, 28, 57, 58, 207, 208}) p.movingAverages(row);
    const Sheet &s = p.prices();
    // MA20 (F) from row 28, MA50 (G) from row 58, MA200 (H) from row 208.
    for (int row : {27, 28, 57, 58, 207, 208})
        for (auto [col, from] : {std::pair{6, 28}, {7, 58}, {8, 208}})
            EXPECT_EQ(s.value(row, col).isBlank(), row < from) << row << "," << col;
    EXPECT_DOUBLE_EQ(*s.value(208, 6).number(), MovingAverage(lines, 208, 20).first);
    EXPECT_DOUBLE_EQ(*s.value(208, 7).number(), MovingAverage(lines, 208, 50).first);
    EXPECT_DOUBLE_EQ(*s.value(208, 8).number(), MovingAverage(lines, 208, 200).first);

    // 30 rows, three a day on ten days: all inside the 20-day window, the scan stops at row 5;
    // prices 100 to 129 average 114,5.
    Product oneDay;
    std::vector<PriceLine> days;
    for (int i = 0; i < 30; ++i)
        days.push_back({Day(2026, 5, 1).addDays(i / 3), Currency::fromUnits(100 + i)});
    oneDay.load(days);
    oneDay.movingAverages(34);
    EXPECT_DOUBLE_EQ(*oneDay.prices().value(34, 6).number(), 114.5);
}

TEST(Rsi, NeedsPeriodPlusSevenRowsStopsAtRowFiveAndMatchesWorkedExamples) {
    // 16 rows end at row 20, one short of 14 + 7; from 17 rows on the recalc row is written,
    // and near the top only the rows from row 5 count.
    for (int count : {16, 17, 30}) {
        Product p;
        const auto lines = series(Day(2026, 1, 5), count);
        p.load(lines);
        for (int row : {count + 4, 9}) {
            p.rsi(row);
            std::optional<double> expected;
            if (count > 16) expected = ExpectedRsi(Closes(lines), row, 14);
            EXPECT_EQ(p.prices().value(row, 9).number(), expected) << count << " rows, row " << row;
        }
    }

    struct Case {
        const char *what;
        int days;
        std::function<Currency(int)> price;
        int row;
        double rsi;
    } cases[] = {
        // Prices 111 to 124 all rise: upAvg = 1645 / 14 = 117,5, the zero falling average
        // counts as 1: 100 − 100 / 118,5 = 99,16 → 99.
        {"rising", 25, [](int i) { return Currency::fromUnits(100 + i); }, 29, 99},
        {"flat", 25, [](int) { return Amount("50,5"); }, 29, 0},
        // Alternating 10, 12, 10, 12 …: of the 14 rows ending at a 12, seven rise (12 each)
        // and seven fall (10 each): upAvg 6, downAvg 5, RSI = 100 − 100 / 2,2 = 54,5 → 55.
        {"alternating", 24, [](int i) { return Currency::fromUnits(i % 2 ? 12 : 10); }, 28, 55},
    };
    for (const Case &c : cases) {
        Product p;
        std::vector<PriceLine> lines;
        for (int i = 0; i < c.days; ++i) lines.push_back({Day(2026, 2, 1).addDays(i), c.price(i)});
        p.load(lines);
        p.rsi(c.row);
        EXPECT_EQ(p.prices().value(c.row, 9).number(), c.rsi) << c.what;
    }
}

TEST(DataRange, ParameterBlockCaptionYearStartEmptySheetAndIndicatorHeadings) {
    Product p;
    p.aux().setValue(10, 3, "régi");
    std::vector<PriceLine> lines = {{Day(2025, 12, 29), Amount("10")},
                                    {Day(2025, 12, 31), Amount("11")},
                                    {Day(2026, 1, 2), Amount("12")},
                                    {Day(2026, 3, 9), Amount("13")}};
    p.load(lines);
    const Sheet &aux = p.aux();
    EXPECT_EQ(p.app.LastDataRow, 8);
    EXPECT_EQ(p.app.FirstEmptyRow, 9);
    ExpectCells(aux, {{5, 4, Day(2025, 12, 29)}, {7, 4, Day(2026, 3, 9)}, {9, 4, Day(2026, 3, 10)},
                      {11, 4, Day(2026, 12, 6)}, {13, 4, Day(2026, 1, 1)}});
    // Row 6 in C12: 2025-12-31, the last row not after 1 January.
    ExpectIntegers(aux, {{6, 3, 8}, {8, 3, 9}, {12, 3, 6}});
    EXPECT_TRUE(aux.value(10, 3).isBlank());
    EXPECT_EQ(p.prices().value(2, 1), CellValue("2025. 12. 29. -től      2026. 03. 09. -ig."));
    EXPECT_EQ(p.prices().cellFormat(9, 2), p.prices().cellFormat(8, 2));

    Product thisYear;
    thisYear.load({{Day(2026, 2, 2), Amount("10")}});
    EXPECT_EQ(thisYear.aux().value(12, 3).integer(), 4);

    // An empty sheet takes the reference date.
    Product empty;
    empty.app.ReferenceDate = Day(2026, 4, 1);
    RefreshProductDataRange(empty.app);
    EXPECT_EQ(empty.app.LastDataRow, 5);
    ExpectCells(empty.aux(), {{5, 4, Day(2026, 4, 1)}, {9, 4, Day(2026, 4, 2)}});
    ExpectIntegers(empty.aux(), {{6, 3, 5}, {8, 3, 6}});
    EXPECT_EQ(empty.prices().value(2, 1), CellValue(" -től      2026. 04. 01. -ig."));

    // The indicator headings are rewritten only when I4 is not "RSI14".
    Product kept;
    kept.prices().setValue(4, 6, "saját");
    kept.load(series(Day(2026, 1, 5), 3));
    EXPECT_EQ(kept.prices().value(4, 6), CellValue("saját"));

    Product old;
    old.prices().setValue(4, 9, "RSI");
    old.prices().setValue(4, 6, "saját");
    old.load(series(Day(2026, 1, 5), 3));
    ExpectCells(old.prices(), {{4, 6, "MA20"}, {4, 7, "MA50"}, {4, 8, "MA200"}, {4, 9, "RSI14"}});
}

} // namespace
} // namespace vandorix::testing
