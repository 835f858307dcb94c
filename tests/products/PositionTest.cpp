#include "products/ClosingPrice.h"
#include "book/Templates.h"
#include "support/ProductFiles.h"

#include <gtest/gtest.h>

#include <vector>

namespace vandorix {
namespace {

using namespace testing;

struct Product {
    AppState app;
    std::unique_ptr<Workbook> wb = makeProductTemplate();
    Product() {
        app.HostApp = std::make_unique<SpreadsheetHost>();
        wb->unprotect(install::kWorkbookPassword);
        for (int i = 1; i <= wb->sheetCount(); ++i) wb->sheetAt(i).unprotect(install::kSheetPassword);
        wb->renameSheet("Termékminta01", "Alfa01");
        app.ProductName = "Alfa";
        app.ProductWorkbook = OpenBook(*wb);
        app.Today = Day(2026, 12, 6);
        app.StartOfYear = Day(2026, 1, 1);
    }
};

// Trades on some days of 2026, several on one day now and then.
std::vector<TradeLine> tradeHistory() {
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

// The holding, cost and proceeds of a day by scanning back from the last trade row, as the
// position of a single day is defined.
struct Expected {
    int quantity;
    Currency cost, proceeds;
};
Expected scanBack(const std::vector<TradeLine> &t, Date day) {
    int last = static_cast<int>(t.size()) - 1;
    while (last > 0 && t[last].date > day) --last;
    Expected e{t[last].holding, {}, {}};
    for (int i = 0; i <= last; ++i) {
        e.cost += t[i].cost;
        e.proceeds += t[i].proceeds;
    }
    return e;
}

TEST(Position, ForwardMergeMatchesTheBackwardScanOnEveryDay) {
    Product p;
    const auto trades = tradeHistory();
    WriteTradeRows(p.wb->sheet("Szla"), trades);
    TradePositionCursor cursor(p.wb->sheet("Szla"));
    // Ascending days from before the first trade to after the last, then one earlier day.
    std::vector<Date> days;
    for (Date d = Day(2026, 1, 20); d <= Day(2026, 12, 31); d = d.addDays(1)) days.push_back(d);
    days.push_back(Day(2026, 3, 3));
    for (Date d : days) {
        auto got = cursor.at(d);
        Expected e = scanBack(trades, d);
        ASSERT_EQ(got.quantity, e.quantity) << d.toIso();
        ASSERT_EQ(got.cost, e.cost) << d.toIso();
        ASSERT_EQ(got.proceeds, e.proceeds) << d.toIso();
    }
    // The single-day procedure agrees too.
    p.app.PositionDate = Day(2026, 4, 10);
    ComputePositionAtDate(p.app);
    Expected e = scanBack(trades, Day(2026, 4, 10));
    EXPECT_EQ(p.app.HeldQuantity, e.quantity);
    EXPECT_EQ(p.app.PositionCost, e.cost);
    EXPECT_EQ(p.app.PositionProceeds, e.proceeds);
}

TEST(Position, NoTradeMeansNothingHeld) {
    Product p;
    p.app.HeldQuantity = 7;
    p.app.PositionCost = Amount("5");
    p.app.PositionDate = Day(2026, 4, 10);
    ComputePositionAtDate(p.app);
    EXPECT_EQ(p.app.HeldQuantity, 0);
    EXPECT_EQ(p.app.PositionCost, Currency());
    EXPECT_EQ(p.app.PositionProceeds, Currency());
}

TEST(Position, RecalcOfManyRowsGivesEachRowItsOwnDaysPosition) {
    Product p;
    const auto trades = tradeHistory();
    WriteTradeRows(p.wb->sheet("Szla"), trades);
    std::vector<PriceLine> lines;
    for (int i = 0; i < 300; ++i)
        lines.push_back({Day(2026, 1, 25).addDays(i), Currency::fromRaw(1000000 + (i % 17) * 777)});
    Sheet &prices = p.wb->sheet("Alfa01");
    WritePriceRows(prices, lines);
    p.app.LastDataRow = 304;
    p.app.RecalcFromRow = 5;
    RecalcPriceRows(p.app);
    Currency previous;
    for (int r = 5; r <= 304; ++r) {
        const PriceLine &l = lines[r - 5];
        Expected e = scanBack(trades, l.date);
        Currency result = l.price * e.quantity + e.proceeds - e.cost;
        ASSERT_EQ(prices.value(r, 3).currency(), l.price * e.quantity) << r;
        ASSERT_EQ(prices.value(r, 4).currency(), result) << r;
        ASSERT_EQ(prices.value(r, 5).currency(), r == 5 ? result : result - previous) << r;
        previous = result;
    }
}

} // namespace
} // namespace vandorix
