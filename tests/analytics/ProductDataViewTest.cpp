// The product data view "Termék adatok." driven end to end: chart source, scale block and
// indicator columns checked against figures worked out here from the seeded rows alone.
#include "analytics/Charts.h"
#include "book/ProductLayout.h"
#include "book/TradeLayout.h"
#include "support/InProcessScript.h"
#include "support/ReferenceFigures.h"
#include "support/SheetExpect.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace vandorix::testing {
namespace {

namespace fs = std::filesystem;
using Figure = std::function<long long(int)>;

struct DayRow {
    Date date;
    Currency price, result, daily;
};

// `count` consecutive days from 5 January 2026; prices, results and daily results in cents.
std::vector<DayRow> Days(int count, const Figure &price, const Figure &result = {},
                         const Figure &daily = {}) {
    std::vector<DayRow> rows;
    for (int i = 0; i < count; ++i)
        rows.push_back({Day(2026, 1, 5).addDays(i), Currency::fromRaw(price(i) * 100),
                        Currency::fromRaw(result ? result(i) * 100 : 0),
                        Currency::fromRaw(daily ? daily(i) * 100 : 0)});
    return rows;
}

std::vector<Currency> CloseOf(const std::vector<DayRow> &rows) {
    std::vector<Currency> out;
    for (const DayRow &d : rows) out.push_back(d.price);
    return out;
}

fs::path ProductFile(const fs::path &root) { return root / "Termekek" / "Alfa.xls"; }

// The rows from row 5 of "Alfa01", the trade totals the charts read (H and P of the row S2
// names) and, when given, a value in every I (RSI14) and J (custom RSI) cell.
void Seed(const fs::path &root, const std::vector<DayRow> &rows, double costPerShare,
          Currency realised, std::optional<int> rsi = {}, std::optional<int> customRsi = {}) {
    EditWorkbookFile(ProductFile(root), [&](Workbook &wb) {
        Sheet &p = wb.sheet("Alfa01");
        int r = 5;
        for (const DayRow &d : rows) {
            p.setValue(r, kPriceColDate, d.date);
            p.setValue(r, kPriceColClose, d.price);
            p.setValue(r, kPriceColResult, d.result);
            p.setValue(r, kPriceColChange, d.daily);
            if (rsi) p.setValue(r, 9, *rsi);
            if (customRsi) p.setValue(r, 10, *customRsi);
            ++r;
        }
        Sheet &t = wb.sheet("Szla");
        const int totals = static_cast<int>(*t.value(2, szla::TotalsPointerColumn).integer());
        t.setValue(totals, szla::CostPerShare, costPerShare);
        t.setValue(totals, szla::Result, realised);
    });
}

std::string Fields(Date from, Date to, const std::string &answers) {
    return "type Text1 " + Typed(from) + "\ntype Text2 " + Typed(to) + "\nclick Command1\n" +
           answers;
}
std::string View(Date from, Date to, const std::string &answers) {
    return "menu Befektetés/Információ/Termék adatok\nchoose Combo1 Alfa\n" +
           Fields(from, to, answers);
}
constexpr const char *kNoCustomNoCharts = "answer No\nanswer OK\nanswer No\n";
constexpr const char *kNoCustomCharts = "answer No\nanswer OK\nanswer Yes\nanswer OK\n";

TEST(ReplayedView, RangeRowsAreCopiedFromTheRowsTheDatesNameAndChartsLeaveTheirRowsInSeged) {
    TestInstallation inst;
    ASSERT_EQ(inst.replay(RegisterScript("Alfa", "HU0000000001")).exitCode, 0);
    // 300 days, 5 January to 31 October 2026: rows 5 to 304.
    const auto rows = Days(
        300, [](int i) { return 100000 + i * 150 + (i * 37 % 11) * 90; },
        [](int i) { return i * 40 - 3000; }, [](int i) { return i % 5 * 100 - 200; });
    auto dateOf = [&](int row) { return rows[row - 5].date; };
    struct Case {
        Date from, to;
        int firstRow, lastRow;
        bool charts;
    };
    const Case cases[] = {
        // With charts the copy starts one row before the first day's, as without them.
        {dateOf(200), dateOf(260), 198, 260, true},
        // d1 < d2 < d3 < d4 with the first day d4: the copy starts at d2.
        {dateOf(100), dateOf(150), 98, 150, false},
        // A last day after the last data day ends at the last row; a first day before A5
        // starts at row 5.
        {Day(2026, 1, 1), Day(2026, 11, 20), 5, 304, false},
        // Only row 5 lies before the first day: the copy starts at row 5, not at the headings.
        {dateOf(6), dateOf(40), 5, 40, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(Typed(c.from) + " - " + Typed(c.to));
        Seed(inst.root(), rows, 900.5, Amount("1000"), {}, 77);
        const char *answers = c.charts ? kNoCustomCharts : kNoCustomNoCharts;
        const ReplayRun run = inst.replay(View(c.from, c.to, answers) + "click Command2\n");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.output, std::string("Felhívás\nRSI napokra kíván egyedi intervallumot "
                                          "beállítani?\nTovább\nTovábblépés\nFelhívás\n"
                                          "Megnézi diagram formátumban ?\n") +
                                  (c.charts ? "Tovább\nTovábblépés\n" : ""));
        auto wb = ReadWorkbookFile(ProductFile(inst.root()));
        for (int i = 1; i <= wb->sheetCount(); ++i)
            EXPECT_EQ(wb->sheetAt(i).kind(), SheetKind::Worksheet) << wb->sheetAt(i).name();
        const Sheet &prices = wb->sheet("Alfa01");
        const Sheet &source = wb->sheet("Alfa02");
        const int last = 5 + c.lastRow - c.firstRow;
        for (int r = c.firstRow, t = 5; r <= c.lastRow; ++r, ++t)
            for (int col = 1; col <= 10; ++col)
                ASSERT_EQ(source.value(t, col), prices.value(r, col)) << r << "," << col;
        EXPECT_TRUE(source.value(last + 1, 1).isBlank());
        EXPECT_EQ(source.value(3, 1).text(), dateOf(c.firstRow).toString() + " -től      " +
                                                 dateOf(c.lastRow).toString() + " -ig.");
        // No to the custom RSI empties J from row 5 to the range's last row, and only there.
        EXPECT_TRUE(prices.value(c.lastRow, 10).isBlank());
        EXPECT_TRUE(prices.value(5, 10).isBlank());
        EXPECT_TRUE(c.lastRow == 304 || prices.value(c.lastRow + 1, 10).integer() == 77);
        if (!c.charts) continue;
        EXPECT_EQ(wb->findSheet(kPriceChartSheet), nullptr);
        const Sheet &aux = wb->sheet("Segéd01");
        ExpectIntegers(aux, {{22, 3, 5}, {24, 3, last}, {23, 9, 1}, {23, 11, 10}});
        ExpectCells(aux, {{23, 4, dateOf(c.firstRow)}, {25, 4, dateOf(c.lastRow)}});
        // The RSI14 of the range rows, recomputed as the rows had none.
        for (int row : {200, 230, 260})
            EXPECT_EQ(prices.value(row, 9).integer(), ExpectedRsi(CloseOf(rows), row, 14));
        EXPECT_TRUE(prices.value(199, 9).isBlank());
    }
}

struct LiveView {
    InProcessSession s;
    LiveView() { s.run(RegisterScript("Alfa", "HU0000000001")); }
    fs::path file() { return ProductFile(s.installation().root()); }
    std::unique_ptr<Workbook> stored() { return ReadWorkbookFile(file()); }
};

TEST(ProductDataView, CustomRsiAnswersNewDatesAndAFirstDayAfterTheData) {
    LiveView v;
    const auto rows = Days(120, [](int i) { return 50000 + (i * 53 % 17) * 300 - (i % 3) * 200; });
    Seed(v.s.installation().root(), rows, 0, Currency(), {}, 77);
    const Date from = rows[95 - 5].date, to = rows[110 - 5].date;
    const std::string refused = std::string("Felhívás|Az RSI nap intervallum 0 és 32767 közötti") +
                                kCrLf + "egész szám lehet.";

    // Letters, a number too large and a negative one are asked again; 20 is computed.
    v.s.run(View(from, to,
                 "answer Yes\ninput abc\nanswer OK\ninput 1e9\nanswer OK\ninput -3\n"
                 "answer OK\ninput 20\nanswer OK\nanswer No\n"));
    const std::vector<std::string> shown = v.s.shown();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), refused), 3);
    ASSERT_EQ(v.s.dialogs().inputs().size(), 4u);
    EXPECT_EQ(v.s.dialogs().inputs()[0].title, "RSI egyedi bekérés.");
    EXPECT_EQ(v.s.dialogs().inputs()[0].prompt, "Adja meg az egyedi rsi nap intervallumot.");
    EXPECT_EQ(v.s.dialogs().inputs()[0].defaultText, "25");
    {
        auto wb = v.stored();
        const Sheet &p = wb->sheet("Alfa01");
        for (int row : {95, 100, 110})
            EXPECT_EQ(p.value(row, 10).integer(), ExpectedRsi(CloseOf(rows), row, 20));
        ExpectIntegers(p, {{94, 10, 77}, {111, 10, 77}}); // outside the range
    }

    // 0 keeps the period at 0: column J is left as it is.
    Seed(v.s.installation().root(), rows, 0, Currency(), {}, 77);
    v.s.run("choose Combo1 Alfa\n" +
            Fields(from, to, "answer Yes\ninput 0\nanswer OK\nanswer No\n"));
    EXPECT_EQ(v.stored()->sheet("Alfa01").value(100, 10).integer(), 77);

    // Cancel is No: J is emptied up to the last day's row.
    v.s.run("choose Combo1 Alfa\n" +
            Fields(from, to, "answer Yes\ninput-cancel\nanswer OK\nanswer No\n"));
    auto wb = v.stored();
    ExpectCells(wb->sheet("Alfa01"), {{5, 10, CellValue()}, {110, 10, CellValue()}});
    EXPECT_EQ(wb->sheet("Alfa01").value(111, 10).integer(), 77);
    EXPECT_EQ(v.s.app().visibleForm()->focus(), "Command2");

    // New dates without choosing the product again: the workbook is closed, so it is asked for.
    v.s.run(Fields(from, to, "answer OK\n"));
    EXPECT_EQ(v.s.shown().back(),
              std::string("Felhívás|Előbb válassza ki a terméket") + kCrLf + "a listából.");
    EXPECT_EQ(v.s.app().visibleForm()->focus(), "Combo1");

    // A first day after the last data day: only the exit button is left.
    v.s.run("choose Combo1 Alfa\n" + Fields(Day(2026, 6, 1), Day(2026, 6, 5), "answer OK\n"));
    EXPECT_EQ(v.s.shown().back(),
              std::string("Felhívás|A kért dátum intervallumban") + kCrLf + "nincs adat");
    const Form &w = *v.s.app().visibleForm();
    for (const char *name : {"Command1", "Command2", "Text1", "Text2", "Combo1"})
        EXPECT_FALSE(w.control(name).enabled) << name;
    EXPECT_TRUE(w.control("Command3").enabled);
}

