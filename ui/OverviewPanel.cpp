#include "OverviewPanel.h"

#include "app/Application.h"
#include "reports/Overview.h"
#include "store/HostError.h"

#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPieSeries>
#include <QPieSlice>
#include <QTableWidget>
#include <QVBoxLayout>

#include <iterator>

namespace vandorix {

namespace {

QString qs(const std::string &text) {
    return QString::fromStdString(text);
}

QString dateText(const std::optional<Date> &d) {
    return d ? qs(d->toString()) : QString();
}

QString percentText(Currency percent) {
    return qs(percent.toString2()) + QStringLiteral(" %");
}

// A cell that shows a Hungarian text and sorts by the value behind it.
class Cell : public QTableWidgetItem {
  public:
    Cell(const QString &text, double key) : QTableWidgetItem(text) {
        setData(Qt::UserRole, key);
        setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
    bool operator<(const QTableWidgetItem &other) const override {
        const QVariant a = data(Qt::UserRole), b = other.data(Qt::UserRole);
        if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString)
            return QString::localeAwareCompare(text(), other.text()) < 0;
        return a.toDouble() < b.toDouble();
    }
};

Cell *textCell(const QString &text) {
    auto *cell = new Cell(text, 0);
    cell->setData(Qt::UserRole, text);
    return cell;
}

Cell *amountCell(Currency amount) {
    auto *cell = new Cell(qs(FormatForint(amount)), amount.toDouble());
    cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    if (amount < Currency())
        cell->setForeground(QColor(Qt::red));
    return cell;
}

Cell *numberCell(const QString &text, double key) {
    auto *cell = new Cell(text, key);
    cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return cell;
}

// Short headings keep every column in sight; the tooltip gives the full name.
struct Heading {
    const char *caption;
    const char *tooltip;
};
const Heading kHeadings[] = {
    {"Részvény", "A részvény neve"},
    {"Darab", "A birtokolt darabszám"},
    {"Átlagár", "A birtokolt darabok átlagos bekerülési ára"},
    {"Utolsó ár", "Az utolsó rögzített napi záró ár"},
    {"Dátum", "Az utolsó záró ár napja"},
    {"Érték", "Darab × utolsó záró ár"},
    {"Nem realizált",
     "Nem realizált eredmény: az érték és a nyitott tételek költségének különbsége"},
    {"Idei realizált", "Az idei eladások realizált eredménye"},
    {"Arány", "Az érték aránya a portfólió értékéből (pénz és részvények)"}};
constexpr int kColumns = static_cast<int>(std::size(kHeadings));

const char *kFirstSteps =
    "Még nincs nyilvántartott részvény. Az első lépések:\n"
    "1. Befektetés › Részvény › Alapadatok: vegye fel a részvényt (név és ISIN kód).\n"
    "2. Befektetés › Befektetési számla › Befizetés: fizessen be pénzt a befektetési számlára.\n"
    "3. Befektetés › Részvény › Vétel: rögzítse a vételt.";

} // namespace

OverviewPanel::OverviewPanel(Application &app, QWidget *parent) : QWidget(parent), app_(app) {
    setObjectName(QStringLiteral("overview"));
    auto *title = new QLabel(QStringLiteral("Áttekintés"), this);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);

    hint_ = new QLabel(this);
    hint_->setObjectName(QStringLiteral("overviewHint"));
    hint_->setTextFormat(Qt::PlainText);
    // The steps are lines of their own.
    hint_->setWordWrap(false);

    table_ = makeTable();

    cash_ = new QLabel(this);
    cash_->setObjectName(QStringLiteral("overviewCash"));
    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("overviewTotals"));
    totals_->setFont(QFont(totals_->font().family(), totals_->font().pointSize(), QFont::Bold));

    chart_ = makeChart();

    auto *figures = new QVBoxLayout;
    figures->addWidget(cash_);
    figures->addWidget(totals_);
    figures->addStretch(1);
    auto *bottom = new QHBoxLayout;
    bottom->addLayout(figures, 1);
    bottom->addWidget(chart_);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(hint_);
    layout->addWidget(table_, 1);
    layout->addLayout(bottom);
}

