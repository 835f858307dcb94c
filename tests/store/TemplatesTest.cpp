#include "store/AtomicFile.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace vandorix {
namespace {

const std::string kSheetPw = "r5Lw93Ze";
const std::string kBookPw = "Hx4m27Qb";

std::vector<std::string> sheetNames(const Workbook &wb) {
    std::vector<std::string> names;
    for (int i = 1; i <= wb.sheetCount(); ++i) names.push_back(wb.sheetAt(i).name());
    return names;
}

// Lifts the stored protection the way the program's Prepare procedures do.
void prepare(Workbook &wb) {
    wb.unprotect(kBookPw);
    for (int i = 1; i <= wb.sheetCount(); ++i) wb.sheetAt(i).unprotect(kSheetPw);
}

std::string headingOf(const Sheet &s, int column) {
    std::string text;
    for (int r : {3, 4})
        if (auto t = s.value(r, column).text(); t && !t->empty()) text += (text.empty() ? "" : " ") + *t;
    return text;
}

// Every column of a layout names itself in row 3 or row 4, in bold.
void expectHeadings(const Sheet &s, std::initializer_list<int> columns) {
    for (int c : columns) {
        EXPECT_FALSE(headingOf(s, c).empty()) << s.name() << " column " << c;
        EXPECT_TRUE(formatOf(s.cellFormat(4, c)).bold) << s.name() << " column " << c;
    }
}

void expectHeadings(const Sheet &s, int firstColumn, int lastColumn) {
    for (int c = firstColumn; c <= lastColumn; ++c) expectHeadings(s, {c});
}

bool isAmount(const Sheet &s, int row, int column) { return formatOf(s.cellFormat(row, column)).currency; }
bool isDate(const Sheet &s, int row, int column) { return formatOf(s.cellFormat(row, column)).isDateFormat(); }
bool isWholeNumber(const Sheet &s, int row, int column) {
    const CellFormat &f = formatOf(s.cellFormat(row, column));
    return f.numberFormat == "0" && !f.currency;
}

// The stored state: every sheet protected with the sheet password, the structure with the
// workbook password; another password opens nothing.
void expectStoredProtection(Workbook &wb) {
    EXPECT_TRUE(wb.structureProtected()) << wb.fileName();
    EXPECT_THROW(wb.addSheet("Új lap"), HostError) << wb.fileName();
    EXPECT_THROW(wb.unprotect(kSheetPw), WrongPasswordError) << wb.fileName();
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        Sheet &s = wb.sheetAt(i);
        EXPECT_TRUE(s.isProtected()) << s.name();
        EXPECT_THROW(s.setValue(5, 1, "x"), ProtectedError) << s.name();
        EXPECT_THROW(s.unprotect(kBookPw), WrongPasswordError) << s.name();
    }
    prepare(wb);
    EXPECT_FALSE(wb.structureProtected());
    for (int i = 1; i <= wb.sheetCount(); ++i) EXPECT_FALSE(wb.sheetAt(i).isProtected());
}

TEST(AccountWorkbookTemplate, FiveVisibleProtectedSheetsInOrder) {
    auto wb = makeAccountWorkbook();
    EXPECT_EQ(wb->fileName(), "Befszla.xls");
    EXPECT_EQ(sheetNames(*wb), (std::vector<std::string>{"Befszla01", "Befszla02", "Ertek01",
                                                         "Eredmeny01", "ARHIV01"}));
    for (int i = 1; i <= wb->sheetCount(); ++i) EXPECT_TRUE(wb->sheetAt(i).visible()) << i;
    EXPECT_TRUE(wb->activeSheet().visible());
    expectStoredProtection(*wb);
}

TEST(AccountWorkbookTemplate, LedgerIsEmptyWithTotalsOfNoRows) {
    auto wb = makeAccountWorkbook();
    for (const char *name : {"Befszla01", "Befszla02"}) {
        const Sheet &s = wb->sheet(name);
        EXPECT_TRUE(s.value(5, 1).isBlank()) << name;
        EXPECT_EQ(s.value(2, 22).integer(), 7) << name; // V2: totals row of an empty sheet
        EXPECT_TRUE(s.value(2, 1).isBlank()) << name;   // no period yet
        EXPECT_TRUE(s.value(2, 19).isBlank()) << name;  // no broker-fee refund yet
        for (int r = 5; r <= 8; ++r)
            for (int c = 1; c <= 22; ++c) {
                if (r == 7) continue; // the totals row
                EXPECT_TRUE(s.value(r, c).isBlank()) << name << " " << r << "," << c;
            }
    }
    const Sheet &ledger = wb->sheet("Befszla01");
    EXPECT_EQ(ledger.value(7, 2), CellValue("Összesen"));
    EXPECT_EQ(ledger.value(7, 20).currency(), Currency());
    for (int c : {5, 6, 7, 12, 13, 14, 15, 16, 17, 18}) EXPECT_EQ(ledger.value(7, c).currency(), Currency()) << c;
    EXPECT_TRUE(wb->sheet("ARHIV01").value(5, 1).isBlank());
}

