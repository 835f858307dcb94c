// Corrections of trades on the sheet itself, where the windows give no way to reach the case:
// a purchase moved to another day's place, a sale modified beyond what its date covers and
// moved before a later lot. The plain lot matching is covered by the window scenarios and the
// random comparison with an independent lot book.
#include "TradingFixture.h"

#include "trading/LotMatching.h"
#include "trading/TradeCorrections.h"

namespace vandorix::testing {
namespace {

using namespace szla;

TEST(TradeCorrections, ModifiedPurchaseWithAnotherDateMovesToItsPlace) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 50, 10, 0, 1);
    books.buy(Day(2026, 3, 5), 20, 11, 0, 2);
    books.enter(Day(2026, 2, 20), 25, 9, 1, 2);
    ASSERT_EQ(ModifyPurchase(books.app), TradeOutcome::Recorded);
    EXPECT_EQ(books.rowOf(2), 5);
    EXPECT_EQ(Int(books.trades(), 5, Bought), 25);
    EXPECT_EQ(Text(books.trades(), 5, Description), "Alfa  25 db. vétel");
    EXPECT_EQ(books.app.HeldQuantity, 75);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(TradeCorrections, ModifiedSaleIsMatchedAgain) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 100, 10, 0, 1);
    books.buy(Day(2026, 3, 5), 50, 11, 0, 2);
    books.sell(Day(2026, 3, 12), 120, 15, 0, 3, "FIFO");

    // 140 is covered: 30 still open plus the 120 the sale itself holds.
    books.enter(Day(2026, 3, 12), 140, 16, 0, 3);
    books.app.PreviousQuantity = 120;
    ASSERT_EQ(ModifySale(books.app), TradeOutcome::Recorded);
    auto pairs = SaleAllocation(books.trades(), books.rowOf(3));
    ASSERT_EQ(pairs.size(), 2u);
    EXPECT_EQ(pairs[1].taken, 40);
    EXPECT_EQ(Int(books.trades(), books.rowOf(2), OpenQuantity), 10);
    // 100 × (16 − 10) + 40 × (16 − 11)
    EXPECT_EQ(books.app.SaleResult, Money(800));
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    // 160 is not: the allocation and the sale row stay as they were.
    books.enter(Day(2026, 3, 12), 160, 16, 0, 3);
    EXPECT_EQ(ModifySale(books.app), TradeOutcome::NotEnoughShares);
    EXPECT_EQ(Int(books.trades(), books.rowOf(3), Sold), 140);
    EXPECT_EQ(Int(books.trades(), books.rowOf(2), OpenQuantity), 10);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    // Moved before the second purchase, only the first lot is there to sell from.
    books.enter(Day(2026, 3, 3), 90, 16, 0, 3);
    ASSERT_EQ(ModifySale(books.app), TradeOutcome::Recorded);
    EXPECT_EQ(books.rowOf(3), 6);
    EXPECT_EQ(Int(books.trades(), books.rowOf(1), OpenQuantity), 10);
    EXPECT_EQ(Int(books.trades(), books.rowOf(2), OpenQuantity), 50);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

} // namespace
} // namespace vandorix::testing
