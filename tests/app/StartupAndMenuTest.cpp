#include "app/Script.h"
#include "app/Startup.h"
#include "app/WorkbookProtocol.h"
#include "support/InProcessScript.h"
#include "support/ProductFiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <tuple>

namespace vandorix::testing {
namespace {

namespace fs = std::filesystem;

struct Started {
    ScriptedDialogsFake dialogs;
    Application app;
    explicit Started(const fs::path &programFolder, Date today = Day(2026, 12, 6))
        : app(dialogs, StartupEnvironment{programFolder, today}) {}
};

// A root with a digit; the last day of a year keeps that year.
TEST(Startup, SetsFoldersDatesPasswordsAndShowsTheMainWindow) {
    TestInstallation inst("Vandorix7");
    Started s(inst.programFolder(), Day(2025, 12, 31));
    s.app.start();
    AppState &st = s.app.state();
    ASSERT_FALSE(s.app.ended());
    EXPECT_TRUE(s.dialogs.messages().empty());
    const fs::path root = inst.root();
    for (auto [path, expected] :
         {std::pair{&st.RootFolderPath, root}, {&st.RootParentPath, root.parent_path()},
          {&st.ProgramFolderPath, inst.programFolder()}, {&st.MasterDataPath, root / "Torzs"},
          {&st.ProductsPath, root / "Termekek"}, {&st.AuxiliaryPath, root / "Seged"},
          {&st.ArchivePath, root / "Arhiv"}})
        EXPECT_EQ(*path, expected.string());
    EXPECT_EQ(st.Today, Day(2025, 12, 31));
    EXPECT_EQ(st.StartOfYear, Day(2025, 1, 1));
    EXPECT_EQ(st.WorkbookPassword, "Hx4m27Qb");
    EXPECT_EQ(st.SheetPassword, "r5Lw93Ze");
    EXPECT_TRUE(st.HostRunning);
    EXPECT_TRUE(st.HostApp->state().visible);
    EXPECT_EQ(st.HostApp->state().windowState, HostWindowState::Minimized);
    EXPECT_EQ(s.app.visibleForm(), &s.app.mainForm());
    EXPECT_EQ(s.app.mainForm().caption(), "Vandorix");

    // A second run of start-up resets flags and period and keeps working.
    st.RsiPeriod = 9;
    st.TradeDrivenPriceEntry = true;
    OpenAccountWorkbook(st);
    QuitSpreadsheetHost(st);

    ASSERT_TRUE(RunStartup(s.app));
    EXPECT_EQ(st.RsiPeriod, 14);
    EXPECT_FALSE(st.TradeDrivenPriceEntry);
    EXPECT_FALSE(st.AccountWorkbookOpen() || st.ProductWorkbookOpen() || st.ProductListOpen());
    EXPECT_TRUE(st.HostApp->workbooks().empty());
    EXPECT_TRUE(st.HostRunning);
    EXPECT_NO_THROW(st.host().open(inst.accountWorkbook()));
}

TEST(Startup, AMissingFolderAWrongRootNameOrASecondCopyEndsTheProgramWithOneNotice) {
    const std::string incompatible =
        "Az Ön Oprációs rendszere nem kompatibilis a Vandorix alkalmazással.\r\n"
        "Javasolom, hogy készítsen a számítógépére tartós és kompatibilis\r\n"
        "virtuális gépet és erre telepítse a Vandorix alkalmazást. Kilépés.";
    // Root name, data folder removed, whether a first copy runs, the notice (or part of it).
    const std::tuple<const char *, const char *, bool, std::string> cases[] = {
        {"Vandorix", "Torzs", false, incompatible},
        {"Vandorix", "Termekek", false, incompatible},
        {"Vandorix", "Seged", false, incompatible},
        {"Vandorix", "Arhiv", false, incompatible},
        {"Vandorix0", nullptr, false,
         "Telpítési hiba.Az alkalmazás neve csak Vandorix\r\n"
         "és ha kell, utánna egyszámjegyű index lehet."},
        {"Vandorix", nullptr, true, "másik példánya"},
    };
    for (const auto &[root, removedFolder, secondCopy, text] : cases) {
        SCOPED_TRACE(std::string(root) + " " + (removedFolder ? removedFolder : ""));
        TestInstallation inst(root);
        if (removedFolder) fs::remove_all(inst.root() / removedFolder);
        std::unique_ptr<Started> first;
        if (secondCopy) {
            first = std::make_unique<Started>(inst.programFolder());
            first->app.start();
            ASSERT_FALSE(first->app.ended());
        }
        Started s(inst.programFolder());
        s.dialogs.answer(MessageAnswer::Ok);
        s.app.start();
        EXPECT_TRUE(s.app.ended());
        ASSERT_EQ(s.dialogs.messages().size(), 1u);
        const MessageRequest &m = s.dialogs.messages()[0];
        if (secondCopy)
            EXPECT_NE(m.text.find(text), std::string::npos) << m.text;
        else
            EXPECT_EQ(m.text, text);
        EXPECT_EQ(m.title, "Felhívás");
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
        EXPECT_EQ(s.app.visibleForm(), nullptr);
        EXPECT_FALSE(s.app.state().HostRunning);
        if (root == std::string("Vandorix0")) { // it quits the host it started
            EXPECT_GE(s.app.state().HostApp->state().quitRequests, 1);
        }
    }

    // Only the product word and at most one digit, 1 to 9, name a root.
    const std::pair<const char *, bool> names[] = {
        {"Vandorix", true},   {"Vandorix1", true},   {"Vandorix7", true}, {"Vandorix9", true},
        {"Vandorix0", false}, {"Vandorix12", false}, {"vandorix", false}, {"VANDORIX", false},
        {"Vandorix ", false}, {"VandorixA", false},  {"Vandori", false},  {"", false}};
    for (auto [name, accepted] : names)
        EXPECT_EQ(IsValidInstallFolderName(name), accepted) << '"' << name << '"';
}

// Every item of the main menu that opens a window, below "Befektetés": the window's caption and
// the button that leaves it; some windows are left only after a product is chosen.
struct MenuEntry {
    const char *path, *caption, *backButton;
    bool productList = false;
};

const std::vector<MenuEntry> kWindowItems = {
    {"Részvény/Alapadatok", "Részvény alapadatok", "Command4"},
    {"Részvény/Vétel", "Részvény vétel", "Command3"},
    {"Részvény/Eladás", "Részvény eladás", "Command3"},
    {"Részvény/Napi záró ár", "Adatbevitel-Napi záró árak", "Command4", true},
    {"Részvény/Árfolyamok betöltése fájlból", "Árfolyamok betöltése fájlból", "Command2", true},
    {"Befektetési számla/Befizetés", "Befizetés a befektetési számlára", "Command3"},
    {"Befektetési számla/Osztalék bevétel", "Osztalék bevétel", "Command3"},
    {"Befektetési számla/Kivét", "Pénz kivét a befektetési számláról", "Command3"},
    {"Befektetési számla/Számlavezetési kts", "Befektetési számlavezetési költség", "Command3"},
    {"Befektetési számla/Számla kivonat", "Befektetési számla kivonat", "Command4"},
    {"Információ/Eredmény", "Eredmény kimutatás", "Command4"},
    {"Információ/Érték kinutatás", "Érték kimutatása", "Command2"},
    {"Információ/Termék szlámla kivonat", "Termékfájl számla kivonat", "Command4"},
    {"Karbantartás/Adatsor törlés", "Adatsor törlés", "Command3"},
    {"Karbantartás/Teljesülés  tr. kód módosítás", "Teljesítés tranzakciós kód csere", "Command4"},
};
const char *kNoPurchaseYet =
    "Felhívás\nCsak az első vásárlás után\nlehet a záró darabárat bevinni.\n";

std::vector<std::string> path(const std::string &belowTop) {
    return SplitMenuPath("Befektetés/" + belowTop);
}

// The menu tree as one line: captions, a submenu in brackets, a separator as "|".
std::string tree(const std::vector<MenuItem> &items) {
    std::string out;
    for (const MenuItem &i : items) {
        out += (out.empty() ? "" : ", ") + (i.separator ? "|" : i.caption);
        if (!i.items.empty()) out += " (" + tree(i.items) + ")";
    }
    return out;
}

TEST(MainMenu, FullTreeFailedCommandsShownAndDroppedAndExitWithoutAQuestion) {
    InProcessSession r;
    EXPECT_EQ(tree(r.app().mainForm().menu()),
              "Befektetés (Részvény (Alapadatok, Vétel, Eladás, Napi záró ár, Árfolyamok betöltése "
              "fájlból), Befektetési számla (Befizetés, Brókerdíj visszatérítés, Osztalék bevétel, "
              "Kivét, Számlavezetési kts, Megtekintés, Számla kivonat), Információ (Eredmény, "
              "Érték kinutatás, Termék szlámla kivonat, Termék adatok), |, Karbantartás "
              "(Teljesülés  tr. kód módosítás, Adatsor törlés, Utolsó művelet visszavonása, "
              "Biztonsági mentés), |, Kilépés)");

    // The refund window opens with the focus on its date field.
    r.app().clickMenu(path("Befektetési számla/Brókerdíj visszatérítés"));
    EXPECT_EQ(r.app().visibleForm()->focus(), "Text1");
    r.app().click("Command3");

    // A failed command is shown, drops what is open, and the program goes on.
    r.run(RegisterScript("Alfa", "A1"));
    EXPECT_EQ(r.app().statusLine(), "Elmentve: Alfa – részvény nyilvántartva");
    fs::remove(r.installation().root() / "Termekek" / "Alfa.xls");
    const std::string account = FileBytes(r.installation().accountWorkbook());
    r.run("menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 Alfa\nanswer OK\n");
    ASSERT_EQ(r.dialogs().messages().size(), 1u);
    EXPECT_EQ(r.dialogs().messages().back().title, "Hiba");
    EXPECT_NE(r.dialogs().messages().back().text.find("Alfa.xls"), std::string::npos);
    EXPECT_EQ(r.app().visibleForm(), &r.app().mainForm());
    EXPECT_TRUE(r.app().state().HostApp->workbooks().empty());
    EXPECT_FALSE(r.app().state().AccountWorkbookOpen() || r.app().state().ProductWorkbookOpen() ||
                 r.app().state().ProductListOpen());
    EXPECT_EQ(FileBytes(r.installation().accountWorkbook()), account);
    EXPECT_EQ(r.app().statusLine(), "A művelet megszakadt, semmi sem került mentésre.");
    // The next window reads the files afresh.
    r.run("menu Befektetés/Befektetési számla/Befizetés\n");
    EXPECT_EQ(r.app().visibleForm()->caption(), "Befizetés a befektetési számlára");
    r.run("click Command3\n");
    // A failure outside a window: shown, and the missing file is not made up.
    fs::remove(r.installation().accountWorkbook());
    r.run("menu Befektetés/Befektetési számla/Megtekintés\nanswer OK\n");
    ASSERT_EQ(r.dialogs().messages().size(), 2u);
    EXPECT_EQ(r.dialogs().messages()[1].title, "Hiba");
    EXPECT_NE(r.dialogs().messages()[1].text.find("Befszla.xls"), std::string::npos);
    EXPECT_FALSE(r.app().ended());
    EXPECT_EQ(r.app().visibleForm(), &r.app().mainForm());
    EXPECT_FALSE(fs::exists(r.installation().accountWorkbook()));

    // Exit with nothing open quits the host without a question.
    r.app().clickMenu(path("Kilépés"));
    EXPECT_TRUE(r.app().ended());
    EXPECT_EQ(r.dialogs().messages().size(), 2u) << "no question";
    EXPECT_GE(r.app().state().HostApp->state().quitRequests, 1);
    EXPECT_EQ(r.app().visibleForm(), nullptr);
    EXPECT_THROW(r.app().clickMenu(path("Kilépés")), ActionError);
}

TEST(MainMenu, EveryItemOpensOneWindowAndItsButtonsLeaveIt) {
    InProcessSession r;
    EXPECT_THROW(r.app().clickMenu(path("Részvény/Nincs ilyen")), ActionError);
    EXPECT_THROW(r.app().click("Command1"), ActionError);
    r.run(RegisterScript("Alfa", "A1")); // without a share the purchase window ends the program
    for (const MenuEntry &e : kWindowItems) {
        r.app().clickMenu(path(e.path));
        Form *shown = r.app().visibleForm();
        ASSERT_NE(shown, nullptr) << e.caption;
        EXPECT_EQ(shown->caption(), e.caption);
        EXPECT_FALSE(r.app().mainForm().visible()) << "only one window is visible";
        if (e.productList) {
            r.dialogs().answer(MessageAnswer::Ok); // a share without a purchase has no prices yet
            r.app().choose("Combo1", "Alfa");
        }
        // A disabled or hidden button is refused and the window stays.
        Control &back = shown->control(e.backButton);
        back.enabled = false;
        EXPECT_THROW(r.app().click(e.backButton), ActionError) << e.caption;
        back.enabled = true;
        back.visible = false;
        EXPECT_THROW(r.app().click(e.backButton), ActionError) << e.caption;
        back.visible = true;
        EXPECT_EQ(r.app().visibleForm(), shown);
        r.app().click(e.backButton);
        EXPECT_EQ(r.app().visibleForm(), &r.app().mainForm()) << e.caption;
        EXPECT_FALSE(r.app().state().HostRunning);
    }
    // The leave button of the last window ends the program.
    r.app().clickMenu(path(kWindowItems.back().path));
    r.app().click("Command5");
    EXPECT_TRUE(r.app().ended());
    EXPECT_EQ(r.app().visibleForm(), nullptr);
    EXPECT_TRUE(r.dialogs().allAnswersTaken());
}

TEST(Replay, OpensAndLeavesEveryWindowPrintsEachDialogAndFailsNamingTheScriptLine) {
    // One share registered, then every window of the menu opened and left again.
    std::string script = RegisterScript("Alfa", "A1");
    std::string expected;
    for (const MenuEntry &e : kWindowItems) {
        script += "menu Befektetés/" + std::string(e.path) + "\n";
        if (e.productList) {
            script += "choose Combo1 Alfa\nanswer OK\n";
            expected += kNoPurchaseYet;
        }
        script += "click " + std::string(e.backButton) + "\n";
    }
    // The product data view comes last: until a range is shown it is left only by its exit.
    script += "menu Befektetés/Befektetési számla/Brókerdíj visszatérítés\nclick Command3\n"
              "menu Befektetés/Befektetési számla/Megtekintés\nanswer OK\n"
              "menu Befektetés/Információ/Termék adatok\nclick Command3\n";
    TestInstallation inst;
    ReplayRun run = inst.replay(script);
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, expected + "Kilépés\nA Befektetési fájlban\nMég nincs adat. Kilépés!\n");

