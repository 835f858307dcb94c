#include "FrozenTableView.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace vandorix {

FrozenTableView::FrozenTableView(int frozenRows, int frozenColumns, QWidget *parent)
    : QTableView(parent), frozenRows_(frozenRows), frozenColumns_(frozenColumns) {
    rows_ = makeOverlay(true, false);
    columns_ = makeOverlay(false, true);
    corner_ = makeOverlay(false, false);
}

QTableView *FrozenTableView::makeOverlay(bool followHorizontal, bool followVertical) {
    auto *overlay = new QTableView(this);
    overlay->setFocusPolicy(Qt::ClickFocus);
    overlay->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    overlay->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    overlay->setFrameShape(QFrame::NoFrame);
    overlay->setWordWrap(false);
    overlay->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    overlay->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    // The frozen cells are drawn a little apart from the scrolling ones.
    overlay->setStyleSheet(QStringLiteral("QTableView { border: none; "
                                          "border-right: 1px solid palette(dark); "
                                          "border-bottom: 1px solid palette(dark); }"));
    if (followHorizontal)
        connect(horizontalScrollBar(), &QScrollBar::valueChanged, overlay->horizontalScrollBar(),
                &QScrollBar::setValue);
    if (followVertical)
        connect(verticalScrollBar(), &QScrollBar::valueChanged, overlay->verticalScrollBar(),
                &QScrollBar::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, overlay,
            [overlay](int section, int, int size) { overlay->setColumnWidth(section, size); });
    connect(verticalHeader(), &QHeaderView::sectionResized, overlay,
            [overlay](int section, int, int size) { overlay->setRowHeight(section, size); });
    return overlay;
}

void FrozenTableView::setModel(QAbstractItemModel *model) {
    QTableView::setModel(model);
    for (QTableView *overlay : {rows_, columns_, corner_}) {
        overlay->setModel(model);
        overlay->setSelectionModel(selectionModel());
        // A frozen cell is edited as any other.
        overlay->setEditTriggers(editTriggers());
        overlay->horizontalHeader()->setDefaultAlignment(horizontalHeader()->defaultAlignment());
    }
    // The corner is drawn last, above both strips.
    columns_->raise();
    rows_->raise();
    corner_->raise();
    placeOverlays();
}

int FrozenTableView::frozenHeight() const {
    int height = 0;
    for (int r = 0; r < frozenRows_ && model() && r < model()->rowCount(); ++r)
        height += rowHeight(r);
    return height;
}

int FrozenTableView::frozenWidth() const {
    int width = 0;
    for (int c = 0; c < frozenColumns_ && model() && c < model()->columnCount(); ++c)
        width += columnWidth(c);
    return width;
}

void FrozenTableView::placeOverlays() {
    if (!model())
        return;
    for (QTableView *overlay : {rows_, columns_, corner_}) {
        overlay->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
        overlay->verticalHeader()->setFixedWidth(verticalHeader()->width());
        for (int c = 0; c < model()->columnCount(); ++c)
            if (overlay->columnWidth(c) != columnWidth(c))
                overlay->setColumnWidth(c, columnWidth(c));
    }
    for (int r = 0; r < model()->rowCount(); ++r)
        for (QTableView *overlay : {rows_, columns_, corner_})
            if (r < frozenRows_ || overlay == columns_)
                if (overlay->rowHeight(r) != rowHeight(r))
                    overlay->setRowHeight(r, rowHeight(r));

    const int left = frameWidth();
    const int top = frameWidth();
    const int headerWidth = verticalHeader()->width();
    const int headerHeight = horizontalHeader()->height();
    const int fullWidth = headerWidth + viewport()->width();
    const int fullHeight = headerHeight + viewport()->height();
    const int rowsHeight = headerHeight + frozenHeight();
    const int columnsWidth = headerWidth + frozenWidth();

    rows_->setGeometry(left, top, fullWidth, rowsHeight + 1);
    columns_->setGeometry(left, top, columnsWidth + 1, fullHeight);
    corner_->setGeometry(left, top, columnsWidth + 1, rowsHeight + 1);
    rows_->setVisible(frozenRows_ > 0);
    columns_->setVisible(frozenColumns_ > 0);
    corner_->setVisible(frozenRows_ > 0 && frozenColumns_ > 0);
    rows_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    columns_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

void FrozenTableView::resizeEvent(QResizeEvent *event) {
    QTableView::resizeEvent(event);
    placeOverlays();
}

void FrozenTableView::updateGeometries() {
    QTableView::updateGeometries();
    placeOverlays();
}

void FrozenTableView::scrollTo(const QModelIndex &index, ScrollHint hint) {
    // A frozen cell is always in sight; scrolling to it would move the other cells for nothing.
    if (index.row() < frozenRows_ && index.column() < frozenColumns_)
        return;
    if (index.row() < frozenRows_ || index.column() < frozenColumns_) {
        QTableView::scrollTo(index, hint);
        return;
    }
    // The rows and columns hidden under the frozen panes count as out of sight.
    QTableView::scrollTo(index, hint);
    const QRect cell = visualRect(index);
    if (cell.top() < frozenHeight())
        verticalScrollBar()->setValue(
            verticalScrollBar()->value() -
            (verticalScrollMode() == ScrollPerItem ? frozenRows_ : frozenHeight() - cell.top()));
    if (cell.left() < frozenWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() -
                                        (horizontalScrollMode() == ScrollPerItem
                                             ? frozenColumns_
                                             : frozenWidth() - cell.left()));
}

void FrozenTableView::revealRowWhenShown(int row) {
    rowToReveal_ = row;
    if (isVisible())
        showEvent(nullptr);
}

void FrozenTableView::showEvent(QShowEvent *event) {
    if (event)
        QTableView::showEvent(event);
    if (rowToReveal_ < 0 || !model())
        return;
    const int row = std::min(rowToReveal_, model()->rowCount() - 1);
    rowToReveal_ = -1;
    // Once the view has its size: the row at the bottom of the window, the rows above it in
    // sight as far as they fit.
    QTimer::singleShot(
        0, this, [this, row] { scrollTo(model()->index(row, frozenColumns_), PositionAtBottom); });
}

} // namespace vandorix
