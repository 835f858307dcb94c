#include "app/Application.h"
#include "app/Startup.h"
#include "app/WorkbookProtocol.h"
#include "support/ScriptedDialogsFake.h"
#include "support/ProductFiles.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

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
    struct Case {
        const char *root, *removedFolder;
        bool secondCopy;
        std::string text; // the whole text; for a second copy a part of it
    };
    const Case cases[] = {
        {"Vandorix", "Torzs", false, incompatible},
        {"Vandorix", "Termekek", false, incompatible},
        {"Vandorix", "Seged", false, incompatible},
        {"Vandorix", "Arhiv", false, incompatible},
        {"Vandorix0", nullptr, false,
         "Telpítési hiba.Az alkalmazás neve csak Vandorix\r\n"
         "és ha kell, utánna egyszámjegyű index lehet."},
        {"Vandorix", nullptr, true, "másik példánya"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.root) + " " + (c.removedFolder ? c.removedFolder : ""));
        TestInstallation inst(c.root);
        if (c.removedFolder) fs::remove_all(inst.root() / c.removedFolder);
        std::unique_ptr<Started> first;
        if (c.secondCopy) {
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
        if (c.secondCopy)
            EXPECT_NE(m.text.find(c.text), std::string::npos) << m.text;
        else
            EXPECT_EQ(m.text, c.text);
        EXPECT_EQ(m.title, "Felhívás");
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
        EXPECT_EQ(s.app.visibleForm(), nullptr);
        EXPECT_FALSE(s.app.state().HostRunning);
        if (c.root == std::string("Vandorix0")) // it quits the host it started
            EXPECT_GE(s.app.state().HostApp->state().quitRequests, 1);
    }
}

TEST(Startup, OnlyTheProductWordAndOneDigitAreAcceptedAsRootName) {
    const std::pair<const char *, bool> names[] = {
        {"Vandorix", true},   {"Vandorix1", true},   {"Vandorix7", true}, {"Vandorix9", true},
        {"Vandorix0", false}, {"Vandorix12", false}, {"vandorix", false}, {"VANDORIX", false},
        {"Vandorix ", false}, {"VandorixA", false},  {"Vandori", false},  {"", false}};
    for (auto [name, accepted] : names)
        EXPECT_EQ(IsValidInstallFolderName(name), accepted) << '"' << name << '"';
}

} // namespace
} // namespace vandorix::testing
