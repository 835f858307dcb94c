// The ledger row deletion window: a movement found by its settlement code is deleted once
// confirmed, into the deleted-row logs, and everything derived from it is recomputed; a trade
// leaves its product's trade sheet with its ledger row.
#include "MaintenanceSession.h"

namespace vandorix::testing {
namespace {

using Codes = std::vector<long long>;

TEST(LedgerRowDeletion, ACashMovementGoesToTheLogOnlyWhenConfirmedAndTheBalancesFollow) {
    TradeSession s;
    s.play(DepositScript("2026.03.01", "1000", 1));
    s.play(DepositScript("2026.03.05", "500,5", 2));
    s.play(DepositScript("2026.03.09", "300", 3));
    const std::string account = FileBytes(s.accountFile());

    // A missing code, a declined one and one given up leave the ledger as it was.
    s.play(kRowDeletion + "type Text1 5\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Adathiba|Nincs ilyen teljesítés  kód,\r\njavítson !");
    Form &first = s.window();
    EXPECT_EQ(first.control("Text1").text, "");
    EXPECT_EQ(first.focus(), "Text1");
    EXPECT_FALSE(first.control("Command1").enabled);

    s.play("type Text1 1\nanswer No\n");
    EXPECT_EQ(first.control("Text1").text, "");
    EXPECT_TRUE(first.control("Text1").enabled);
    EXPECT_FALSE(first.control("Command1").enabled);

    // Confirmed, then given up with "Mégse".
    s.play("type Text1 1\nanswer Yes\nclick Command2\n");
    EXPECT_FALSE(first.control("Command1").enabled);
    EXPECT_EQ(first.focus(), "Text1");
    s.play("click Command3\n");
    EXPECT_EQ(FileBytes(s.accountFile()), account);
    EXPECT_FALSE(std::filesystem::exists(s.accountLogFile()) &&
                 !ReadWorkbookFile(s.accountLogFile())->sheet("Befszlatörsor01").value(5, 1).isBlank());

    s.play(kRowDeletion + "type Text1 2\nanswer Yes\n");
    EXPECT_EQ(s.shown().back(), "Kérdés|2026. 03. 05. Kp befizetés\r\nEzt törli ?");
    Form &w = s.window();
    EXPECT_EQ(w.caption(), "Adatsor törlés");
    EXPECT_EQ(w.focus(), "Command1");
    EXPECT_FALSE(w.control("Text1").enabled) << "the confirmed code stays";
    s.play("click Command1\n");
    EXPECT_EQ(w.control("Text1").text, "");
    EXPECT_EQ(w.focus(), "Text1") << "ready for the next code";
    s.play("click Command3\n");

    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    EXPECT_EQ(LedgerCodes(l), (Codes{1, 3}));
    ExpectAmounts(l, {{6, ledger::Balance, "1300"}, {9, ledger::PaidIn, "1300"}});
    EXPECT_EQ(Int(l, 2, ledger::RowType), 9);
    auto log = ReadWorkbookFile(s.accountLogFile());
    const Sheet &g = log->sheet("Befszlatörsor01");
    EXPECT_EQ(Int(g, 5, ledger::SettlementCode), 2);
    EXPECT_EQ(Cur(g, 5, ledger::PaidIn), Amount("500,5"));
    EXPECT_EQ(g.value(5, ledger::MovementDate).date(), Day(2026, 3, 5));
    EXPECT_TRUE(g.value(6, ledger::MovementDate).isBlank());
}

TEST(LedgerRowDeletion, ASaleLeavesTheTradeSheetWithItsLedgerRowAndGivesItsLotsBack) {
    TradeSession s;
    s.play(DepositScript("2026.03.01", "5000", 1));
    s.play(Purchase({"2026.03.02", 100, "10", "0", 1, 10}));
    s.play(Purchase({"2026.03.03", 50, "11", "0", 2, 11}));
    s.play(Sale({"2026.03.10", 120, "12", "0", 3, 20}));

    s.play(DeleteRow(20) + "click Command3\n");

    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    EXPECT_EQ(StoredCodes(t), (Codes{10, 11}));
    // The holding without the sale.
    ExpectIntegers(t, {{5, szla::OpenQuantity, 100}, {6, szla::OpenQuantity, 50}, {6, szla::Holding, 150}});
    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    EXPECT_EQ(LedgerCodes(l), (Codes{1, 10, 11}));
    // 5000 − 100 × 10 − 50 × 11, computed by hand.
    EXPECT_EQ(Cur(l, 7, ledger::Balance), Amount("3450"));
    EXPECT_EQ(Text(l, 6, ledger::RowType), "VAK") << "the lot codes follow the restored lots";
    auto accLog = ReadWorkbookFile(s.accountLogFile());
    EXPECT_EQ(Int(accLog->sheet("Befszlatörsor01"), 5, 21), 20);
    auto productLog = ReadWorkbookFile(s.productLogFile());
    ExpectIntegers(productLog->sheet("Szla"), {{5, 21, 20}, {5, 10, 120}});
}

TEST(LedgerRowDeletion, APurchaseIsDeletedUnlessItsLotWasSoldFrom) {
    TradeSession s;
    s.play(Purchase({"2026.03.02", 100, "10", "0", 1, 10}));
    s.play(Purchase({"2026.03.03", 40, "11", "0", 2, 11}));
    s.play(Sale({"2026.03.10", 30, "12", "0", 3, 20}));
    const std::string account = FileBytes(s.accountFile());
    const std::string product = FileBytes(s.productFile());

    s.play(DeleteRow(10) + "answer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|A sorból már eladás történt\r\nA sor nem törölhető.");
    EXPECT_EQ(FileBytes(s.accountFile()), account);
    EXPECT_EQ(FileBytes(s.productFile()), product);
    EXPECT_EQ(s.window().focus(), "Text1");

    // The untouched later lot can go; the window takes the next code at once.
    s.play("type Text1 11\nanswer Yes\nclick Command1\nclick Command3\n");
    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    EXPECT_EQ(StoredCodes(t), (Codes{10, 20, 20, 10}));
    EXPECT_EQ(Int(t, 6, szla::Holding), 70);
    auto acc = s.account();
    EXPECT_EQ(LedgerCodes(acc->sheet("Befszla01")), (Codes{10, 20}));
    auto productLog = ReadWorkbookFile(s.productLogFile());
    EXPECT_EQ(Int(productLog->sheet("Szla"), 5, 21), 11);
}

} // namespace
} // namespace vandorix::testing
