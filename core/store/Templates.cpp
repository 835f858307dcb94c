#include "store/Templates.h"

#include <string>
#include <vector>

namespace vandorix {
namespace {

// What a column holds, which decides the number format and alignment of its data cells and
// its width.
enum class Kind {
    Date,     // calendar day
    Amount,   // currency value
    Integer,  // quantity, code, row number, whole-number index
    Double,   // double-precision per-share figure or average
    Text,     // name or identifier
    LongText, // description of a movement
    Flag,     // three-letter row type code or lot status
    Unused,   // a column the layout leaves empty
};

struct Column {
    Kind kind;
    const char *heading; // row 3
    const char *detail;  // row 4
};

// Rows 1 to 4 are title and heading rows; data rows start at row 5.
constexpr int kTitleRow = 1;
constexpr int kHeadingRow = 3;
constexpr int kDetailRow = 4;
constexpr int kFirstDataRow = 5;
// The data formats are laid on rows 5 to 8: row 5 takes the first movement of an empty sheet,
// row 6 is the row a first insertion at row 5 copies its formats from, and rows 7 and 8 are
// where the totals of the first rows are written.
constexpr int kLastFormattedRow = 8;
// In a sheet without data rows the last data row is the heading row 4, so the totals row
// stands three rows below it.
constexpr int kEmptySheetTotalsRow = 7;

FormatRef dataFormat(Kind kind) {
    switch (kind) {
    case Kind::Date: return internFormat(CellFormat{kDefaultDateFormat, false, HAlign::Center, false});
    case Kind::Amount: return internFormat(CellFormat{kDefaultAmountFormat, false, HAlign::Right, true});
    case Kind::Integer: return internFormat(CellFormat{"0", false, HAlign::Right, false});
    case Kind::Double: return internFormat(CellFormat{"#,##0.00", false, HAlign::Right, false});
    case Kind::Text:
    case Kind::LongText: return internFormat(CellFormat{"@", false, HAlign::Left, false});
    case Kind::Flag: return internFormat(CellFormat{"@", false, HAlign::Center, false});
    case Kind::Unused: return nullptr;
    }
    return nullptr;
}

double widthOf(Kind kind) {
    switch (kind) {
    case Kind::Date: return 12;
    case Kind::Amount: return 15;
    case Kind::Integer: return 11;
    case Kind::Double: return 13;
    case Kind::Text: return 16;
    case Kind::LongText: return 34;
    case Kind::Flag: return 8;
    case Kind::Unused: return 4;
    }
    return 10;
}

FormatRef titleFormat() { return internFormat(CellFormat{"General", true, HAlign::Left, false}); }
FormatRef headingFormat() { return internFormat(CellFormat{"General", true, HAlign::Center, false}); }
FormatRef labelFormat() { return internFormat(CellFormat{"General", true, HAlign::Right, false}); }

void writeTitle(Sheet &sheet, int row, int column, const std::string &text) {
    sheet.setCellFormat(row, column, titleFormat());
    sheet.setValue(row, column, text);
}

void writeLabel(Sheet &sheet, int row, int column, const std::string &text) {
    sheet.setCellFormat(row, column, labelFormat());
    sheet.setValue(row, column, text);
}

// Headings into rows 3 and 4 from `firstColumn`, the data formats onto rows 5 to 8, and the
// column widths.
void layColumns(Sheet &sheet, const std::vector<Column> &columns, int firstColumn = 1,
                bool headingRow3 = true) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column &col = columns[i];
        int c = firstColumn + static_cast<int>(i);
        if (headingRow3) {
            sheet.setCellFormat(kHeadingRow, c, headingFormat());
            if (*col.heading) sheet.setValue(kHeadingRow, c, col.heading);
        }
        sheet.setCellFormat(kDetailRow, c, headingFormat());
        if (*col.detail) sheet.setValue(kDetailRow, c, col.detail);
        if (FormatRef f = dataFormat(col.kind))
            for (int r = kFirstDataRow; r <= kLastFormattedRow; ++r) sheet.setCellFormat(r, c, f);
        sheet.setColumnWidth(c, widthOf(col.kind));
    }
}

