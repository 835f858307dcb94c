// The four cash-movement windows driven as a user drives them, with the ledger's invariants
// checked on the stored account workbook after every single action.
#include "account/Ledger.h"
#include "store/OoxmlCodec.h"
#include "support/InProcessScript.h"
#include "support/LedgerInvariants.h"
#include "support/SheetExpect.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vandorix {
namespace {

namespace fs = std::filesystem;
using testing::DateOrder;
using testing::ExpectAmounts;
using testing::ExpectIntegers;
using testing::ExpectTexts;
using testing::FileBytes;
using testing::InProcessSession;

const std::string kDeposit = "menu Befektetés/Befektetési számla/Befizetés\n";
const std::string kRefund = "menu Befektetés/Befektetési számla/Brókerdíj visszatérítés\n";
const std::string kWithdrawal = "menu Befektetés/Befektetési számla/Kivét\n";
const std::string kFee = "menu Befektetés/Befektetési számla/Számlavezetési kts\n";
const std::string kDividend = "menu Befektetés/Befektetési számla/Osztalék bevétel\n";
const std::string kMismatch =
    "Kilépés|A teljesítés Tr. kód téves, nem ehhez a\r\nművelethez tartozik. Kilépés.";

// One movement entered through a window with date, amount and code, then back to the menu.
std::string entry(const std::string &menu, const char *date, const char *amount, int code,
                  const std::string &answers = "") {
    return menu + "type Text1 " + date + "\ntype Text2 " + amount + "\ntype Text3 " +
           std::to_string(code) + "\n" + answers + "click Command1\nclick Command3\n";
}

std::string dividend(const char *date, const char *amount, const char *name, int code) {
    return kDividend + "type Text1 " + date + "\ntype Text2 " + amount + "\ntype Text3 " + name +
           "\ntype Text4 " + std::to_string(code) + "\nclick Command1\nclick Command3\n";
}

struct Session : InProcessSession {
    DateOrder order = DateOrder::Checked;
    explicit Session(Date today = *Date::fromYmd(2026, 12, 6)) : InProcessSession(today) {}

