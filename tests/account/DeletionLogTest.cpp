#include "account/DeletionLogs.h"
#include "app/AppState.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vandorix {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::TestInstallation;

// The program state of an installation, with the host but no windows.
struct Logs {
    TestInstallation inst;
    AppState app;
    Workbook scratch; // owns the rows that are logged
    Logs() {
        app.HostApp = std::make_unique<SpreadsheetHost>();
        app.ArchivePath = (inst.root() / "Arhiv").string();
        app.AuxiliaryPath = (inst.root() / "Seged").string();
        app.WorkbookPassword = install::kWorkbookPassword;
        app.SheetPassword = install::kSheetPassword;
    }
    fs::path accountLog() const { return inst.root() / "Arhiv" / "Befszlatöröltsorok.xls"; }
    fs::path productLog() const { return inst.root() / "Arhiv" / "Terméktöröltsorok.xls"; }
    std::unique_ptr<Workbook> stored(const fs::path &p) const {
        return decodeWorkbook(FileBytes(p), p.string());
    }
    // Appends one row with `code` in U and `tag` in I, as a deletion does.
    void appendAccountRow(int code, const std::string &tag) {
        Sheet source(scratch, "Forrás");
        source.setValue(1, 1, *Date::fromYmd(2026, 1, code));
        source.setValue(1, 9, tag);
        source.setValue(1, 21, code);
        OpenAccountDeletionLog(app);
        Sheet &log = app.AccountDeletionLog->sheet("Befszlatörsor01");
        CopyRowIntoLog(source, 1, log, FindLogAppendRow(log), true);
        app.AccountDeletionLog.commit();
    }
};

TEST(DeletionLogs, MissingLogIsMadeFromItsTemplateAndRowsAppendInOrder) {
    Logs l;
    ASSERT_FALSE(fs::exists(l.accountLog()));
    for (int code : {3, 7, 5}) l.appendAccountRow(code, "tétel " + std::to_string(code));
    ASSERT_TRUE(fs::exists(l.accountLog()));
    auto wb = l.stored(l.accountLog());
    const Sheet &log = wb->sheet("Befszlatörsor01");
    EXPECT_EQ(log.value(5, 21).integer(), 3);
    EXPECT_EQ(log.value(6, 21).integer(), 7);
    EXPECT_EQ(log.value(7, 21).integer(), 5);
    EXPECT_EQ(log.value(7, 9).text(), "tétel 5");
    EXPECT_TRUE(log.value(8, 1).isBlank());
    // Stored protected, its headings those of the template.
    EXPECT_TRUE(log.isProtected());
    EXPECT_TRUE(wb->sheet("Segéd01").isProtected());
    EXPECT_TRUE(wb->structureProtected());
    EXPECT_EQ(log.value(3, 1).text(), "Dátum");
    EXPECT_FALSE(l.app.AccountDeletionLogOpen());
}

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
