#include "ChartSheetView.h"

#include "store/Chart.h"
#include "store/Workbook.h"

#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPixmap>
#include <QToolTip>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace vandorix {

namespace {

// Ticks the date axis shows at most; a label every few categories for the columns.
constexpr int kDateTicks = 8;
// More ticks than this from a fixed unit would be unreadable: the axis then counts its own.
constexpr double kMostTicks = 60;

QColor paletteColor(int index) {
    return QColor::fromRgb(PaletteColor(index));
}

qreal penWidth(int weight) {
    return LineWeightPoints(weight) * 96.0 / 72.0;
}

QString text(const std::string &s) {
    return QString::fromStdString(s);
}

// The chart title in its lines, as rich text that keeps every blank.
QString titleHtml(const std::string &title) {
    QString html = text(title).toHtmlEscaped();
    html.replace(QLatin1Char(' '), QStringLiteral("&nbsp;"));
    html.replace(QStringLiteral("\r\n"), QStringLiteral("<br>"));
    return html;
}

int decimalsFor(double unit) {
    return unit >= 1 ? 0 : unit >= 0.1 ? 1 : 2;
}

QString dateText(const CellValue &v) {
    return text(v.display());
}

} // namespace

ChartSheetView::ChartSheetView(const Workbook &workbook, const Sheet &chartSheet, QWidget *parent)
    : QChartView(parent), chartObject_(std::make_unique<Chart>(*chartSheet.chart())),
      plotData_(std::make_unique<ChartPlotData>(ReadChartData(workbook, *chartObject_))),
      chart_(*chartObject_), data_(*plotData_) {
    setObjectName(text(chartSheet.name()));
    setRenderHint(QPainter::Antialiasing);

    // The categories' days at noon, so no change of clock moves a point to another day.
    qint64 previous = 0;
    for (const CellValue &category : data_.categories) {
        if (std::optional<Date> d = category.date())
            previous =
                QDateTime(QDate(d->year(), d->month(), d->day()), QTime(12, 0)).toMSecsSinceEpoch();
        else
            previous += 86'400'000;
        dayMsecs_.push_back(previous);
    }

    auto *chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->legend()->setAlignment(Qt::AlignBottom);
    if (chart_.hasTitle) {
        QFont font = chart->titleFont();
        font.setPointSizeF(font.pointSizeF() + 2);
        font.setBold(true);
        chart->setTitleFont(font);
        chart->setTitle(titleHtml(chart_.title));
    }
    if (chart_.plotAreaBorderWeight != 0) {
        chart->setPlotAreaBackgroundVisible(true);
        chart->setPlotAreaBackgroundBrush(Qt::white);
        chart->setPlotAreaBackgroundPen(
            QPen(QColor(128, 128, 128), penWidth(chart_.plotAreaBorderWeight)));
    }
    setChart(chart);
    addAxes(*chart);
    if (chart_.type == ChartType::ClusteredColumn)
        addColumnSeries(*chart);
    else
        addLineSeries(*chart);
    if (chart_.valueAxis.crossesAt)
        addCrossingLine(*chart, *chart_.valueAxis.crossesAt);
}

ChartSheetView::~ChartSheetView() = default;

void ChartSheetView::addAxes(QChart &chart) {
    addCategoryAxis(chart);
    addValueAxis(chart);
}