TEST(AccountWorkbookTemplate, ReportSheetsReserveRowFiveAndListProductsFromRowSix) {
    auto wb = makeAccountWorkbook();
    // A new product goes into the first row from row 5 whose A is empty: it must be row 6 in
    // both sheets, row 5 being the cash account and the archived products.
    for (const char *name : {"Ertek01", "Eredmeny01"}) {
        const Sheet &s = wb->sheet(name);
        EXPECT_FALSE(s.value(5, 1).isBlank()) << name;
        EXPECT_TRUE(s.value(6, 1).isBlank()) << name;
    }
}

TEST(AccountWorkbookTemplate, HeadingsNameEveryLayoutColumn) {
    auto wb = makeAccountWorkbook();
    for (const char *name : {"Befszla01", "Befszla02"}) expectHeadings(wb->sheet(name), 1, 22);
    expectHeadings(wb->sheet("Ertek01"), 1, 7);
    expectHeadings(wb->sheet("Eredmeny01"), 1, 12);
    expectHeadings(wb->sheet("ARHIV01"), {1, 2, 3, 4, 5, 7});
    for (int i = 1; i <= wb->sheetCount(); ++i) {
        const Sheet &s = wb->sheetAt(i);
        EXPECT_FALSE(s.value(1, 1).isBlank()) << s.name(); // title
        EXPECT_TRUE(formatOf(s.cellFormat(1, 1)).bold) << s.name();
    }
}

TEST(AccountWorkbookTemplate, LedgerRowsTakeTheColumnTypes) {
    auto wb = makeAccountWorkbook();
    prepare(*wb);
    Sheet &s = wb->sheet("Befszla01");

    // A first trade inserts a row at row 5 and takes the formats of the row below it.
    s.insertRow(5);
    s.copyRowFormat(6, 5);
    for (int r : {5, 6}) {
        EXPECT_TRUE(isDate(s, r, 1)) << r;
        for (int c : {4, 5, 6, 7, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20}) EXPECT_TRUE(isAmount(s, r, c)) << r << "," << c;
        for (int c : {2, 3, 10, 21}) EXPECT_TRUE(isWholeNumber(s, r, c)) << r << "," << c;
        for (int c : {8, 9, 22}) {
            EXPECT_FALSE(isAmount(s, r, c));
            EXPECT_FALSE(isDate(s, r, c));
        }
    }
    // Numbers written into the amount columns become exact amounts.
    s.setValue(5, 16, 1234.5678);
    EXPECT_EQ(s.value(5, 16).kind(), CellKind::Currency);
    EXPECT_EQ(s.value(5, 16).currency(), Currency::fromRaw(12345678));

    // The recomputation of an empty ledger deletes row 5; the data formats stay on row 5.
    auto fresh = makeAccountWorkbook();
    prepare(*fresh);
    Sheet &empty = fresh->sheet("Befszla01");
    empty.deleteRow(5);
    EXPECT_TRUE(isDate(empty, 5, 1));
    EXPECT_TRUE(isAmount(empty, 5, 16));
    EXPECT_TRUE(isWholeNumber(empty, 5, 21));
}

TEST(ProductListTemplate, OneProtectedSheetListingOtherShare) {
    auto wb = makeProductList();
    EXPECT_EQ(wb->fileName(), "ISIN01.xls");
    EXPECT_EQ(sheetNames(*wb), std::vector<std::string>{"BET01"});
    const Sheet &s = wb->sheet("BET01");
    EXPECT_TRUE(s.visible());
    EXPECT_EQ(s.value(5, 2), CellValue("Más részvény"));
    EXPECT_TRUE(s.value(6, 2).isBlank()); // the list ends after it
    expectHeadings(s, 2, 3);
    expectStoredProtection(*wb);

    // A product registered below "Más részvény" takes the list's formats.
    Sheet &list = wb->sheet("BET01");
    list.insertRow(6);
    list.copyRowFormat(7, 6);
    EXPECT_EQ(list.cellFormat(6, 3), list.cellFormat(5, 3));
    EXPECT_FALSE(formatOf(list.cellFormat(6, 2)).bold);
}

