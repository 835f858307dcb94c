#pragma once

#include <QChartView>
#include <QString>

#include <memory>
#include <vector>

class QAbstractAxis;
class QValueAxis;

namespace vandorix {

class Sheet;
class Workbook;
struct Chart;
struct ChartPlotData;

// A chart sheet drawn with Qt Charts as its chart object says: line or clustered columns, the
// series in their order, colours and weights, the dates of the first source column on the
// category axis, the value axis with its limits, unit, crossing line and title, the title on
// two lines. A tooltip names the date and value of the point under the mouse.
class ChartSheetView : public QChartView {
    Q_OBJECT
  public:
    ChartSheetView(const Workbook &workbook, const Sheet &chartSheet, QWidget *parent = nullptr);
    ~ChartSheetView() override;

    // The number of series the chart object has, and of the points each drew.
    int seriesCount() const { return static_cast<int>(pointCounts_.size()); }
    const std::vector<int> &pointCounts() const { return pointCounts_; }
    // What the tooltip shows for a point: the date, then the series name and value.
    QString pointText(int series, int category) const;
    // Saves what is drawn as a PNG picture; false when the file cannot be written.
    bool savePicture(const QString &path);

  private:
    void addLineSeries(QChart &chart);
    void addColumnSeries(QChart &chart);
    void addAxes(QChart &chart);
    void addCategoryAxis(QChart &chart);
    void addValueAxis(QChart &chart);
    // The value axis spans the host's minimum and maximum, or else the data and the crossing level.
    void setValueRange();
    void addCrossingLine(QChart &chart, double level);
    void showTooltip(int series, int category);
    int nearestCategory(double x) const;

    // Copies taken when the view is made: the chart sheet goes before the view does.
    std::unique_ptr<const Chart> chartObject_;
    std::unique_ptr<const ChartPlotData> plotData_;
    const Chart &chart_;
    const ChartPlotData &data_;
    std::vector<qint64> dayMsecs_; // per category; the x position of a line chart's points
    std::vector<int> pointCounts_;
    QAbstractAxis *xAxis_ = nullptr;
    QValueAxis *yAxis_ = nullptr;
};

} // namespace vandorix
