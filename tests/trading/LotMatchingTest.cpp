#include "TradingFixture.h"

#include "trading/LotMatching.h"
#include "trading/TradeCorrections.h"

namespace vandorix::testing {
namespace {

using namespace szla;

// Lots bought on 1 March (100), 5 March (50) and 10 March (30), then a sale of 120 on 12 March.
class ThreeLots : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(books.buy(Day(2026, 3, 1), 100, 10, 0, 101), TradeOutcome::Recorded);
        ASSERT_EQ(books.buy(Day(2026, 3, 5), 50, 11, 0, 102), TradeOutcome::Recorded);
        ASSERT_EQ(books.buy(Day(2026, 3, 10), 30, 12, 0, 103), TradeOutcome::Recorded);
        ASSERT_TRUE(TradeSheetIsSound(books.trades()));
    }
    std::vector<std::pair<long long, long long>> pairsOf(int code) {
        std::vector<std::pair<long long, long long>> pairs;
        for (const ConsumedLot &lot : SaleAllocation(books.trades(), books.rowOf(code)))
            pairs.emplace_back(lot.taken, lot.lotCode);
        return pairs;
    }
    void expectLot(int code, const char *s, const char *t, long long open) {
        int r = books.rowOf(code);
        EXPECT_EQ(books.cellText(r, LotCode), s) << code;
        EXPECT_EQ(books.cellText(r, LotStatus), t) << code;
        EXPECT_EQ(books.cellInt(r, OpenQuantity), open) << code;
    }
    TradeBooks books;
};

TEST_F(ThreeLots, FifoTakesTheOldestLotsFirst) {
    ASSERT_EQ(books.sell(Day(2026, 3, 12), 120, 15, 0, 201, "FIFO"), TradeOutcome::Recorded);
    using P = std::vector<std::pair<long long, long long>>;
    EXPECT_EQ(pairsOf(201), (P{{100, 101}, {20, 102}}));
    expectLot(101, "VAR", "Kész", 0);
    expectLot(102, "VAK", "Rész", 30);
    expectLot(103, "VAK", "", 30);
    int s = books.rowOf(201);
    EXPECT_EQ(books.cellInt(s, SaleCode), 201);
    EXPECT_EQ(books.cellText(s, LotCode), "EAR");
    EXPECT_EQ(books.cellText(s, LotStatus), "Kész");
    EXPECT_EQ(books.app.HeldQuantity, 60);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    SyncLedgerLotCodes(books.app);
    EXPECT_EQ(books.ledgerType(101), "VAR");
    EXPECT_EQ(books.ledgerType(102), "VAK");
    EXPECT_EQ(books.ledgerType(103), "VAK");
    EXPECT_EQ(books.ledgerType(201), "EAR");
}

TEST_F(ThreeLots, LifoTakesTheNewestLotsFirstAndWritesThreePairs) {
    ASSERT_EQ(books.sell(Day(2026, 3, 12), 120, 15, 0, 201, "LIFO"), TradeOutcome::Recorded);
    using P = std::vector<std::pair<long long, long long>>;
    EXPECT_EQ(pairsOf(201), (P{{30, 103}, {50, 102}, {40, 101}}));
    int s = books.rowOf(201);
    // Three pairs in X to AC, nothing after them.
    EXPECT_EQ(books.cellInt(s, 29), 101);
    EXPECT_TRUE(books.trades().value(s, 30).isBlank());
    expectLot(103, "VAR", "Kész", 0);
    expectLot(102, "VAR", "Kész", 0);
    expectLot(101, "VAK", "Rész", 60);
    EXPECT_EQ(books.cellText(s, Description), "Alfa  120 db. elad LIFO");
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    SyncLedgerLotCodes(books.app);
    EXPECT_EQ(books.ledgerType(103), "VAR");
    EXPECT_EQ(books.ledgerType(102), "VAR");
    EXPECT_EQ(books.ledgerType(101), "VAK");
}