void ChartSheetView::addCategoryAxis(QChart &chart) {
    const int n = static_cast<int>(data_.categories.size());
    const ChartAxis &category = chart_.categoryAxis;
    if (chart_.type == ChartType::ClusteredColumn) {
        // Columns stand at their category's index; every few get their date as a label.
        auto *axis = new QCategoryAxis;
        axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
        axis->setRange(-0.5, std::max(n, 1) - 0.5);
        const int step = std::max(1, n / kDateTicks);
        for (int i = 0; i < n; i += step)
            axis->append(dateText(data_.categories[i]), i);
        axis->setLabelsAngle(-45);
        xAxis_ = axis;
    } else {
        auto *axis = new QDateTimeAxis;
        axis->setFormat(QStringLiteral("yyyy. MM. dd."));
        const qint64 first = dayMsecs_.empty() ? 0 : dayMsecs_.front();
        const qint64 last = dayMsecs_.empty() ? 0 : dayMsecs_.back();
        axis->setRange(QDateTime::fromMSecsSinceEpoch(first),
                       QDateTime::fromMSecsSinceEpoch(std::max(last, first + 86'400'000)));
        axis->setTickCount(std::clamp(n, 2, kDateTicks));
        axis->setLabelsAngle(-45);
        xAxis_ = axis;
    }
    xAxis_->setTitleText(text(category.title));
    xAxis_->setGridLineVisible(category.majorGridlines);
    xAxis_->setMinorGridLineVisible(category.minorGridlines);
    chart.addAxis(xAxis_, Qt::AlignBottom);
}

void ChartSheetView::setValueRange() {
    const ChartAxis &value = chart_.valueAxis;
    double low = 0, high = 0;
    bool any = false;
    for (const auto &series : data_.values)
        for (const std::optional<double> &v : series)
            if (v) {
                low = any ? std::min(low, *v) : *v;
                high = any ? std::max(high, *v) : *v;
                any = true;
            }
    if (value.minimum && value.maximum) {
        yAxis_->setRange(*value.minimum, *value.maximum);
        return;
    }
    // An automatic scale: the data, the crossing level and a margin.
    if (value.crossesAt) {
        low = any ? std::min(low, *value.crossesAt) : *value.crossesAt;
        high = any ? std::max(high, *value.crossesAt) : *value.crossesAt;
    }
    if (high <= low) {
        low -= 1;
        high += 1;
    }
    yAxis_->setRange(low, high);
    if (!value.majorUnit)
        yAxis_->applyNiceNumbers();
}

void ChartSheetView::addValueAxis(QChart &chart) {
    const ChartAxis &value = chart_.valueAxis;
    yAxis_ = new QValueAxis;
    setValueRange();
    const double span = yAxis_->max() - yAxis_->min();
    double unit = span / 10;
    if (value.majorUnit && *value.majorUnit > 0 && span / *value.majorUnit <= kMostTicks) {
        unit = *value.majorUnit;
        yAxis_->setTickType(QValueAxis::TicksDynamic);
        yAxis_->setTickAnchor(yAxis_->min()); // the host counts its units from the minimum
        yAxis_->setTickInterval(unit);
    }
    yAxis_->setLabelFormat(QStringLiteral("%.") + QString::number(decimalsFor(unit)) +
                           QStringLiteral("f"));
    yAxis_->setMinorTickCount(0);
    yAxis_->setGridLineVisible(value.majorGridlines);
    yAxis_->setMinorGridLineVisible(value.minorGridlines);
    yAxis_->setReverse(value.reversePlotOrder);
    yAxis_->setTitleText(text(value.title));
    if (value.borderColorIndex != 0)
        yAxis_->setLinePen(
            QPen(paletteColor(value.borderColorIndex), penWidth(value.borderWeight)));
    chart.addAxis(yAxis_, Qt::AlignLeft);
}

void ChartSheetView::addLineSeries(QChart &chart) {
    for (std::size_t s = 0; s < chart_.series.size(); ++s) {
        const ChartSeries &format = chart_.series[s];
        auto *series = new QLineSeries;
        series->setName(text(chart_.seriesName(static_cast<int>(s) + 1)));
        int count = 0;
        for (std::size_t c = 0; c < data_.categories.size(); ++c)
            if (const std::optional<double> &v = data_.values[s][c]) {
                series->append(static_cast<qreal>(dayMsecs_[c]), *v);
                ++count;
            }
        pointCounts_.push_back(count);
        chart.addSeries(series);
        series->attachAxis(xAxis_);
        series->attachAxis(yAxis_);
        // A series without a colour of its own keeps the one the chart gave it.
        QPen pen = series->pen();
        if (format.colorIndex != 0)
            pen.setColor(paletteColor(format.colorIndex));
        pen.setWidthF(penWidth(format.weight));
        pen.setStyle(Qt::SolidLine);
        series->setPen(pen);
        const int index = static_cast<int>(s);
        connect(series, &QLineSeries::hovered, this, [this, index](const QPointF &point, bool on) {
            if (on)
                showTooltip(index, nearestCategory(point.x()));
            else
                QToolTip::hideText();
        });
    }
}

