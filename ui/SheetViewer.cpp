#include "SheetViewer.h"

#include "ChartSheetView.h"
#include "FrozenTableView.h"
#include "QtDialogs.h"
#include "SheetTableModel.h"
#include "store/Workbook.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QUrl>

#include <algorithm>
#include <QVBoxLayout>

namespace vandorix {

namespace {

// Column widths are stored in widths of the digit zero, row heights in points.
void applySheetGeometry(QTableView &view, const Sheet &sheet) {
    const int charWidth = view.fontMetrics().horizontalAdvance(QLatin1Char('0'));
    for (const auto &[column, width] : sheet.columnWidths())
        if (width > 0 && column >= 1)
            view.setColumnWidth(column - 1, static_cast<int>(width * charWidth) + 8);
    for (int row = 1; row <= sheet.rowCount(); ++row)
        if (const double height = sheet.rowHeight(row); height > 0)
            view.setRowHeight(row - 1, static_cast<int>(height * 96.0 / 72.0));
}

// Title and heading rows above the data, and the dates or names in column A.
constexpr int kHeadingRows = 4;
constexpr int kFrozenColumns = 1;

// The last row of the data that starts in row 5: rows follow while column A or B holds
// something (the price sheets end at an empty B, the other sheets at an empty A).
int lastDataRow(const Sheet &sheet) {
    int row = kHeadingRows;
    while (!sheet.value(row + 1, 1).isBlank() || !sheet.value(row + 1, 2).isBlank()) ++row;
    return row;
}

QTableView *makeSheetView(Sheet &sheet, QWidget *parent) {
    auto *view = new FrozenTableView(kHeadingRows, kFrozenColumns, parent);
    view->setObjectName(QString::fromStdString(sheet.name()));
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    // A cell keeps to one line, as in a spreadsheet; what does not fit is elided.
    view->setWordWrap(false);
    view->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                          QAbstractItemView::AnyKeyPressed);
    view->setModel(new SheetTableModel(sheet, view));
    applySheetGeometry(*view, sheet);
    // The sheet opens at its newest rows; the totals three rows below them come into sight
    // when they fit.
    if (const int last = lastDataRow(sheet); last > kHeadingRows)
        view->revealRowWhenShown(std::min(last + 3, sheet.rowCount()) - 1);
    return view;
}

// A spreadsheet program installed on this machine, or an empty text.
QString findSpreadsheetProgram() {
    for (const char *name : {"libreoffice", "soffice", "localc", "gnumeric", "calligrasheets"})
        if (QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
            !path.isEmpty())
            return path;
    return {};
}

} // namespace

