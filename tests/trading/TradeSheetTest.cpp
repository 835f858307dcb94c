// The trade sheet's procedures on the sheet itself: recomputation, rows, ledger lot codes, the
// entry-mode decision, and corrections the windows give no way to reach. TradeSheetIsSound
// checks totals, pointers, holdings and the caption, each computed from the cells alone.
#include "TradingFixture.h"

#include "support/ScriptedDialogsFake.h"
#include "trading/EntryMode.h"
#include "trading/LotMatching.h"
#include "trading/TradeCorrections.h"

namespace vandorix::testing {
namespace {

using namespace szla;

TEST(TradeSheetRecalc, EmptySheetKeepsItsTotalsInRowSevenTotalsFollowTheTradesAndRowsInsert) {
    TradeBooks books;
    RecalcTradeSheet(books.app);
    EXPECT_EQ(books.trades().value(7, Holding).integer(), 0);
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
    EXPECT_EQ(LastTradeRow(books.trades()), 4);
    EXPECT_EQ(PurchaseInsertionRow(books.trades(), Day(2026, 3, 1)), 5);

    books.buy(Day(2026, 3, 1), 100, 10, 0, 1);
    EXPECT_EQ(books.rowOf(1), 5);
    EXPECT_EQ(Text(books.trades(), 5, Description), "Alfa  100 db. vétel");
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
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    // A code stored as an amount is still found.
    books.trades().setValue(5, Settlement, Currency::fromUnits(1));
    EXPECT_EQ(TradeRowOfSettlementCode(books.trades(), 1), 5);
    EXPECT_EQ(TradeRowOfSettlementCode(books.trades(), 78), 0);
    // An inserted row takes the data format of the row below, not the heading format above.
    Sheet &s = books.trades();
    const FormatRef data = s.cellFormat(5, 4);
    ASSERT_NE(data, s.cellFormat(4, 4));
    InsertTradeRow(s, 5);
    EXPECT_EQ(s.cellFormat(5, 4), data);
}

TEST(EntryMode, LotCodesSyncedThenCodeOfAnotherKindOtherDataOrAnotherProductIsAMismatch) {
    TradeBooks books;
    books.addLedgerRow(Day(2026, 2, 1), 0, Currency(), 4, "BAR");
    books.buy(Day(2026, 3, 1), 10, 10, 0, 1);
    books.buy(Day(2026, 3, 2), 20, 11, 0, 2);
    // Stale from before a deletion.
    books.ledger().setValue(RowOfCode(books.ledger(), 2), ledger::RowType, "VAR");
    books.sell(Day(2026, 3, 3), 10, 12, 0, 3);
    SyncLedgerLotCodes(books.app);
    // The sold-out lot shows "VAR", the open one "VAK" again; other rows are left alone.
    for (auto [code, type] : {std::pair{1, "VAR"}, {2, "VAK"}, {3, "EAR"}, {4, "BAR"}})
        EXPECT_EQ(books.ledgerType(code), type) << code;
    books.app.ProductCode.clear(); // the decision reads it from "Szla"
    // Answers "Yes" to modifying, then sees the notice; returns the decision.
    auto decide = [&](TradeWindowKind kind, int code, int quantity, long long price) {
        books.app.EntryMode = vandorix::EntryMode::New;
        books.app.LedgerRow = 0;
        books.app.SettlementCode = code;
        books.app.TradeQuantity = quantity;
        books.app.UnitPrice = Currency::fromUnits(price);
        ScriptedDialogsFake dialogs;
        dialogs.answer(MessageAnswer::Yes);
        dialogs.answer(MessageAnswer::Ok);
        const EntryDecision decision = DecideTradeEntryMode(books.app, dialogs, kind);
        const std::vector<MessageRequest> &shown = dialogs.messages();
        EXPECT_TRUE(dialogs.allAnswersTaken()) << code << ": the question or the notice missed";
        EXPECT_EQ(shown.empty() ? "" : shown.back().title, "Kilépés") << code;
        return decision;
    };
    const struct {
        TradeWindowKind kind;
        int code, quantity;
        long long price;
    } cases[] = {
        {TradeWindowKind::Purchase, 3, 10, 12}, // a sale's code in the purchase window
        {TradeWindowKind::Sale, 2, 20, 11},     // a purchase's code in the sale window
        {TradeWindowKind::Purchase, 4, 0, 0},   // a deposit
        {TradeWindowKind::Sale, 4, 0, 0},
        {TradeWindowKind::Purchase, 2, 21, 11}, // another quantity
        {TradeWindowKind::Purchase, 2, 20, 12}, // another price
    };
    for (const auto &c : cases)
        EXPECT_EQ(decide(c.kind, c.code, c.quantity, c.price), EntryDecision::Mismatch) << c.code;
    // The right data under another product code on the ledger row.
    books.ledger().setValue(RowOfCode(books.ledger(), 2), ledger::ProductId, "HU0000999999");
    EXPECT_EQ(decide(TradeWindowKind::Purchase, 2, 20, 11), EntryDecision::Mismatch);
}

TEST(TradeCorrections, ModifiedSaleIsMatchedAgainAndAModifiedPurchaseMovesToItsDay) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 100, 10, 0, 1);
    books.buy(Day(2026, 3, 5), 50, 11, 0, 2);
    books.sell(Day(2026, 3, 12), 120, 15, 0, 3, "FIFO");

    // 140 is covered: 30 still open plus the 120 the sale itself holds.
    books.enter(Day(2026, 3, 12), 140, 16, 0, 3);
    books.app.PreviousQuantity = 120;
    ASSERT_EQ(ModifySale(books.app), TradeOutcome::Recorded);
    EXPECT_EQ(Pairs(books.trades(), books.rowOf(3)), (PairList{{100, 1}, {40, 2}}));
    // 100 × (16 − 10) + 40 × (16 − 11)
    EXPECT_EQ(books.app.SaleResult, Currency::fromUnits(800));
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
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));

    // The untouched second purchase moved before everything.
    books.enter(Day(2026, 2, 20), 25, 9, 1, 2);
    ASSERT_EQ(ModifyPurchase(books.app), TradeOutcome::Recorded);
    EXPECT_EQ(books.rowOf(2), 5);
    EXPECT_EQ(Int(books.trades(), 5, Bought), 25);
    EXPECT_EQ(Text(books.trades(), 5, Description), "Alfa  25 db. vétel");
    EXPECT_EQ(books.app.HeldQuantity, 35); // 100 + 25 − 90
    EXPECT_TRUE(TradeSheetIsSound(books.trades()));
}

} // namespace
} // namespace vandorix::testing