    // A faulty script fails naming its line.
    const std::string view = "menu Befektetés/Befektetési számla/Megtekintés\n";
    const std::string deposit = "menu Befektetés/Befektetési számla/Befizetés\n";
    const std::pair<std::string, const char *> cases[] = {
        {view, "(1. sor)"},                         // a dialog with no answer for it
        {view + "answer Yes\n", "(2. sor)"},        // answers of the wrong kind
        {view + "input 5\n", "(2. sor)"},
        {deposit + "answer OK\n", "(2. sor)"},      // an answer that no dialog took
        {deposit + "click Command9\n", "(2. sor)"}, // a control that does not exist
        {"# comment\n\nmenu Befektetés/Nincs\n", "(3. sor)"},
        {"click Command1\n", "(1. sor)"},
        {"menu Befektetés/Kilépés\nmenu Befektetés/Kilépés\n", "(2. sor)"}, // after the end
        {"frobnicate Text1\n", "(1. sor)"},
    };
    for (const auto &[bad, line] : cases) {
        TestInstallation fresh;
        ReplayRun failed = fresh.replay(bad);
        EXPECT_EQ(failed.exitCode, 1) << bad << failed.output;
        EXPECT_NE(failed.output.find(line), std::string::npos) << bad << failed.output;
    }
    // Start-up dialogs take the answers at the top of the script.
    TestInstallation wrongRoot("Vandorix12");
    ReplayRun r = wrongRoot.replay("answer OK\n");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_NE(r.output.find("Felhívás\nTelpítési hiba."), std::string::npos) << r.output;
}

} // namespace
} // namespace vandorix::testing