    fs::path accountFile() { return installation().accountWorkbook(); }
    fs::path logFile() { return installation().root() / "Arhiv" / "Befszlatöröltsorok.xls"; }
    // Runs the script, checking the stored ledger after every action.
    void play(const std::string &script) {
        run(script, [&](const std::string &line) {
            EXPECT_TRUE(testing::StoredLedgerIsSound(accountFile(), order)) << "after: " << line;
        });
    }
    std::unique_ptr<Workbook> stored(const fs::path &p) {
        return decodeWorkbook(FileBytes(p), p.string());
    }
    std::unique_ptr<Workbook> account() { return stored(accountFile()); }
    Form &window() { return *app().visibleForm(); }
};

Currency cur(const char *text) { return *Currency::parse(text); }
std::optional<Currency> amountAt(const Sheet &s, int r, int c) { return s.value(r, c).currency(); }

TEST(CashWindows, DepositsAreBookedInDateOrderWithTheirBalances) {
    Session s;
    s.play(entry(kDeposit, "2026.12.01", "1000", 1));
    s.play(kDeposit + "type Text1 2026.11.15\ntype Text2 500,25\ntype Text3 2\nclick Command1\n");
    // One movement per opening: only the two leave buttons are left.
    Form &w = s.window();
    EXPECT_EQ(w.caption(), "Befizetés a befektetési számlára");
    for (const char *c : {"Command1", "Command2", "Text1", "Text2", "Text3"})
        EXPECT_FALSE(w.control(c).enabled) << c;
    EXPECT_TRUE(w.control("Command3").enabled);
    EXPECT_TRUE(w.control("Command4").enabled);
    EXPECT_EQ(w.focus(), "Command3");
    s.play("click Command3\n");

    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    EXPECT_EQ(l.value(5, ledger::SettlementCode).integer(), 2);
    ExpectTexts(l, {{5, ledger::Description, "Kp befizetés"}, {5, ledger::RowType, "BAR"},
                    {2, ledger::MovementDate, "2026. 11. 15. -től      2026. 12. 01. -ig."}});
    ExpectAmounts(l, {{5, ledger::PaidIn, "500,25"}, {6, ledger::Balance, "1500,25"}});
    for (const char *name : {"Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"})
        EXPECT_TRUE(wb->sheet(name).visible() && wb->sheet(name).isProtected()) << name;
}

TEST(CashWindows, RefundsOfBothSignsAndZeroAndTheProposedNextCode) {
    Session s;
    s.play(kRefund);
    EXPECT_EQ(s.window().caption(), "Brókerdíj visszatérítés");
    EXPECT_EQ(s.window().control("Text3").text, "1");
    s.play("type Text1 2026.12.01\ntype Text2 -500\ntype Text3 1\nclick Command1\nclick Command3\n");
    s.play(kRefund);
    EXPECT_EQ(s.window().control("Text3").text, "2");
    s.play("type Text1 2026.12.02\ntype Text2 500\ntype Text3 2\nclick Command1\nclick Command3\n");
    s.play(entry(kRefund, "2026.12.03", "0", 3));
    // The deposit item opens the same window in deposit mode again.
    s.play(kDeposit);
    EXPECT_EQ(s.window().caption(), "Befizetés a befektetési számlára");
    EXPECT_EQ(s.window().control("Text3").text, "");
    s.play("click Command3\n");

    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    ExpectAmounts(l, {{5, ledger::PaidOut, "500"}, {5, ledger::PaidIn, nullptr},
                      {5, ledger::Movement, "-500"}, {6, ledger::PaidIn, "500"},
                      {6, ledger::PaidOut, nullptr}, {7, ledger::PaidOut, "0"},
                      {7, ledger::Movement, "0"}, {10, ledger::Balance, "0"}});
    ExpectTexts(l, {{7, ledger::Description, "Brókerdíj visszatérítés"}, {7, ledger::RowType, "BKR"}});
    EXPECT_EQ(l.value(2, ledger::Movement).integer(), 3);
}

TEST(CashWindows, ModifiedRefundThatChangesSignClearsTheOtherAmountColumn) {
    Session s;
    s.play(entry(kRefund, "2026.12.01", "-80", 5));
    s.play(kRefund + "type Text1 2026.12.01\ntype Text2 1\ntype Text3 5\nanswer Yes\n"
                     "type Text1 2026.12.01\ntype Text2 80\nclick Command1\nclick Command3\n");
    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    ExpectAmounts(l, {{5, ledger::PaidIn, "80"}, {5, ledger::PaidOut, nullptr},
                      {5, ledger::Balance, "80"}, {8, ledger::PaidOut, "0"}});
}

TEST(CashWindows, WithdrawalBeyondTheBalanceLeavesItNegative) {
    Session s;
    s.play(entry(kDeposit, "2026.12.01", "100", 1));
    s.play(entry(kWithdrawal, "2026.12.02", "500", 2));
    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    ExpectAmounts(l, {{6, ledger::PaidOut, "500"}, {6, ledger::Movement, "-500"},
                      {6, ledger::Balance, "-400"}, {9, ledger::Balance, "-400"}});
    ExpectTexts(l, {{6, ledger::Description, "Kp kivét"}, {6, ledger::RowType, "KAR"}});
}

TEST(CashWindows, FeesOfBothKindsDatedOnTheLastDayOfThePreviousMonth) {
    Session s;
    s.play(kFee);
    EXPECT_EQ(s.window().control("Text1").text, "2026. 11. 30.");
    EXPECT_FALSE(s.window().control("Label4").visible);
    s.play("type Text1 2026. 11. 30.\ntype Text2 300\ntype Text3 7\nanswer No\nclick Command1\n"
           "click Command3\n");
    s.play(kFee + "type Text1 2026. 11. 30.\ntype Text2 12,5\ntype Text3 8\nanswer Yes\n"
                  "click Command1\nclick Command3\n");
    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    ExpectAmounts(l, {{5, ledger::Fee, "300"}, {5, ledger::Movement, "-300"}, {9, ledger::Fee, "312,5"}});
    ExpectTexts(l, {{5, ledger::RowType, "TAR"}, {5, ledger::Description, "2026. 11. 30.  külön díj"},
                    {6, ledger::RowType, "HAR"}, {6, ledger::Description, "2026. 11. 30.  szlavez díj"}});
    // The fee-kind question: the program's own title, Yes and No with the question icon.
    const MessageRequest &q = s.dialogs().messages().front();
    EXPECT_EQ(q.title, "Vandorix");
    EXPECT_EQ(q.text, "Elszámolható számlavezető kts ?\r\nVálasszon !");
    EXPECT_EQ(q.icon, MessageIcon::Question);
    EXPECT_EQ(q.buttons, MessageButtons::YesNo);

    Session january(*Date::fromYmd(2027, 1, 31));
    january.play(kFee);
    EXPECT_EQ(january.window().control("Text1").text, "2026. 12. 31.");
    Session march(*Date::fromYmd(2028, 3, 1));
    march.play(kFee);
    EXPECT_EQ(march.window().control("Text1").text, "2028. 02. 29.");
}

TEST(CashWindows, FeeCodeOfTheOtherKindOrAnotherDateIsRefused) {
    Session s;
    s.play(kFee + "type Text1 2026.11.30\ntype Text2 10\ntype Text3 3\nanswer Yes\nclick Command1\n"
                  "click Command3\n");
    const std::string before = FileBytes(s.accountFile());
    // The code exists on a "HAR" row; the user says the fee is separate: refused.
    s.play(kFee + "type Text1 2026.11.30\ntype Text2 10\ntype Text3 3\nanswer No\nanswer Yes\n"
                  "answer OK\n");
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_EQ(s.app().visibleForm(), &s.app().mainForm());
    // The same kind on another date: refused as well.
    s.play(kFee + "type Text1 2026.11.29\ntype Text2 10\ntype Text3 3\nanswer Yes\nanswer Yes\n"
                  "answer OK\n");
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_EQ(FileBytes(s.accountFile()), before);
    // The right kind and date: only the amount is entered again.
    s.play(kFee + "type Text1 2026.11.30\ntype Text2 10\ntype Text3 3\nanswer Yes\nanswer Yes\n");
    EXPECT_FALSE(s.window().control("Text1").enabled);
    EXPECT_FALSE(s.window().control("Text3").enabled);
    EXPECT_EQ(s.window().focus(), "Text2");
    s.play("type Text2 15\nclick Command1\nclick Command3\n");
    auto wb = s.account();
    ExpectAmounts(wb->sheet("Befszla01"), {{5, ledger::Fee, "15"}, {5, ledger::Balance, "-15"}});
}

TEST(CashWindows, DividendWithAndWithoutASecurityNameAndModifiedFieldByField) {
    Session s;
    s.play(dividend("2026.12.01", "250", "ABC", 1));
    s.play(dividend("2026.12.02", "10", "", 2));
    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    ExpectAmounts(l, {{5, ledger::PaidIn, "250"}, {5, ledger::Movement, "250"}, {9, ledger::Balance, "260"}});
    ExpectTexts(l, {{5, ledger::Description, "ABC osztalék bevétel"}, {5, ledger::RowType, "OAR"},
                    {6, ledger::Description, " osztalék bevétel"}});
    // A code on a deposit row is refused from the dividend window.
    s.play(entry(kDeposit, "2026.12.03", "5", 3));
    s.play(kDividend + "type Text1 2026.12.03\ntype Text2 5\ntype Text3 X\ntype Text4 3\n"
                       "answer Yes\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kMismatch);

    // A modified dividend is entered again field by field.
    s.play(kDividend + "type Text1 2026.12.01\ntype Text2 1\ntype Text3 A\ntype Text4 1\nanswer Yes\n");
    for (const char *c : {"Text2", "Text3", "Text4"}) EXPECT_FALSE(s.window().control(c).enabled);
    EXPECT_EQ(s.window().focus(), "Text1");
    s.play("type Text1 2026.12.02\ntype Text2 300\ntype Text3 XYZ\nclick Command1\nclick Command3\n");
    auto modified = s.account();
    const Sheet &m = modified->sheet("Befszla01");
    EXPECT_EQ(m.value(5, ledger::Description).text(), "XYZ osztalék bevétel");
    EXPECT_EQ(amountAt(m, 5, ledger::PaidIn), cur("300"));
    EXPECT_EQ(m.value(5, ledger::MovementDate).date(), Date::fromYmd(2026, 12, 2));
}

TEST(CashWindows, ModificationThatChangesTheDateKeepsTheRowInPlace) {
    Session s;
    s.play(entry(kDeposit, "2026.11.01", "100", 1) + entry(kDeposit, "2026.11.10", "200", 2) +
           entry(kDeposit, "2026.11.20", "300", 3));
    s.order = DateOrder::NotChecked;
    s.play(kDeposit + "type Text1 2026.11.10\ntype Text2 200\ntype Text3 2\nanswer Yes\n");
    EXPECT_FALSE(s.window().control("Text3").enabled);
    EXPECT_EQ(s.window().focus(), "Text1");
    s.play("type Text1 2026.11.25\ntype Text2 250\nclick Command1\nclick Command3\n");
    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    EXPECT_EQ(l.value(6, ledger::SettlementCode).integer(), 2);
    EXPECT_EQ(l.value(6, ledger::MovementDate).date(), Date::fromYmd(2026, 11, 25));
    ExpectAmounts(l, {{6, ledger::Balance, "350"}, {7, ledger::Balance, "650"}, {10, ledger::PaidIn, "650"}});
}

TEST(CashWindows, DeletionLogsTheRowAndRecomputesTheBalancesBelowOrChangesNothingWithoutItsLog) {
    Session s;
    s.play(entry(kDeposit, "2026.11.01", "100", 1) + entry(kDeposit, "2026.11.02", "200", 2) +
           entry(kDeposit, "2026.11.03", "300", 3));
    ASSERT_FALSE(fs::exists(s.logFile())); // no product was ever registered
    // Without the log's template the deletion changes no file and drops its command.
    const fs::path logTemplate = s.installation().root() / "Seged" / "Befszlatöröltsorokminta.xls";
    const std::string templateBytes = FileBytes(logTemplate), before = FileBytes(s.accountFile());
    fs::remove(logTemplate);
    s.play(kDeposit + "type Text1 2026.11.02\ntype Text2 1\ntype Text3 1\nanswer No\nanswer Yes\n"
                      "click Command2\nanswer OK\n");
    EXPECT_EQ(s.dialogs().messages().back().title, "Hiba");
    EXPECT_NE(s.shown().back().find("Befszlatöröltsorokminta.xls"), std::string::npos);
    EXPECT_EQ(s.app().visibleForm(), &s.app().mainForm());
    EXPECT_FALSE(s.app().state().AccountWorkbookOpen());
    EXPECT_EQ(FileBytes(s.accountFile()), before);
    EXPECT_FALSE(fs::exists(s.logFile()));
    std::ofstream(logTemplate, std::ios::binary) << templateBytes;

    s.play(kDeposit + "type Text1 2026.11.02\ntype Text2 1\ntype Text3 2\nanswer No\nanswer Yes\n");
    EXPECT_FALSE(s.window().control("Command1").enabled);
    EXPECT_EQ(s.window().focus(), "Command2");
    s.play("click Command2\n");
    EXPECT_FALSE(s.window().control("Command2").enabled);
    EXPECT_TRUE(s.window().control("Command3").enabled);
    s.play("click Command3\n");
    s.play(kDeposit + "type Text1 2026.11.02\ntype Text2 1\ntype Text3 3\nanswer No\nanswer Yes\n"
                      "click Command2\nclick Command3\n");

    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    EXPECT_EQ(l.value(5, ledger::SettlementCode).integer(), 1);
    EXPECT_TRUE(l.value(6, ledger::MovementDate).isBlank());
    EXPECT_EQ(amountAt(l, 8, ledger::Balance), cur("100"));

    auto log = s.stored(s.logFile());
    const Sheet &rows = log->sheet("Befszlatörsor01");
    ExpectIntegers(rows, {{5, ledger::SettlementCode, 2}, {6, ledger::SettlementCode, 3}});
    ExpectTexts(rows, {{5, ledger::RowType, "BAR"}, {5, ledger::Description, "Kp befizetés"}});
    // The balance it had when deleted.
    ExpectAmounts(rows, {{5, ledger::PaidIn, "200"}, {5, ledger::Balance, "300"}});
    EXPECT_TRUE(rows.value(7, ledger::MovementDate).isBlank());
    EXPECT_TRUE(rows.isProtected());
    EXPECT_TRUE(log->sheet("Segéd01").isProtected());
    EXPECT_TRUE(log->structureProtected());
    EXPECT_EQ(rows.value(3, 1).text(), "Dátum"); // the template's headings
}

TEST(CashWindows, CodeOfAnotherTypeIsRefusedAndDecliningModifyAndDeleteEndsWithoutWriting) {
    Session s;
    s.play(entry(kWithdrawal, "2026.11.01", "40", 4));
    const std::string before = FileBytes(s.accountFile());
    s.play(kDeposit + "type Text1 2026.11.02\ntype Text2 10\ntype Text3 4\nanswer Yes\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_EQ(s.dialogs().messages().back().icon, MessageIcon::Information);
    EXPECT_EQ(s.app().visibleForm(), &s.app().mainForm());
    s.play(kWithdrawal + "type Text1 2026.11.02\ntype Text2 10\ntype Text3 4\nanswer No\nanswer Yes\n"
                         "click Command3\n");
    s.play(kRefund + "type Text1 2026.11.02\ntype Text2 10\ntype Text3 4\nanswer No\nanswer Yes\n"
                     "answer OK\n");
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_FALSE(s.app().state().AccountWorkbookOpen());

    const std::size_t shownBefore = s.shown().size();
    s.play(kWithdrawal + "type Text1 2026.11.02\ntype Text2 10\ntype Text3 4\nanswer No\nanswer No\n");
    EXPECT_TRUE(s.app().ended());
    EXPECT_EQ(FileBytes(s.accountFile()), before);
    const std::vector<std::string> shown = s.shown();
    ASSERT_EQ(shown.size(), shownBefore + 2);
    EXPECT_EQ(shown[shownBefore], "Felhívás|Van már ilyen adat.\r\nMódosítani szeretné ?");
    EXPECT_EQ(shown[shownBefore + 1], "Felhívás|Törölhető az adat.\r\n");
    EXPECT_EQ(s.dialogs().messages()[shownBefore].defaultAnswer, MessageAnswer::No);
}

TEST(CashWindows, FieldsAreCheckedOnEnterAndInOrderAndTheOnlyRowCanBeDeleted) {
    Session s;
    s.play(kWithdrawal);
    EXPECT_EQ(s.window().control("Text1").text, "2026. 12. 06.");
    EXPECT_FALSE(s.window().control("Text2").enabled);
    s.play("type Text1 2026.12.07\nanswer OK\n");
    EXPECT_EQ(s.shown().back(),
              "Dátum hiba|A dátum nagyobb a rendszerdátumnál.\r\nElőre bevitel nem lehetséges");
    EXPECT_EQ(s.window().control("Text1").text, "");
    EXPECT_FALSE(s.window().control("Text2").enabled);
    s.play("type Text1 2026.12.06\ntype Text2 sok\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|Itt csak számérték lehet.");
    EXPECT_EQ(s.window().focus(), "Text2");
    // A date typed over after its Enter is checked again when writing; nothing is written.
    const std::string before = FileBytes(s.accountFile());
    s.play("type Text2 5\ntype Text3 1\nset Text1 holnap\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|Itt csak dátum lehet.");
    EXPECT_EQ(FileBytes(s.accountFile()), before);
    s.play("type Text1 2026.12.06\nclick Command1\nclick Command3\n");
    EXPECT_EQ(s.account()->sheet("Befszla01").value(5, ledger::SettlementCode).integer(), 1);

    // Deleting the only row leaves an empty ledger.
    s.play(kWithdrawal + "type Text1 2026.12.06\ntype Text2 5\ntype Text3 1\nanswer No\nanswer Yes\n"
                         "click Command2\nclick Command3\n");
    auto wb = s.account();
    EXPECT_TRUE(wb->sheet("Befszla01").value(5, ledger::MovementDate).isBlank());
    EXPECT_EQ(wb->sheet("Befszla01").value(ledger::kHeaderRow, ledger::RowType).integer(), 7);
}

TEST(AccountView, RecomputesBeforeShowingAndStoresTheResult) {
    Session s;
    const std::string empty = FileBytes(s.accountFile());
    s.play("menu Befektetés/Befektetési számla/Megtekintés\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Kilépés|A Befektetési fájlban\r\nMég nincs adat. Kilépés!");
    EXPECT_EQ(FileBytes(s.accountFile()), empty) << "an empty ledger is not written";
    EXPECT_FALSE(s.app().state().AccountWorkbookOpen());
    EXPECT_FALSE(s.app().state().HostRunning);
    EXPECT_EQ(s.app().visibleForm(), &s.app().mainForm());
    s.play(entry(kDeposit, "2026.11.01", "100", 1) + entry(kDeposit, "2026.11.02", "50", 2));
    // A balance spoilt on disk is put right by viewing.
    {
        auto wb = s.account();
        Sheet &l = wb->sheet("Befszla01");
        l.unprotect("r5Lw93Ze");
        l.setValue(6, ledger::Balance, cur("1"));
        l.protect("r5Lw93Ze");
        std::ofstream(s.accountFile(), std::ios::binary) << encodeWorkbook(*wb);
    }
    s.play("menu Befektetés/Befektetési számla/Megtekintés\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    EXPECT_TRUE(testing::StoredLedgerIsSound(s.accountFile()));
    auto wb = s.account();
    EXPECT_EQ(amountAt(wb->sheet("Befszla01"), 6, ledger::Balance), cur("150"));
    for (int i = 1; i <= wb->sheetCount(); ++i)
        EXPECT_TRUE(wb->sheetAt(i).visible() && wb->sheetAt(i).isProtected());
}

TEST(CashWindowsReplay, ScriptRunOfTheProgramPrintsTheRefusalAndStoresTheMovements) {
    testing::TestInstallation inst;
    testing::ReplayRun run = inst.replay(
        entry(kDeposit, "2026.11.01", "100", 1) + entry(kWithdrawal, "2026.11.02", "30", 2) +
        kWithdrawal + "type Text1 2026.11.03\ntype Text2 1\ntype Text3 1\nanswer Yes\nanswer OK\n" +
        "menu Befektetés/Kilépés\n");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "Felhívás\nVan már ilyen adat.\nMódosítani szeretné ?\n"
                          "Kilépés\nA teljesítés Tr. kód téves, nem ehhez a\n"
                          "művelethez tartozik. Kilépés.\n");
    EXPECT_TRUE(testing::StoredLedgerIsSound(inst.accountWorkbook()));
    auto wb = decodeWorkbook(FileBytes(inst.accountWorkbook()), "Befszla.xls");
    EXPECT_EQ(amountAt(wb->sheet("Befszla01"), 9, ledger::Balance), cur("70"));
}

} // namespace
} // namespace vandorix
