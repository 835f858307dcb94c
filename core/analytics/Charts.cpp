// The four chart sheets of the product data view.
#include "analytics/Charts.h"
#include "book/Sheets.h"
#include "analytics/ChartSource.h"

#include "app/Dialogs.h"
#include "store/Chart.h"
#include "store/HostError.h"

#include <cstdint>

namespace vandorix {
namespace {

using namespace chart_source;

constexpr int kCategoryCrossing = 4;
constexpr int kLineStyleAutomatic = -4105;
constexpr int kAxisBorderColor = 57;

// The chart of the named chart sheet, created before "Szla" when the workbook has none.
Chart &chartSheet(AppState &app, const char *name) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    Sheet *sheet = wb.findSheet(name);
    if (!sheet)
        sheet = &wb.addSheet(name, &wb.sheet(sheets::kTrades), SheetKind::Chart);
    if (sheet->kind() != SheetKind::Chart || !sheet->chart())
        throw HostError("A munkalap nem diagram: " + std::string(name));
    wb.activate(*sheet);
    return *sheet->chart();
}

void formatSeries(Chart &chart, int number, std::string name, int color, int weight) {
    ChartSeries &s = chart.seriesAt(number);
    s.name = std::move(name);
    s.colorIndex = color;
    s.weight = weight;
    s.lineStyle = 1;
}

void dateCategoryAxis(Chart &chart) {
    ChartAxis &a = chart.categoryAxis;
    a.enabled = true;
    a.categoryType = kLineStyleAutomatic;
    a.numberFormatLinked = true;
    a.crossesAt = kCategoryCrossing;
    a.majorGridlines = false;
    a.minorGridlines = false;
    a.title = "Dátum ";
}

// The value axis of every chart. A major unit of 0 (a value range narrower than 10) cannot
// be drawn: the axis then takes its units automatically, and so do minimum and maximum when
// the range is empty. The scale block keeps the computed figures.
void valueAxis(Chart &chart, const std::string &title, const AppState::AxisScale &scale) {
    const double min = scale.min, max = scale.max, major = scale.major, minor = scale.minor;
    ChartAxis &a = chart.valueAxis;
    a.enabled = true;
    a.majorGridlines = true;
    a.minorGridlines = false;
    a.title = title;
    a.majorTickMark = 3;
    a.minorTickMark = -4142;
    a.tickLabelPosition = 4;
    a.minimum = max > min ? std::optional(min) : std::nullopt;
    a.maximum = max > min ? std::optional(max) : std::nullopt;
    a.majorUnit = major > 0 ? std::optional(major) : std::nullopt;
    a.minorUnit = major > 0 && minor > 0 ? std::optional(minor) : std::nullopt;
    a.crossesAt = scale.cross;
    a.reversePlotOrder = false;
}

void plotAreaBorder(Chart &chart) {
    chart.plotAreaBorderWeight = kWeightThin;
    chart.plotAreaBorderLineStyle = kLineStyleAutomatic;
}

void axisLineBorder(Chart &chart) {
    chart.valueAxis.borderColorIndex = kAxisBorderColor;
    chart.valueAxis.borderWeight = kWeightThin;
    chart.valueAxis.borderLineStyle = 1;
}

void setTitle(Chart &chart, std::string title) {
    chart.hasTitle = true;
    chart.title = std::move(title);
}

std::string wholeText(Currency x) {
    return std::to_string(wholePart(x));
}

Currency wholeUnits(double whole) {
    return Currency::fromUnits(static_cast<std::int64_t>(whole));
}

// The two-line title of a chart over the range: the product's change between the first and
// the last value, then that of the assets, the last value against the crossing level, in whole
// forints. The captions around the figures are the chart's own.
std::string changeTitle(const AppState &app, const char *change, Currency first, Currency last,
                        const char *assetsChange, double crossLevel) {
    return app.ProductName + change + (last - first).toString() + "  Ft." + kCrLf + assetsChange +
           wholeText(last - wholeUnits(crossLevel)) + "  Ft.";
}

// A chart sheet drawn from the columns `firstColumn`..`lastColumn` of "<name>02" over the
// chart rows: its first series thick, the dates along the category axis.
Chart &startChart(AppState &app, const char *sheet, ChartType type, int firstColumn,
                  int lastColumn, const std::string &firstSeries) {
    Chart &chart = chartSheet(app, sheet);
    chart.type = type;
    chart.setSource(ChartSourceSheetName(app.ProductName), app.ChartFirstRow, firstColumn, app.ChartLastRow,
                    lastColumn);
    formatSeries(chart, 1, firstSeries, 4, kWeightThick);
    dateCategoryAxis(chart);
    return chart;
}

} // namespace

