// The trade sheet's rows and recomputation on the sheet itself. TradeSheetIsSound checks the
// totals row, its pointer in S2, the running holding, the period caption and the average cost
// of the holding, each computed from the cells alone.
#include "TradingFixture.h"

namespace vandorix::testing {
namespace {

using namespace szla;

TEST(TradeSheetRows, EmptySheetKeepsItsTotalsInRowSevenAndItsFirstPurchaseBecomesRowFive) {
    TradeBooks books;
    RecalcTradeSheet(books.app);
    EXPECT_EQ(books.trades().value(7, Holding).integer(), 0);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    EXPECT_EQ(LastTradeRow(books.trades()), 4);
    EXPECT_EQ(PurchaseInsertionRow(books.trades(), Day(2026, 3, 1)), 5);
    books.buy(Day(2026, 3, 1), 100, 10, 5, 1);
    EXPECT_EQ(books.rowOf(1), 5);
    EXPECT_EQ(Text(books.trades(), 5, Description), "Alfa  100 db. vétel");
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(TradeSheetRows, InsertedRowTakesTheFormatsOfTheRowBelow) {
    TradeBooks books;
    Sheet &s = books.trades();
    // Row 4 above carries a heading format, row 5 the data format the new row must get.
    FormatRef data = s.cellFormat(5, 4);
    ASSERT_NE(data, s.cellFormat(4, 4));
    InsertTradeRow(s, 5);
    EXPECT_EQ(s.cellFormat(5, 4), data);
}

TEST(TradeSheetRows, SettlementCodeIsFoundAsANumber) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 10, 10, 0, 77);
    books.trades().setValue(5, Settlement, Currency::fromUnits(77)); // read back as an amount
    EXPECT_EQ(TradeRowOfSettlementCode(books.trades(), 77), 5);
    EXPECT_EQ(TradeRowOfSettlementCode(books.trades(), 78), 0);
}

TEST(TradeSheetRecalc, TotalsFollowTheTradesAndTheHoldingsAverageCost) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 100, 10, 0, 1);
    books.buy(Day(2026, 3, 2), 50, 13, 5, 2);
    EXPECT_EQ(books.app.HeldQuantity, 150);
    EXPECT_EQ(books.app.HeldAverageCost, Currency::fromRaw(110333)); // (1000 + 655) ÷ 150
    EXPECT_EQ(books.app.FirstTradeDate, Day(2026, 3, 1));
    EXPECT_EQ(books.app.LastTradeDate, Day(2026, 3, 2));
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    books.sell(Day(2026, 3, 3), 60, 12, 0, 3);
    EXPECT_EQ(books.app.LastTradeDate, Day(2026, 3, 3));
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
    books.sell(Day(2026, 3, 4), 90, 12, 0, 4);
    EXPECT_EQ(books.app.HeldQuantity, 0);
    EXPECT_EQ(books.trades().value(11, Holding).integer(), 0);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

TEST(LedgerLotCodes, OpenLotsShowVakAgainAndOtherRowsAreLeftAlone) {
    TradeBooks books;
    books.addLedgerRow(Day(2026, 2, 1), 0, Currency(), 500, "BAR");
    books.buy(Day(2026, 3, 1), 10, 10, 0, 1);
    books.buy(Day(2026, 3, 2), 10, 10, 0, 2);
    // Stale from before a deletion.
    books.ledger().setValue(RowOfCode(books.ledger(), 2), ledger::RowType, "VAR");
    books.sell(Day(2026, 3, 3), 10, 10, 0, 3);
    SyncLedgerLotCodes(books.app);
    EXPECT_EQ(books.ledgerType(1), "VAR");
    EXPECT_EQ(books.ledgerType(2), "VAK");
    EXPECT_EQ(books.ledgerType(3), "EAR");
    EXPECT_EQ(books.ledgerType(500), "BAR");
}

} // namespace
} // namespace vandorix::testing
