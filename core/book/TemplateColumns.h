#pragma once

#include "store/Workbook.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace vandorix::book {

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

// The data formats are laid on rows 5 to 8: row 5 takes the first movement of an empty sheet,
// row 6 is the row a first insertion at row 5 copies its formats from, and rows 7 and 8 are
// where the totals of the first rows are written.
inline constexpr int kLastFormattedRow = 8;

FormatRef dataFormat(Kind kind);
FormatRef titleFormat();
FormatRef headingFormat();

// A bold text cell: left-aligned for a title, right-aligned for a label before a value.
void writeTitle(Sheet &sheet, int row, int column, const std::string &text);
void writeLabel(Sheet &sheet, int row, int column, const std::string &text);
// A bold centred heading cell.
void writeHeading(Sheet &sheet, int row, int column, const char *text);

// Headings into rows 3 and 4 from `firstColumn`, the data formats onto rows 5 to 8, and the
// column widths.
void layColumns(Sheet &sheet, const std::vector<Column> &columns, int firstColumn = 1,
                bool headingRow3 = true);

// Protects every sheet with the sheet password, then the structure with the workbook password,
// leaving the first visible sheet active.
void seal(Workbook &wb);

// The column layouts of the templates' sheets.
const std::vector<Column> &ledgerColumns();      // "Befszla01", "Befszla02", the account log
const std::vector<Column> &tradeColumns();       // "Szla", "Szla02", the product log
const std::vector<Column> &priceColumns();       // "<name>01"
const std::vector<Column> &chartSourceColumns(); // "<name>02"
const std::vector<Column> &valueReportColumns(); // "Ertek01"
const std::vector<Column> &resultReportColumns(); // "Eredmeny01"
const std::vector<Column> &archiveColumns();     // "ARHIV01"
const std::vector<Column> &productListColumns(); // "BET01"

} // namespace vandorix::book