TEST(ProductTemplate, SheetsInOrderWithTradeSheetsHidden) {
    auto wb = makeProductTemplate();
    EXPECT_EQ(wb->fileName(), "Termékminta.xls");
    EXPECT_EQ(sheetNames(*wb), (std::vector<std::string>{"Termékminta01", "Termékminta02", "Szla",
                                                         "Szla02", "Segéd01"}));
    EXPECT_TRUE(wb->sheet("Termékminta01").visible());
    EXPECT_TRUE(wb->sheet("Termékminta02").visible());
    for (const char *hidden : {"Szla", "Szla02", "Segéd01"}) EXPECT_FALSE(wb->sheet(hidden).visible()) << hidden;
    EXPECT_TRUE(wb->activeSheet().visible());
    expectStoredProtection(*wb);
}

TEST(ProductTemplate, RegistrationCanRenameAndFormatTheDailySheets) {
    auto wb = makeProductTemplate();
    prepare(*wb);
    wb->renameSheet("Termékminta01", "Alfa01");
    wb->renameSheet("Termékminta02", "Alfa02");
    for (const char *name : {"Alfa01", "Alfa02", "Szla", "Szla02"}) {
        Sheet &s = wb->sheet(name);
        s.copyRowFormat(5, 6);
        EXPECT_TRUE(isDate(s, 6, 1)) << name;
    }
    EXPECT_EQ(sheetNames(*wb), (std::vector<std::string>{"Alfa01", "Alfa02", "Szla", "Szla02", "Segéd01"}));
}

TEST(ProductTemplate, TradeSheetHoldsTheStateOfNoTrades) {
    auto wb = makeProductTemplate();
    const Sheet &szla = wb->sheet("Szla");
    EXPECT_TRUE(szla.value(5, 1).isBlank());
    EXPECT_EQ(szla.value(2, 19).integer(), 7);  // S2
    EXPECT_EQ(szla.value(7, 18).integer(), 0);  // R7: nothing held
    EXPECT_EQ(szla.value(7, 2), CellValue("Összesen"));
    EXPECT_TRUE(szla.value(7, 8).isBlank());    // no average cost without a holding
    const Sheet &statement = wb->sheet("Szla02");
    EXPECT_EQ(statement.value(2, 19).integer(), 7);
    EXPECT_TRUE(statement.value(5, 1).isBlank());
    expectHeadings(szla, 1, 35);
    expectHeadings(statement, 1, 35);
}

TEST(ProductTemplate, PerShareColumnsKeepDoublesAndAmountColumnsHoldAmounts) {
    auto wb = makeProductTemplate();
    prepare(*wb);
    Sheet &szla = wb->sheet("Szla");
    EXPECT_TRUE(isDate(szla, 5, 1));
    for (int c : {4, 5, 6, 7, 11, 12, 13, 14, 16}) EXPECT_TRUE(isAmount(szla, 5, c)) << c;
    for (int c : {2, 3, 10, 17, 18, 21, 22, 23, 24, 25, 34, 35}) EXPECT_TRUE(isWholeNumber(szla, 5, c)) << c;
    // H and O of a trade row are double-precision figures, not amounts.
    szla.setValue(5, 8, 1.0 / 3.0);
    szla.setValue(5, 15, 2.0 / 3.0);
    EXPECT_EQ(szla.value(5, 8).kind(), CellKind::Number);
    EXPECT_EQ(szla.value(5, 15).kind(), CellKind::Number);
    szla.setValue(5, 4, 10.12345);
    EXPECT_EQ(szla.value(5, 4).currency(), Currency::fromRaw(101235));

    Sheet &prices = wb->sheet("Termékminta01");
    EXPECT_TRUE(isDate(prices, 5, 1));
    for (int c = 2; c <= 5; ++c) EXPECT_TRUE(isAmount(prices, 5, c)) << c;
    prices.setValue(5, 6, 1.0 / 7.0); // MA20
    EXPECT_EQ(prices.value(5, 6).kind(), CellKind::Number);
    EXPECT_TRUE(isWholeNumber(prices, 5, 9));
    EXPECT_TRUE(isWholeNumber(prices, 5, 10));
}