SheetViewer::SheetViewer(Workbook &workbook, const MessageRequest &request, QWidget *parent)
    : QDialog(parent), workbook_(workbook),
      answer_(request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok) {
    setWindowTitle(QString::fromStdString(workbook.fileName()));
    setModal(true);

    tabs_ = new QTabWidget(this);
    tabs_->setTabPosition(QTabWidget::South);
    addSheetTabs(workbook);

    auto *icon = new QLabel(this);
    const QIcon standard = StandardMessageIcon(request.icon, style());
    if (!standard.isNull()) icon->setPixmap(standard.pixmap(32, 32));
    auto *text = new QLabel(QtDialogs::messageText(request.text), this);
    text->setObjectName("message");
    text->setTextFormat(Qt::PlainText);

    auto *open = new QPushButton(QStringLiteral("Megnyitás táblázatkezelőben"), this);
    open->setObjectName("openExternally");
    open->setAutoDefault(false);
    connect(open, &QPushButton::clicked, this, &SheetViewer::openInSpreadsheetProgram);

    // A chart on screen can be kept as a picture.
    savePicture_ = new QPushButton(QStringLiteral("Mentés képként (PNG)"), this);
    savePicture_->setObjectName("saveChartPicture");
    savePicture_->setAutoDefault(false);
    savePicture_->setVisible(false);
    for (int i = 0; i < tabs_->count(); ++i)
        if (qobject_cast<ChartSheetView *>(tabs_->widget(i))) savePicture_->setVisible(true);
    connect(savePicture_, &QPushButton::clicked, this, &SheetViewer::saveChartPicture);
    auto followTab = [this] { savePicture_->setEnabled(currentChart() != nullptr); };
    connect(tabs_, &QTabWidget::currentChanged, this, followTab);
    followTab();

    buttons_ = new QDialogButtonBox(this);
    auto answerWith = [this](QPushButton *button, MessageAnswer answer, bool isDefault) {
        button->setDefault(isDefault);
        connect(button, &QPushButton::clicked, this, [this, answer] {
            answer_ = answer;
            accept();
        });
    };
    if (request.buttons == MessageButtons::YesNo) {
        answerWith(buttons_->addButton(QDialogButtonBox::Yes), MessageAnswer::Yes,
                   request.defaultAnswer == MessageAnswer::Yes);
        answerWith(buttons_->addButton(QDialogButtonBox::No), MessageAnswer::No,
                   request.defaultAnswer != MessageAnswer::Yes);
        buttons_->button(QDialogButtonBox::Yes)->setText(QStringLiteral("Igen"));
        buttons_->button(QDialogButtonBox::No)->setText(QStringLiteral("Nem"));
    } else {
        answerWith(buttons_->addButton(QDialogButtonBox::Ok), MessageAnswer::Ok, true);
        buttons_->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    }

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(icon);
    bottom->addWidget(text, 1);
    bottom->addWidget(open);
    bottom->addWidget(savePicture_);
    bottom->addWidget(buttons_);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addLayout(bottom);
}

void SheetViewer::addSheetTabs(Workbook &workbook) {
    Sheet *active = &workbook.activeSheet();
    for (int i = 1; i <= workbook.sheetCount(); ++i) {
        Sheet &sheet = workbook.sheetAt(i);
        if (!sheet.visible()) continue;
        QWidget *view = sheet.kind() == SheetKind::Chart && sheet.chart()
                            ? static_cast<QWidget *>(new ChartSheetView(workbook, sheet, tabs_))
                            : makeSheetView(sheet, tabs_);
        const int tab = tabs_->addTab(view, QString::fromStdString(sheet.name()));
        if (&sheet == active) tabs_->setCurrentIndex(tab);
    }
}

ChartSheetView *SheetViewer::currentChart() const {
    return qobject_cast<ChartSheetView *>(tabs_->currentWidget());
}

void SheetViewer::saveChartPicture() {
    ChartSheetView *chart = currentChart();
    if (!chart) return;
    const QString suggested =
        QDir::home().filePath(tabs_->tabText(tabs_->currentIndex()) + QStringLiteral(".png"));
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Diagram mentése képként"),
                                                suggested, QStringLiteral("PNG kép (*.png)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
    if (!chart->savePicture(path))
        QMessageBox::warning(this, QStringLiteral("Felhívás"),
                             QStringLiteral("A kép nem menthető:\n") + path);
}

void SheetViewer::openInSpreadsheetProgram() {
    const QString path = QString::fromStdString(workbook_.path());
    if (path.isEmpty()) return;
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path))) return;
    // No program is registered for the file: a spreadsheet program found on the machine
    // opens it, and without one the user is told where the file is.
    if (const QString program = findSpreadsheetProgram();
        !program.isEmpty() && QProcess::startDetached(program, {path}))
        return;
    QMessageBox::warning(this, QStringLiteral("Felhívás"),
                         QStringLiteral("Nem található táblázatkezelő program ezen a gépen.\n"
                                        "A munkafüzet helye:\n") +
                             path);
}

MessageAnswer SheetViewer::present(Workbook &workbook, const MessageRequest &request,
                                   QWidget *parent) {
    SheetViewer viewer(workbook, request, parent);
    viewer.setWindowState(viewer.windowState() | Qt::WindowMaximized);
    viewer.exec();
    return viewer.answer();
}

} // namespace vandorix