TEST_F(ThreeLots, SaleOfExactlyTheOpenQuantityExhaustsTheLot) {
    ASSERT_EQ(books.sell(Day(2026, 3, 12), 30, 15, 0, 201, "LIFO"), TradeOutcome::Recorded);
    expectLot(103, "VAR", "Kész", 0);
    expectLot(102, "VAK", "", 50);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST_F(ThreeLots, DeletingASaleGivesBackWhatItTook) {
    // The first sale takes lot 101 whole and 20 of lot 102; a second one 10 more of lot 102.
    ASSERT_EQ(books.sell(Day(2026, 3, 12), 120, 15, 0, 201, "FIFO"), TradeOutcome::Recorded);
    ASSERT_EQ(books.sell(Day(2026, 3, 13), 10, 15, 0, 202, "FIFO"), TradeOutcome::Recorded);
    SyncLedgerLotCodes(books.app);
    ASSERT_EQ(books.ledgerType(101), "VAR");

    books.app.SettlementCode = 201;
    ASSERT_EQ(FindTradeRow(books.app), TradeOutcome::Recorded);
    DeleteSaleRow(books.app);
    EXPECT_EQ(books.rowOf(201), 0);
    expectLot(101, "VAK", "", 100);
    expectLot(102, "VAK", "Rész", 40);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
    SyncLedgerLotCodes(books.app);
    EXPECT_EQ(books.ledgerType(101), "VAK");
    EXPECT_EQ(books.ledgerType(102), "VAK");

    books.app.SettlementCode = 202;
    ASSERT_EQ(FindTradeRow(books.app), TradeOutcome::Recorded);
    DeleteSaleRow(books.app);
    expectLot(102, "VAK", "", 50);
    EXPECT_EQ(books.app.HeldQuantity, 180);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(LotMatching, RealisedResultCountsBothCommissions) {
    // 10 bought at 100 with 10 commission (101 a share), sold at 120 with 20 (118 a share).
    TradeBooks books;
    books.buy(Day(2026, 4, 1), 10, 100, 10, 1);
    ASSERT_EQ(books.sell(Day(2026, 4, 2), 10, 120, 20, 2), TradeOutcome::Recorded);
    int s = books.rowOf(2);
    EXPECT_EQ(books.trades().value(s, Result).currency(), Money(170));
    EXPECT_EQ(books.trades().value(s, CostPerShare).currency(), Money(101));
    EXPECT_DOUBLE_EQ(books.trades().value(s, NetPerShare).number().value_or(0), 118.0);
    EXPECT_EQ(books.app.SaleResult, Money(170));
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(LotMatching, SameDayPurchaseIsSoldBeforeAnOlderLot) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 100, 10, 0, 1);
    books.buy(Day(2026, 3, 5), 50, 12, 0, 2);
    ASSERT_EQ(books.sell(Day(2026, 3, 5), 30, 13, 0, 3, "FIFO"), TradeOutcome::Recorded);
    auto pairs = SaleAllocation(books.trades(), books.rowOf(3));
    ASSERT_EQ(pairs.size(), 1u);
    EXPECT_EQ(pairs[0].lotCode, 2);
    EXPECT_EQ(pairs[0].taken, 30);
    EXPECT_EQ(books.cellInt(books.rowOf(1), OpenQuantity), 100);
    EXPECT_EQ(books.app.SaleResult, Money(30)); // 30 × (13 − 12)
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(LotMatching, SaleIsRefusedForLackOfSharesOnItsDate) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 50, 10, 0, 1);
    books.buy(Day(2026, 3, 10), 100, 10, 0, 2);
    const int rowsBefore = LastTradeRow(books.trades());
    const auto s2 = books.trades().value(2, 19);

    EXPECT_EQ(books.sell(Day(2026, 3, 5), 80, 12, 0, 3, "LIFO"), TradeOutcome::NotEnoughShares);
    EXPECT_EQ(books.app.HeldQuantity, 50);
    EXPECT_EQ(LastTradeRow(books.trades()), rowsBefore);
    EXPECT_EQ(books.trades().value(2, 19), s2);
    EXPECT_EQ(books.rowOf(3), 0);
    EXPECT_EQ(books.cellInt(books.rowOf(1), OpenQuantity), 50);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    // A sale the earlier lot covers never touches the later one, even last-in-first-out.
    ASSERT_EQ(books.sell(Day(2026, 3, 5), 20, 12, 0, 4, "LIFO"), TradeOutcome::Recorded);
    EXPECT_EQ(books.cellInt(books.rowOf(2), OpenQuantity), 100);
    EXPECT_EQ(books.cellInt(books.rowOf(1), OpenQuantity), 30);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(TradeCorrections, PurchaseSoldFromCannotBeModifiedOrDeleted) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 50, 10, 0, 1);
    books.sell(Day(2026, 3, 2), 10, 12, 0, 2);
    books.enter(Day(2026, 3, 1), 60, 10, 0, 1);
    EXPECT_EQ(ModifyPurchase(books.app), TradeOutcome::LotAlreadySold);
    EXPECT_EQ(books.cellInt(books.rowOf(1), Bought), 50);
    EXPECT_EQ(CheckPurchaseDeletable(books.app), TradeOutcome::LotAlreadySold);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(TradeCorrections, ModifiedPurchaseWithAnotherDateMovesToItsPlace) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 50, 10, 0, 1);
    books.buy(Day(2026, 3, 5), 20, 11, 0, 2);
    books.enter(Day(2026, 2, 20), 25, 9, 1, 2);
    ASSERT_EQ(ModifyPurchase(books.app), TradeOutcome::Recorded);
    EXPECT_EQ(books.rowOf(2), 5);
    EXPECT_EQ(books.cellInt(5, Bought), 25);
    EXPECT_EQ(books.cellText(5, Description), "Alfa  25 db. vétel");
    EXPECT_EQ(books.app.HeldQuantity, 75);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(TradeCorrections, UntouchedPurchaseIsDeletedAndTheOnlyTradeLeavesAnEmptySheet) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 50, 10, 0, 1);
    books.app.SettlementCode = 1;
    ASSERT_EQ(CheckPurchaseDeletable(books.app), TradeOutcome::Recorded);
    DeletePurchaseRow(books.app);
    EXPECT_TRUE(books.trades().value(5, 1).isBlank());
    EXPECT_EQ(books.trades().value(2, 19).integer(), 7);
    EXPECT_EQ(books.trades().value(7, 2).text(), "Összesen");
    EXPECT_TRUE(books.trades().value(2, 1).isBlank());
    EXPECT_EQ(books.app.HeldQuantity, 0);
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
    EXPECT_EQ(books.cellInt(books.rowOf(2), OpenQuantity), 10);
    // 100 × (16 − 10) + 40 × (16 − 11)
    EXPECT_EQ(books.app.SaleResult, Money(800));
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    // 160 is not: the allocation and the sale row stay as they were.
    books.enter(Day(2026, 3, 12), 160, 16, 0, 3);
    EXPECT_EQ(ModifySale(books.app), TradeOutcome::NotEnoughShares);
    EXPECT_EQ(books.cellInt(books.rowOf(3), Sold), 140);
    EXPECT_EQ(books.cellInt(books.rowOf(2), OpenQuantity), 10);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    // Moved before the second purchase, only the first lot is there to sell from.
    books.enter(Day(2026, 3, 3), 90, 16, 0, 3);
    ASSERT_EQ(ModifySale(books.app), TradeOutcome::Recorded);
    EXPECT_EQ(books.rowOf(3), 6);
    EXPECT_EQ(books.cellInt(books.rowOf(1), OpenQuantity), 10);
    EXPECT_EQ(books.cellInt(books.rowOf(2), OpenQuantity), 50);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

} // namespace
} // namespace vandorix::testing