// Protects every sheet with the sheet password, then the structure with the workbook password,
// leaving the first visible sheet active.
void seal(Workbook &wb) {
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        if (wb.sheetAt(i).visible()) {
            wb.activate(wb.sheetAt(i));
            break;
        }
    }
    for (int i = 1; i <= wb.sheetCount(); ++i) wb.sheetAt(i).protect(install::kSheetPassword);
    wb.protect(install::kWorkbookPassword);
    wb.markSaved();
}

// ---------------------------------------------------------------------------------------------
// Column layouts

// The account ledger "Befszla01", its statement "Befszla02" and the account deletion log.
const std::vector<Column> &ledgerColumns() {
    static const std::vector<Column> columns{
        {Kind::Date, "Dátum", ""},                        // A
        {Kind::Integer, "Megbízás", "kódszám"},           // B
        {Kind::Integer, "Vett", "darab"},                 // C
        {Kind::Amount, "Vételi", "egységár"},             // D
        {Kind::Amount, "Vételi", "érték"},                // E
        {Kind::Amount, "Bizományosi díj", "(vétel)"},     // F
        {Kind::Amount, "Vételi", "költség"},              // G
        {Kind::Text, "Termék", "azonosító"},              // H
        {Kind::LongText, "Megnevezés", ""},               // I
        {Kind::Integer, "Eladott", "darab"},              // J
        {Kind::Amount, "Eladási", "egységár"},            // K
        {Kind::Amount, "Eladási", "érték"},               // L
        {Kind::Amount, "Bizományosi díj", "(eladás)"},    // M
        {Kind::Amount, "Nettó eladási", "bevétel"},       // N
        {Kind::Amount, "Realizált", "eredmény"},          // O
        {Kind::Amount, "Befizetés", ""},                  // P
        {Kind::Amount, "Kifizetés", ""},                  // Q
        {Kind::Amount, "Számlavezetési", "díj"},          // R
        {Kind::Amount, "Pénzmozgás", "(+ / -)"},          // S
        {Kind::Amount, "Egyenleg", ""},                   // T
        {Kind::Integer, "Teljesítés", "kódszám"},         // U
        {Kind::Flag, "Tétel", "típus"},                   // V
    };
    return columns;
}

// The trade sheet "Szla", its statement "Szla02" and the product deletion log: 35 columns,
// the last twelve the pairs of lots consumed by a sale.
const std::vector<Column> &tradeColumns() {
    static const std::vector<Column> columns = [] {
        std::vector<Column> c{
            {Kind::Date, "Dátum", ""},                          // A
            {Kind::Integer, "Megbízás", "kódszám"},             // B
            {Kind::Integer, "Vett", "darab"},                   // C
            {Kind::Amount, "Vételi", "egységár"},               // D
            {Kind::Amount, "Vételi", "érték"},                  // E
            {Kind::Amount, "Bizományosi díj", "(vétel)"},       // F
            {Kind::Amount, "Vételi", "költség"},                // G
            {Kind::Double, "Költség", "darabonként"},           // H
            {Kind::LongText, "Megnevezés", ""},                 // I
            {Kind::Integer, "Eladott", "darab"},                // J
            {Kind::Amount, "Eladási", "egységár"},              // K
            {Kind::Amount, "Eladási", "érték"},                 // L
            {Kind::Amount, "Bizományosi díj", "(eladás)"},      // M
            {Kind::Amount, "Nettó", "bevétel"},                 // N
            {Kind::Double, "Nettó bevétel", "darabonként"},     // O
            {Kind::Amount, "Realizált", "eredmény"},            // P
            {Kind::Integer, "Darab", "változás"},               // Q
            {Kind::Integer, "Készlet", "(darab)"},              // R
            {Kind::Flag, "Tétel", "kód"},                       // S
            {Kind::Flag, "Tétel", "állapot"},                   // T
            {Kind::Integer, "Teljesítés", "kódszám"},           // U
            {Kind::Integer, "Nyitott", "darab"},                // V
            {Kind::Integer, "Eladás", "kódszáma"},              // W
        };
        static const char *const lotHeadings[] = {"1. tétel", "2. tétel", "3. tétel",
                                                  "4. tétel", "5. tétel", "6. tétel"};
        for (const char *lot : lotHeadings) {
            c.push_back({Kind::Integer, lot, "darab"});
            c.push_back({Kind::Integer, lot, "kódszám"});
        }
        return c;
    }();
    return columns;
}

