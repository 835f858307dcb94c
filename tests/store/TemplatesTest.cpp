#include "book/LedgerLayout.h"
#include "book/Templates.h"
#include "store/OoxmlCodec.h"
#include "support/LedgerInvariants.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace vandorix {
namespace {

// Lifts the stored protection the way the program's Prepare procedures do.
void prepare(Workbook &wb) {
    wb.unprotect(install::kWorkbookPassword);
    for (int i = 1; i <= wb.sheetCount(); ++i) wb.sheetAt(i).unprotect(install::kSheetPassword);
}

std::string headingOf(const Sheet &s, int column) {
    std::string text;
    for (int r : {3, 4})
        if (auto t = s.value(r, column).text(); t && !t->empty())
            text += (text.empty() ? "" : " ") + *t;
    return text;
}

// Every column of a layout names itself in row 3 or row 4, in bold.
void expectHeadings(const Sheet &s, int firstColumn, int lastColumn) {
    for (int c = firstColumn; c <= lastColumn; ++c) {
        EXPECT_FALSE(headingOf(s, c).empty()) << s.name() << " column " << c;
        EXPECT_TRUE(formatOf(s.cellFormat(4, c)).bold) << s.name() << " column " << c;
    }
}

// What the cells of `row` hold by their format, from column 1 on: 'D' a date, 'A' an amount,
// 'W' a whole number, '.' anything else; a '?' in `want` leaves that column unchecked.
void expectKinds(const Sheet &s, int row, const std::string &want) {
    for (std::size_t i = 0; i < want.size(); ++i) {
        const int c = static_cast<int>(i) + 1;
        const CellFormat &f = formatOf(s.cellFormat(row, c));
        const char got =
            f.isDateFormat() ? 'D' : f.currency ? 'A' : f.numberFormat == "0" ? 'W' : '.';
        if (want[i] != '?') {
            EXPECT_EQ(got, want[i]) << s.name() << " row " << row << " col " << c;
        }
    }
}

// File names, sheet order and visibility of the laid-out files are checked by an independent
// reader (tests/tools/check_setup.py).
TEST(InstallationWorkbooks, StoredProtectedOpenOnAVisibleSheetAndSurviveTheFileFormat) {
    for (const InstallationWorkbook &entry : kInstallationWorkbooks) {
        auto wb = entry.make();
        EXPECT_TRUE(wb->activeSheet().visible()) << entry.fileName;
        std::string bytes = encodeWorkbook(*wb);
        EXPECT_TRUE(decodeWorkbook(bytes, entry.fileName)->sameContent(*wb)) << entry.fileName;
        EXPECT_EQ(encodeWorkbook(*entry.make()), bytes) << entry.fileName << " is not reproducible";

        EXPECT_TRUE(wb->structureProtected()) << entry.fileName;
        for (int i = 1; i <= wb->sheetCount(); ++i)
            EXPECT_TRUE(wb->sheetAt(i).isProtected()) << wb->sheetAt(i).name();
        prepare(*wb);
        EXPECT_FALSE(wb->structureProtected());
        for (int i = 1; i <= wb->sheetCount(); ++i) EXPECT_FALSE(wb->sheetAt(i).isProtected());
    }
}

TEST(AccountWorkbookTemplate, EmptyLedgersReportSheetsHeadingsAndLedgerColumnTypes) {
    auto wb = makeAccountWorkbook();
    // The ledger: zero totals in row 7, V2 = 7, A2 empty; the statement sheet: V2 = 7, empty.
    EXPECT_TRUE(testing::LedgerIsSound(wb->sheet(sheets::kLedger)));
    const Sheet &statement = wb->sheet(sheets::kLedgerStatement);
    EXPECT_EQ(statement.value(ledger::kHeaderRow, ledger::RowType).integer(), 7);
    EXPECT_TRUE(statement.value(ledger::kHeaderRow, 1).isBlank()); // no period yet
    for (int r : {5, 6, 8})
        for (int c = 1; c <= ledger::kLastColumn; ++c)
            EXPECT_TRUE(statement.value(r, c).isBlank()) << r << "," << c;
    for (const char *name : {sheets::kLedger, sheets::kLedgerStatement}) {
        const Sheet &s = wb->sheet(name);
        EXPECT_TRUE(s.value(ledger::kHeaderRow, ledger::Movement).isBlank()) << "no refund yet";
        expectHeadings(s, 1, ledger::kLastColumn);
    }
    EXPECT_TRUE(wb->sheet(sheets::kArchive).value(5, 1).isBlank());
    // A new product goes into the first row from row 5 whose A is empty: it must be row 6 in
    // both sheets, row 5 being the cash account and the archived products.
    for (auto [name, columns] : {std::pair{sheets::kValues, 7}, std::pair{sheets::kResults, 12}}) {
        EXPECT_FALSE(wb->sheet(name).value(5, 1).isBlank()) << name;
        EXPECT_TRUE(wb->sheet(name).value(6, 1).isBlank()) << name;
        expectHeadings(wb->sheet(name), 1, columns);
    }
    expectHeadings(wb->sheet(sheets::kArchive), 1, 5);
    expectHeadings(wb->sheet(sheets::kArchive), 7, 7);
    for (int i = 1; i <= wb->sheetCount(); ++i) // the title, whose text check_setup.py checks
        EXPECT_TRUE(formatOf(wb->sheetAt(i).cellFormat(1, 1)).bold) << wb->sheetAt(i).name();

    // A first trade inserts a row at row 5 and takes the formats of the row below it.
    const std::string ledgerRow = "DWWAAAA..WAAAAAAAAAAW.";
    prepare(*wb);
    Sheet &s = wb->sheet(sheets::kLedger);
    s.insertRow(5);
    s.copyRowFormat(6, 5);
    for (int r : {5, 6}) expectKinds(s, r, ledgerRow);
    // Numbers written into the amount columns become exact amounts.
    s.setValue(5, ledger::PaidIn, 1234.5678);
    EXPECT_EQ(s.value(5, ledger::PaidIn), CellValue(Currency::fromRaw(12345678)));

    // The recomputation of an empty ledger deletes row 5 (here: the inserted one, then the
    // template's own); the data formats stay on row 5.
    s.deleteRow(5);
    s.deleteRow(5);
    expectKinds(s, 5, ledgerRow);
}

TEST(ProductTemplate, PerShareColumnsKeepDoublesAndAmountColumnsHoldAmounts) {
    auto wb = makeProductTemplate();
    prepare(*wb);
    Sheet &szla = wb->sheet(sheets::kTrades);
    expectKinds(szla, 5, "DWWAAAA??WAAAA?AWW??WWWWW????????WW");
    // H and O of a trade row are double-precision figures, not amounts.
    for (int c : {8, 15}) {
        szla.setValue(5, c, 1.0 / 3.0);
        EXPECT_EQ(szla.value(5, c).kind(), CellKind::Number) << c;
    }
    szla.setValue(5, 4, 10.12345);
    EXPECT_EQ(szla.value(5, 4).currency(), Currency::fromRaw(101235));

    Sheet &prices = wb->sheet(PriceSheetName(install::kTemplateProductName));
    expectKinds(prices, 5, "DAAAA???WW");
    prices.setValue(5, 6, 1.0 / 7.0); // MA20
    EXPECT_EQ(prices.value(5, 6).kind(), CellKind::Number);
}

TEST(DeletionLogTemplates, SheetsMirrorTheColumnsTheyReceive) {
    auto account = makeAccountWorkbook(), accountLog = makeAccountDeletionLogTemplate();
    auto product = makeProductTemplate(), productLog = makeProductDeletionLogTemplate();
    for (auto [rows, source, columns] :
         {std::tuple{&accountLog->sheet(sheets::kAccountLog), &account->sheet(sheets::kLedger),
                     ledger::kLastColumn},
          std::tuple{&productLog->sheet(sheets::kTrades), &product->sheet(sheets::kTrades), 35}}) {
        EXPECT_TRUE(rows->value(5, 1).isBlank()) << rows->name(); // the first logged row: row 5
        for (int c = 1; c <= columns; ++c) {
            EXPECT_EQ(headingOf(*rows, c), headingOf(*source, c)) << rows->name() << " col " << c;
            EXPECT_EQ(rows->cellFormat(5, c), source->cellFormat(5, c)) << rows->name() << c;
        }
    }
}

} // namespace
} // namespace vandorix
