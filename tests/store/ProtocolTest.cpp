#include "store/AtomicFile.h"
#include "support/TestInstallation.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vandorix {
namespace {
namespace fs = std::filesystem;

// A laid-out installation with one registered product, "Termékminta", whose workbook is a
// copy of the product template (its daily sheets already carry the product's name).
class Protocol : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(root_ / install::kAuxiliaryFolder / install::kProductTemplateFile,
                      productFile());
        app_.HostApp = std::make_unique<SpreadsheetHost>();
        app_.HostRunning = true;
        app_.RootFolderPath = root_.string();
        app_.MasterDataPath = (root_ / install::kMasterDataFolder).string();
        app_.ProductsPath = (root_ / install::kProductsFolder).string();
        app_.AuxiliaryPath = (root_ / install::kAuxiliaryFolder).string();
        app_.ArchivePath = (root_ / install::kArchiveFolder).string();
        app_.WorkbookPassword = install::kWorkbookPassword;
        app_.SheetPassword = install::kSheetPassword;
        app_.ProductName = install::kTemplateProductName;
    }
    void TearDown() override { app_.HostApp.reset(); }

    fs::path accountFile() const { return root_ / install::kMasterDataFolder / install::kAccountWorkbookFile; }
    fs::path productFile() const {
        return root_ / install::kProductsFolder / (std::string(install::kTemplateProductName) + ".xls");
    }
    fs::path listFile() const { return root_ / install::kAuxiliaryFolder / install::kProductListFile; }

    // Every file of the installation with its bytes, so that "nothing was written" can be
    // checked as a whole: no file changed, none appeared, none went.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (auto &e : fs::recursive_directory_iterator(root_))
            if (e.is_regular_file()) files[fs::relative(e.path(), root_).string()] = readWholeFile(e.path());
        return files;
    }

    std::unique_ptr<Workbook> reread(const fs::path &path) const {
        return decodeWorkbook(readWholeFile(path), path.string());
    }

    void openAndPrepareAll() {
        OpenAccountWorkbook(app_);
        PrepareAccountWorkbook(app_);
        OpenProductWorkbook(app_);
        PrepareProductWorkbook(app_);
        OpenProductListWorkbook(app_);
    }

    testing::TestInstallation inst_;
    const fs::path root_ = inst_.root();
    AppState app_;
};

TEST_F(Protocol, AccountWorkbookOpenedPreparedAndClosedWithoutChangeIsNotWritten) {
    const auto before = snapshot();
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    Workbook &wb = *app_.AccountWorkbook;
    EXPECT_FALSE(wb.structureProtected());
    for (const char *name : kAccountSheets) EXPECT_FALSE(wb.sheet(name).isProtected()) << name;
    CloseAccountWorkbook(app_);
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(app_.AccountWorkbookOpen());
    EXPECT_TRUE(app_.HostApp->workbooks().empty());

    // A change in memory that no command committed is not saved.
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "nem mentett");
    app_.AccountWorkbook.close();
    EXPECT_EQ(snapshot(), before);

    // Nor is one whose handle is given up without a commit.
    {
        OpenAccountWorkbook(app_);
        PrepareAccountWorkbook(app_);
        OpenBook taken = std::move(app_.AccountWorkbook);
        EXPECT_FALSE(app_.AccountWorkbookOpen());
        taken->sheet("Befszla01").setValue(5, 2, "eldobott");
    }
    EXPECT_TRUE(app_.HostApp->workbooks().empty());
    EXPECT_EQ(snapshot(), before);

    // Opening a file already open keeps the one workbook; opening another lets the first go.
    OpenAccountWorkbook(app_);
    Workbook *first = app_.AccountWorkbook.get();
    OpenAccountWorkbook(app_);
    EXPECT_EQ(app_.AccountWorkbook.get(), first);
    app_.AccountWorkbook = std::move(app_.ProductWorkbook);
    EXPECT_TRUE(app_.HostApp->workbooks().empty());
    EXPECT_FALSE(app_.AccountWorkbookOpen());
}

TEST_F(Protocol, ChangedAccountWorkbookIsSavedProtected) {
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "mentett");
    app_.AccountWorkbook->activate(app_.AccountWorkbook->sheet("Ertek01")); // as a report leaves it
    app_.AccountWorkbook.commit();

    auto stored = reread(accountFile());
    EXPECT_EQ(stored->sheet("Befszla01").value(5, 2), CellValue("mentett"));
    EXPECT_EQ(stored->activeSheet().name(), "Befszla01") << "the file opens on the ledger";
    EXPECT_TRUE(stored->structureProtected());
    for (const char *name : kAccountSheets) {
        EXPECT_TRUE(stored->sheet(name).isProtected()) << name;
        EXPECT_TRUE(stored->sheet(name).visible()) << name;
    }
    stored->unprotect(install::kWorkbookPassword);
    stored->sheet("Befszla01").unprotect(install::kSheetPassword);
}

