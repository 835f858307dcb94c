#pragma once

#include <QTableView>

namespace vandorix {

// A table view whose first rows and first columns stay in place while the rest scrolls, as a
// spreadsheet's frozen panes do: three views over the same model lie on top of it (the frozen
// rows, the frozen columns and their corner), follow its column widths, row heights and
// scrolling, and share its selection.
class FrozenTableView : public QTableView {
    Q_OBJECT
  public:
    FrozenTableView(int frozenRows, int frozenColumns, QWidget *parent = nullptr);

    void setModel(QAbstractItemModel *model) override;
    void scrollTo(const QModelIndex &index, ScrollHint hint = EnsureVisible) override;

    int frozenRows() const { return frozenRows_; }
    int frozenColumns() const { return frozenColumns_; }
    // Scrolls so that `row` (from 0) is in sight below the frozen rows once the view is shown.
    void revealRowWhenShown(int row);

  protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void updateGeometries() override;

  private:
    QTableView *makeOverlay(bool followHorizontal, bool followVertical);
    void placeOverlays();
    int frozenHeight() const;
    int frozenWidth() const;

    int frozenRows_;
    int frozenColumns_;
    QTableView *rows_ = nullptr;    // the frozen rows across every column
    QTableView *columns_ = nullptr; // the frozen columns down every row
    QTableView *corner_ = nullptr;
    int rowToReveal_ = -1;
};

} // namespace vandorix