// The daily price sheet "<name>01": prices, value columns and indicators. Row 4 carries the
// indicator headings the indicator refresh looks for.
const std::vector<Column> &priceColumns() {
    static const std::vector<Column> columns{
        {Kind::Date, "Dátum", ""},            // A
        {Kind::Amount, "Záró ár", ""},        // B
        {Kind::Amount, "Piaci", "érték"},     // C
        {Kind::Amount, "Eredmény", ""},       // D
        {Kind::Amount, "Napi", "változás"},   // E
        {Kind::Double, "Mozgóátlag", "MA20"}, // F
        {Kind::Double, "Mozgóátlag", "MA50"}, // G
        {Kind::Double, "Mozgóátlag", "MA200"},// H
        {Kind::Integer, "RSI", "RSI14"},      // I
        {Kind::Integer, "RSI", "egyedi"},     // J
    };
    return columns;
}

// The chart source "<name>02": a copy of columns A to J of the price sheet, then one block
// per chart. A3 is the sheet's caption cell, so the headings stand in row 4 alone and row 3
// names only the chart blocks.
const std::vector<Column> &chartSourceColumns() {
    static const std::vector<Column> columns{
        {Kind::Date, "", "Dátum"},             // A
        {Kind::Amount, "", "Záró ár"},         // B
        {Kind::Amount, "", "Piaci érték"},     // C
        {Kind::Amount, "", "Eredmény"},        // D
        {Kind::Amount, "", "Napi változás"},   // E
        {Kind::Double, "", "MA20"},            // F
        {Kind::Double, "", "MA50"},            // G
        {Kind::Double, "", "MA200"},           // H
        {Kind::Integer, "", "RSI14"},          // I
        {Kind::Integer, "", "RSI egyedi"},     // J
        {Kind::Date, "", "Dátum"},             // K  price chart
        {Kind::Amount, "", "Árfolyam"},        // L
        {Kind::Double, "", "MA20"},            // M
        {Kind::Double, "", "MA50"},            // N
        {Kind::Double, "", "MA200"},           // O
        {Kind::Date, "", "Dátum"},             // P  result chart
        {Kind::Amount, "", "Eredmény"},        // Q
        {Kind::Date, "", "Dátum"},             // R  daily-result chart
        {Kind::Amount, "", "Napi eredmény"},   // S
        {Kind::Date, "", "Dátum"},             // T  RSI chart
        {Kind::Integer, "", "RSI14"},          // U
        {Kind::Integer, "", "RSI egyedi"},     // V
    };
    return columns;
}

const std::vector<Column> &valueReportColumns() {
    static const std::vector<Column> columns{
        {Kind::LongText, "Megnevezés", ""},            // A
        {Kind::Text, "Termék", "azonosító"},           // B
        {Kind::Date, "Érték", "nap"},                  // C
        {Kind::Amount, "Érték az", "érték napon"},     // D
        {Kind::Date, "Referencia", "nap"},             // E
        {Kind::Amount, "Érték a", "referencia napon"}, // F
        {Kind::Amount, "Változás", ""},                // G
    };
    return columns;
}

const std::vector<Column> &resultReportColumns() {
    static const std::vector<Column> columns{
        {Kind::LongText, "Megnevezés", ""},              // A
        {Kind::Text, "Termék", "azonosító"},             // B
        {Kind::Date, "Időszak", "vége"},                 // C
        {Kind::Amount, "Eredmény", "a vég napon"},       // D
        {Kind::Amount, "Napi eredmény", "a vég napon"},  // E
        {Kind::Date, "Időszak", "kezdete"},              // F
        {Kind::Amount, "Eredmény", "a kezdő napon"},     // G
        {Kind::Amount, "Eredmény", "változás"},          // H
        {Kind::Amount, "Időszaki", "eredmény"},          // I
        {Kind::Amount, "Realizált eredmény", "az időszakban"}, // J
        {Kind::Amount, "Realizált eredmény", "a vég napig"},   // K
        {Kind::Amount, "Nem realizált", "eredmény"},     // L
    };
    return columns;
}

