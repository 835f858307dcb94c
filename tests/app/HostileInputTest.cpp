// Values and files a careful attacker tries: each is refused with a Hungarian message that
// names what is wrong, and no file of the installation changes.
#include "app/Validation.h"
#include "trading/TradeWindowSession.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

namespace vandorix::testing {
namespace {

namespace fs = std::filesystem;

const std::string kRange =
    "Felhívás|Itt csak -1 000 000 000 000 és 1 000 000 000 000 Ft közötti számérték lehet.";
const std::string kNoDate = "Felhívás|Itt csak dátum lehet.";
const std::string kDepositWindow = "menu Befektetés/Befektetési számla/Befizetés\n";

TEST(HostileInput, FieldBoundsRefuseWhatTheFilesCannotHoldAndWriteNothing) {
    const std::string amount = kDepositWindow + "type Text1 2026.03.01\ntype Text2 ";
    const std::string price = OpenPurchase() + "type Text1 2026.03.01\ntype Text2 100\ntype Text3 ";
    // Each script ends with the refused value typed (Enter) or "Rögzítés" clicked.
    const std::pair<std::string, std::string> cases[] = {
        {amount + "922337203685477,5808\n", kRange},
        {amount + "999999999999999\n", kRange},
        {amount + "-1000000000000,0001\n", kRange},
        {amount + "99999999999999999999999\n", kRange},
        {amount + "12a\n", "Felhívás|Itt csak számérték lehet."},
        // A value changed after Enter accepted the field is checked again by "Adatbevitel".
        {amount + "10\ntype Text3 5\nset Text2 922337203685477,5808\nclick Command1\n", kRange},
        {kDepositWindow + "type Text1 1899.12.31\n", kNoDate},
        {kDepositWindow + "type Text1 1900.02.28\n", kNoDate},
        {OpenPurchase() + "type Text1 1026.03.01\n", kNoDate},
        {price + "900000000000000\n", kRange},
        {price + "10\ntype Text4 1000000000001\n", kRange},
    };
    for (const auto &[script, message] : cases) {
        TradeSession s;
        const auto before = DataFiles(s.installation().root(), true);
        s.play(script + "answer OK\n");
        EXPECT_EQ(s.shown().back(), message) << script;
        EXPECT_EQ(DataFiles(s.installation().root(), true), before) << script;
    }

    // The bound itself is taken and stored exactly; the first day the files hold is taken.
    TradeSession s;
    s.play(DepositScript("1900.03.01", "1000000000000", 1));
    auto acc = s.account();
    EXPECT_EQ(Cur(acc->sheet("Befszla01"), 5, ledger::Balance), Amount("1000000000000"));
    EXPECT_EQ(acc->sheet("Befszla01").value(5, ledger::MovementDate).date(), Day(1900, 3, 1));
    // Quantity times price beyond the currency's range ends the command, nothing written.
    const auto before = DataFiles(s.installation().root(), true);
    s.play(OpenPurchase() + Fields({"2026.03.01", 32767, "1000000000000", "0", 2, 2}) +
           "click Command1\nanswer OK\n");
    EXPECT_NE(s.shown().back().find("túl nagy"), std::string::npos) << s.shown().back();
    EXPECT_EQ(DataFiles(s.installation().root(), true), before);
    EXPECT_TRUE(s.atMainWindow());
}

TEST(HostileInput, OddFilesAreRefusedNamingTheFileAndNothingIsWritten) {
    // The file made odd (written with `content`, or made read-only when null), the script that
    // meets it, and what the message names.
    const std::string deposit = kDepositWindow +
        "type Text1 2026.03.01\ntype Text2 10\ntype Text3 1\nclick Command1\nanswer OK\n";
    const std::tuple<const char *, const char *, std::string, std::vector<std::string>> cases[] = {
        {"Torzs/Befszla.xls", nullptr, deposit, {"írásvédett", "Torzs/Befszla.xls"}},
        {"Torzs/.~lock.Befszla.xls#", "x", deposit,
         {"táblázatkezelőben", "Torzs/Befszla.xls", ".~lock.Befszla.xls#"}},
        {"Torzs/~$Befszla.xls", "x", deposit, {"táblázatkezelőben", "Torzs/Befszla.xls"}},
        {"Termekek/.~lock.Alfa.xls#", "x",
         OpenPurchase() + Fields({"2026.03.01", 1, "10", "0", 1, 1}) +
             "click Command1\ninput 10\nanswer OK\n",
         {"táblázatkezelőben", "Termekek/Alfa.xls"}},
        {"Seged/Termékminta.xls", "nem zip",
         "menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\ntype Text1 Gamma\n"
         "type Text2 HU0000999999\nclick Command1\nanswer OK\n",
         {"Seged/Termékminta.xls"}},
    };
    for (const auto &[file, content, script, inMessage] : cases) {
        SCOPED_TRACE(file);
        TradeSession s;
        const fs::path root = s.installation().root();
        if (content)
            std::ofstream(root / file) << content;
        else
            fs::permissions(root / file, fs::perms(0444));
        const auto before = DataFiles(root, true);
        s.run(script);
        const std::string shown = s.shown().back();
        for (const std::string &part : inMessage)
            EXPECT_NE(shown.find(part), std::string::npos) << shown;
        EXPECT_EQ(shown.find("Gamma.xls"), std::string::npos) << shown;
        EXPECT_EQ(DataFiles(root, true), before);
        EXPECT_TRUE(s.atMainWindow());
    }
}

TEST(HostileInput, AStoredDateBeforeTheFilesRangeIsNamedAndTheRestStaysUsable) {
    // What an older version wrote for "1899.12.31" or "1026.03.01": serial 0 or a negative
    // serial in a date cell.
    for (const CellValue &bad :
         {CellValue(0.0), CellValue(Day(1899, 12, 31)), CellValue(Day(1026, 3, 1))}) {
        TradeSession s;
        fs::permissions(s.accountFile(), fs::perms(0640));
        s.play(DepositScript("2026.03.01", "5000", 1) + DepositScript("2026.03.02", "100", 2));
        // Saved (5000 + 100), with the mode the file had.
        EXPECT_EQ(Cur(s.account()->sheet("Befszla01"), 6, ledger::Balance), Amount("5100"));
        EXPECT_EQ(fs::status(s.accountFile()).permissions(), fs::perms(0640)) << "kept on saving";
        EditWorkbookFile(s.accountFile(),
                         [&](Workbook &wb) { wb.sheet("Befszla01").setValue(5, 1, bad); });
        s.run(kDepositWindow +
              "type Text1 2026.03.03\ntype Text2 10\ntype Text3 3\nclick Command1\nanswer OK\n");
        const std::string shown = s.shown().back();
        EXPECT_NE(shown.find("Befszla01"), std::string::npos) << shown;
        EXPECT_NE(shown.find("A5"), std::string::npos) << shown;
        EXPECT_TRUE(s.atMainWindow());
        // The rest of the program works: another share is registered.
        s.run(RegisterScript("Beta", "HU0000654321"));
        EXPECT_TRUE(fs::exists(s.productFile("Beta")));
    }
}

// A window with two fields, as the entry windows have.
struct EntryForm : Form {
    explicit EntryForm(Application &app) : Form(app, "FormT", "Teszt") {
        addTextBox("Text1");
        addTextBox("Text2");
    }
};

TEST(NumberField, QuantitiesAndCodesOutsideTheirRangeAreRefusedNotWrapped) {
    // The text typed, whether the field holds a quantity (else a code), whether it is taken.
    for (auto [text, quantity, accepted] :
         {std::tuple{"1", true, true}, {"32767", true, true}, {"32 767", true, true},
          {"32768", true, false}, {"0", true, false}, {"-5", true, false}, {"2,5", true, false},
          {"100000", true, false}, {"2147483647", false, true}, {"2147483648", false, false},
          {"4294967297", false, false}, {"0", false, false}, {"12,0", false, true}}) {
        ScriptedDialogsFake dialogs;
        Application app{dialogs, StartupEnvironment{}};
        EntryForm form(app);
        Control &field = form.control("Text1");
        field.text = text;
        form.SetFocus("Text2"); // the focus was elsewhere before the check
        if (!accepted) dialogs.answer(MessageAnswer::Ok);
        const bool ok = quantity ? CheckQuantityField(dialogs, form, field)
                                   : CheckCodeField(dialogs, form, field);
        EXPECT_EQ(ok, accepted) << text;
        if (accepted) continue;
        ASSERT_EQ(dialogs.messages().size(), 1u) << text;
        EXPECT_NE(dialogs.messages()[0].text.find(quantity ? "32767" : "2147483647"),
                  std::string::npos);
        EXPECT_EQ(field.text, "");
        EXPECT_EQ(form.focus(), "Text1");
    }
}

} // namespace
} // namespace vandorix::testing
