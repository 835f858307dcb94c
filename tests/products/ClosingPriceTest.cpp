#include "ProductInstallation.h"

#include "products/ClosingPrice.h"
#include "support/ReferenceFigures.h"

namespace vandorix {
namespace {

using namespace testing;

// Three trades of "Alfa": a purchase, a partial sale and a second purchase.
const std::vector<TradeLine> kTrades = {
    {Day(2026, 11, 3), Amount("10050"), Currency(), 100},
    {Day(2026, 11, 12), Currency(), Amount("3960,5"), 60},
    {Day(2026, 11, 18), Amount("4200"), Currency(), 100},
};

const std::string kOpen = "menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 Alfa\n";

struct PriceWindow : ProductInstallation {
    std::vector<TradeLine> trades = kTrades;

    PriceWindow() {
        run(RegisterScript("Alfa", "HU0000000001"));
        EditWorkbookFile(product(),
                         [&](Workbook &wb) { WriteTradeRows(wb.sheet("Szla"), trades); });
    }
    // Records one price through the window; `answers` answer the price field's dialogs.
    std::string record(const std::string &day, const std::string &price,
                       const std::string &answers = "") const {
        return run(kOpen + "type Text1 " + day + "\ntype Text2 " + price + "\n" + answers +
                   "click Command1\nclick Command4\n");
    }
    // C, D and E from row `from` on, the change of `from` taken against `previous`.
    void expectValueColumns(const Sheet &prices, int from = 5, Currency previous = {}) const {
        for (int r = from; !prices.value(r, kPriceColClose).isBlank(); ++r) {
            ExpectedPosition p = PositionOn(trades, *prices.value(r, kPriceColDate).date());
            Currency value = *prices.value(r, kPriceColClose).currency() * p.quantity;
            Currency result = value + p.proceeds - p.cost;
            EXPECT_EQ(prices.value(r, kPriceColValue).currency(), value) << "row " << r;
            EXPECT_EQ(prices.value(r, kPriceColResult).currency(), result) << "row " << r;
            EXPECT_EQ(prices.value(r, kPriceColChange).currency(), result - previous) << r;
            previous = result;
        }
    }
};

TEST(ClosingPrice, PricesKeepDateOrderAndValuesAndAreOverwrittenOnlyAfterYes) {
    PriceWindow w;
    EXPECT_EQ(w.record("2026.11.10", "sok", "answer OK\ntype Text2 0\nanswer OK\ntype Text2 101\n"),
              "Felhívás\nAz ár csak számérték lehet.\n"
              "Felhívás\nAz ár csak nullánál nagyobb számérték lehet.\n");
    {
        auto wb = ReadWorkbookFile(w.product());
        // 100 shares at 101, less the purchase cost of 10 050.
        ExpectCells(wb->sheet("Alfa01"), {{5, kPriceColDate, Day(2026, 11, 10)},
                                          {5, kPriceColClose, Amount("101")},
                                          {5, kPriceColValue, Amount("10100")},
                                          {5, kPriceColResult, Amount("50")},
                                          {5, kPriceColChange, Amount("50")}});
    }
    w.record("2026.11.20", "104");
    w.record("2026.11.01", "99,5");   // before the first trade and the first price
    w.record("2026.11.15", "102,25"); // between two recorded days
    {
        auto wb = ReadWorkbookFile(w.product());
        const Sheet &prices = wb->sheet("Alfa01");
        const Date days[] = {Day(2026, 11, 1), Day(2026, 11, 10), Day(2026, 11, 15),
                             Day(2026, 11, 20)};
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(prices.value(5 + i, kPriceColDate), CellValue(days[i]));
        EXPECT_TRUE(prices.value(9, kPriceColClose).isBlank());
        EXPECT_EQ(prices.value(7, kPriceColClose), CellValue(Amount("102,25")));
        w.expectValueColumns(prices);
        // A day before the first trade is valued with the first trade's holding and cost.
        EXPECT_EQ(prices.value(5, kPriceColResult),
                  CellValue(Amount("99,5") * 100 - Amount("10050")));
        const Sheet &aux = wb->sheet("Segéd01");
        ExpectIntegers(aux, {{6, 3, 8}, {8, 3, 9}});
        ExpectCells(
            aux, {{5, 4, Day(2026, 11, 1)}, {7, 4, Day(2026, 11, 20)}, {9, 4, Day(2026, 11, 21)}});
        EXPECT_EQ(prices.value(2, kPriceColDate),
                  CellValue("2026. 11. 01. -től      2026. 11. 20. -ig."));
        EXPECT_TRUE(wb->sheet("Szla").isProtected());
        EXPECT_FALSE(wb->sheet("Segéd01").visible());
    }

    const std::string before = FileBytes(w.product());
    EXPECT_EQ(w.run(kOpen + "type Text1 2026.11.10\ntype Text2 90\nanswer No\nclick Command4\n"),
              "Felülírás\nVan létező darab ár.\nFelülírja ?\n");
    EXPECT_EQ(FileBytes(w.product()), before);
    w.record("2026.11.10", "90", "answer Yes\n");
    auto wb = ReadWorkbookFile(w.product());
    const Sheet &prices = wb->sheet("Alfa01");
    ExpectCells(prices, {{6, kPriceColClose, Amount("90")}, {7, kPriceColClose, Amount("102,25")}});
    EXPECT_TRUE(prices.value(9, kPriceColClose).isBlank());
    w.expectValueColumns(prices);

    // Cancelling after a day was inserted, leaving right after the choice and leaving after an
    // accepted date that inserted a day store nothing.
    const std::string recorded = FileBytes(w.product());
    w.run(kOpen + "type Text1 2026.11.17\ntype Text2 102\nclick Command2\nclick Command4\n");
    w.run(kOpen + "click Command4\n" + kOpen +
          "type Text1 2026.11.18\nclick Command4\nmenu Befektetés/Kilépés\n");
    EXPECT_EQ(FileBytes(w.product()), recorded);
}

TEST(ClosingPrice, WithoutARegisteredShareTheProgramEndsAndWithoutAPurchaseNothingIsStored) {
    ProductInstallation t;
    EXPECT_EQ(t.run("menu Befektetés/Részvény/Napi záró ár\nanswer OK\n"),
              "Felhívás\nA záró darabár bevitele előtt a részvényt\n"
              "a Részvény alapadatok menüpontban\nfel kell venni. Kilépés.\n");
    t.run(RegisterScript("Alfa", "HU0000000001"));
    const std::string before = FileBytes(t.product());
    EXPECT_EQ(t.run(kOpen + "answer OK\nclick Command4\n"),
              "Felhívás\nCsak az első vásárlás után\nlehet a záró darabárat bevinni.\n");
    EXPECT_EQ(FileBytes(t.product()), before);
}

// Indicators driven by a recording: the thresholds and figures themselves are checked on the
// procedures in IndicatorsTest.

std::vector<PriceLine> DailyPrices(Date first, int count, int step = 1) {
    std::vector<PriceLine> lines;
    for (int i = 0; i < count; ++i)
        lines.push_back({first.addDays(i * step),
                         Currency::fromRaw(1000000 + ((i * 7919) % 53) * 1250 - i * 300)});
    return lines;
}

TEST(ClosingPrice, IndicatorsStartAt27RowsAndMovingAveragesAfterRow27) {
    PriceWindow w;
    std::vector<PriceLine> all = DailyPrices(Day(2026, 10, 1), 21); // rows 5 to 25
    EditWorkbookFile(w.product(), [&](Workbook &wb) { WritePriceRows(wb.sheet("Alfa01"), all); });
    for (auto [day, price] : {std::pair{22, "100"}, {23, "101"}, {24, "99"}}) {
        all.push_back({Day(2026, 10, day), Amount(price)}); // rows 26, 27 and 28
        w.record(Typed(all.back().date), price);
    }
    auto wb = ReadWorkbookFile(w.product());
    const Sheet &prices = wb->sheet("Alfa01");
    EXPECT_EQ(prices.value(26, kPriceColClose), CellValue(Amount("100")));
    for (int c = 6; c <= 9; ++c)
        EXPECT_TRUE(prices.value(26, c).isBlank()) << c;
    EXPECT_EQ(prices.value(27, 9).number(), ExpectedRsi(Closes(all), 27, 14));
    EXPECT_TRUE(prices.value(27, 6).isBlank());
    EXPECT_EQ(prices.value(28, 9).number(), ExpectedRsi(Closes(all), 28, 14));
    ASSERT_TRUE(prices.value(28, 6).number());
    EXPECT_DOUBLE_EQ(*prices.value(28, 6).number(), MovingAverage(all, 28, 20).first);
    EXPECT_TRUE(prices.value(28, 7).isBlank());
}

TEST(ClosingPrice, InsertedDayRecomputesLaterValueColumnsButOnlyItsOwnIndicators) {
    PriceWindow w;
    // Every other day from 2026-09-01: 40 rows, rows 5 to 44, with stale figures in C to I.
    const std::vector<PriceLine> seeded = DailyPrices(Day(2026, 9, 1), 40, 2);
    EditWorkbookFile(w.product(), [&](Workbook &wb) {
        Sheet &prices = wb.sheet("Alfa01");
        WritePriceRows(prices, seeded);
        for (int r = 5; r <= 44; ++r)
            for (int c = 3; c <= 9; ++c)
                prices.setValue(r, c, c <= 5 ? CellValue(Amount("-1")) : CellValue(555.0));
    });
    // 2026-10-16 lies between row 27 (10-15) and row 28 (10-17).
    w.record("2026.10.16", "100,75");
    auto wb = ReadWorkbookFile(w.product());
    const Sheet &prices = wb->sheet("Alfa01");
    ASSERT_EQ(prices.value(28, kPriceColDate), CellValue(Day(2026, 10, 16)));
    EXPECT_EQ(prices.value(45, kPriceColDate), CellValue(seeded.back().date));
    EXPECT_EQ(wb->sheet("Segéd01").value(6, 3).integer(), 45);

    // Value columns: stale above the new row, recomputed from it to the last row; the first
    // recomputed row's change is taken against the stale row above it.
    EXPECT_EQ(prices.value(27, kPriceColValue), CellValue(Amount("-1")));
    w.expectValueColumns(prices, 28, Amount("-1"));
    // Indicators: only the new row.
    std::vector<PriceLine> all(seeded.begin(), seeded.begin() + 23);
    all.push_back({Day(2026, 10, 16), Amount("100,75")});
    all.insert(all.end(), seeded.begin() + 23, seeded.end());
    EXPECT_DOUBLE_EQ(*prices.value(28, 6).number(), MovingAverage(all, 28, 20).first);
    EXPECT_EQ(prices.value(28, 9).number(), ExpectedRsi(Closes(prices), 28, 14));
    EXPECT_TRUE(prices.value(28, 7).isBlank()) << "row 28 is not past the MA50 threshold";
    for (int r = 29; r <= 45; ++r)
        EXPECT_EQ(prices.value(r, 9), CellValue(555.0)) << r;
}

// Trades on some days of 2026, several on one day now and then.
std::vector<TradeLine> TradeHistory() {
    std::vector<TradeLine> t;
    int holding = 0;
    Date d = Day(2026, 2, 1);
    for (int i = 0; i < 60; ++i) {
        d = d.addDays(i % 4 == 3 ? 0 : 1 + i % 5);
        bool sale = holding > 50 && i % 3 == 0;
        int q = 10 + i % 7;
        holding += sale ? -q : q;
        t.push_back({d, sale ? Currency() : Currency::fromUnits(q * 101 + i),
                     sale ? Currency::fromUnits(q * 99 - i) : Currency(), holding});
    }
    return t;
}

TEST(Position, NoTradeMeansNothingHeldAndTheForwardMergeMatchesTheBackwardScanOnEveryDay) {
    ProductBooks p;
    p.app.HeldQuantity = 7;
    p.app.PositionCost = Amount("5");
    p.app.PositionDate = Day(2026, 4, 10);
    ComputePositionAtDate(p.app);
    EXPECT_EQ(p.app.HeldQuantity, 0);
    EXPECT_EQ(p.app.PositionCost, Currency());
    EXPECT_EQ(p.app.PositionProceeds, Currency());

    const auto trades = TradeHistory();
    WriteTradeRows(p.trades(), trades);
    ComputePositionAtDate(p.app);
    const ExpectedPosition e = PositionOn(trades, Day(2026, 4, 10));
    EXPECT_EQ(p.app.HeldQuantity, e.quantity);
    EXPECT_EQ(p.app.PositionCost, e.cost);
    EXPECT_EQ(p.app.PositionProceeds, e.proceeds);
    // Ascending days from before the first trade to after the last, then one earlier day.
    TradePositionCursor cursor(p.trades());
    std::vector<Date> days;
    for (Date d = Day(2026, 1, 20); d <= Day(2026, 12, 31); d = d.addDays(1))
        days.push_back(d);
    days.push_back(Day(2026, 3, 3));
    for (Date d : days) {
        const auto got = cursor.at(d);
        const ExpectedPosition e = PositionOn(trades, d);
        ASSERT_EQ(got.quantity, e.quantity) << d.toIso();
        ASSERT_EQ(got.cost, e.cost) << d.toIso();
        ASSERT_EQ(got.proceeds, e.proceeds) << d.toIso();
    }
}

} // namespace
} // namespace vandorix
