// The settlement-code change and ledger row deletion windows on an installation with the share
// "Alfa"; the stored ledger and trade sheets are checked after every action and read back.
#include "trading/TradeWindowSession.h"

namespace vandorix::testing {
namespace {

using Codes = std::vector<long long>;

const std::string kCodeChange = "menu Befektetés/Karbantartás/Teljesülés  tr. kód módosítás\n";
const std::string kRowDeletion = "menu Befektetés/Karbantartás/Adatsor törlés\n";
const std::string kTaken =
    "Adathiba|Ezt a teljesítés kódot már egy másik tétel viseli,\r\nadjon meg másik kódot!";

// The code of a movement changed, confirmed and replaced, then back to the main window.
std::string ChangeCode(int from, int to) {
    return kCodeChange + "type Text1 " + std::to_string(from) + "\nanswer Yes\ntype Text2 " +
           std::to_string(to) + "\nclick Command1\nclick Command4\n";
}
// The movement of `code` confirmed and deleted; the window stays open for the next code.
std::string DeleteRow(int code) {
    return kRowDeletion + "type Text1 " + std::to_string(code) + "\nanswer Yes\nclick Command1\n";
}

// Every settlement code in the trade rows of a "Szla" (U, W and the lot codes), in order.
Codes StoredCodes(const Sheet &trades) {
    Codes out;
    for (int r = 5; !trades.value(r, szla::Day).isBlank(); ++r)
        for (int c = szla::Settlement; c <= szla::FirstPair + 21; c += 2) // U to AS
            if (auto v = trades.value(r, c).integer()) out.push_back(*v);
    return out;
}
// The settlement codes of the ledger's data rows, in row order.
Codes LedgerCodes(const Sheet &ledger) {
    Codes out;
    for (int r = 5; !ledger.value(r, ledger::MovementDate).isBlank(); ++r)
        out.push_back(Int(ledger, r, ledger::SettlementCode));
    return out;
}

TEST(MaintenanceWindows, RefusalsChangeNothingADepositsCodeIsReplacedAndADepositDeleted) {
    TradeSession s;
    s.play(DepositScript("2026.03.01", "5000", 1));
    s.play(Purchase({"2026.03.02", 100, "10", "0", 1, 10}));
    s.play(DepositScript("2026.03.05", "500,5", 2) + DepositScript("2026.03.09", "300", 3));
    const std::string account = FileBytes(s.accountFile());
    const std::string product = FileBytes(s.productFile());

    s.play(kCodeChange + "type Text1 999\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Adathiba|Nincs ilyen brókerkód,\r\nVissza a főmenübe!");
    EXPECT_TRUE(s.atMainWindow());
    s.play(kCodeChange + "type Text1 10\nanswer No\n");
    EXPECT_TRUE(s.atMainWindow());
    // Letters are refused before any search; the field is emptied for a new code.
    s.play(kCodeChange + "type Text1 1x\nanswer OK\n");
    Form &w = s.window();
    EXPECT_EQ(w.control("Text1").text, "");
    EXPECT_EQ(w.focus(), "Text1");
    // Cancel after the confirmation: the old code is forgotten, only Next and the leave
    // buttons are left; Next starts over.
    s.play("type Text1 10\nanswer Yes\ntype Text2 50\nclick Command2\n");
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_FALSE(w.control("Text1").enabled);
    EXPECT_TRUE(w.control("Command3").enabled);
    EXPECT_EQ(w.focus(), "Command4");
    s.play("click Command3\n");
    EXPECT_TRUE(w.control("Text1").enabled);
    EXPECT_FALSE(w.control("Text2").visible);
    EXPECT_EQ(w.focus(), "Text1");
    // A code another movement carries is refused, and so is its own code.
    s.play("type Text1 10\nanswer Yes\ntype Text2 1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kTaken);
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_EQ(w.control("Text2").text, "");
    EXPECT_EQ(w.focus(), "Text2");
    s.play("type Text2 10\nanswer OK\n");
    EXPECT_FALSE(w.control("Command1").enabled) << "its own code is no change";
    // Accepted with Enter, then edited to a taken code: "Csere" checks what the field shows.
    s.play("type Text2 777009\nset Text2 1\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kTaken);
    EXPECT_EQ(FileBytes(s.accountFile()), account);
    EXPECT_EQ(FileBytes(s.productFile()), product);
    // Edited to a free code: that code is written, not the one Enter accepted.
    s.play("type Text2 777009\nset Text2 12\nclick Command1\n");
    EXPECT_EQ(w.focus(), "Command4");
    EXPECT_TRUE(w.control("Command3").enabled) << "another code can follow";
    EXPECT_EQ(StoredCodes(s.product()->sheet("Szla")), (Codes{12}));
    const std::string renamedProduct = FileBytes(s.productFile());

    s.play("click Command3\ntype Text1 1\nanswer Yes\n");
    EXPECT_EQ(s.shown().back(), "Kérdés|2026. 03. 01. Kp befizetés\r\nEzt cseréli ?");
    EXPECT_TRUE(w.control("Text2").visible && w.control("Label2").visible);
    EXPECT_EQ(w.focus(), "Text2");
    EXPECT_FALSE(w.control("Command1").enabled) << "waits for the new code";
    s.play("type Text2 77\nclick Command1\nclick Command4\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.productFile()), renamedProduct) << "a cash movement has no trade row";
    // A missing code, a declined one and one given up leave the ledger as it was.
    const std::string renamed = FileBytes(s.accountFile());
    s.play(kRowDeletion + "type Text1 5\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Adathiba|Nincs ilyen teljesítés  kód,\r\njavítson !");
    Form &d = s.window();
    EXPECT_EQ(d.control("Text1").text, "");
    EXPECT_EQ(d.focus(), "Text1");
    EXPECT_FALSE(d.control("Command1").enabled);
    s.play("type Text1 77\nanswer No\n");
    EXPECT_EQ(d.control("Text1").text, "");
    EXPECT_TRUE(d.control("Text1").enabled);
    EXPECT_FALSE(d.control("Command1").enabled);
    // Confirmed, then given up with "Mégse".
    s.play("type Text1 77\nanswer Yes\nclick Command2\n");
    EXPECT_FALSE(d.control("Command1").enabled);
    EXPECT_EQ(d.focus(), "Text1");
    EXPECT_EQ(FileBytes(s.accountFile()), renamed);

    s.play("type Text1 2\nanswer Yes\n");
    EXPECT_EQ(s.shown().back(), "Kérdés|2026. 03. 05. Kp befizetés\r\nEzt törli ?");
    EXPECT_EQ(d.focus(), "Command1");
    EXPECT_FALSE(d.control("Text1").enabled) << "the confirmed code stays";
    s.play("click Command1\n");
    EXPECT_EQ(d.control("Text1").text, "");
    EXPECT_EQ(d.focus(), "Text1") << "ready for the next code";
    s.play("click Command3\n");

    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    EXPECT_EQ(LedgerCodes(l), (Codes{77, 12, 3}));
    // 5000 − 100 × 10 + 300 by hand; the deposit's amount is unchanged by its new code.
    ExpectAmounts(l, {{5, ledger::PaidIn, "5000"}, {6, ledger::Balance, "4000"},
                      {7, ledger::Balance, "4300"}, {10, ledger::PaidIn, "5300"}});
    EXPECT_EQ(Int(l, 2, ledger::RowType), 10);
    auto log = ReadWorkbookFile(s.accountLogFile());
    const Sheet &g = log->sheet("Befszlatörsor01");
    EXPECT_EQ(Int(g, 5, ledger::SettlementCode), 2);
    EXPECT_EQ(Cur(g, 5, ledger::PaidIn), Amount("500,5"));
    EXPECT_EQ(g.value(5, ledger::MovementDate).date(), Day(2026, 3, 5));
    EXPECT_TRUE(g.value(6, ledger::MovementDate).isBlank());
}

// Renamed lot and sale codes keep their links; the deleted sale gives its lots back under them.
TEST(LedgerRowDeletion, APurchaseSoldFromStaysAnUntouchedOneGoesAndASaleGivesItsLotsBack) {
    TradeSession s;
    s.play(DepositScript("2026.03.01", "5000", 1));
    s.play(Purchase({"2026.03.02", 100, "10", "0", 1, 10}));
    s.play(Purchase({"2026.03.03", 50, "11", "0", 2, 11}));
    s.play(Purchase({"2026.03.04", 40, "10", "0", 3, 12}));
    s.play(Sale({"2026.03.10", 120, "12", "0", 4, 20})); // FIFO: 100 of lot 10, 20 of lot 11
    const std::string account = FileBytes(s.accountFile());
    const std::string product = FileBytes(s.productFile());

    s.play(DeleteRow(10) + "answer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|A sorból már eladás történt\r\nA sor nem törölhető.");
    EXPECT_EQ(FileBytes(s.accountFile()), account);
    EXPECT_EQ(FileBytes(s.productFile()), product);
    EXPECT_EQ(s.window().focus(), "Text1");
    // The untouched lot can go; the window takes the next code at once.
    s.play("type Text1 12\nanswer Yes\nclick Command1\nclick Command3\n");

    // The lot the sale consumed whole (its own code and the sale's reference to it), then the
    // sale (its own code and its copy in W).
    s.play(ChangeCode(10, 110) + ChangeCode(20, 220));
    {
        auto wb = s.product();
        const Sheet &t = wb->sheet("Szla");
        ASSERT_EQ(RowOfCode(t, 220), 7);
        ExpectIntegers(t, {{7, szla::SaleCode, 220}, {7, szla::Holding, 30}}); // 100 + 50 − 120
        EXPECT_EQ(Pairs(t, 7), (PairList{{100, 110}, {20, 11}}));
        EXPECT_EQ(Text(t, RowOfCode(t, 110), szla::LotCode), "VAR");
        EXPECT_EQ(Int(t, RowOfCode(t, 11), szla::OpenQuantity), 30);
        EXPECT_EQ(StoredCodes(t), (Codes{110, 11, 220, 220, 110, 11})) << "no old code is left";
        auto acc = s.account();
        const Sheet &l = acc->sheet("Befszla01");
        EXPECT_EQ(LedgerCodes(l), (Codes{1, 110, 11, 220}));
        // The lot codes of the renamed purchase and of the one partly sold.
        ExpectTexts(l, {{6, ledger::RowType, "VAR"}, {7, ledger::RowType, "VAK"}});
    }

    s.play(DeleteRow(220) + "click Command3\n");
    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    EXPECT_EQ(StoredCodes(t), (Codes{110, 11}));
    // The holding without the sale.
    ExpectIntegers(t, {{5, szla::OpenQuantity, 100}, {6, szla::OpenQuantity, 50},
                       {6, szla::Holding, 150}});
    EXPECT_EQ(Text(t, 5, szla::LotCode), "VAK");
    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    EXPECT_EQ(LedgerCodes(l), (Codes{1, 110, 11}));
    // 5000 − 100 × 10 − 50 × 11, computed by hand.
    EXPECT_EQ(Cur(l, 7, ledger::Balance), Amount("3450"));
    EXPECT_EQ(Text(l, 6, ledger::RowType), "VAK") << "the lot codes follow the restored lots";
    auto accLog = ReadWorkbookFile(s.accountLogFile());
    ExpectIntegers(accLog->sheet("Befszlatörsor01"),
                   {{5, ledger::SettlementCode, 12}, {6, ledger::SettlementCode, 220}});
    auto productLog = ReadWorkbookFile(s.productLogFile());
    ExpectIntegers(productLog->sheet("Szla"),
                   {{5, szla::Settlement, 12}, {6, szla::Settlement, 220}, {6, szla::Sold, 120}});
}

} // namespace
} // namespace vandorix::testing