void ChartSheetView::addColumnSeries(QChart &chart) {
    auto *bars = new QBarSeries;
    bars->setBarWidth(0.8);
    for (std::size_t s = 0; s < chart_.series.size(); ++s) {
        const ChartSeries &format = chart_.series[s];
        auto *set = new QBarSet(text(chart_.seriesName(static_cast<int>(s) + 1)));
        int count = 0;
        for (const std::optional<double> &v : data_.values[s]) {
            set->append(v.value_or(0));
            count += v.has_value();
        }
        pointCounts_.push_back(count);
        if (format.colorIndex != 0) {
            set->setColor(paletteColor(format.colorIndex));
            set->setBorderColor(paletteColor(format.colorIndex));
        }
        bars->append(set);
        const int index = static_cast<int>(s);
        connect(set, &QBarSet::hovered, this, [this, index](bool on, int category) {
            if (on)
                showTooltip(index, category);
            else
                QToolTip::hideText();
        });
    }
    chart.addSeries(bars);
    bars->attachAxis(xAxis_);
    bars->attachAxis(yAxis_);
}

void ChartSheetView::addCrossingLine(QChart &chart, double level) {
    if (level < yAxis_->min() || level > yAxis_->max())
        return;
    auto *line = new QLineSeries;
    line->setObjectName(QStringLiteral("crossingLine"));
    if (chart_.type == ChartType::ClusteredColumn) {
        line->append(-0.5, level);
        line->append(std::max<qreal>(static_cast<qreal>(data_.categories.size()), 1) - 0.5, level);
    } else if (!dayMsecs_.empty()) {
        line->append(static_cast<qreal>(dayMsecs_.front()), level);
        line->append(static_cast<qreal>(dayMsecs_.back()), level);
    }
    chart.addSeries(line);
    line->attachAxis(xAxis_);
    line->attachAxis(yAxis_);
    line->setPen(QPen(QColor(64, 64, 64), 1.5, Qt::DashLine));
    for (QLegendMarker *marker : chart.legend()->markers(line))
        marker->setVisible(false);
}

int ChartSheetView::nearestCategory(double x) const {
    if (dayMsecs_.empty())
        return -1;
    auto it = std::lower_bound(dayMsecs_.begin(), dayMsecs_.end(), static_cast<qint64>(x));
    if (it == dayMsecs_.end())
        return static_cast<int>(dayMsecs_.size()) - 1;
    if (it != dayMsecs_.begin() &&
        x - static_cast<double>(*(it - 1)) < static_cast<double>(*it) - x)
        --it;
    return static_cast<int>(it - dayMsecs_.begin());
}

QString ChartSheetView::pointText(int series, int category) const {
    if (series < 0 || series >= seriesCount() || category < 0 ||
        category >= static_cast<int>(data_.categories.size()))
        return {};
    const std::optional<double> &v =
        data_.values[static_cast<std::size_t>(series)][static_cast<std::size_t>(category)];
    const QLocale hungarian(QLocale::Hungarian, QLocale::Hungary);
    const QString value =
        v ? hungarian.toString(*v, 'f', std::floor(*v) == *v ? 0 : 2) : QStringLiteral("–");
    return dateText(data_.categories[static_cast<std::size_t>(category)]) + QLatin1Char('\n') +
           text(chart_.seriesName(series + 1)) + QStringLiteral(": ") + value;
}

void ChartSheetView::showTooltip(int series, int category) {
    const QString tip = pointText(series, category);
    if (!tip.isEmpty())
        QToolTip::showText(QCursor::pos(), tip, this);
}

bool ChartSheetView::savePicture(const QString &path) {
    return grab().save(path, "PNG");
}

} // namespace vandorix
