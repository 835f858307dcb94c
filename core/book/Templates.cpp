#include "book/Templates.h"
#include "book/LedgerLayout.h"
#include "book/TemplateColumns.h"
#include "book/TradeLayout.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace vandorix {

using namespace book;

namespace {

// The totals row of a sheet without data rows: zero sums in the summed columns, the label in B
// and the row's number in the totals pointer of row 2, as the recomputation of an empty sheet
// leaves them.
struct EmptyTotals {
    std::initializer_list<int> amounts;  // zero amounts
    std::initializer_list<int> counts;   // zero quantities
    int pointerColumn;
};

void writeEmptyTotals(Sheet &s, const EmptyTotals &totals) {
    const int t = kEmptyTotalsRow;
    for (int c : totals.amounts) s.setValue(t, c, Currency());
    for (int c : totals.counts) s.setValue(t, c, 0);
    s.setValue(t, ledger::OrderCode, kTotalsLabel);
    s.setValue(kCaptionRow, totals.pointerColumn, t);
}

// The ledger's summed columns, then the closing balance in T.
void writeEmptyLedgerTotals(Sheet &s) {
    using namespace ledger;
    writeEmptyTotals(s, {{BuyValue, BuyCommission, BuyCost, SellValue, SellCommission, NetProceeds,
                          RealisedResult, PaidIn, PaidOut, Fee, Balance},
                         {},
                         RowType});
}

void writeEmptyTradeTotals(Sheet &s) {
    using namespace szla;
    writeEmptyTotals(s, {{BuyValue, BuyCommission, BuyCost, SaleValue, SaleCommission, NetProceeds,
                          Result},
                         {Bought, Sold, Holding, OpenQuantity},
                         TotalsPointerColumn});
}

void buildLedgerSheet(Sheet &s, const std::string &title) {
    writeTitle(s, kTitleRow, 1, title);
    layColumns(s, ledgerColumns());
}

void buildTradeSheet(Sheet &s, const std::string &title, bool ofOneProduct) {
    writeTitle(s, kTitleRow, 1, title);
    if (ofOneProduct) writeLabel(s, kTitleRow, 17, "ISIN kód:"); // the code itself goes into R1
    layColumns(s, tradeColumns());
}

struct Param {
    int row;
    const char *label;
};

// The data range of the daily price sheet and the rows the product data view shows: a label
// in A, a row number in C or a date in D.
void writeAuxiliaryParameters(Sheet &s, FormatRef integer, FormatRef date) {
    static const Param dataRange[] = {
        {5, "Első adat dátuma"},    {6, "Utolsó adatsor"},     {7, "Utolsó adat dátuma"},
        {8, "Első üres sor"},       {9, "Következő adat dátuma"}, {10, "Tartalék"},
        {11, "Mai dátum"},          {12, "Év eleji sor"},      {13, "Év eleje"},
        {15, "Tartalék"},           {16, "Tartalék"},
    };
    static const Param chartRange[] = {
        {22, "Diagram első sora"},
        {23, "Diagram első dátuma"},
        {24, "Diagram utolsó sora"},
        {25, "Diagram utolsó dátuma"},
    };
    for (const Param &p : dataRange) s.setValue(p.row, 1, p.label);
    for (const Param &p : chartRange) s.setValue(p.row, 1, p.label);
    for (int r = 5; r <= 25; ++r) {
        s.setCellFormat(r, 3, integer);
        s.setCellFormat(r, 4, date);
    }
    s.setCellFormat(23, 9, integer);
    s.setCellFormat(23, 11, integer);
}

// The value-axis scales of the charts.
void writeAuxiliaryScales(Sheet &s, FormatRef number) {
    static const Param scales[] = {
        {30, "Árfolyam diagram tengelye"},
        {32, "Eredmény diagram tengelye"},
        {33, "Napi eredmény diagram tengelye"},
    };
    static const std::pair<int, const char *> scaleColumns[] = {
        {3, "Minimum"}, {5, "Maximum"}, {7, "Metszéspont"}, {9, "Fő lépték"}, {11, "Segédlépték"}};
    for (auto [c, heading] : scaleColumns) {
        writeHeading(s, 29, c, heading);
        for (const Param &p : scales) s.setCellFormat(p.row, c, number);
    }
    for (const Param &p : scales) s.setValue(p.row, 1, p.label);
}

void buildAuxiliarySheet(Sheet &s) {
    writeTitle(s, kTitleRow, 1, "Segédlap: a termék paraméterei");
    writeHeading(s, kDetailRow, 1, "Paraméter");
    writeHeading(s, kDetailRow, 3, "Sor");
    writeHeading(s, kDetailRow, 4, "Dátum");

    FormatRef integer = dataFormat(Kind::Integer);
    FormatRef date = dataFormat(Kind::Date);
    FormatRef number = dataFormat(Kind::Double);
    writeAuxiliaryParameters(s, integer, date);
    writeAuxiliaryScales(s, number);

    s.setColumnWidth(1, 32);
    s.setColumnWidth(2, 4);
    for (int c = 3; c <= 11; ++c) s.setColumnWidth(c, 12);
}

void buildLogAuxiliarySheet(Sheet &s) {
    writeTitle(s, kTitleRow, 1, "Segédlap");
    s.setColumnWidth(1, 32);
}

} // namespace

