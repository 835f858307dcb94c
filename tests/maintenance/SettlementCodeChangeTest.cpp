// The settlement-code change window: the code of a movement is replaced in the ledger and, for
// a trade, wherever the product's trade sheet keeps it; the stored files are read back.
#include "MaintenanceSession.h"

namespace vandorix::testing {
namespace {

using Codes = std::vector<long long>;

TEST(SettlementCodeChange, ADepositsCodeIsReplacedInTheLedgerOnly) {
    TradeSession s;
    s.play(DepositScript("2026.03.01", "5000", 1));
    s.play(Purchase({"2026.03.02", 100, "10", "0", 1, 10}));
    const std::string product = FileBytes(s.productFile());

    s.play(kCodeChange + "type Text1 1\nanswer Yes\n");
    EXPECT_EQ(s.shown().back(), "Kérdés|2026. 03. 01. Kp befizetés\r\nEzt cseréli ?");
    Form &w = s.window();
    EXPECT_EQ(w.caption(), "Teljesítés tranzakciós kód csere");
    EXPECT_TRUE(w.control("Text2").visible);
    EXPECT_TRUE(w.control("Label2").visible);
    EXPECT_EQ(w.focus(), "Text2");
    EXPECT_FALSE(w.control("Command1").enabled) << "waits for the new code";
    s.play("type Text2 77\nclick Command1\n");
    EXPECT_EQ(w.focus(), "Command4");
    EXPECT_TRUE(w.control("Command3").enabled) << "another code can follow";
    s.play("click Command4\n");
    EXPECT_TRUE(s.atMainWindow());

    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    EXPECT_EQ(LedgerCodes(l), (Codes{77, 10}));
    EXPECT_EQ(Cur(l, 5, ledger::PaidIn), Amount("5000")) << "the movement itself is unchanged";
    EXPECT_EQ(Cur(l, 9, ledger::Balance), Amount("4000"));
    EXPECT_EQ(FileBytes(s.productFile()), product) << "a cash movement has no trade row";
}

TEST(SettlementCodeChange, APurchaseAndASaleKeepTheirLinksUnderTheirNewCodes) {
    TradeSession s;
    s.play(Purchase({"2026.03.01", 100, "10", "0", 1, 10}));
    s.play(Purchase({"2026.03.02", 50, "11", "0", 2, 11}));
    s.play(Sale({"2026.03.10", 120, "12", "0", 3, 20}));
    {
        auto wb = s.product();
        const Sheet &t = wb->sheet("Szla");
        ASSERT_EQ(Pairs(t, RowOfCode(t, 20)), (PairList{{100, 10}, {20, 11}}));
    }

    // The lot the sale consumed whole: its own code and the sale's reference to it.
    s.play(ChangeCode(10, 110));
    // The sale: its own code and its copy in W.
    s.play(ChangeCode(20, 220));

    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    const int sale = RowOfCode(t, 220);
    ASSERT_NE(sale, 0);
    EXPECT_EQ(Int(t, sale, szla::SaleCode), 220);
    EXPECT_EQ(Pairs(t, sale), (PairList{{100, 110}, {20, 11}}));
    EXPECT_EQ(Text(t, RowOfCode(t, 110), szla::LotCode), "VAR");
    EXPECT_EQ(Int(t, RowOfCode(t, 11), szla::OpenQuantity), 30);
    EXPECT_EQ(StoredCodes(t), (Codes{110, 11, 220, 220, 110, 11})) << "no old code is left";
    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    EXPECT_EQ(LedgerCodes(l), (Codes{110, 11, 220}));
    // Row 5: the lot code of the renamed purchase.
    ExpectTexts(l, {{5, ledger::RowType, "VAR"}, {6, ledger::RowType, "VAK"}});

    // The sale still refers to its lots: deleting it gives them back under their codes.
    s.play(DeleteRow(220) + "click Command3\n");
    auto after = s.product();
    const Sheet &t2 = after->sheet("Szla");
    EXPECT_EQ(Int(t2, RowOfCode(t2, 110), szla::OpenQuantity), 100);
    EXPECT_EQ(Int(t2, RowOfCode(t2, 11), szla::OpenQuantity), 50);
    EXPECT_EQ(Text(t2, RowOfCode(t2, 110), szla::LotCode), "VAK");
}

TEST(SettlementCodeChange, CsereWritesTheCodeTheFieldShowsCheckedAgain) {
    TradeSession s;
    s.play(DepositScript("2026.03.01", "5000", 1));
    s.play(DepositScript("2026.03.02", "100", 2));
    // Accepted with Enter, then edited to a code another movement carries: refused.
    s.play(kCodeChange + "type Text1 1\nanswer Yes\ntype Text2 777009\nset Text2 2\n"
                         "click Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(),
              "Adathiba|Ezt a teljesítés kódot már egy másik tétel viseli,\r\nadjon meg másik kódot!");
    EXPECT_EQ(LedgerCodes(s.account()->sheet("Befszla01")), (Codes{1, 2}));
    // Edited to a free code: that code is written, not the one Enter accepted.
    s.play("type Text2 777009\nset Text2 78\nclick Command1\nclick Command4\n");
    EXPECT_EQ(LedgerCodes(s.account()->sheet("Befszla01")), (Codes{78, 2}));
}

TEST(SettlementCodeChange, AMissingDeclinedCancelledOrTakenCodeChangesNothing) {
    TradeSession s;
    s.play(DepositScript("2026.03.01", "5000", 1));
    s.play(Purchase({"2026.03.02", 100, "10", "0", 1, 10}));
    const std::string account = FileBytes(s.accountFile());
    const std::string product = FileBytes(s.productFile());

    s.play(kCodeChange + "type Text1 999\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Adathiba|Nincs ilyen brókerkód,\r\nVissza a főmenübe!");
    EXPECT_TRUE(s.atMainWindow());

    s.play(kCodeChange + "type Text1 10\nanswer No\n");
    EXPECT_TRUE(s.atMainWindow());

    // Letters are refused before any search; the field is emptied for a new code.
    s.play(kCodeChange + "type Text1 1x\nanswer OK\n");
    EXPECT_EQ(s.window().control("Text1").text, "");
    EXPECT_EQ(s.window().focus(), "Text1");

    // Cancel after the confirmation: the old code is forgotten, only Next and the leave
    // buttons are left; Next starts over.
    s.play("type Text1 10\nanswer Yes\ntype Text2 50\nclick Command2\n");
    Form &w = s.window();
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_FALSE(w.control("Text1").enabled);
    EXPECT_TRUE(w.control("Command3").enabled);
    EXPECT_EQ(w.focus(), "Command4");
    s.play("click Command3\n");
    EXPECT_TRUE(w.control("Text1").enabled);
    EXPECT_FALSE(w.control("Text2").visible);
    EXPECT_EQ(w.focus(), "Text1");
    s.play("click Command4\n");

    EXPECT_EQ(FileBytes(s.accountFile()), account);
    EXPECT_EQ(FileBytes(s.productFile()), product);

    // A code another movement carries is refused; a free one is written.
    s.play(kCodeChange + "type Text1 10\nanswer Yes\ntype Text2 1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Adathiba|Ezt a teljesítés kódot már egy másik tétel "
                                "viseli,\r\nadjon meg másik kódot!");
    Form &again = s.window();
    EXPECT_FALSE(again.control("Command1").enabled);
    EXPECT_EQ(again.control("Text2").text, "");
    EXPECT_EQ(again.focus(), "Text2");
    s.play("type Text2 10\nanswer OK\n");
    EXPECT_FALSE(again.control("Command1").enabled) << "its own code is no change";
    EXPECT_EQ(FileBytes(s.accountFile()), account);

    s.play("type Text2 12\nclick Command1\nclick Command4\n");
    auto acc = s.account();
    EXPECT_EQ(LedgerCodes(acc->sheet("Befszla01")), (Codes{1, 12}));
    auto wb = s.product();
    EXPECT_EQ(StoredCodes(wb->sheet("Szla")), (Codes{12}));
}

} // namespace
} // namespace vandorix::testing
