#include "TradingFixture.h"

#include "trading/LotMatching.h"
#include "trading/TradeCorrections.h"

#include <cmath>
#include <random>
#include <tuple>

namespace vandorix::testing {
namespace {

// An independent lot book kept from the trades alone: the lots in the order the trade sheet
// keeps them (by date; within a day an open lot before the purchases that follow it, a new
// purchase above the day's first exhausted lot), and what each sale took.
class LotBook {
  public:
    struct Lot {
        Date date;
        int code;
        long long bought;
        std::int64_t costRaw; // purchase cost in ten-thousandths
        long long open;
    };
    struct Sale {
        int code;
        PairList taken; // (quantity, lot code)
        long double result = 0;
    };

    void buy(Date d, int code, long long quantity, std::int64_t costRaw) {
        std::size_t i = 0;
        while (i < lots.size() && lots[i].date < d)
            ++i;
        while (i < lots.size() && lots[i].date == d && lots[i].open > 0)
            ++i;
        lots.insert(lots.begin() + static_cast<long>(i), Lot{d, code, quantity, costRaw, quantity});
    }

    long long openOn(Date d) const {
        long long open = 0;
        for (const Lot &lot : lots)
            if (lot.date <= d)
                open += lot.open;
        return open;
    }

    // nullptr when the lots dated on or before `d` do not cover the quantity.
    const Sale *sell(Date d, int code, long long quantity, std::int64_t netRaw, bool lifo) {
        if (openOn(d) < quantity)
            return nullptr;

        Sale sale{code, {}, 0};
        long long left = quantity;
        auto take = [&](Lot &lot) {
            if (left == 0 || lot.open == 0)
                return;
            long long t = std::min(left, lot.open);
            lot.open -= t;
            left -= t;
            sale.taken.emplace_back(t, lot.code);
            sale.result += (static_cast<long double>(netRaw) * t / quantity -
                            static_cast<long double>(lot.costRaw) * t / lot.bought) /
                           10000.0L;
        };
        for (Lot &lot : lots)
            if (lot.date == d)
                take(lot);
        for (std::size_t k = 0; k < lots.size(); ++k) {
            Lot &lot = lots[lifo ? lots.size() - 1 - k : k];
            if (lot.date <= d)
                take(lot);
        }
        sales.push_back(sale);
        return &sales.back();
    }

    void deleteSale(std::size_t index) {
        for (auto [t, code] : sales[index].taken)
            for (Lot &lot : lots)
                if (lot.code == code)
                    lot.open += t;
        sales.erase(sales.begin() + static_cast<long>(index));
    }

    std::vector<Lot> lots;
    std::vector<Sale> sales;
};

enum class Orders { Fifo, Lifo, Mixed };

class RandomTrades : public ::testing::TestWithParam<std::tuple<unsigned, Orders>> {};

TEST_P(RandomTrades, ResultsAndLotsAgreeWithAnIndependentLotBook) {
    const auto [seed, orders] = GetParam();
    std::mt19937 rng(seed);
    auto uniform = [&](long long lo, long long hi) {
        return std::uniform_int_distribution<long long>(lo, hi)(rng);
    };
    TradeBooks books;
    LotBook model;
    auto resultAt = [&](int row) {
        return static_cast<long double>(CellCurrency(books.trades(), row, szla::Result).raw()) /
               10000.0L;
    };
    int nextCode = 1;

    for (int step = 0; step < 80; ++step) {
        const Date d = Day(2026, 3, 1).addDays(static_cast<int>(uniform(0, 14)));
        const long long kind = uniform(0, 9);
        SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
        const int q = static_cast<int>(uniform(1, kind < 5 ? 200 : 300));
        books.enter(d, q, 0, 0, nextCode);
        books.app.UnitPrice = Currency::fromRaw(uniform(10000, 500000) / 100 * 100);
        books.app.Commission = Currency::fromRaw(uniform(0, 300000) / 100 * 100);
        if (kind < 5) {
            const std::int64_t cost = (books.app.UnitPrice * q + books.app.Commission).raw();
            ASSERT_EQ(RecordPurchase(books.app), TradeOutcome::Recorded);
            model.buy(d, nextCode, q, cost);
        } else if (kind < 9) {
            const bool lifo = orders == Orders::Lifo || (orders == Orders::Mixed && uniform(0, 1));
            books.app.SaleOrder = lifo ? "LIFO" : "FIFO";
            const std::int64_t net = (books.app.UnitPrice * q - books.app.Commission).raw();
            const long long openOnDate = model.openOn(d);
            const LotBook::Sale *expected = model.sell(d, nextCode, q, net, lifo);
            const TradeOutcome outcome = RecordSale(books.app);
            if (!expected) {
                ASSERT_EQ(outcome, TradeOutcome::NotEnoughShares);
                // What the refusal reports is the open quantity on the sale's date.
                EXPECT_EQ(books.app.HeldQuantity, openOnDate);
                RecalcTradeSheet(books.app);
            } else {
                ASSERT_EQ(outcome, TradeOutcome::Recorded);
                const int row = books.rowOf(nextCode);
                EXPECT_EQ(Pairs(books.trades(), row), expected->taken);
                EXPECT_LT(std::fabs(resultAt(row) - expected->result), 0.005L)
                    << "expected " << static_cast<double>(expected->result);
            }
        } else if (!model.sales.empty()) {
            const std::size_t i = static_cast<std::size_t>(uniform(0, model.sales.size() - 1));
            books.app.SettlementCode = model.sales[i].code;
            ASSERT_EQ(FindTradeRow(books.app), TradeOutcome::Recorded);
            DeleteSaleRow(books.app);
            model.deleteSale(i);
        }
        ++nextCode;

        ASSERT_TRUE(TradeSheetIsSound(books.trades()));
        for (const LotBook::Lot &lot : model.lots)
            EXPECT_EQ(Int(books.trades(), books.rowOf(lot.code), szla::OpenQuantity), lot.open);
        EXPECT_EQ(books.app.HeldQuantity, model.openOn(Day(2026, 12, 31)));
    }
}

INSTANTIATE_TEST_SUITE_P(FixedSeeds, RandomTrades,
                         ::testing::Combine(::testing::Range(1u, 9u),
                                            ::testing::Values(Orders::Fifo, Orders::Lifo,
                                                              Orders::Mixed)));

} // namespace
} // namespace vandorix::testing
