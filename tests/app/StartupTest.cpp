#include "app/Application.h"
#include "app/Startup.h"
#include "app/WorkbookProtocol.h"
#include "support/ScriptedDialogsFake.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vandorix {
namespace {

using testing::ScriptedDialogsFake;
using testing::TestInstallation;
namespace fs = std::filesystem;

const Date kToday = *Date::fromYmd(2026, 12, 6);

const std::string kIncompatibleSystem =
    "Az Ön Oprációs rendszere nem kompatibilis a Vandorix alkalmazással.\r\n"
    "Javasolom, hogy készítsen a számítógépére tartós és kompatibilis\r\n"
    "virtuális gépet és erre telepítse a Vandorix alkalmazást. Kilépés.";
const std::string kWrongRootName = "Telpítési hiba.Az alkalmazás neve csak Vandorix\r\n"
                                   "és ha kell, utánna egyszámjegyű index lehet.";

struct Started {
    ScriptedDialogsFake dialogs;
    Application app;
    Started(const fs::path &programFolder, Date today = kToday)
        : app(dialogs, StartupEnvironment{programFolder, today}) {}
};

TEST(Startup, SetsFoldersDatesPasswordsAndShowsTheMainWindow) {
    TestInstallation inst;
    Started s(inst.programFolder());
    s.app.start();
    AppState &st = s.app.state();
    ASSERT_FALSE(s.app.ended());
    EXPECT_TRUE(s.dialogs.messages().empty());
    EXPECT_EQ(st.RootFolderPath, inst.root().string());
    EXPECT_EQ(st.RootParentPath, inst.root().parent_path().string());
    EXPECT_EQ(st.ProgramFolderPath, inst.programFolder().string());
    EXPECT_EQ(st.MasterDataPath, (inst.root() / "Torzs").string());
    EXPECT_EQ(st.ProductsPath, (inst.root() / "Termekek").string());
    EXPECT_EQ(st.AuxiliaryPath, (inst.root() / "Seged").string());
    EXPECT_EQ(st.ArchivePath, (inst.root() / "Arhiv").string());
    EXPECT_EQ(st.Today, kToday);
    EXPECT_EQ(st.StartOfYear, *Date::fromYmd(2026, 1, 1));
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
    EXPECT_FALSE(st.AccountWorkbookOpen());
    EXPECT_FALSE(st.ProductWorkbookOpen());
    EXPECT_FALSE(st.ProductListOpen());
    EXPECT_TRUE(st.HostApp->workbooks().empty());
    EXPECT_TRUE(st.HostRunning);
    EXPECT_NO_THROW(st.host().open(inst.accountWorkbook()));
}

TEST(Startup, MissingDataFolderEndsTheProgramWithTheSystemMessage) {
    for (const char *folder : {"Torzs", "Termekek", "Seged", "Arhiv"}) {
        TestInstallation inst;
        fs::remove_all(inst.root() / folder);
        Started s(inst.programFolder());
        s.dialogs.answer(MessageAnswer::Ok);
        s.app.start();
        EXPECT_TRUE(s.app.ended()) << folder;
        ASSERT_EQ(s.dialogs.messages().size(), 1u) << folder;
        const MessageRequest &m = s.dialogs.messages()[0];
        EXPECT_EQ(m.text, kIncompatibleSystem);
        EXPECT_EQ(m.title, "Felhívás");
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
        EXPECT_EQ(m.buttons, MessageButtons::Ok);
        EXPECT_EQ(s.app.visibleForm(), nullptr);
    }
}

TEST(Startup, WrongRootNameQuitsTheHostAndEnds) {
    TestInstallation inst("Vandorix0");
    Started s(inst.programFolder());
    s.dialogs.answer(MessageAnswer::Ok);
    s.app.start();
    EXPECT_TRUE(s.app.ended());
    ASSERT_EQ(s.dialogs.messages().size(), 1u);
    EXPECT_EQ(s.dialogs.messages()[0].text, kWrongRootName);
    EXPECT_EQ(s.dialogs.messages()[0].title, "Felhívás");
    EXPECT_FALSE(s.app.state().HostRunning);
    EXPECT_GE(s.app.state().HostApp->state().quitRequests, 1);
    EXPECT_EQ(s.app.visibleForm(), nullptr);
}

TEST(Startup, SecondCopyOnTheSameFoldersIsRefused) {
    TestInstallation inst;
    Started first(inst.programFolder());
    first.app.start();
    ASSERT_FALSE(first.app.ended());

    Started second(inst.programFolder());
    second.dialogs.answer(MessageAnswer::Ok);
    second.app.start();
    EXPECT_TRUE(second.app.ended());
    ASSERT_EQ(second.dialogs.messages().size(), 1u);
    EXPECT_NE(second.dialogs.messages()[0].text.find("másik példánya"), std::string::npos);
}

TEST(Startup, OnlyTheProductWordAndOneDigitAreAcceptedAsRootName) {
    const std::pair<const char *, bool> names[] = {
        {"Vandorix", true},   {"Vandorix1", true},   {"Vandorix7", true}, {"Vandorix9", true},
        {"Vandorix0", false}, {"Vandorix12", false}, {"vandorix", false}, {"VANDORIX", false},
        {"Vandorix ", false}, {"VandorixA", false},  {"Vandori", false},  {"", false}};
    for (auto [name, accepted] : names)
        EXPECT_EQ(IsValidInstallFolderName(name), accepted) << '"' << name << '"';
}

TEST(Startup, AcceptedRootWithADigitStartsNormallyAndTheLastDayKeepsItsYear) {
    TestInstallation inst("Vandorix7");
    Started s(inst.programFolder(), *Date::fromYmd(2025, 12, 31));
    s.app.start();
    EXPECT_FALSE(s.app.ended());
    EXPECT_TRUE(s.dialogs.messages().empty());
    EXPECT_EQ(s.app.state().StartOfYear, *Date::fromYmd(2025, 1, 1));
}

} // namespace
} // namespace vandorix