TEST(ProductDataView, RefusalsAndAFailureLeaveTheFileAsItWas) {
    const std::string notEnoughForCharts =
        "Felhívás|diagram lészíítéshez minimum 20 adat szükséges.";
    struct Case {
        int rows, rangeDays;
        std::string answers, lastShown;
        bool textPrice;
    };
    const Case cases[] = {
        {22, 60, kNoCustomCharts, notEnoughForCharts, false},  // LastDataRow 26
        {200, 26, kNoCustomCharts, notEnoughForCharts, false}, // a 26-day range
        {40, 60, "answer Yes\ninput 37\nanswer OK\n",
         "Felhívás|rsiee napi diagramhoz még nincs elég adat.", false}, // 44 <= 37 + 7
        {40, 60, "answer No\nanswer OK\n",
         std::string("Felhívás|Az Ön adatai még hézagosak ") + kCrLf +
             "az  RSI diagram készítéséhez. Kilépés",
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.lastShown + " " + std::to_string(c.rows));
        LiveView v;
        auto rows = Days(c.rows, [](int i) { return 1000 + i; });
        Seed(v.s.installation().root(), rows, 0, Currency());
        if (c.textPrice)
            EditWorkbookFile(v.file(),
                             [](Workbook &wb) { wb.sheet("Alfa01").setValue(30, 2, "hiány"); });
        const std::string before = FileBytes(v.file());
        const Date last = rows.back().date;
        v.s.run(View(last.addDays(-c.rangeDays), last, c.answers));
        EXPECT_EQ(v.s.shown().back(), c.lastShown);
        EXPECT_EQ(FileBytes(v.file()), before);
        EXPECT_TRUE(c.textPrice ? v.s.app().ended()
                                : v.s.app().visibleForm() == &v.s.app().mainForm());
    }
}