TEST(ProductTemplate, DailySheetsCarryIndicatorHeadings) {
    auto wb = makeProductTemplate();
    const Sheet &prices = wb->sheet("Termékminta01");
    // The indicator refresh rewrites row 4 unless I4 reads "RSI14".
    EXPECT_EQ(prices.value(4, 6), CellValue("MA20"));
    EXPECT_EQ(prices.value(4, 7), CellValue("MA50"));
    EXPECT_EQ(prices.value(4, 8), CellValue("MA200"));
    EXPECT_EQ(prices.value(4, 9), CellValue("RSI14"));
    expectHeadings(prices, 1, 10);
    EXPECT_TRUE(prices.value(5, 2).isBlank()); // no price row: the data range is empty

    const Sheet &chart = wb->sheet("Termékminta02");
    expectHeadings(chart, 1, 22);
    EXPECT_TRUE(chart.value(3, 1).isBlank()); // A3 is the caption cell of the chart source
    EXPECT_TRUE(chart.value(5, 1).isBlank());
}

TEST(ProductTemplate, AuxiliarySheetLabelsItsParameterRows) {
    auto wb = makeProductTemplate();
    const Sheet &aux = wb->sheet("Segéd01");
    for (int r : {5, 6, 7, 8, 9, 11, 12, 13, 22, 23, 24, 25, 30, 32, 33})
        EXPECT_FALSE(aux.value(r, 1).isBlank()) << "row " << r;
    // The parameter cells themselves are empty until the program fills them.
    for (int r = 5; r <= 33; ++r)
        for (int c = 3; c <= 11; ++c) {
            if (r == 29) continue; // the headings of the scale block
            EXPECT_TRUE(aux.value(r, c).isBlank()) << r << "," << c;
        }
    EXPECT_TRUE(isWholeNumber(aux, 6, 3));
    EXPECT_TRUE(isDate(aux, 7, 4));
}

TEST(DeletionLogTemplates, SheetsMirrorTheColumnsTheyReceive) {
    auto account = makeAccountWorkbook();
    auto product = makeProductTemplate();
    struct Case {
        std::unique_ptr<Workbook> log;
        std::string file;
        std::string rowsSheet;
        const Sheet &source;
        int columns;
    };
    Case cases[] = {
        {makeAccountDeletionLogTemplate(), "Befszlatöröltsorokminta.xls", "Befszlatörsor01",
         account->sheet("Befszla01"), 22},
        {makeProductDeletionLogTemplate(), "Terméktöröltsorokminta.xls", "Szla",
         product->sheet("Szla"), 35},
    };
    for (Case &k : cases) {
        Workbook &log = *k.log;
        EXPECT_EQ(log.fileName(), k.file);
        EXPECT_EQ(sheetNames(log), (std::vector<std::string>{k.rowsSheet, "Segéd01"}));
        const Sheet &rows = log.sheet(k.rowsSheet);
        EXPECT_TRUE(rows.value(5, 1).isBlank()) << k.file; // the first logged row goes to row 5
        for (int c = 1; c <= k.columns; ++c) {
            EXPECT_EQ(headingOf(rows, c), headingOf(k.source, c)) << k.file << " column " << c;
            EXPECT_EQ(rows.cellFormat(5, c), k.source.cellFormat(5, c)) << k.file << " column " << c;
        }
        for (int i = 1; i <= log.sheetCount(); ++i) EXPECT_TRUE(log.sheetAt(i).visible());
        expectStoredProtection(log);
    }
}

TEST(InstallationWorkbooks, SurviveTheFileFormatUnchanged) {
    for (const InstallationWorkbook &entry : kInstallationWorkbooks) {
        auto wb = entry.make();
        EXPECT_EQ(wb->fileName(), entry.fileName);
        std::string bytes = encodeWorkbook(*wb);
        auto back = decodeWorkbook(bytes, entry.fileName);
        EXPECT_TRUE(back->sameContent(*wb)) << entry.fileName;
        EXPECT_EQ(sheetNames(*back), sheetNames(*wb)) << entry.fileName;
        EXPECT_EQ(encodeWorkbook(*entry.make()), bytes) << entry.fileName << " is not reproducible";
    }
}

