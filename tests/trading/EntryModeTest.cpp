#include "TradingFixture.h"

#include "support/ScriptedDialogsFake.h"
#include "trading/EntryMode.h"

namespace vandorix::testing {
namespace {

class EntryMode : public ::testing::Test {
protected:
    void SetUp() override {
        books.buy(Day(2026, 3, 1), 10, 10, 0, 1);
        books.buy(Day(2026, 3, 2), 20, 11, 0, 2);
        books.sell(Day(2026, 3, 3), 10, 12, 0, 3);
        SyncLedgerLotCodes(books.app); // lot 1 is "VAR" now
        books.addLedgerRow(Day(2026, 3, 4), 0, Currency(), 4, "BAR");
        books.app.ProductCode.clear(); // the decision reads it from "Szla"
    }
    EntryDecision decide(TradeWindowKind kind, int code, int quantity, long long price) {
        books.app.SettlementCode = code;
        books.app.TradeQuantity = quantity;
        books.app.UnitPrice = Money(price);
        return DecideTradeEntryMode(books.app, dialogs, kind);
    }
    TradeBooks books;
    ScriptedDialogsFake dialogs;
};

TEST_F(EntryMode, CodeOfAnotherKindOtherDataOrAnotherProductIsAMismatch) {
    struct Case {
        TradeWindowKind kind;
        int code, quantity;
        long long price;
    };
    const Case cases[] = {
        {TradeWindowKind::Purchase, 3, 10, 12}, // a sale's code in the purchase window
        {TradeWindowKind::Sale, 2, 20, 11},     // a purchase's code in the sale window
        {TradeWindowKind::Purchase, 4, 0, 0},   // a deposit
        {TradeWindowKind::Sale, 4, 0, 0},
        {TradeWindowKind::Purchase, 2, 21, 11}, // another quantity
        {TradeWindowKind::Purchase, 2, 20, 12}, // another price
    };
    for (const Case &c : cases) {
        books.app.EntryMode = vandorix::EntryMode::New;
        books.app.LedgerRow = 0;
        dialogs = ScriptedDialogsFake();
        dialogs.answer(MessageAnswer::Yes);
        dialogs.answer(MessageAnswer::Ok); // the mismatch notice
        EXPECT_EQ(decide(c.kind, c.code, c.quantity, c.price), EntryDecision::Mismatch) << c.code;
        EXPECT_EQ(dialogs.messages().back().title, "Kilépés");
    }
    // The right data under another product code on the ledger row.
    books.app.EntryMode = vandorix::EntryMode::New;
    books.app.LedgerRow = 0;
    books.ledger().setValue(books.ledgerRowOf(2), 8, "HU0000999999");
    dialogs = ScriptedDialogsFake();
    dialogs.answer(MessageAnswer::Yes);
    dialogs.answer(MessageAnswer::Ok);
    EXPECT_EQ(decide(TradeWindowKind::Purchase, 2, 20, 11), EntryDecision::Mismatch);
}

} // namespace
} // namespace vandorix::testing
