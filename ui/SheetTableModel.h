#pragma once

#include <QAbstractTableModel>

namespace vandorix {

class Sheet;

// A table view's window on one worksheet: cells read as CellDisplayText shows them, column
// letters and row numbers as headings. Cells are editable only while the sheet is not
// protected; an edit goes through Sheet::setValue.
class SheetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SheetTableModel(Sheet &sheet, QObject *parent = nullptr);

    Sheet &sheet() const { return sheet_; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    // "A", "B", … "Z", "AA", …: the column heading of a spreadsheet.
    static QString columnLetters(int column);

private:
    int wantedRows() const;
    int wantedColumns() const;
    // Grows the table when an edit beyond the last stored row or column added to the sheet.
    void followSheetSize();

    Sheet &sheet_;
    int rows_ = 0;
    int columns_ = 0;
};

} // namespace vandorix