// A freshly laid-out installation in a temporary folder, driven by the workbook procedures.
class InstalledWorkbooks : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "vandorix-tpl-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = std::filesystem::path(pattern) / "Vandorix";
        for (const char *folder : {install::kMasterDataFolder, install::kProductsFolder,
                                   install::kAuxiliaryFolder, install::kArchiveFolder})
            std::filesystem::create_directories(root_ / folder);
        for (const InstallationWorkbook &entry : kInstallationWorkbooks)
            writeFileAtomically(root_ / entry.folder / entry.fileName, encodeWorkbook(*entry.make()));

        app_.HostApp = std::make_unique<SpreadsheetHost>();
        app_.HostApp->start();
        app_.HostRunning = true;
        app_.RootFolderPath = root_.string();
        app_.MasterDataPath = (root_ / install::kMasterDataFolder).string();
        app_.ProductsPath = (root_ / install::kProductsFolder).string();
        app_.AuxiliaryPath = (root_ / install::kAuxiliaryFolder).string();
        app_.ArchivePath = (root_ / install::kArchiveFolder).string();
        app_.WorkbookPassword = kBookPw;
        app_.SheetPassword = kSheetPw;
    }
    void TearDown() override { std::filesystem::remove_all(root_.parent_path()); }

    std::unique_ptr<Workbook> reread(const std::filesystem::path &path) {
        return decodeWorkbook(readWholeFile(path), path.string());
    }

    std::filesystem::path root_;
    AppState app_;
};

TEST_F(InstalledWorkbooks, AccountWorkbookOpensPreparesAndClosesUnchanged) {
    const auto file = root_ / install::kMasterDataFolder / install::kAccountWorkbookFile;
    const std::string before = readWholeFile(file);
    OpenAccountWorkbook(app_);
    PrepareAccountWorkbook(app_);
    EXPECT_FALSE(app_.AccountWorkbook->sheet("Befszla01").isProtected());
    app_.AccountWorkbook.close();
    EXPECT_EQ(readWholeFile(file), before);
}

TEST_F(InstalledWorkbooks, RegistrationRoundOnTheListAndTheProductTemplate) {
    // The product list: a new share below "Más részvény".
    OpenProductListWorkbook(app_);
    Sheet &list = app_.ProductListWorkbook->sheet("BET01");
    list.insertRow(6);
    list.copyRowFormat(7, 6);
    list.setValue(6, 2, "Alfa");
    list.setValue(6, 3, "HU0000000001");
    app_.ProductListWorkbook.commit();
    auto storedList = reread(root_ / install::kAuxiliaryFolder / install::kProductListFile);
    EXPECT_TRUE(storedList->structureProtected());
    EXPECT_TRUE(storedList->sheet("BET01").isProtected());
    EXPECT_EQ(storedList->sheet("BET01").value(5, 2), CellValue("Más részvény"));
    EXPECT_EQ(storedList->sheet("BET01").value(6, 2), CellValue("Alfa"));

    // The product workbook: a copy of the template with its daily sheets renamed.
    std::filesystem::copy_file(root_ / install::kAuxiliaryFolder / install::kProductTemplateFile,
                               root_ / install::kProductsFolder / "Alfa.xls");
    app_.ProductName = "Alfa";
    OpenProductWorkbook(app_);
    Workbook &wb = *app_.ProductWorkbook;
    wb.unprotect(kBookPw);
    for (const char *name : {"Termékminta01", "Termékminta02", "Szla", "Szla02", "Segéd01"})
        wb.sheet(name).unprotect(kSheetPw);
    wb.renameSheet("Termékminta01", "Alfa01");
    wb.renameSheet("Termékminta02", "Alfa02");
    wb.sheet("Szla").setValue(1, 18, "HU0000000001");
    app_.ProductWorkbook.commit();

    auto stored = reread(root_ / install::kProductsFolder / "Alfa.xls");
    EXPECT_EQ(sheetNames(*stored), (std::vector<std::string>{"Alfa01", "Alfa02", "Szla", "Szla02", "Segéd01"}));
    EXPECT_TRUE(stored->sheet("Alfa01").visible());
    EXPECT_FALSE(stored->sheet("Szla").visible());
    EXPECT_FALSE(stored->sheet("Segéd01").visible());
    for (int i = 1; i <= stored->sheetCount(); ++i) EXPECT_TRUE(stored->sheetAt(i).isProtected());

    // From now on the ordinary procedures open it by the product's name.
    OpenProductWorkbook(app_);
    PrepareProductWorkbook(app_);
    EXPECT_TRUE(app_.ProductWorkbook->sheet("Szla").visible());
    EXPECT_EQ(app_.ProductWorkbook->sheet("Szla").value(2, 19).integer(), 7);
    app_.ProductWorkbook.close();
}

} // namespace
} // namespace vandorix