// The scale block by the rules, from the stored chart source: Int is the floor, 1.05 and 0.95
// exact, so the figures are worked out on ten-thousandths in whole numbers.
long long FloorDiv(long long a, long long b) {
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}
long long Raw(const CellValue &v) { return std::llround(v.number().value_or(0) * 10000); }
double Times105(long long raw) { return double(FloorDiv(raw * 105, 1'000'000)); }
double Over105(long long raw) { return double(FloorDiv(raw * 100, 1'050'000)); }
double Times95(long long raw) { return double(FloorDiv(raw * 95, 1'000'000)); }
// A row of the scale block: lowest, highest, crossing level and the units from the span.
void ExpectScale(const Sheet &aux, int row, double min, double max, double cross) {
    SCOPED_TRACE("row " + std::to_string(row));
    const double major = std::floor((max - min) / 10);
    EXPECT_EQ(aux.value(row, 3).number(), min);
    EXPECT_EQ(aux.value(row, 5).number(), max);
    EXPECT_EQ(aux.value(row, 7).number(), cross);
    EXPECT_EQ(aux.value(row, 9).number(), major);
    EXPECT_DOUBLE_EQ(*aux.value(row, 11).number(), major / 10);
}

void ExpectScales(const Sheet &aux, const Sheet &src, int lastDataRow, double cost,
                  Currency realised) {
    const int last = static_cast<int>(*aux.value(24, 3).integer());
    // The lowest and highest of a column over the range rows, row 5's value first; a blank
    // counts as 0 unless skipped.
    auto span = [&](int col, bool skipBlanks) {
        long long lo = Raw(src.value(5, col)), hi = lo;
        for (int r = 5; r <= last; ++r) {
            if (skipBlanks && src.value(r, col).isBlank()) continue;
            lo = std::min(lo, Raw(src.value(r, col)));
            hi = std::max(hi, Raw(src.value(r, col)));
        }
        return std::pair{lo, hi};
    };
    const auto [minL, maxL] = span(12, false);
    const auto [minO, maxO] = span(15, true);
    const auto [minQ, maxQ] = span(17, false);
    const auto [minS, maxS] = span(19, false);
    const double priceCross = std::floor(cost);
    const double priceMax = std::max(Times105(maxO > maxL ? maxO : maxL), priceCross);
    const double priceMin = Times95(lastDataRow > 205 ? std::min(minL, minO) : minL);
    const double resultCross = double(FloorDiv(realised.raw(), 10000));
    const double resultMax =
        maxQ > resultCross * 10000 ? (maxQ > 0 ? Times105(maxQ) : Over105(maxQ)) : resultCross;
    const double resultMin = minQ > 0 ? Over105(minQ) : Times105(minQ);
    ExpectScale(aux, 30, priceMin, priceMax, priceCross);
    ExpectScale(aux, 32, resultMin, resultMax, resultCross);
    ExpectScale(aux, 33, minS > 0 ? Over105(minS) : Times105(minS), Times105(std::max(0LL, maxS)),
                0);
}

