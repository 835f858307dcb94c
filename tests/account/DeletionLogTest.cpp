#include "account/DeletionLogs.h"
#include "app/AppState.h"
#include "store/HostError.h"
#include "book/Templates.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vandorix {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::TestInstallation;

// The program state of an installation, with the host but no windows. How a deletion makes a
// missing log from its template and appends to it is seen through the windows.
struct Logs {
    TestInstallation inst;
    AppState app;
    Logs() {
        app.HostApp = std::make_unique<SpreadsheetHost>();
        app.ArchivePath = (inst.root() / "Arhiv").string();
        app.AuxiliaryPath = (inst.root() / "Seged").string();
        app.WorkbookPassword = install::kWorkbookPassword;
        app.SheetPassword = install::kSheetPassword;
    }
    fs::path productLog() const { return inst.root() / "Arhiv" / "Terméktöröltsorok.xls"; }
};

TEST(DeletionLogs, AppendRowNeverLandsOnARowThatHoldsAnything) {
    Workbook wb;
    Sheet &log = wb.addSheet("Befszlatörsor01");
    EXPECT_EQ(FindLogAppendRow(log), 5);
    log.setValue(5, 1, *Date::fromYmd(2026, 1, 1));
    log.setValue(6, 21, 44); // a row whose date went missing still is a logged row
    log.setValue(7, 1, *Date::fromYmd(2026, 1, 2));
    EXPECT_EQ(FindLogAppendRow(log), 8);
}

TEST(DeletionLogs, OpeningWithoutAChangeWritesNothingAndWrongPasswordFails) {
    Logs l;
    l.app.HostApp->copyFile(l.inst.root() / "Seged" / "Terméktöröltsorokminta.xls", l.productLog());
    const std::string before = FileBytes(l.productLog());
    OpenProductDeletionLog(l.app);
    EXPECT_TRUE(l.app.ProductDeletionLogOpen());
    EXPECT_FALSE(l.app.ProductDeletionLog->sheet("Szla").isProtected());
    l.app.ProductDeletionLog.close();
    EXPECT_EQ(FileBytes(l.productLog()), before);

    l.app.SheetPassword = "másik";
    EXPECT_THROW(OpenProductDeletionLog(l.app), HostError);
}

} // namespace
} // namespace vandorix