void BuildPriceChart(AppState &app) {
    Chart &chart = startChart(app, kPriceChartSheet, ChartType::Line, src::PriceBlock,
                              src::PriceBlock + 4, "Árfolyam");
    if (app.LastDataRow > kMa20AfterRow)
        formatSeries(chart, 2, "MA20", 47, kWeightHairline);
    if (app.LastDataRow > kMa50AfterRow)
        formatSeries(chart, 3, "MA50", 53, kWeightThin);
    if (app.LastDataRow > kMa200AfterRow)
        formatSeries(chart, 4, "MA200", 1, kWeightMedium);
    valueAxis(chart, "Árfolyam ", app.PriceScale);
    plotAreaBorder(chart);
    setTitle(chart, changeTitle(app, "  árfolyamváltozás a kezdő és vég dátum között:  ",
                                app.FirstChartPrice, app.LastChartPrice,
                                "Az aktivak árfolyam változása: ", app.PriceScale.cross));
}

void BuildResultChart(AppState &app) {
    Chart &chart = startChart(app, kResultChartSheet, ChartType::Line, src::ResultBlock,
                              src::ResultBlock + 1, "Eredmény");
    chart.categoryAxis.minimum.reset();
    chart.categoryAxis.maximum.reset();
    valueAxis(chart, "Eredmény ", app.ResultScale);
    axisLineBorder(chart);
    setTitle(chart, changeTitle(app, "  eredményváltozás a kezdő és a vég dátum között :  ",
                                app.FirstChartResult, app.LastChartResult,
                                "Az aktívak eredmény változása : ", app.ResultScale.cross));
}

void BuildDailyResultChart(AppState &app) {
    Chart &chart = startChart(app, kDailyResultChartSheet, ChartType::ClusteredColumn,
                              src::DailyBlock, src::DailyBlock + 1, "Napi eredmény");
    chart.categoryAxis.minimum.reset();
    chart.categoryAxis.maximum.reset();
    AppState::AxisScale scale = app.DailyScale;
    scale.cross = 0;
    if (scale.min == 0 && scale.max == 0) {
        scale.major = 1;
        scale.minor = 0.1;
    }
    valueAxis(chart, "Napi eredmény ", scale);
    // With no range to draw the axis still steps by the units the chart asks for.
    if (scale.major > 0) {
        chart.valueAxis.majorUnit = scale.major;
        chart.valueAxis.minorUnit = scale.minor;
    }
    axisLineBorder(chart);
    setTitle(chart, app.ProductName + "  napi eredmény");
}

void BuildRsiChart(AppState &app) {
    Chart &chart = startChart(app, kRsiChartSheet, ChartType::Line, src::RsiBlock,
                              src::RsiBlock + (app.RsiRecomputed ? 2 : 1), "RSI14");
    if (app.RsiRecomputed)
        formatSeries(chart, 2, app.CustomRsiCaption, 1, kWeightMedium);
    valueAxis(chart, "RSI index ", {.min = 0, .max = 100, .cross = 50, .major = 25, .minor = 5});
    plotAreaBorder(chart);
    setTitle(chart, app.ProductName + "  RSI indexek.");
}

void DeleteChartSheets(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    for (int i = wb.sheetCount(); i >= 1; --i) {
        if (wb.sheetAt(i).kind() != SheetKind::Chart)
            continue;
        const std::string name = wb.sheetAt(i).name();
        wb.deleteSheet(name);
    }
}

} // namespace vandorix
