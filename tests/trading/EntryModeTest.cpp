#include "TradingFixture.h"

#include "support/ScriptedDialogsFake.h"
#include "trading/EntryMode.h"

namespace vandorix::testing {
namespace {

TEST(EntryMode, CodeOfAnotherKindOtherDataOrAnotherProductIsAMismatch) {
    TradeBooks books;
    books.buy(Day(2026, 3, 1), 10, 10, 0, 1);
    books.buy(Day(2026, 3, 2), 20, 11, 0, 2);
    books.sell(Day(2026, 3, 3), 10, 12, 0, 3);
    SyncLedgerLotCodes(books.app); // lot 1 is "VAR" now
    books.addLedgerRow(Day(2026, 3, 4), 0, Currency(), 4, "BAR");
    books.app.ProductCode.clear(); // the decision reads it from "Szla"
    // Answers "Yes" to modifying, then sees the notice; returns the decision.
    auto decide = [&](TradeWindowKind kind, int code, int quantity, long long price) {
        books.app.EntryMode = vandorix::EntryMode::New;
        books.app.LedgerRow = 0;
        books.app.SettlementCode = code;
        books.app.TradeQuantity = quantity;
        books.app.UnitPrice = Money(price);
        ScriptedDialogsFake dialogs;
        dialogs.answer(MessageAnswer::Yes);
        dialogs.answer(MessageAnswer::Ok);
        const EntryDecision decision = DecideTradeEntryMode(books.app, dialogs, kind);
        EXPECT_EQ(dialogs.messages().back().title, "Kilépés") << code;
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

} // namespace
} // namespace vandorix::testing
