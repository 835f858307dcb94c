#include "book/TemplateColumns.h"
#include "book/Templates.h"
#include "book/Rows.h"

namespace vandorix::book {

FormatRef dataFormat(Kind kind) {
    switch (kind) {
    case Kind::Date:
        return internFormat(CellFormat{kDefaultDateFormat, false, HAlign::Center, false});
    case Kind::Amount:
        return internFormat(CellFormat{kDefaultAmountFormat, false, HAlign::Right, true});
    case Kind::Integer: return internFormat(CellFormat{"0", false, HAlign::Right, false});
    case Kind::Double: return internFormat(CellFormat{"#,##0.00", false, HAlign::Right, false});
    case Kind::Text:
    case Kind::LongText: return internFormat(CellFormat{"@", false, HAlign::Left, false});
    case Kind::Flag: return internFormat(CellFormat{"@", false, HAlign::Center, false});
    case Kind::Unused: return nullptr;
    }
    return nullptr;
}

namespace {

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

FormatRef labelFormat() { return internFormat(CellFormat{"General", true, HAlign::Right, false}); }

// The columns the parts list, one part after the other.
std::vector<Column> join(std::initializer_list<std::initializer_list<Column>> parts) {
    std::vector<Column> columns;
    for (const auto &part : parts) columns.insert(columns.end(), part.begin(), part.end());
    return columns;
}

// Columns A to G of the ledger and of the trade sheet: the purchase.
constexpr std::initializer_list<Column> kPurchase{
    {Kind::Date, "Dátum", ""}, {Kind::Integer, "Megbízás", "kódszám"},
    {Kind::Integer, "Vett", "darab"}, {Kind::Amount, "Vételi", "egységár"},
    {Kind::Amount, "Vételi", "érték"}, {Kind::Amount, "Bizományosi díj", "(vétel)"},
    {Kind::Amount, "Vételi", "költség"}};
// Columns J to M of both: the sale.
constexpr std::initializer_list<Column> kSale{
    {Kind::Integer, "Eladott", "darab"}, {Kind::Amount, "Eladási", "egységár"},
    {Kind::Amount, "Eladási", "érték"}, {Kind::Amount, "Bizományosi díj", "(eladás)"}};
constexpr Column kDescription{Kind::LongText, "Megnevezés", ""};
constexpr Column kProductId{Kind::Text, "Termék", "azonosító"};
constexpr Column kSettlement{Kind::Integer, "Teljesítés", "kódszám"};

} // namespace

FormatRef titleFormat() { return internFormat(CellFormat{"General", true, HAlign::Left, false}); }
FormatRef headingFormat() {
    return internFormat(CellFormat{"General", true, HAlign::Center, false});
}

void writeTitle(Sheet &sheet, int row, int column, const std::string &text) {
    sheet.setCellFormat(row, column, titleFormat());
    sheet.setValue(row, column, text);
}

void writeLabel(Sheet &sheet, int row, int column, const std::string &text) {
    sheet.setCellFormat(row, column, labelFormat());
    sheet.setValue(row, column, text);
}

void writeHeading(Sheet &sheet, int row, int column, const char *text) {
    sheet.setCellFormat(row, column, headingFormat());
    if (*text) sheet.setValue(row, column, text);
}

void layColumns(Sheet &sheet, const std::vector<Column> &columns, int firstColumn,
                bool headingRow3) {
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const Column &col = columns[i];
        int c = firstColumn + static_cast<int>(i);
        if (headingRow3) writeHeading(sheet, kHeadingRow, c, col.heading);
        writeHeading(sheet, kDetailRow, c, col.detail);
        if (FormatRef f = dataFormat(col.kind))
            for (int r = kFirstDataRow; r <= kLastFormattedRow; ++r) sheet.setCellFormat(r, c, f);
        sheet.setColumnWidth(c, widthOf(col.kind));
    }
}

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

const std::vector<Column> &ledgerColumns() {
    static const std::vector<Column> columns = join({
        kPurchase, {kProductId, kDescription}, kSale,
        {{Kind::Amount, "Nettó eladási", "bevétel"}, {Kind::Amount, "Realizált", "eredmény"}},
        {{Kind::Amount, "Befizetés", ""}, {Kind::Amount, "Kifizetés", ""},                // P Q
         {Kind::Amount, "Számlavezetési", "díj"}, {Kind::Amount, "Pénzmozgás", "(+ / -)"}, // R S
         {Kind::Amount, "Egyenleg", ""}, kSettlement, {Kind::Flag, "Tétel", "típus"}},     // T U V
    });
    return columns;
}