QTableWidget *OverviewPanel::makeTable() {
    auto *table = new QTableWidget(0, kColumns, this);
    table->setObjectName(QStringLiteral("overviewTable"));
    for (int c = 0; c < kColumns; ++c) {
        auto *heading = new QTableWidgetItem(QString::fromUtf8(kHeadings[c].caption));
        heading->setToolTip(QString::fromUtf8(kHeadings[c].tooltip));
        table->setHorizontalHeaderItem(c, heading);
    }
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setWordWrap(false);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    // Every column as wide as its contents, also on a narrow screen.
    table->horizontalHeader()->setStretchLastSection(false);
    return table;
}

// The pie of the holdings' shares of the total value.
QChartView *OverviewPanel::makeChart() {
    pie_ = new QPieSeries;
    auto *chart = new QChart;
    chart->addSeries(pie_);
    chart->setTitle(QStringLiteral("Megoszlás"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(0, 0, 0, 0));
    auto *view = new QChartView(chart, this);
    view->setObjectName(QStringLiteral("overviewChart"));
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumWidth(300);
    view->setMaximumWidth(440);
    view->setFixedHeight(220);
    return view;
}

void OverviewPanel::reload() {
    try {
        display(ComputeOverview(app_.state()));
    } catch (const HostError &e) {
        showProblem(QStringLiteral("Az áttekintés nem készíthető el: ") + qs(e.what()));
    }
}

void OverviewPanel::showProblem(const QString &text) {
    table_->setRowCount(0);
    pie_->clear();
    cash_->clear();
    totals_->clear();
    hint_->setText(text);
    hint_->show();
    table_->hide();
    chart_->hide();
}

void OverviewPanel::display(const Overview &o) {
    table_->setSortingEnabled(false);
    table_->setRowCount(static_cast<int>(o.products.size()));
    for (int r = 0; r < static_cast<int>(o.products.size()); ++r) {
        const OverviewProduct &p = o.products[static_cast<std::size_t>(r)];
        table_->setItem(r, 0, textCell(qs(p.name)));
        table_->setItem(r, 1, numberCell(QString::number(p.quantity), p.quantity));
        table_->setItem(r, 2, amountCell(p.averageCost));
        table_->setItem(r, 3, p.lastPrice ? amountCell(*p.lastPrice) : numberCell({}, 0));
        table_->setItem(r, 4,
                        numberCell(dateText(p.lastPriceDate),
                                   p.lastPriceDate ? p.lastPriceDate->dayNumber() : 0));
        table_->setItem(r, 5, amountCell(p.value));
        table_->setItem(r, 6, amountCell(p.unrealised));
        table_->setItem(r, 7, amountCell(p.realisedThisYear));
        table_->setItem(r, 8, numberCell(percentText(p.sharePercent), p.sharePercent.toDouble()));
    }
    table_->setSortingEnabled(true);

    cash_->setText(QStringLiteral("Befektetési számla: ") + qs(FormatForint(o.cashBalance)) +
                   (o.cashDate ? QStringLiteral("  (") + dateText(o.cashDate) + QStringLiteral(")")
                               : QString()) +
                   QStringLiteral("  –  ") + percentText(o.cashSharePercent));
    totals_->setText(QStringLiteral("Összesen: ") + qs(FormatForint(o.portfolioValue)) +
                     QStringLiteral("\nNem realizált eredmény: ") + qs(FormatForint(o.unrealised)) +
                     QStringLiteral("\nIdei realizált eredmény: ") +
                     qs(FormatForint(o.realisedThisYear)));

    pie_->clear();
    for (const OverviewProduct &p : o.products)
        if (p.value > Currency())
            pie_->append(qs(p.name), p.value.toDouble());
    if (o.cashBalance > Currency())
        pie_->append(QStringLiteral("Befektetési számla"), o.cashBalance.toDouble());
    chart_->setVisible(!pie_->slices().isEmpty());

    hint_->setText(QString::fromUtf8(kFirstSteps));
    hint_->setVisible(o.products.empty());
    table_->setVisible(!o.products.empty());
}

} // namespace vandorix
