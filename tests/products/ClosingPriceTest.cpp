#include "ProductInstallation.h"

#include "products/ClosingPrice.h"
#include "support/ReferenceFigures.h"

namespace vandorix {
namespace {

using namespace testing;

// Trades of "Alfa": a purchase; a purchase and a partial sale on one day, whose last row gives
// the day's position; a third purchase that takes the holding past 32 767 shares, which a
// 16-bit holding would wrap.
const std::vector<TradeLine> kTrades = {
    {Day(2026, 11, 3), Amount("10050"), Currency(), 100},
    {Day(2026, 11, 12), Amount("3030"), Currency(), 130},
    {Day(2026, 11, 12), Currency(), Amount("3960,5"), 70},
    {Day(2026, 11, 18), Amount("3269000"), Currency(), 32860},
};

const std::string kOpen = "menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 Alfa\n";

struct PriceWindow : TradedProduct {
    std::vector<TradeLine> trades = kTrades;

    PriceWindow() : TradedProduct(kTrades) {}
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
        ExpectAmounts(prices, {{6, kPriceColClose, "101"}, {7, kPriceColClose, "102,25"}});
        w.expectValueColumns(prices);
        // 100 shares at 101 less their cost of 10 050; a day before the first trade is valued
        // with the first trade's holding and cost, 100 × 99,5 − 10 050.
        ExpectAmounts(prices, {{6, kPriceColValue, "10100"},
                               {6, kPriceColResult, "50"},
                               {5, kPriceColResult, "-100"}});
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

// Indicators driven by recordings: the thresholds and figures themselves are checked on the
// procedures in IndicatorsTest.
TEST(ClosingPrice, InsertedDaysRecomputeLaterValueColumnsButOnlyTheirOwnIndicators) {
    PriceWindow w;
    // Every fifth day from 2026-08-01: rows 5 to 25 (11-09), with stale figures in C to I.
    std::vector<PriceLine> all;
    for (int i = 0; i < 21; ++i)
        all.push_back({Day(2026, 8, 1).addDays(5 * i), PriceOfDay(i)});
    EditWorkbookFile(w.product(), [&](Workbook &wb) { SeedStalePrices(wb.sheet("Alfa01"), all); });
    // Four days inserted before 11-09: rows 25 to 28, the sheet 26 to 29 rows long.
    for (auto [day, price] : {std::pair{5, "100"}, {6, "101"}, {7, "99"}, {8, "100,75"}}) {
        all.insert(all.end() - 1, {Day(2026, 11, day), Amount(price)});
        w.record(Typed(Day(2026, 11, day)), price);
    }
    auto wb = ReadWorkbookFile(w.product());
    const Sheet &prices = wb->sheet("Alfa01");
    for (int r = 24; r <= 29; ++r)
        EXPECT_EQ(prices.value(r, kPriceColDate), CellValue(all[r - 5].date)) << r;
    EXPECT_EQ(Closes(prices), Closes(all));
    EXPECT_EQ(wb->sheet("Segéd01").value(6, 3).integer(), 29);

    // Value columns: stale above the first new row, recomputed from it to the last row; the
    // first recomputed row's change is taken against the stale row above it.
    EXPECT_EQ(prices.value(24, kPriceColValue), CellValue(Amount("-1")));
    w.expectValueColumns(prices, 25, Amount("-1"));
    // Indicators of each new row only: none while the sheet is shorter than 27 rows, then the
    // RSI, and MA20 from row 28 on.
    for (int c = 6; c <= 9; ++c)
        EXPECT_TRUE(prices.value(25, c).isBlank()) << c;
    for (int r = 26; r <= 28; ++r)
        EXPECT_EQ(prices.value(r, 9).number(), ExpectedRsi(Closes(all), r, 14)) << r;
    EXPECT_TRUE(prices.value(27, 6).isBlank());
    ASSERT_TRUE(prices.value(28, 6).number());
    EXPECT_DOUBLE_EQ(*prices.value(28, 6).number(), MovingAverage(all, 28, 20).first);
    EXPECT_TRUE(prices.value(28, 7).isBlank()) << "row 28 is not past the MA50 threshold";
    EXPECT_EQ(prices.value(29, 9), CellValue(555.0)) << "the moved row keeps its indicators";
}

} // namespace
} // namespace vandorix
