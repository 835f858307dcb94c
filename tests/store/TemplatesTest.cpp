#include "account/Ledger.h"
#include "support/LedgerInvariants.h"
#include "support/SheetExpect.h"
#include "support/TradeSheetInvariants.h"
#include "trading/TradeSheet.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"

#include <gtest/gtest.h>

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

// Every workbook of a new installation is stored protected with the installation's passwords
// and opens on a visible sheet. The file names, sheet order and visibility are checked on the
// files vandorix-setup lays out, with an independent reader (tests/tools/check_setup.py).
TEST(InstallationWorkbooks, StoredProtectedOpenOnAVisibleSheetAndSurviveTheFileFormat) {
    for (const InstallationWorkbook &entry : kInstallationWorkbooks) {
        auto wb = entry.make();
        EXPECT_EQ(wb->fileName(), entry.fileName);
        EXPECT_TRUE(wb->activeSheet().visible()) << entry.fileName;
        // They survive the file format unchanged, and reproducibly.
        std::string bytes = encodeWorkbook(*wb);
        auto back = decodeWorkbook(bytes, entry.fileName);
        EXPECT_TRUE(back->sameContent(*wb)) << entry.fileName;
        EXPECT_EQ(sheetNames(*back), sheetNames(*wb)) << entry.fileName;
        EXPECT_EQ(encodeWorkbook(*entry.make()), bytes) << entry.fileName << " is not reproducible";
        expectStoredProtection(*wb);
    }
}

TEST(AccountWorkbookTemplate, EmptyLedgersReportSheetsAndHeadings) {
    auto wb = makeAccountWorkbook();
    // The ledger: zero totals in row 7, V2 = 7, A2 empty; the statement sheet: V2 = 7, empty.
    EXPECT_TRUE(testing::LedgerIsSound(wb->sheet("Befszla01")));
    const Sheet &statement = wb->sheet("Befszla02");
    EXPECT_EQ(statement.value(ledger::kHeaderRow, ledger::RowType).integer(), 7);
    EXPECT_TRUE(statement.value(ledger::kHeaderRow, 1).isBlank()); // no period yet
    for (int r : {5, 6, 8})
        for (int c = 1; c <= ledger::kLastColumn; ++c)
            EXPECT_TRUE(statement.value(r, c).isBlank()) << r << "," << c;
    for (const char *name : {"Befszla01", "Befszla02"}) {
        const Sheet &s = wb->sheet(name);
        EXPECT_TRUE(s.value(ledger::kHeaderRow, ledger::Movement).isBlank()) << name; // no refund yet
        expectHeadings(s, 1, ledger::kLastColumn);
    }
    EXPECT_TRUE(wb->sheet("ARHIV01").value(5, 1).isBlank());
    // A new product goes into the first row from row 5 whose A is empty: it must be row 6 in
    // both sheets, row 5 being the cash account and the archived products.
    for (const char *name : {"Ertek01", "Eredmeny01"}) {
        const Sheet &s = wb->sheet(name);
        EXPECT_FALSE(s.value(5, 1).isBlank()) << name;
        EXPECT_TRUE(s.value(6, 1).isBlank()) << name;
    }
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
        const Sheet &rows = log.sheet(k.rowsSheet);
        EXPECT_TRUE(rows.value(5, 1).isBlank()) << k.file; // the first logged row goes to row 5
        for (int c = 1; c <= k.columns; ++c) {
            EXPECT_EQ(headingOf(rows, c), headingOf(k.source, c)) << k.file << " column " << c;
            EXPECT_EQ(rows.cellFormat(5, c), k.source.cellFormat(5, c)) << k.file << " column " << c;
        }
    }
}

} // namespace
} // namespace vandorix
