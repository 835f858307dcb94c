#include "SheetTableModel.h"

#include "CellText.h"
#include "store/HostError.h"
#include "store/Sheet.h"

#include <QColor>
#include <QFont>

#include <algorithm>

namespace vandorix {

namespace {

// Room to type beyond the last stored row and column of an editable sheet.
constexpr int kSpareRows = 20;
constexpr int kSpareColumns = 5;

} // namespace

SheetTableModel::SheetTableModel(Sheet &sheet, QObject *parent)
    : QAbstractTableModel(parent), sheet_(sheet), rows_(wantedRows()),
      columns_(wantedColumns()) {}

int SheetTableModel::wantedRows() const {
    return sheet_.rowCount() + (sheet_.isProtected() ? 0 : kSpareRows);
}

int SheetTableModel::wantedColumns() const {
    return std::max(sheet_.columnCount(), 1) + (sheet_.isProtected() ? 0 : kSpareColumns);
}

void SheetTableModel::followSheetSize() {
    if (const int rows = wantedRows(); rows > rows_) {
        beginInsertRows(QModelIndex(), rows_, rows - 1);
        rows_ = rows;
        endInsertRows();
    }
    if (const int columns = wantedColumns(); columns > columns_) {
        beginInsertColumns(QModelIndex(), columns_, columns - 1);
        columns_ = columns;
        endInsertColumns();
    }
}

int SheetTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : rows_;
}

int SheetTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : columns_;
}

QVariant SheetTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid()) return {};
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(CellDisplayText(sheet_, row, column));
    case Qt::EditRole:
        return QString::fromStdString(sheet_.value(row, column).display());
    case Qt::FontRole:
        if (formatOf(sheet_.cellFormat(row, column)).bold) {
            QFont font;
            font.setBold(true);
            return font;
        }
        return {};
    case Qt::ForegroundRole: {
        // Negative amounts and numbers in red, as spreadsheets show them.
        const CellValue &v = sheet_.value(row, column);
        if (v.kind() == CellKind::Currency || v.kind() == CellKind::Number)
            if (v.number().value_or(0) < 0) return QColor(Qt::red);
        return {};
    }
    case Qt::TextAlignmentRole: {
        const HAlign align = formatOf(sheet_.cellFormat(row, column)).align;
        const CellKind kind = sheet_.value(row, column).kind();
        Qt::Alignment horizontal = Qt::AlignLeft;
        if (align == HAlign::Center) horizontal = Qt::AlignHCenter;
        else if (align == HAlign::Right) horizontal = Qt::AlignRight;
        // General alignment puts numbers, amounts and dates on the right, as a spreadsheet does.
        else if (align == HAlign::General && kind != CellKind::Text && kind != CellKind::Empty)
            horizontal = Qt::AlignRight;
        return QVariant::fromValue(horizontal | Qt::AlignVCenter);
    }
    default: return {};
    }
}

QVariant SheetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return columnLetters(section + 1);
    return section + 1;
}

Qt::ItemFlags SheetTableModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.isValid() && !sheet_.isProtected()) f |= Qt::ItemIsEditable;
    return f;
}

bool SheetTableModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || role != Qt::EditRole || sheet_.isProtected()) return false;
    const int row = index.row() + 1;
    const int column = index.column() + 1;
    std::optional<CellValue> parsed =
        ParseCellInput(sheet_, row, column, value.toString().toStdString());
    if (!parsed) return false;
    try {
        sheet_.setValue(row, column, std::move(*parsed));
    } catch (const ProtectedError &) {
        return false;
    }
    emit dataChanged(index, index);
    followSheetSize();
    return true;
}

QString SheetTableModel::columnLetters(int column) {
    QString letters;
    for (int n = column; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar('A' + (n - 1) % 26));
    return letters;
}

} // namespace vandorix
