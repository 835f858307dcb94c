#include "products/ClosingPrice.h"
#include "support/ReferenceFigures.h"

#include <gtest/gtest.h>

#include <vector>

namespace vandorix {
namespace {

using namespace testing;

using Product = ProductBooks;

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

TEST(Position, ForwardMergeMatchesTheBackwardScanOnEveryDayAndNoTradeMeansNothingHeld) {
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
        ExpectedPosition e = PositionOn(trades, d);
        ASSERT_EQ(got.quantity, e.quantity) << d.toIso();
        ASSERT_EQ(got.cost, e.cost) << d.toIso();
        ASSERT_EQ(got.proceeds, e.proceeds) << d.toIso();
    }
    // The single-day procedure agrees too.
    p.app.PositionDate = Day(2026, 4, 10);
    ComputePositionAtDate(p.app);
    ExpectedPosition e = PositionOn(trades, Day(2026, 4, 10));
    EXPECT_EQ(p.app.HeldQuantity, e.quantity);
    EXPECT_EQ(p.app.PositionCost, e.cost);
    EXPECT_EQ(p.app.PositionProceeds, e.proceeds);

    // No trade means nothing held, whatever the previous figures were.
    Product none;
    none.app.HeldQuantity = 7;
    none.app.PositionCost = Amount("5");
    none.app.PositionDate = Day(2026, 4, 10);
    ComputePositionAtDate(none.app);
    EXPECT_EQ(none.app.HeldQuantity, 0);
    EXPECT_EQ(none.app.PositionCost, Currency());
    EXPECT_EQ(none.app.PositionProceeds, Currency());
}

} // namespace
} // namespace vandorix