std::unique_ptr<Workbook> makeAccountWorkbook() {
    auto wb = std::make_unique<Workbook>(install::kAccountWorkbookFile);

    Sheet &ledger = wb->addSheet(sheets::kLedger);
    buildLedgerSheet(ledger, "Befektetési számla");
    writeEmptyLedgerTotals(ledger);

    Sheet &statement = wb->addSheet(sheets::kLedgerStatement);
    buildLedgerSheet(statement, "Befektetési számla kivonat");
    statement.setValue(ledger::kHeaderRow, ledger::RowType, kEmptyTotalsRow);

    Sheet &value = wb->addSheet(sheets::kValues);
    writeTitle(value, kTitleRow, 1, "Érték kimutatás");
    layColumns(value, valueReportColumns());
    // Row 5 is the cash account's row; the products follow from row 6.
    value.setValue(5, 1, "Befektetési számla");

    Sheet &result = wb->addSheet(sheets::kResults);
    writeTitle(result, kTitleRow, 1, "Eredmény kimutatás");
    layColumns(result, resultReportColumns());
    // Row 5 gathers the archived products; the registered products follow from row 6.
    result.setValue(5, 1, "Archivált termékek");

    Sheet &archive = wb->addSheet(sheets::kArchive);
    writeTitle(archive, kTitleRow, 1, "Archivált termékek");
    layColumns(archive, archiveColumns());
    writeLabel(archive, 2, 7, "Utolsó sor:"); // the row number itself goes into H2
    archive.setColumnWidth(8, 8);

    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeProductList() {
    auto wb = std::make_unique<Workbook>(install::kProductListFile);
    Sheet &list = wb->addSheet(sheets::kProductList);
    writeTitle(list, kTitleRow, 1, "Részvények listája");
    layColumns(list, productListColumns());
    list.setValue(kFirstDataRow, 2, install::kOtherShareEntry);
    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeProductTemplate() {
    const std::string name = install::kTemplateProductName;
    auto wb = std::make_unique<Workbook>(install::kProductTemplateFile);

    Sheet &prices = wb->addSheet(PriceSheetName(name));
    writeTitle(prices, kTitleRow, 1, name);
    layColumns(prices, priceColumns());
    writeLabel(prices, 2, 8, "ISIN kód:"); // the code itself goes into I2

    Sheet &chart = wb->addSheet(ChartSourceSheetName(name));
    writeTitle(chart, kTitleRow, 1, "Termék adatok");
    chart.setValue(2, 1, name + "  adat kivonat");
    writeLabel(chart, 2, 8, "ISIN kód:");
    layColumns(chart, chartSourceColumns(), 1, false);
    static const std::pair<int, const char *> blocks[] = {
        {11, "Árfolyam diagram"}, {16, "Eredmény diagram"}, {18, "Napi eredmény diagram"},
        {20, "RSI diagram"}};
    for (auto [c, heading] : blocks) {
        writeTitle(chart, kHeadingRow, c, heading);
    }

    Sheet &trades = wb->addSheet(sheets::kTrades);
    buildTradeSheet(trades, name, true);
    writeEmptyTradeTotals(trades);

    Sheet &statement = wb->addSheet(sheets::kTradeStatement);
    buildTradeSheet(statement, name + "  számla kivonat", true);
    statement.setValue(szla::TotalsPointerRow, szla::TotalsPointerColumn, kEmptyTotalsRow);

    Sheet &aux = wb->addSheet(sheets::kAuxiliary);
    buildAuxiliarySheet(aux);

    for (const char *hidden : kProductHiddenSheets) wb->sheet(hidden).setVisible(false);
    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeAccountDeletionLogTemplate() {
    auto wb = std::make_unique<Workbook>(install::kAccountLogTemplateFile);
    Sheet &rows = wb->addSheet(sheets::kAccountLog);
    buildLedgerSheet(rows, "Befektetési számla törölt sorai");
    buildLogAuxiliarySheet(wb->addSheet(sheets::kAuxiliary));
    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeProductDeletionLogTemplate() {
    auto wb = std::make_unique<Workbook>(install::kProductLogTemplateFile);
    Sheet &rows = wb->addSheet(sheets::kTrades);
    buildTradeSheet(rows, "Termékek számláinak törölt sorai", false);
    buildLogAuxiliarySheet(wb->addSheet(sheets::kAuxiliary));
    seal(*wb);
    return wb;
}

} // namespace vandorix
