// Modifying and deleting trades through the purchase and sale windows: the settlement code of
// an existing trade offers to modify it, then to delete it. `play` checks the stored trade
// sheets and ledger after every action: lot statuses, totals, pointers, unique codes.
#include "TradeWindowSession.h"

namespace vandorix::testing {
namespace {

const std::string kModify = "answer Yes\n";
const std::string kDelete = "answer No\nanswer Yes\n";

TEST(TradeCorrectionWindows, PurchaseModifiedThenDeletedThenCodesOfAnotherKindAreRefused) {
    TradeSession s;
    s.play(Purchase({"2026.03.01", 100, "10", "5", 1, 1}));
    s.play(OpenPurchase() + Fields({"2026.03.01", 100, "10", "5", 1, 1}) + kModify);
    Form &w = s.window();
    EXPECT_FALSE(w.control("Text6").enabled) << "the code stays";
    EXPECT_EQ(w.focus(), "Text1");
    s.play("type Text1 2026.03.02\ntype Text2 80\ntype Text3 11\ntype Text4 6\ntype Text5 7\n");
    EXPECT_EQ(w.focus(), "Command1") << "the order code is the last field";
    s.play("click Command1\ninput 11\n");
    EXPECT_TRUE(s.atMainWindow());
    {
        auto wb = s.product();
        const Sheet &t = wb->sheet("Szla");
        EXPECT_EQ(t.value(5, szla::Day).date(), Day(2026, 3, 2));
        ExpectIntegers(t, {{5, szla::OrderCode, 7}, {5, szla::Bought, 80}});
        ExpectAmounts(t, {{5, szla::BuyCost, "886"}}); // 80 × 11 + 6
        ExpectTexts(t, {{5, szla::Description, "Alfa  80 db. vétel"}});
        auto acc = s.account();
        const Sheet &l = acc->sheet("Befszla01");
        EXPECT_EQ(l.value(5, ledger::MovementDate).date(), Day(2026, 3, 2));
        EXPECT_EQ(Int(l, 5, ledger::BoughtQuantity), 80);
        ExpectAmounts(l, {{5, ledger::Movement, "-886"}});
        const Sheet &p = wb->sheet("Alfa01");
        EXPECT_EQ(p.value(6, kPriceColDate).date(), Day(2026, 3, 2));
        ExpectAmounts(p, {{6, kPriceColValue, "880"}, {6, kPriceColResult, "-6"}});
    }

    // Deleting the last trade; the trade's own day is recomputed, whatever date the field held.
    s.play(OpenPurchase() + Fields({"2026.12.06", 80, "11", "6", 7, 1}) + kDelete +
           "click Command2\n");
    {
        auto wb = s.product();
        const Sheet &t = wb->sheet("Szla");
        EXPECT_TRUE(t.value(5, szla::Day).isBlank());
        EXPECT_TRUE(t.value(2, 1).isBlank()) << "no period caption without trades";
        const Sheet &p = wb->sheet("Alfa01");
        ExpectAmounts(
            p, {{6, kPriceColClose, "11"}, {6, kPriceColValue, "0"}, {6, kPriceColResult, "0"}});
        EXPECT_TRUE(p.value(7, kPriceColDate).isBlank());
        auto acc = s.account();
        const Sheet &l = acc->sheet("Befszla01");
        EXPECT_TRUE(l.value(5, ledger::MovementDate).isBlank());
        auto accountLog = ReadWorkbookFile(s.accountLogFile());
        EXPECT_EQ(Text(accountLog->sheet("Befszlatörsor01"), 5, ledger::RowType), "VAK");
        auto productLog = ReadWorkbookFile(s.productLogFile());
        ExpectIntegers(productLog->sheet("Szla"),
                       {{5, szla::Settlement, 1}, {5, szla::Bought, 80}});
    }

    s.play(Purchase({"2026.03.01", 100, "10", "0", 1, 1}));
    s.play(DepositScript("2026.03.01", "5000", 50));
    const std::string product = FileBytes(s.productFile()), account = FileBytes(s.accountFile());
    // A purchase's code in the sale window, a deposit's code in the purchase window, another
    // quantity than the purchase's.
    for (const std::string &script :
         {OpenSale() + Fields({"2026.03.01", 100, "10", "0", 1, 1}) + kModify,
          OpenPurchase() + Fields({"2026.03.01", 100, "10", "0", 2, 50}) + kDelete,
          OpenPurchase() + Fields({"2026.03.01", 90, "10", "0", 1, 1}) + kModify}) {
        s.play(script + "answer OK\n");
        EXPECT_EQ(s.shown().back(), kMismatchNotice) << script;
        EXPECT_TRUE(s.atMainWindow()) << script;
    }
    EXPECT_EQ(FileBytes(s.productFile()), product);
    // Declining both the modification and the deletion ends the program.
    s.play(OpenPurchase() + Fields({"2026.03.01", 100, "10", "0", 1, 1}) +
           "answer No\nanswer No\n");
    EXPECT_TRUE(s.app().ended());
    EXPECT_EQ(FileBytes(s.accountFile()), account);
}

TEST(TradeCorrectionWindows, SaleModifiedAndDeletedWhileThePurchasesItTookFromStay) {
    TradeSession s;
    s.play(Purchase({"2026.03.01", 100, "10", "5", 1, 1}));
    s.play(Purchase({"2026.03.05", 50, "11", "5", 2, 2}));
    s.play(Sale({"2026.03.12", 60, "15", "10", 3, 3}));
    std::string product = FileBytes(s.productFile()), account = FileBytes(s.accountFile());
    s.play(OpenPurchase() + Fields({"2026.03.01", 100, "10", "5", 1, 1}) + kDelete +
           "click Command2\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|A sorból már eladás történt\r\nA sor nem törölhető.");
    EXPECT_TRUE(s.window().control("Command3").enabled);
    s.play("click Command3\n");
    EXPECT_TRUE(ReadWorkbookFile(s.productLogFile())->sheet("Szla").value(5, 1).isBlank());
    EXPECT_EQ(FileBytes(s.productFile()), product);
    EXPECT_EQ(FileBytes(s.accountFile()), account);

    s.play(OpenSale() + Fields({"2026.03.12", 60, "15", "10", 3, 3}) + kModify +
           "type Text1 2026.03.12\ntype Text2 120\ntype Text3 15\ntype Text4 10\ntype Text5 3\n"
           "click Command1\ninput 15\n");
    {
        auto wb = s.product();
        const Sheet &t = wb->sheet("Szla");
        ASSERT_EQ(RowOfCode(t, 3), 7);
        EXPECT_EQ(Pairs(t, 7), (PairList{{100, 1}, {20, 2}}));
        EXPECT_EQ(Cur(t, 7, szla::Result), Amount("563")); // 1790 − (1005 + 20 × 555 / 50)
        auto acc = s.account();
        const Sheet &l = acc->sheet("Befszla01");
        EXPECT_EQ(RowOfCode(l, 3), 7);
        EXPECT_EQ(Int(l, 7, ledger::SoldQuantity), 120);
        ExpectAmounts(l, {{7, ledger::RealisedResult, "563"}, {7, ledger::Movement, "1790"}});
        ExpectTexts(l, {{5, ledger::RowType, "VAR"}, {6, ledger::RowType, "VAK"}});
    }

    s.play(OpenSale() + Fields({"2026.03.12", 120, "15", "10", 3, 3}) + kDelete);
    EXPECT_TRUE(s.window().control("Command2").enabled);
    EXPECT_FALSE(s.window().control("Command1").enabled);
    s.play("click Command2\n");
    EXPECT_TRUE(s.atMainWindow());
    {
        auto wb = s.product();
        const Sheet &t = wb->sheet("Szla");
        EXPECT_TRUE(t.value(7, szla::Day).isBlank());
        auto acc = s.account();
        const Sheet &l = acc->sheet("Befszla01");
        EXPECT_EQ(RowOfCode(l, 3), 0);
        ExpectTexts(l, {{5, ledger::RowType, "VAK"}, {6, ledger::RowType, "VAK"}});
        // The day's value follows the restored holding: 150 × 15 − 1005 − 555.
        const Sheet &p = wb->sheet("Alfa01");
        EXPECT_EQ(p.value(7, kPriceColDate).date(), Day(2026, 3, 12));
        ExpectAmounts(p, {{7, kPriceColValue, "2250"}, {7, kPriceColResult, "690"}});

        auto accountLog = ReadWorkbookFile(s.accountLogFile());
        const Sheet &al = accountLog->sheet("Befszlatörsor01");
        ExpectIntegers(al, {{5, ledger::SettlementCode, 3}, {5, ledger::SoldQuantity, 120}});
        ExpectTexts(al, {{5, ledger::RowType, "EAR"}});
        EXPECT_EQ(Cur(al, 5, ledger::RealisedResult), Amount("563"));
        EXPECT_TRUE(al.value(6, ledger::MovementDate).isBlank());
        auto productLog = ReadWorkbookFile(s.productLogFile());
        const Sheet &pl = productLog->sheet("Szla");
        ExpectIntegers(pl, {{5, szla::Settlement, 3}});
        ExpectTexts(pl, {{5, szla::LotCode, "EAR"}});
        EXPECT_EQ(Pairs(pl, 5), (PairList{{100, 1}, {20, 2}}));
    }

    // A purchase sold from again cannot be modified; only the exit is left.
    s.play(Sale({"2026.03.12", 30, "15", "0", 4, 4}));
    product = FileBytes(s.productFile());
    account = FileBytes(s.accountFile());
    s.play(OpenPurchase() + Fields({"2026.03.01", 100, "10", "5", 1, 1}) + kModify +
           "type Text1 2026.03.01\ntype Text2 90\ntype Text3 10\ntype Text4 0\ntype Text5 1\n"
           "click Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(),
              "Felhívás|A sorból már eladás történt\r\nA vétel sor nem módosítható");
    EXPECT_FALSE(s.window().control("Command3").enabled);
    EXPECT_TRUE(s.window().control("Command4").enabled);
    s.play("click Command4\n");
    EXPECT_TRUE(s.app().ended());
    EXPECT_EQ(FileBytes(s.productFile()), product);
    EXPECT_EQ(FileBytes(s.accountFile()), account);
}

} // namespace
} // namespace vandorix::testing
