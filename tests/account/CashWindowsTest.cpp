// The four cash-movement windows driven as a user drives them, with the ledger's invariants
// checked on the stored account workbook after every single action.
#include "account/Ledger.h"
#include "support/InProcessScript.h"
#include "support/LedgerInvariants.h"
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace vandorix::testing {
namespace {

namespace fs = std::filesystem;
using namespace ledger;

const std::string kDeposit = "menu Befektetés/Befektetési számla/Befizetés\n";
const std::string kRefund = "menu Befektetés/Befektetési számla/Brókerdíj visszatérítés\n";
const std::string kWithdrawal = "menu Befektetés/Befektetési számla/Kivét\n";
const std::string kFee = "menu Befektetés/Befektetési számla/Számlavezetési kts\n";
const std::string kDividend = "menu Befektetés/Befektetési számla/Osztalék bevétel\n";
const std::string kMismatch =
    "Kilépés|A teljesítés Tr. kód téves, nem ehhez a\r\nművelethez tartozik. Kilépés.";

// The three fields of a movement typed, then the `answers` to the dialogs that follow.
std::string typed(const std::string &menu, const char *date, const char *amount, int code,
                  const std::string &answers = "") {
    return menu + "type Text1 " + date + "\ntype Text2 " + amount + "\ntype Text3 " +
           std::to_string(code) + "\n" + answers;
}
// One movement entered and written, then back to the menu.
std::string entry(const std::string &menu, const char *date, const char *amount, int code,
                  const std::string &answers = "") {
    return typed(menu, date, amount, code, answers) + "click Command1\nclick Command3\n";
}
std::string dividend(const char *date, const char *amount, const char *name, int code) {
    return kDividend + "type Text1 " + date + "\ntype Text2 " + amount + "\ntype Text3 " + name +
           "\ntype Text4 " + std::to_string(code) + "\n";
}

struct Session : InProcessSession {
    DateOrder order = DateOrder::Checked;

    fs::path accountFile() { return installation().accountWorkbook(); }
    fs::path logFile() { return installation().root() / "Arhiv" / "Befszlatöröltsorok.xls"; }
    // Runs the script, checking the stored ledger after every action.
    void play(const std::string &script) {
        run(script, [&](const std::string &line) {
            EXPECT_TRUE(StoredLedgerIsSound(accountFile(), order)) << "after: " << line;
        });
    }
    std::unique_ptr<Workbook> account() { return ReadWorkbookFile(accountFile()); }
    Form &window() { return *app().visibleForm(); }
    bool atMainWindow() { return app().visibleForm() == &app().mainForm(); }
};

TEST(CashWindows, DepositsAreBookedInDateOrderAndAModifiedDateKeepsTheRowInPlace) {
    Session s;
    s.play(entry(kDeposit, "2026.12.01", "1000", 1));
    s.play(typed(kDeposit, "2026.11.15", "500,25", 2) + "click Command1\n");
    // One movement per opening: only the two leave buttons are left.
    Form &w = s.window();
    for (const char *c : {"Command1", "Command2", "Text1", "Text2", "Text3"})
        EXPECT_FALSE(w.control(c).enabled) << c;
    EXPECT_TRUE(w.control("Command3").enabled && w.control("Command4").enabled);
    EXPECT_EQ(w.focus(), "Command3");
    s.play("click Command3\n");

    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    EXPECT_EQ(l.value(5, SettlementCode).integer(), 2);
    ExpectTexts(l, {{5, Description, "Kp befizetés"}, {5, RowType, "BAR"},
                    {2, MovementDate, "2026. 11. 15. -től      2026. 12. 01. -ig."}});
    ExpectAmounts(l, {{5, PaidIn, "500,25"}, {6, Balance, "1500,25"}});
    for (const char *name : {"Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"})
        EXPECT_TRUE(wb->sheet(name).visible() && wb->sheet(name).isProtected()) << name;

    // Modified to a date after the next row, the movement keeps its row.
    s.order = DateOrder::NotChecked;
    s.play(typed(kDeposit, "2026.11.15", "1", 2, "answer Yes\n"));
    EXPECT_FALSE(s.window().control("Text3").enabled);
    EXPECT_EQ(s.window().focus(), "Text1");
    s.play("type Text1 2026.12.03\ntype Text2 250\nclick Command1\nclick Command3\n");
    auto modified = s.account();
    const Sheet &m = modified->sheet("Befszla01");
    EXPECT_EQ(m.value(5, SettlementCode).integer(), 2);
    EXPECT_EQ(m.value(5, MovementDate).date(), Date::fromYmd(2026, 12, 3));
    ExpectAmounts(m, {{5, Balance, "250"}, {6, Balance, "1250"}, {9, PaidIn, "1250"}});
}

TEST(CashWindows, RefundsOfBothSignsAndZeroAModifiedOneThatChangesSignAndDividends) {
    Session s;
    s.play(kRefund);
    EXPECT_EQ(s.window().caption(), "Brókerdíj visszatérítés");
    EXPECT_EQ(s.window().control("Text3").text, "1") << "the proposed next code";
    s.play(entry("", "2026.12.01", "-500", 1) + kRefund);
    EXPECT_EQ(s.window().control("Text3").text, "2");
    s.play(entry("", "2026.12.02", "500", 2));
    s.play(entry(kRefund, "2026.12.03", "0", 3));
    // The deposit item opens the same window in deposit mode again.
    s.play(kDeposit);
    EXPECT_EQ(s.window().caption(), "Befizetés a befektetési számlára");
    EXPECT_EQ(s.window().control("Text3").text, "");
    s.play("click Command3\n");

    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    ExpectAmounts(l, {{5, PaidOut, "500"}, {5, PaidIn, nullptr}, {5, Movement, "-500"},
                      {6, PaidIn, "500"}, {6, PaidOut, nullptr}, {7, PaidOut, "0"},
                      {7, Movement, "0"}, {10, Balance, "0"}});
    ExpectTexts(l, {{7, Description, "Brókerdíj visszatérítés"}, {7, RowType, "BKR"}});
    EXPECT_EQ(l.value(2, Movement).integer(), 3);

    // The −500 modified to +80: the paid-out column is cleared.
    s.play(typed(kRefund, "2026.12.01", "1", 1, "answer Yes\n") +
           "type Text1 2026.12.01\ntype Text2 80\nclick Command1\nclick Command3\n");
    auto modified = s.account();
    ExpectAmounts(modified->sheet("Befszla01"),
                  {{5, PaidIn, "80"}, {5, PaidOut, nullptr}, {5, Balance, "80"},
                   {7, Balance, "580"}, {10, PaidOut, "0"}, {10, PaidIn, "580"}});

    // Dividends with and without a security name; a deposit's code is refused from their window.
    s.play(dividend("2026.12.04", "250", "ABC", 4) + "click Command1\nclick Command3\n");
    s.play(dividend("2026.12.05", "10", "", 5) + "click Command1\nclick Command3\n");
    s.play(entry(kDeposit, "2026.12.06", "5", 6));
    s.play(dividend("2026.12.06", "5", "X", 6) + "answer Yes\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kMismatch);
    // A dividend modified field by field.
    s.play(dividend("2026.12.04", "1", "A", 4) + "answer Yes\n");
    for (const char *c : {"Text2", "Text3", "Text4"}) EXPECT_FALSE(s.window().control(c).enabled);
    EXPECT_EQ(s.window().focus(), "Text1");
    s.play("type Text1 2026.12.05\ntype Text2 300\ntype Text3 XYZ\nclick Command1\n"
           "click Command3\n");
    auto dividends = s.account();
    const Sheet &d = dividends->sheet("Befszla01");
    // 580 + 300 + 10 + 5 by hand.
    ExpectAmounts(d, {{8, PaidIn, "300"}, {8, Movement, "300"}, {13, Balance, "895"}});
    ExpectTexts(d, {{8, Description, "XYZ osztalék bevétel"}, {8, RowType, "OAR"},
                    {9, Description, " osztalék bevétel"}});
    EXPECT_EQ(d.value(8, MovementDate).date(), Date::fromYmd(2026, 12, 5));
}

TEST(CashWindows, DeletionIsLoggedOrChangesNothingWithoutItsLogAndFeesOfBothKindsFollow) {
    Session s;
    s.play(entry(kDeposit, "2026.11.01", "100", 1) + entry(kDeposit, "2026.11.02", "200", 2) +
           entry(kDeposit, "2026.11.03", "300", 3));
    ASSERT_FALSE(fs::exists(s.logFile())); // no product was ever registered
    // Without the log's template the deletion changes no file and drops its command.
    const fs::path logTemplate = s.installation().root() / "Seged" / "Befszlatöröltsorokminta.xls";
    const std::string templateBytes = FileBytes(logTemplate), before = FileBytes(s.accountFile());
    fs::remove(logTemplate);
    s.play(typed(kDeposit, "2026.11.02", "1", 1, "answer No\nanswer Yes\nclick Command2\n") +
           "answer OK\n");
    EXPECT_EQ(s.dialogs().messages().back().title, "Hiba");
    EXPECT_NE(s.shown().back().find("Befszlatöröltsorokminta.xls"), std::string::npos);
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_FALSE(s.app().state().AccountWorkbookOpen());
    EXPECT_EQ(FileBytes(s.accountFile()), before);
    EXPECT_FALSE(fs::exists(s.logFile()));
    std::ofstream(logTemplate, std::ios::binary) << templateBytes;

    s.play(typed(kDeposit, "2026.11.02", "1", 2, "answer No\nanswer Yes\n"));
    EXPECT_FALSE(s.window().control("Command1").enabled);
    EXPECT_EQ(s.window().focus(), "Command2");
    s.play("click Command2\n");
    EXPECT_FALSE(s.window().control("Command2").enabled);
    EXPECT_TRUE(s.window().control("Command3").enabled);
    s.play("click Command3\n");
    s.play(typed(kDeposit, "2026.11.02", "1", 3, "answer No\nanswer Yes\nclick Command2\n") +
           "click Command3\n");

    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    EXPECT_EQ(l.value(5, SettlementCode).integer(), 1);
    EXPECT_TRUE(l.value(6, MovementDate).isBlank());
    ExpectAmounts(l, {{8, Balance, "100"}});

    auto log = ReadWorkbookFile(s.logFile());
    const Sheet &rows = log->sheet("Befszlatörsor01");
    ExpectIntegers(rows, {{5, SettlementCode, 2}, {6, SettlementCode, 3}});
    ExpectTexts(rows, {{5, RowType, "BAR"}, {5, Description, "Kp befizetés"}, {3, 1, "Dátum"}});
    // The balance it had when deleted.
    ExpectAmounts(rows, {{5, PaidIn, "200"}, {5, Balance, "300"}});
    EXPECT_TRUE(rows.value(7, MovementDate).isBlank());
    EXPECT_TRUE(rows.isProtected() && log->sheet("Segéd01").isProtected() &&
                log->structureProtected());

    // Fees of both kinds, proposed on the last day of the previous month, after the 100 left.
    s.play(kFee);
    EXPECT_EQ(s.window().control("Text1").text, "2026. 11. 30.");
    EXPECT_FALSE(s.window().control("Label4").visible);
    const std::size_t asked = s.dialogs().messages().size();
    s.play(entry("", "2026. 11. 30.", "300", 7, "answer No\n"));
    s.play(entry(kFee, "2026. 11. 30.", "12,5", 8, "answer Yes\n"));
    // The fee-kind question: the program's own title, Yes and No with the question icon.
    const MessageRequest &q = s.dialogs().messages()[asked];
    EXPECT_EQ(q.title, "Vandorix");
    EXPECT_EQ(q.text, "Elszámolható számlavezető kts ?\r\nVálasszon !");
    EXPECT_EQ(q.icon, MessageIcon::Question);
    EXPECT_EQ(q.buttons, MessageButtons::YesNo);
    const std::string stored = FileBytes(s.accountFile());

    // The code is on a "HAR" row: the separate kind, or the same kind on another date, is refused.
    s.play(typed(kFee, "2026.11.30", "10", 8, "answer No\nanswer Yes\nanswer OK\n"));
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_TRUE(s.atMainWindow());
    s.play(typed(kFee, "2026.11.29", "10", 8, "answer Yes\nanswer Yes\nanswer OK\n"));
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_EQ(FileBytes(s.accountFile()), stored);
    // The right kind and date: only the amount is entered again.
    s.play(typed(kFee, "2026.11.30", "10", 8, "answer Yes\nanswer Yes\n"));
    EXPECT_FALSE(s.window().control("Text1").enabled);
    EXPECT_FALSE(s.window().control("Text3").enabled);
    EXPECT_EQ(s.window().focus(), "Text2");
    s.play("type Text2 15\nclick Command1\nclick Command3\n");
    auto fees = s.account();
    const Sheet &f = fees->sheet("Befszla01");
    // 100 − 300 − 15 by hand.
    ExpectAmounts(f, {{6, Fee, "300"}, {6, Movement, "-300"}, {7, Fee, "15"},
                      {7, Balance, "-215"}, {10, Fee, "315"}});
    ExpectTexts(f, {{6, RowType, "TAR"}, {6, Description, "2026. 11. 30.  külön díj"},
                    {7, RowType, "HAR"}, {7, Description, "2026. 11. 30.  szlavez díj"}});
}

TEST(CashWindows, FieldsInOrderTheOnlyRowDeletedViewingRecomputesAndCodesOfAnotherTypeRefused) {
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
    EXPECT_EQ(s.account()->sheet("Befszla01").value(5, SettlementCode).integer(), 1);

    // Deleting the only row leaves an empty ledger; viewing it writes nothing.
    s.play(typed(kWithdrawal, "2026.12.06", "5", 1, "answer No\nanswer Yes\nclick Command2\n") +
           "click Command3\n");
    auto wb = s.account();
    EXPECT_TRUE(wb->sheet("Befszla01").value(5, MovementDate).isBlank());
    EXPECT_EQ(wb->sheet("Befszla01").value(kHeaderRow, RowType).integer(), 7);
    const std::string empty = FileBytes(s.accountFile());
    s.play("menu Befektetés/Befektetési számla/Megtekintés\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Kilépés|A Befektetési fájlban\r\nMég nincs adat. Kilépés!");
    EXPECT_EQ(FileBytes(s.accountFile()), empty);
    EXPECT_FALSE(s.app().state().AccountWorkbookOpen());
    EXPECT_FALSE(s.app().state().HostRunning);
    EXPECT_TRUE(s.atMainWindow());

    // A balance spoilt on disk is put right by viewing.
    s.play(entry(kDeposit, "2026.11.01", "100", 1) + entry(kDeposit, "2026.11.02", "50", 2));
    EditWorkbookFile(s.accountFile(), [](Workbook &wb) {
        wb.sheet("Befszla01").setValue(6, Balance, Amount("1"));
    });
    s.play("menu Befektetés/Befektetési számla/Megtekintés\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    auto viewed = s.account();
    ExpectAmounts(viewed->sheet("Befszla01"), {{6, Balance, "150"}});
    for (int i = 1; i <= viewed->sheetCount(); ++i)
        EXPECT_TRUE(viewed->sheetAt(i).visible() && viewed->sheetAt(i).isProtected());

    // A withdrawal beyond the balance leaves it negative: 100 + 50 − 500.
    s.play(entry(kWithdrawal, "2026.11.03", "500", 4));
    auto negative = s.account();
    const Sheet &l = negative->sheet("Befszla01");
    ExpectAmounts(l, {{7, PaidOut, "500"}, {7, Movement, "-500"}, {7, Balance, "-350"},
                      {10, Balance, "-350"}});
    ExpectTexts(l, {{7, Description, "Kp kivét"}, {7, RowType, "KAR"}});

    const std::string stored = FileBytes(s.accountFile());
    s.play(typed(kDeposit, "2026.11.03", "10", 4, "answer Yes\nanswer OK\n"));
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_EQ(s.dialogs().messages().back().icon, MessageIcon::Information);
    EXPECT_TRUE(s.atMainWindow());
    s.play(typed(kWithdrawal, "2026.11.03", "10", 4, "answer No\nanswer Yes\nclick Command3\n"));
    s.play(typed(kRefund, "2026.11.03", "10", 4, "answer No\nanswer Yes\nanswer OK\n"));
    EXPECT_EQ(s.shown().back(), kMismatch);
    EXPECT_FALSE(s.app().state().AccountWorkbookOpen());

    const std::size_t shownBefore = s.shown().size();
    s.play(typed(kWithdrawal, "2026.11.03", "10", 4, "answer No\nanswer No\n"));
    EXPECT_TRUE(s.app().ended());
    EXPECT_EQ(FileBytes(s.accountFile()), stored);
    const std::vector<std::string> shown = s.shown();
    ASSERT_EQ(shown.size(), shownBefore + 2);
    EXPECT_EQ(shown[shownBefore], "Felhívás|Van már ilyen adat.\r\nMódosítani szeretné ?");
    EXPECT_EQ(shown[shownBefore + 1], "Felhívás|Törölhető az adat.\r\n");
    EXPECT_EQ(s.dialogs().messages()[shownBefore].defaultAnswer, MessageAnswer::No);
}

} // namespace
} // namespace vandorix::testing