const std::vector<Column> &archiveColumns() {
    static const std::vector<Column> columns{
        {Kind::Date, "Utolsó", "árfolyam nap"},              // A
        {Kind::Amount, "Archivált eredmény", "halmozottan"}, // B
        {Kind::Amount, "Lezárt", "eredmény"},                // C
        {Kind::Amount, "Tárgyévi realizált", "eredmény"},    // D
        {Kind::LongText, "Termék", "neve"},                  // E
        {Kind::Unused, "", ""},                              // F
        {Kind::Amount, "Tárgyévi", "eredmény"},              // G
    };
    return columns;
}

// ---------------------------------------------------------------------------------------------
// Sheets

void writeEmptyLedgerTotals(Sheet &s) {
    // Columns summed by the ledger recomputation: E, F, G, L, M, N, O, P, Q, R; T carries the
    // closing balance.
    static const int summed[] = {5, 6, 7, 12, 13, 14, 15, 16, 17, 18};
    const int t = kEmptySheetTotalsRow;
    for (int c : summed) s.setValue(t, c, Currency());
    s.setValue(t, 20, Currency());
    s.setValue(t, 2, "Összesen");
    s.setValue(2, 22, t);
}

void writeEmptyTradeTotals(Sheet &s) {
    const int t = kEmptySheetTotalsRow;
    for (int c : {5, 6, 7, 12, 13, 14, 16}) s.setValue(t, c, Currency()); // E F G L M N P
    for (int c : {3, 10, 18, 22}) s.setValue(t, c, 0);                    // C J R V
    s.setValue(t, 2, "Összesen");
    s.setValue(2, 19, t);
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

void buildAuxiliarySheet(Sheet &s) {
    writeTitle(s, kTitleRow, 1, "Segédlap: a termék paraméterei");
    s.setCellFormat(kDetailRow, 1, headingFormat());
    s.setValue(kDetailRow, 1, "Paraméter");
    s.setCellFormat(kDetailRow, 3, headingFormat());
    s.setValue(kDetailRow, 3, "Sor");
    s.setCellFormat(kDetailRow, 4, headingFormat());
    s.setValue(kDetailRow, 4, "Dátum");

    FormatRef integer = dataFormat(Kind::Integer);
    FormatRef date = dataFormat(Kind::Date);
    FormatRef number = dataFormat(Kind::Double);
    struct Param {
        int row;
        const char *label;
    };
    // The data range of the daily price sheet.
    static const Param dataRange[] = {
        {5, "Első adat dátuma"},    {6, "Utolsó adatsor"},     {7, "Utolsó adat dátuma"},
        {8, "Első üres sor"},       {9, "Következő adat dátuma"}, {10, "Tartalék"},
        {11, "Mai dátum"},          {12, "Év eleji sor"},      {13, "Év eleje"},
        {15, "Tartalék"},           {16, "Tartalék"},
    };
    // The rows shown by the product data view and its charts.
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

    // The value-axis scales of the charts.
    static const Param scales[] = {
        {30, "Árfolyam diagram tengelye"},
        {32, "Eredmény diagram tengelye"},
        {33, "Napi eredmény diagram tengelye"},
    };
    static const std::pair<int, const char *> scaleColumns[] = {
        {3, "Minimum"}, {5, "Maximum"}, {7, "Metszéspont"}, {9, "Fő lépték"}, {11, "Segédlépték"}};
    for (auto [c, heading] : scaleColumns) {
        s.setCellFormat(29, c, headingFormat());
        s.setValue(29, c, heading);
        for (const Param &p : scales) s.setCellFormat(p.row, c, number);
    }
    for (const Param &p : scales) s.setValue(p.row, 1, p.label);

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

    Sheet &ledger = wb->addSheet("Befszla01");
    buildLedgerSheet(ledger, "Befektetési számla");
    writeEmptyLedgerTotals(ledger);

    Sheet &statement = wb->addSheet("Befszla02");
    buildLedgerSheet(statement, "Befektetési számla kivonat");
    statement.setValue(2, 22, kEmptySheetTotalsRow);

    Sheet &value = wb->addSheet("Ertek01");
    writeTitle(value, kTitleRow, 1, "Érték kimutatás");
    layColumns(value, valueReportColumns());
    // Row 5 is the cash account's row; the products follow from row 6.
    value.setValue(5, 1, "Befektetési számla");

    Sheet &result = wb->addSheet("Eredmeny01");
    writeTitle(result, kTitleRow, 1, "Eredmény kimutatás");
    layColumns(result, resultReportColumns());
    // Row 5 gathers the archived products; the registered products follow from row 6.
    result.setValue(5, 1, "Archivált termékek");

    Sheet &archive = wb->addSheet("ARHIV01");
    writeTitle(archive, kTitleRow, 1, "Archivált termékek");
    layColumns(archive, archiveColumns());
    writeLabel(archive, 2, 7, "Utolsó sor:"); // the row number itself goes into H2
    archive.setColumnWidth(8, 8);

    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeProductList() {
    auto wb = std::make_unique<Workbook>(install::kProductListFile);
    Sheet &list = wb->addSheet("BET01");
    writeTitle(list, kTitleRow, 1, "Részvények listája");
    static const std::vector<Column> columns{
        {Kind::Unused, "", ""},
        {Kind::LongText, "Megnevezés", ""},
        {Kind::Text, "ISIN Kód", ""},
    };
    layColumns(list, columns);
    list.setValue(5, 2, install::kOtherShareEntry);
    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeProductTemplate() {
    const std::string name = install::kTemplateProductName;
    auto wb = std::make_unique<Workbook>(install::kProductTemplateFile);

    Sheet &prices = wb->addSheet(name + "01");
    writeTitle(prices, kTitleRow, 1, name);
    layColumns(prices, priceColumns());
    writeLabel(prices, 2, 8, "ISIN kód:"); // the code itself goes into I2

    Sheet &chart = wb->addSheet(name + "02");
    writeTitle(chart, kTitleRow, 1, "Termék adatok");
    chart.setValue(2, 1, name + "  adat kivonat");
    writeLabel(chart, 2, 8, "ISIN kód:");
    layColumns(chart, chartSourceColumns(), 1, false);
    static const std::pair<int, const char *> blocks[] = {
        {11, "Árfolyam diagram"}, {16, "Eredmény diagram"}, {18, "Napi eredmény diagram"},
        {20, "RSI diagram"}};
    for (auto [c, heading] : blocks) {
        chart.setCellFormat(kHeadingRow, c, titleFormat());
        chart.setValue(kHeadingRow, c, heading);
    }

    Sheet &trades = wb->addSheet("Szla");
    buildTradeSheet(trades, name, true);
    writeEmptyTradeTotals(trades);

    Sheet &statement = wb->addSheet("Szla02");
    buildTradeSheet(statement, name + "  számla kivonat", true);
    statement.setValue(2, 19, kEmptySheetTotalsRow);

    Sheet &aux = wb->addSheet("Segéd01");
    buildAuxiliarySheet(aux);

    for (const char *hidden : {"Szla", "Szla02", "Segéd01"}) wb->sheet(hidden).setVisible(false);
    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeAccountDeletionLogTemplate() {
    auto wb = std::make_unique<Workbook>(install::kAccountLogTemplateFile);
    Sheet &rows = wb->addSheet("Befszlatörsor01");
    buildLedgerSheet(rows, "Befektetési számla törölt sorai");
    buildLogAuxiliarySheet(wb->addSheet("Segéd01"));
    seal(*wb);
    return wb;
}

std::unique_ptr<Workbook> makeProductDeletionLogTemplate() {
    auto wb = std::make_unique<Workbook>(install::kProductLogTemplateFile);
    Sheet &rows = wb->addSheet("Szla");
    buildTradeSheet(rows, "Termékek számláinak törölt sorai", false);
    buildLogAuxiliarySheet(wb->addSheet("Segéd01"));
    seal(*wb);
    return wb;
}

} // namespace vandorix