std::vector<std::string> SeriesNames(const Chart &c) {
    std::vector<std::string> names;
    for (int i = 1; i <= static_cast<int>(c.series.size()); ++i) names.push_back(c.seriesName(i));
    return names;
}

TEST(ProductDataView, ChartObjectsAndScalesFollowTheRows) {
    using Names = std::vector<std::string>;
    struct Scenario {
        const char *what;
        std::vector<DayRow> rows;
        double cost;
        Currency realised;
        std::optional<int> rsi;
        int firstRow; // the range's first day is the date of this row
        std::string customAnswers;
        Names priceSeries, rsiSeries;
    };
    const Scenario scenarios[] = {
        // Average cost above every price, results never above the realised total, all
        // daily results 0, negative result minimum; a price range narrower than 10.
        {"small",
         Days(36, [](int i) { return 500 + i % 6 * 10; }, [](int i) { return i * 20000 - 500000; }),
         7.9, Amount("3000,5"), std::nullopt, 5, "answer No\n",
         Names{"Árfolyam", "MA20", "Adatsor3", "Adatsor4"}, Names{"RSI14", "Adatsor2"}},
        // Positive result minimum, results above a negative total, mixed daily results; the
        // RSI14 is there already, so the RSI chart has one series.
        {"middle",
         Days(100, [](int i) { return 100000 + i * 400 + i * 37 % 11 * 300; },
             [](int i) { return 10000 + i * 800; }, [](int i) { return i % 7 * 1000 - 3000; }),
         800, Amount("-200,5"), 50, 5, "answer No\n", Names{"Árfolyam", "MA20", "MA50", "Adatsor4"},
         Names{"RSI14"}},
        // Rising prices: the MA200 of the range lies below its prices and widens the minimum;
        // negative results; the custom RSI adds its series.
        {"long",
         Days(300, [](int i) { return 50000 + i * 300 + i % 5 * 100; },
             [](int i) { return -10000 - i * 300; }, [](int i) { return 500 + i % 4 * 100; }),
         100.25, Amount("-2000"), std::nullopt, 245, "answer Yes\ninput 20\n",
         Names{"Árfolyam", "MA20", "MA50", "MA200"}, Names{"RSI14", "RSI 20"}},
    };
    for (const Scenario &sc : scenarios) {
        SCOPED_TRACE(sc.what);
        LiveView v;
        Seed(v.s.installation().root(), sc.rows, sc.cost, sc.realised, sc.rsi);
        std::map<std::string, Chart> charts;
        std::vector<std::string> order;
        std::string active;
        v.s.dialogs().onMessage = [&](const MessageRequest &m) {
            Workbook *wb = v.s.app().state().ProductWorkbook.get();
            if (m.title != "Tovább" || !wb || !wb->findSheet(kPriceChartSheet)) return;
            for (int i = 1; i <= wb->sheetCount(); ++i) {
                Sheet &sheet = wb->sheetAt(i);
                order.push_back(sheet.name());
                if (sheet.chart()) charts[sheet.name()] = *sheet.chart();
            }
            active = wb->activeSheet().name();
        };
        const Date from = sc.rows[sc.firstRow - 5].date;
        v.s.run(
            View(from, Day(2026, 12, 6), sc.customAnswers + "answer OK\nanswer Yes\nanswer OK\n"));

        EXPECT_EQ(active, kPriceChartSheet);
        EXPECT_EQ(order, (Names{"Alfa01", "Alfa02", "ArfDiag01", "EredDiag01", "NapiEredDiag01",
                                "RSIDiag01", "Szla", "Szla02", "Segéd01"}));
        ASSERT_EQ(charts.size(), 4u);
        EXPECT_EQ(SeriesNames(charts[kPriceChartSheet]), sc.priceSeries);
        EXPECT_EQ(SeriesNames(charts[kRsiChartSheet]), sc.rsiSeries);
        EXPECT_EQ(charts[kRsiChartSheet].sourceLastColumn,
                  20 + static_cast<int>(sc.rsiSeries.size()));
        EXPECT_EQ(charts[kDailyResultChartSheet].type, ChartType::ClusteredColumn);

        auto wb = v.stored();
        const Sheet &aux = wb->sheet("Segéd01");
        ExpectScales(aux, wb->sheet("Alfa02"), static_cast<int>(sc.rows.size()) + 4, sc.cost,
                     sc.realised);
        const ChartAxis &price = charts[kPriceChartSheet].valueAxis;
        EXPECT_EQ(price.crossesAt, std::floor(sc.cost));
        if (std::string(sc.what) == "small") {
            // Maximum at the crossing level; a unit of 0 is stored, the chart steps on its own.
            ExpectCells(aux, {{30, 5, 7.0}, {30, 9, 0.0}, {32, 5, 3000.0}});
            EXPECT_EQ(price.majorUnit, std::nullopt);
            const ChartAxis &daily = charts[kDailyResultChartSheet].valueAxis;
            EXPECT_EQ(daily.majorUnit, 1);
            EXPECT_EQ(daily.minorUnit, 0.1);
        } else if (std::string(sc.what) == "middle") {
            EXPECT_EQ(price.majorUnit, aux.value(30, 9).number());
            EXPECT_EQ(charts[kPriceChartSheet].title,
                      std::string("Alfa  árfolyamváltozás a kezdő és vég dátum között:  ") +
                          "396  Ft." + kCrLf + "Az aktivak árfolyam változása: 596  Ft.");
        } else {
            EXPECT_LT(aux.value(30, 3).number(), Times95(Raw(wb->sheet("Alfa02").value(5, 12))));
        }
    }
}

} // namespace
} // namespace vandorix::testing