TEST_F(Protocol, SavedProductWorkbookHasItsHelperSheetsHidden) {
    OpenProductWorkbook(app_);
    PrepareProductWorkbook(app_);
    Workbook &wb = *app_.ProductWorkbook;
    for (const char *name : kProductHiddenSheets) EXPECT_TRUE(wb.sheet(name).visible()) << name;
    wb.sheet("Szla").setValue(1, 18, "HU0000000001");
    wb.activate(wb.sheet("Szla")); // as the trade-sheet recomputation leaves it
    app_.ProductWorkbook.commit();

    auto stored = reread(productFile());
    for (const char *name : kProductHiddenSheets) {
        EXPECT_EQ(stored->sheet(name).visibility(), SheetVisibility::Hidden) << name;
        EXPECT_TRUE(stored->sheet(name).isProtected()) << name;
    }
    for (const char *name : {"Termékminta01", "Termékminta02"}) {
        EXPECT_TRUE(stored->sheet(name).visible()) << name;
        EXPECT_TRUE(stored->sheet(name).isProtected()) << name;
    }
    EXPECT_EQ(stored->activeSheet().name(), "Termékminta01") << "the file opens on the price sheet";
    EXPECT_TRUE(stored->structureProtected());
    EXPECT_EQ(stored->sheet("Szla").value(1, 18), CellValue("HU0000000001"));

    // A second round of open, prepare and save keeps them hidden too.
    OpenProductWorkbook(app_);
    PrepareProductWorkbook(app_);
    app_.ProductWorkbook.commit();
    auto again = reread(productFile());
    for (const char *name : kProductHiddenSheets) EXPECT_FALSE(again->sheet(name).visible()) << name;
}

TEST_F(Protocol, ReturnFromAWindowClosesEveryWorkbookWithoutWriting) {
    const auto before = snapshot();
    openAndPrepareAll();
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "eldobott");
    app_.ProductWorkbook->sheet("Szla").setValue(5, 2, 3);
    app_.ProductListWorkbook->sheet("BET01").setValue(6, 2, "Béta");

    CloseWorkbooksForReturn(app_);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(app_.HostApp->workbooks().empty());
    EXPECT_FALSE(app_.AccountWorkbookOpen());
    EXPECT_FALSE(app_.ProductWorkbookOpen());
    EXPECT_FALSE(app_.ProductListOpen());
    EXPECT_FALSE(app_.HostRunning);

    // Inside a command the same holds: nothing is staged, so its end writes nothing.
    app_.HostApp->setJournalFolder(root_);
    app_.HostRunning = true;
    app_.HostApp->beginCommand();
    openAndPrepareAll();
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "eldobott");
    CloseWorkbooksForReturn(app_);
    app_.HostApp->endCommand();
    EXPECT_EQ(snapshot(), before);
}

TEST_F(Protocol, AbortedCommandChangesNoFile) {
    const auto before = snapshot();
    app_.HostApp->setJournalFolder(root_);
    app_.HostApp->beginCommand();
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "megszakított");
    app_.AccountWorkbook.commit();
    OpenProductWorkbook(app_);
    PrepareProductWorkbook(app_);
    app_.ProductWorkbook->sheet("Szla").setValue(5, 2, 3);
    app_.ProductWorkbook.commit();
    // Reopened inside the command, the account workbook shows what the command saved.
    OpenAccountWorkbook(app_);
    EXPECT_EQ(app_.AccountWorkbook->sheet("Befszla01").value(5, 2), CellValue("megszakított"));
    CloseAccountWorkbook(app_);

    app_.HostApp->abortCommand();
    EXPECT_EQ(snapshot(), before) << "staged files are gone and no target changed";
    EXPECT_FALSE(app_.HostApp->inCommand());

    // After the abort the files are read from the disk again, and the next command commits.
    OpenAccountWorkbook(app_);
    EXPECT_TRUE(app_.AccountWorkbook->sheet("Befszla01").value(5, 2).isBlank());
    CloseAccountWorkbook(app_);
    app_.HostApp->beginCommand();
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "véglegesített");
    app_.AccountWorkbook.commit();
    app_.HostApp->endCommand();
    EXPECT_EQ(reread(accountFile())->sheet("Befszla01").value(5, 2), CellValue("véglegesített"));
    auto after = snapshot();
    after.erase(fs::relative(accountFile(), root_).string());
    auto expected = before;
    expected.erase(fs::relative(accountFile(), root_).string());
    EXPECT_EQ(after, expected) << "only the account workbook changed";
}

} // namespace
} // namespace vandorix