// 35 columns, the last twelve the pairs of lots consumed by a sale.
const std::vector<Column> &tradeColumns() {
    static const std::vector<Column> columns = [] {
        std::vector<Column> c = join({
            kPurchase, {{Kind::Double, "Költség", "darabonként"}, kDescription}, kSale, // A to M
            {{Kind::Amount, "Nettó", "bevétel"}, {Kind::Double, "Nettó bevétel", "darabonként"},
             {Kind::Amount, "Realizált", "eredmény"}},                                   // N O P
            {{Kind::Integer, "Darab", "változás"}, {Kind::Integer, "Készlet", "(darab)"},  // Q R
             {Kind::Flag, "Tétel", "kód"}, {Kind::Flag, "Tétel", "állapot"}, kSettlement,  // S T U
             {Kind::Integer, "Nyitott", "darab"}, {Kind::Integer, "Eladás", "kódszáma"}},  // V W
        });
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

// Prices, value columns and indicators. Row 4 carries the indicator headings the indicator
// refresh looks for.
const std::vector<Column> &priceColumns() {
    static const std::vector<Column> columns{
        {Kind::Date, "Dátum", ""}, {Kind::Amount, "Záró ár", ""}, {Kind::Amount, "Piaci", "érték"},
        {Kind::Amount, "Eredmény", ""}, {Kind::Amount, "Napi", "változás"},              // A to E
        {Kind::Double, "Mozgóátlag", "MA20"}, {Kind::Double, "Mozgóátlag", "MA50"},      // F G
        {Kind::Double, "Mozgóátlag", "MA200"},                                          // H
        {Kind::Integer, "RSI", "RSI14"}, {Kind::Integer, "RSI", "egyedi"},               // I J
    };
    return columns;
}

// A copy of columns A to J of the price sheet, then one block per chart. A3 is the sheet's
// caption cell, so the headings stand in row 4 alone and row 3 names only the chart blocks.
const std::vector<Column> &chartSourceColumns() {
    static const std::vector<Column> columns{
        {Kind::Date, "", "Dátum"}, {Kind::Amount, "", "Záró ár"}, {Kind::Amount, "", "Piaci érték"},
        {Kind::Amount, "", "Eredmény"}, {Kind::Amount, "", "Napi változás"},
        {Kind::Double, "", "MA20"}, {Kind::Double, "", "MA50"}, {Kind::Double, "", "MA200"},
        {Kind::Integer, "", "RSI14"}, {Kind::Integer, "", "RSI egyedi"},                  // A to J
        {Kind::Date, "", "Dátum"}, {Kind::Amount, "", "Árfolyam"}, {Kind::Double, "", "MA20"},
        {Kind::Double, "", "MA50"}, {Kind::Double, "", "MA200"},             // K to O  price chart
        {Kind::Date, "", "Dátum"}, {Kind::Amount, "", "Eredmény"},           // P Q  result chart
        {Kind::Date, "", "Dátum"}, {Kind::Amount, "", "Napi eredmény"},      // R S  daily result
        {Kind::Date, "", "Dátum"}, {Kind::Integer, "", "RSI14"}, {Kind::Integer, "", "RSI egyedi"},
    };
    return columns;
}

const std::vector<Column> &valueReportColumns() {
    static const std::vector<Column> columns{
        kDescription, kProductId, {Kind::Date, "Érték", "nap"},                            // A B C
        {Kind::Amount, "Érték az", "érték napon"}, {Kind::Date, "Referencia", "nap"},       // D E
        {Kind::Amount, "Érték a", "referencia napon"}, {Kind::Amount, "Változás", ""},      // F G
    };
    return columns;
}

const std::vector<Column> &resultReportColumns() {
    static const std::vector<Column> columns{
        kDescription, kProductId, {Kind::Date, "Időszak", "vége"},                         // A B C
        {Kind::Amount, "Eredmény", "a vég napon"}, {Kind::Amount, "Napi eredmény", "a vég napon"},
        {Kind::Date, "Időszak", "kezdete"}, {Kind::Amount, "Eredmény", "a kezdő napon"},   // F G
        {Kind::Amount, "Eredmény", "változás"}, {Kind::Amount, "Időszaki", "eredmény"},    // H I
        {Kind::Amount, "Realizált eredmény", "az időszakban"},                              // J
        {Kind::Amount, "Realizált eredmény", "a vég napig"},                                // K
        {Kind::Amount, "Nem realizált", "eredmény"},                                        // L
    };
    return columns;
}

const std::vector<Column> &archiveColumns() {
    static const std::vector<Column> columns{
        {Kind::Date, "Utolsó", "árfolyam nap"}, {Kind::Amount, "Archivált eredmény", "halmozottan"},
        {Kind::Amount, "Lezárt", "eredmény"}, {Kind::Amount, "Tárgyévi realizált", "eredmény"},
        {Kind::LongText, "Termék", "neve"}, {Kind::Unused, "", ""},                        // E F
        {Kind::Amount, "Tárgyévi", "eredmény"},                                              // G
    };
    return columns;
}

const std::vector<Column> &productListColumns() {
    static const std::vector<Column> columns{
        {Kind::Unused, "", ""}, kDescription, {Kind::Text, "ISIN Kód", ""}};
    return columns;
}

} // namespace vandorix::book
