#include "app/WorkbookProtocol.h"
#include "book/Templates.h"
#include "store/AtomicFile.h"
#include "support/ProductFiles.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace vandorix {
namespace {
namespace fs = std::filesystem;

// A laid-out installation whose registered product "Termékminta" is the product template.
class Protocol : public ::testing::Test {
protected:
    void SetUp() override {
        fs::copy_file(root_ / install::kAuxiliaryFolder / install::kProductTemplateFile, product_);
        app_.HostApp = std::make_unique<SpreadsheetHost>();
        app_.HostRunning = true;
        app_.MasterDataPath = (root_ / install::kMasterDataFolder).string();
        app_.ProductsPath = (root_ / install::kProductsFolder).string();
        app_.AuxiliaryPath = (root_ / install::kAuxiliaryFolder).string();
        app_.WorkbookPassword = install::kWorkbookPassword;
        app_.SheetPassword = install::kSheetPassword;
        app_.ProductName = install::kTemplateProductName;
    }

    // Every file of the installation with its bytes: no file changed, none appeared, none went.
    std::map<std::string, std::string> snapshot() const {
        std::map<std::string, std::string> files;
        for (auto &e : fs::recursive_directory_iterator(root_))
            if (e.is_regular_file())
                files[fs::relative(e.path(), root_).string()] = readWholeFile(e.path());
        return files;
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
    const fs::path account_ = inst_.accountWorkbook();
    const fs::path product_ = root_ / install::kProductsFolder / install::kProductTemplateFile;
    AppState app_;
};

// Nothing is written unless a command commits it; what is, is stored protected.
TEST_F(Protocol, OnlyACommittedCommandWritesAndSavesProtectedOpeningOnTheFirstSheet) {
    const auto before = snapshot();
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    CloseAccountWorkbook(app_);
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(app_.AccountWorkbookOpen());
    EXPECT_TRUE(app_.HostApp->workbooks().empty());
    // A change whose handle is given up without a commit is not saved.
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
    // The return from a window closes every workbook unwritten, changed or not.
    openAndPrepareAll();
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "eldobott");
    app_.ProductWorkbook->sheet("Szla").setValue(5, 2, 3);
    app_.ProductListWorkbook->sheet("BET01").setValue(6, 2, "Béta");
    CloseWorkbooksForReturn(app_);
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(app_.HostApp->workbooks().empty());
    EXPECT_FALSE(app_.AccountWorkbookOpen() || app_.ProductWorkbookOpen() ||
                 app_.ProductListOpen() || app_.HostRunning);
    // Inside a command the same holds: nothing is staged, so its end writes nothing.
    app_.HostApp->setJournalFolder(root_);
    app_.HostRunning = true;
    app_.HostApp->beginCommand();
    openAndPrepareAll();
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "eldobott");
    CloseWorkbooksForReturn(app_);
    app_.HostApp->endCommand();
    EXPECT_EQ(snapshot(), before);
    // An aborted command leaves no staged file and changes no target, though a workbook
    // reopened inside it shows what it saved.
    app_.HostApp->beginCommand();
    openAndPrepareAll();
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "megszakított");
    app_.AccountWorkbook.commit();
    app_.ProductWorkbook->sheet("Szla").setValue(5, 2, 3);
    app_.ProductWorkbook.commit();
    OpenAccountWorkbook(app_);
    EXPECT_EQ(app_.AccountWorkbook->sheet("Befszla01").value(5, 2), CellValue("megszakított"));
    CloseAccountWorkbook(app_);
    app_.HostApp->abortCommand();
    EXPECT_EQ(snapshot(), before);
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
    EXPECT_EQ(testing::ReadWorkbookFile(account_)->sheet("Befszla01").value(5, 2),
              CellValue("véglegesített"));
    auto after = snapshot();
    auto expected = before;
    for (auto *files : {&after, &expected}) files->erase(fs::relative(account_, root_));
    EXPECT_EQ(after, expected) << "only the account workbook changed";

    // Saved, the account workbook opens on its ledger and a product workbook on its price sheet,
    // helper sheets hidden, whatever sheet was left active; a second save keeps them hidden.
    // Every sheet's protection: CashWindows.* and ProductRegister.NewSharesListedSorted...
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    app_.AccountWorkbook->sheet("Befszla01").setValue(5, 2, "mentett");
    app_.AccountWorkbook->activate(app_.AccountWorkbook->sheet("Ertek01"));
    app_.AccountWorkbook.commit();
    for (int round = 0; round < 2; ++round) {
        OpenProductWorkbook(app_);
        PrepareProductWorkbook(app_);
        Workbook &wb = *app_.ProductWorkbook;
        for (const char *name : kProductHiddenSheets) EXPECT_TRUE(wb.sheet(name).visible()) << name;
        wb.sheet("Szla").setValue(1, 18, "HU0000000001");
        wb.activate(wb.sheet("Szla")); // as the trade-sheet recomputation leaves it
        app_.ProductWorkbook.commit();
    }
    auto account = testing::ReadWorkbookFile(account_);
    EXPECT_EQ(account->sheet("Befszla01").value(5, 2), CellValue("mentett"));
    EXPECT_EQ(account->activeSheet().name(), "Befszla01");
    EXPECT_TRUE(account->structureProtected());
    // The installation's passwords lift what was stored.
    account->unprotect(install::kWorkbookPassword);
    ASSERT_TRUE(account->sheet("Befszla01").isProtected());
    account->sheet("Befszla01").unprotect(install::kSheetPassword);
    auto product = testing::ReadWorkbookFile(product_);
    for (const char *name : kProductHiddenSheets)
        EXPECT_EQ(product->sheet(name).visibility(), SheetVisibility::Hidden) << name;
    EXPECT_EQ(product->activeSheet().name(), "Termékminta01");
    EXPECT_EQ(product->sheet("Szla").value(1, 18), CellValue("HU0000000001"));
}

} // namespace
} // namespace vandorix
