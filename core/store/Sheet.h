#pragma once

#include "store/CellFormat.h"
#include "store/CellValue.h"
#include "store/Chart.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vandorix {

class Workbook;

struct Cell {
    CellValue value;
    FormatRef format = nullptr;
    bool operator==(const Cell &) const = default;
};

struct Row {
    std::vector<Cell> cells;        // cells[0] is column 1
    FormatRef format = nullptr;     // the row's own format, used by cells beyond `cells`
    double height = 0;              // 0: default height
    bool operator==(const Row &) const = default;
};

enum class SheetVisibility { Visible, Hidden, VeryHidden };
enum class SheetKind { Worksheet, Chart };

// Legacy 16-bit password verifier of sheet and workbook protection.
std::uint16_t passwordHash(const std::string &password);

// One sheet: rows and cells addressed from 1. Every change of contents or rows is refused
// with `ProtectedError` while the sheet is protected.
class Sheet {
public:
    Sheet(Workbook &owner, std::string name, SheetKind kind = SheetKind::Worksheet);

    const std::string &name() const { return name_; }
    SheetKind kind() const { return kind_; }
    Workbook &workbook() const { return *owner_; }

    const CellValue &value(int row, int column) const;
    // Stores a value. A date placed in a cell without a date format gets the default date
    // format; an amount gets the amount style; a number in an amount-style cell is an amount.
    void setValue(int row, int column, CellValue value);
    FormatRef cellFormat(int row, int column) const;
    void setCellFormat(int row, int column, FormatRef format);
    FormatRef rowFormat(int row) const;
    void setRowFormat(int row, FormatRef format);
    double rowHeight(int row) const;
    void setRowHeight(int row, double height);

    // Number of stored rows; rows after it are empty.
    int rowCount() const { return static_cast<int>(rows_.size()); }
    // Largest column index holding a value or format in any row.
    int columnCount() const;
    const Row *row(int r) const { return r >= 1 && r <= rowCount() ? &rows_[r - 1] : nullptr; }

    // Inserts an empty row before `row`; later rows move down by one. The new row takes the
    // formats of the row above it, as the host does.
    void insertRow(int row);
    void deleteRow(int row);
    // Pastes the formats (not the values) of row `from` onto row `to`.
    void copyRowFormat(int from, int to);
    // Empties the values of a rectangle; formats stay.
    void clearRange(int firstRow, int firstColumn, int lastRow, int lastColumn);
    // Sorts the rows of a rectangle ascending on `keyColumn`, moving whole rows of the
    // rectangle; equal keys keep their order. Numbers and dates before texts, empty last.
    void sortRange(int firstRow, int firstColumn, int lastRow, int lastColumn, int keyColumn);

    double columnWidth(int column) const; // 0: default
    void setColumnWidth(int column, double width);
    const std::map<int, double> &columnWidths() const { return columnWidths_; }

    SheetVisibility visibility() const { return visibility_; }
    bool visible() const { return visibility_ == SheetVisibility::Visible; }
    void setVisible(bool visible);
    void setVisibility(SheetVisibility v);

    bool isProtected() const { return protected_; }
    std::uint16_t protectionHash() const { return protectionHash_; }
    void protect(const std::string &password);
    // Throws `WrongPasswordError` when the sheet is protected with another password.
    void unprotect(const std::string &password);
    // For the file reader: the protection as stored.
    void setStoredProtection(bool isProtected, std::uint16_t hash);
    void setStoredVisibility(SheetVisibility v) { visibility_ = v; }

    Chart *chart() { return chart_.get(); }
    const Chart *chart() const { return chart_.get(); }

    void rename(std::string name);

    // Whole-sheet comparison of contents, formats and state.
    bool sameContent(const Sheet &other) const;

    // For the file reader: direct access to the rows.
    std::vector<Row> &rowsForReader() { return rows_; }
    std::map<int, double> &columnWidthsForReader() { return columnWidths_; }
    // For the file codec: the stored part this sheet was read from, as long as its contents
    // have not changed since (-1 otherwise), and whether that part shows it selected.
    // Protecting and unprotecting again with the same password leaves the part unchanged.
    int unchangedStoredPart() const {
        bool sameProtection = protected_ == storedProtected_ && protectionHash_ == storedHash_;
        return contentChanged_ || !sameProtection ? -1 : storedPart_;
    }
    bool storedSelected() const { return storedSelected_; }
    void setStoredPart(int part, bool selected) {
        storedPart_ = part;
        storedSelected_ = selected;
        storedProtected_ = protected_;
        storedHash_ = protectionHash_;
        contentChanged_ = false;
    }

private:
    void checkWritable() const;
    void touch();
    Row &rowAt(int r);
    Cell &cellAt(int r, int c);

    Workbook *owner_;
    std::string name_;
    SheetKind kind_;
    std::vector<Row> rows_;
    std::map<int, double> columnWidths_;
    SheetVisibility visibility_ = SheetVisibility::Visible;
    bool protected_ = false;
    std::uint16_t protectionHash_ = 0;
    std::unique_ptr<Chart> chart_;
    int storedPart_ = -1;
    bool storedSelected_ = false;
    bool storedProtected_ = false;
    std::uint16_t storedHash_ = 0;
    bool contentChanged_ = true;
};

} // namespace vandorix
