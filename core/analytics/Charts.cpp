#include "analytics/Charts.h"

#include "app/Dialogs.h"
#include "book/Sheets.h"
#include "store/Chart.h"
#include "store/HostError.h"

#include <cmath>
#include <cstdint>

namespace vandorix {
namespace {

// Columns of the chart source "<name>02": A to J copy the price sheet, K to V the chart blocks.
namespace src {
constexpr int Date = 1;
constexpr int Price = 2;
constexpr int Result = 4;
constexpr int DailyResult = 5;
constexpr int Ma20 = 6;
constexpr int Ma50 = 7;
constexpr int Ma200 = 8;
constexpr int Rsi = 9;
constexpr int CustomRsi = 10;
constexpr int PriceBlock = 11;  // K date, L price, M MA20, N MA50, O MA200
constexpr int ResultBlock = 16; // P date, Q result
constexpr int DailyBlock = 18;  // R date, S daily result
constexpr int RsiBlock = 20;    // T date, U RSI14, V custom RSI
constexpr int FirstRow = 5;
} // namespace src

// Each block's columns, in order, and the price-sheet column each is copied from.
// clang-format off
constexpr int kBlockSources[] = {
    src::Date, src::Price, src::Ma20, src::Ma50, src::Ma200, // K to O
    src::Date, src::Result,                                  // P, Q
    src::Date, src::DailyResult,                             // R, S
    src::Date, src::Rsi, src::CustomRsi,                     // T to V
};
// clang-format on

// Rows of the scale block in "Segéd01"; columns C, E, G, I, K.
constexpr int kPriceScaleRow = 30;
constexpr int kResultScaleRow = 32;
constexpr int kDailyScaleRow = 33;

// The rows of the price sheet from which the moving averages exist.
constexpr int kMa20AfterRow = 27;
constexpr int kMa50AfterRow = 57;
constexpr int kMa200AfterRow = 207;
// From this last data row on the price axis also takes the MA200 minimum into account.
constexpr int kMa200MinimumAfterRow = 205;

constexpr int kCategoryCrossing = 4;
constexpr int kLineStyleAutomatic = -4105;
constexpr int kAxisBorderColor = 57;

Sheet &chartSource(AppState &app) {
    return app.ProductWorkbook->sheet(ChartSourceSheetName(app.ProductName));
}

// A number of the chart source: nullopt for an empty cell; a text is no number.
std::optional<Currency> amountAt(const Sheet &s, int row, int column) {
    const CellValue &v = s.value(row, column);
    if (v.isBlank())
        return std::nullopt;
    std::optional<Currency> amount = v.kind() == CellKind::Text ? std::nullopt : v.currency();
    if (!amount)
        throw ChartDataError("Nem szám a(z) " + s.name() + " munkalap " + std::to_string(row) +
                             ". sorának " + std::to_string(column) +
                             ". oszlopában: " + v.display());
    return amount;
}

Currency amountOrZero(const Sheet &s, int row, int column) {
    return amountAt(s, row, column).value_or(Currency());
}

std::int64_t floorDiv(__int128 a, __int128 b) {
    __int128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<std::int64_t>(q);
}

// Int(x × 1.05), Int(x / 1.05), Int(x × 0.95) and Int(x), exact on the four decimals.
constexpr std::int64_t kScale = 10000;
double widenUp(Currency x) {
    return double(floorDiv(__int128(x.raw()) * 105, 100 * kScale));
}
double narrowDown(Currency x) {
    return double(floorDiv(__int128(x.raw()) * 100, 105 * kScale));
}
double shrink(Currency x) {
    return double(floorDiv(__int128(x.raw()) * 95, 100 * kScale));
}
std::int64_t wholePart(Currency x) {
    return floorDiv(x.raw(), kScale);
}
double majorUnitOf(double max, double min) {
    return std::floor((max - min) / 10.0);
}

struct TotalsOfTrades {
    double costPerShare = 0; // H: average cost of the shares held
    Currency realised;       // P: total realised result
};

TotalsOfTrades tradeTotals(AppState &app) {
    const Sheet &trades = app.ProductWorkbook->sheet(sheets::kTrades);
    std::optional<long long> t = trades.value(2, 19).integer();
    if (!t || *t < 1)
        throw ChartDataError("A Szla munkalap S2 cellája nem sorszám.");
    const int row = static_cast<int>(*t);
    TotalsOfTrades totals;
    const CellValue &h = trades.value(row, 8);
    if (!h.isBlank()) {
        std::optional<double> cost = h.kind() == CellKind::Text ? std::nullopt : h.number();
        if (!cost)
            throw ChartDataError("Nem szám a Szla munkalap H" + std::to_string(row) +
                                 " cellájában.");
        totals.costPerShare = *cost;
    }
    totals.realised = amountOrZero(trades, row, 16);
    return totals;
}

void writeScaleRow(Sheet &aux, int row, double min, double max, double cross, double major,
                   double minor) {
    aux.setValue(row, 3, min);
    aux.setValue(row, 5, max);
    aux.setValue(row, 7, cross);
    aux.setValue(row, 9, major);
    aux.setValue(row, 11, minor);
}

void copyChartBlocks(Sheet &source) {
    for (int r = src::FirstRow; !source.value(r, src::Date).isBlank(); ++r) {
        int column = src::PriceBlock;
        for (int from : kBlockSources)
            source.setValue(r, column++, source.value(r, from));
    }
}

void priceScale(AppState &app, const Sheet &s, const TotalsOfTrades &totals) {
    app.PriceCrossLevel = std::floor(totals.costPerShare);
    const int first = app.ChartFirstRow, last = app.ChartLastRow;
    const int price = src::PriceBlock + 1, ma200 = src::PriceBlock + 4;
    Currency maxL = amountOrZero(s, first, price), minL = maxL;
    Currency maxO = amountOrZero(s, first, ma200), minO = maxO;
    for (int r = first; r <= last; ++r) {
        if (std::optional<Currency> l = amountAt(s, r, price)) {
            if (*l > maxL)
                maxL = *l;
            if (*l < minL)
                minL = *l;
        }
        if (std::optional<Currency> o = amountAt(s, r, ma200)) {
            if (*o > maxO)
                maxO = *o;
            if (*o < minO)
                minO = *o;
        }
    }
    app.PriceAxisMax = maxO > maxL ? widenUp(maxO) : widenUp(maxL);
    if (app.PriceAxisMax < app.PriceCrossLevel)
        app.PriceAxisMax = app.PriceCrossLevel;
    Currency lowest = minL;
    if (app.LastDataRow > kMa200MinimumAfterRow && minO < minL)
        lowest = minO;
    app.PriceAxisMin = shrink(lowest);
    app.PriceMajorUnit = majorUnitOf(app.PriceAxisMax, app.PriceAxisMin);
    app.PriceMinorUnit = app.PriceMajorUnit / 10;
}

void resultScale(AppState &app, const Sheet &s, const TotalsOfTrades &totals) {
    const int first = app.ChartFirstRow, last = app.ChartLastRow;
    const int column = src::ResultBlock + 1;
    app.FirstChartResult = amountOrZero(s, first, column);
    app.LastChartResult = amountOrZero(s, last, column);
    app.ResultCrossLevel = double(wholePart(totals.realised));
    Currency max = app.FirstChartResult, min = max;
    for (int r = first; r <= last; ++r) {
        std::optional<Currency> q = amountAt(s, r, column);
        // An empty cell counts as 0 against the maximum and is passed over for the minimum.
        if (q.value_or(Currency()) > max)
            max = q.value_or(Currency());
        if (q && *q < min)
            min = *q;
    }
    const double maxWhole = max.toDouble();
    if (maxWhole > app.ResultCrossLevel)
        app.ResultAxisMax = max > Currency() ? widenUp(max) : narrowDown(max);
    else
        app.ResultAxisMax = app.ResultCrossLevel;
    app.ResultAxisMin = min > Currency() ? narrowDown(min) : widenUp(min);
    app.ResultMajorUnit = majorUnitOf(app.ResultAxisMax, app.ResultAxisMin);
    app.ResultMinorUnit = app.ResultMajorUnit / 10;
}

void dailyScale(AppState &app, const Sheet &s) {
    const int first = app.ChartFirstRow, last = app.ChartLastRow;
    const int column = src::DailyBlock + 1;
    Currency max, min = amountOrZero(s, first, column);
    for (int r = first; r <= last; ++r) {
        std::optional<Currency> v = amountAt(s, r, column);
        if (v.value_or(Currency()) > max)
            max = v.value_or(Currency());
        if (v && *v < min)
            min = *v;
    }
    app.DailyAxisMax = widenUp(max);
    app.DailyAxisMin = min > Currency() ? narrowDown(min) : widenUp(min);
    app.DailyMajorUnit = majorUnitOf(app.DailyAxisMax, app.DailyAxisMin);
    app.DailyMinorUnit = app.DailyMajorUnit / 10;
    app.DailyCrossLevel = 0;
}

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
void valueAxis(Chart &chart, const std::string &title, double min, double max, double major,
               double minor, double crossing) {
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
    a.crossesAt = crossing;
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

} // namespace

void PrepareChartData(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    Sheet &source = chartSource(app);
    wb.activate(source);
    source.unprotect(app.SheetPassword);
    copyChartBlocks(source);

    const int price = src::PriceBlock + 1;
    app.FirstChartPrice = amountOrZero(source, app.ChartFirstRow, price);
    app.LastChartPrice = amountOrZero(source, app.ChartLastRow, price);
    Sheet &aux = wb.sheet(sheets::kAuxiliary);
    aux.setValue(23, 9, 1);
    aux.setValue(23, 11, 10);

    const TotalsOfTrades totals = tradeTotals(app);
    priceScale(app, source, totals);
    resultScale(app, source, totals);
    dailyScale(app, source);

    writeScaleRow(aux, kPriceScaleRow, app.PriceAxisMin, app.PriceAxisMax, app.PriceCrossLevel,
                  app.PriceMajorUnit, app.PriceMinorUnit);
    writeScaleRow(aux, kResultScaleRow, app.ResultAxisMin, app.ResultAxisMax, app.ResultCrossLevel,
                  app.ResultMajorUnit, app.ResultMinorUnit);
    writeScaleRow(aux, kDailyScaleRow, app.DailyAxisMin, app.DailyAxisMax, app.DailyCrossLevel,
                  app.DailyMajorUnit, app.DailyMinorUnit);
}

void BuildPriceChart(AppState &app) {
    const std::string sourceName = ChartSourceSheetName(app.ProductName);
    Chart &chart = chartSheet(app, kPriceChartSheet);
    chart.type = ChartType::Line;
    chart.setSource(sourceName, app.ChartFirstRow, src::PriceBlock, app.ChartLastRow,
                    src::PriceBlock + 4);
    formatSeries(chart, 1, "Árfolyam", 4, kWeightThick);
    if (app.LastDataRow > kMa20AfterRow)
        formatSeries(chart, 2, "MA20", 47, kWeightHairline);
    if (app.LastDataRow > kMa50AfterRow)
        formatSeries(chart, 3, "MA50", 53, kWeightThin);
    if (app.LastDataRow > kMa200AfterRow)
        formatSeries(chart, 4, "MA200", 1, kWeightMedium);
    dateCategoryAxis(chart);
    valueAxis(chart, "Árfolyam ", app.PriceAxisMin, app.PriceAxisMax, app.PriceMajorUnit,
              app.PriceMinorUnit, app.PriceCrossLevel);
    plotAreaBorder(chart);
    setTitle(chart, app.ProductName + "  árfolyamváltozás a kezdő és vég dátum között:  " +
                        (app.LastChartPrice - app.FirstChartPrice).toString() + "  Ft." + kCrLf +
                        "Az aktivak árfolyam változása: " +
                        wholeText(app.LastChartPrice - wholeUnits(app.PriceCrossLevel)) + "  Ft.");
}

void BuildResultChart(AppState &app) {
    const std::string sourceName = ChartSourceSheetName(app.ProductName);
    Chart &chart = chartSheet(app, kResultChartSheet);
    chart.type = ChartType::Line;
    chart.setSource(sourceName, app.ChartFirstRow, src::ResultBlock, app.ChartLastRow,
                    src::ResultBlock + 1);
    formatSeries(chart, 1, "Eredmény", 4, kWeightThick);
    dateCategoryAxis(chart);
    chart.categoryAxis.minimum.reset();
    chart.categoryAxis.maximum.reset();
    valueAxis(chart, "Eredmény ", app.ResultAxisMin, app.ResultAxisMax, app.ResultMajorUnit,
              app.ResultMinorUnit, app.ResultCrossLevel);
    axisLineBorder(chart);
    setTitle(chart, app.ProductName + "  eredményváltozás a kezdő és a vég dátum között :  " +
                        (app.LastChartResult - app.FirstChartResult).toString() + "  Ft." + kCrLf +
                        "Az aktívak eredmény változása : " +
                        wholeText(app.LastChartResult - wholeUnits(app.ResultCrossLevel)) +
                        "  Ft.");
}

void BuildDailyResultChart(AppState &app) {
    const std::string sourceName = ChartSourceSheetName(app.ProductName);
    Chart &chart = chartSheet(app, kDailyResultChartSheet);
    chart.type = ChartType::ClusteredColumn;
    chart.setSource(sourceName, app.ChartFirstRow, src::DailyBlock, app.ChartLastRow,
                    src::DailyBlock + 1);
    formatSeries(chart, 1, "Napi eredmény", 4, kWeightThick);
    dateCategoryAxis(chart);
    chart.categoryAxis.minimum.reset();
    chart.categoryAxis.maximum.reset();
    double major = app.DailyMajorUnit, minor = app.DailyMinorUnit;
    if (app.DailyAxisMin == 0 && app.DailyAxisMax == 0) {
        major = 1;
        minor = 0.1;
    }
    valueAxis(chart, "Napi eredmény ", app.DailyAxisMin, app.DailyAxisMax, major, minor, 0);
    // With no range to draw the axis still steps by the units the chart asks for.
    if (major > 0) {
        chart.valueAxis.majorUnit = major;
        chart.valueAxis.minorUnit = minor;
    }
    axisLineBorder(chart);
    setTitle(chart, app.ProductName + "  napi eredmény");
}

void BuildRsiChart(AppState &app) {
    const std::string sourceName = ChartSourceSheetName(app.ProductName);
    Chart &chart = chartSheet(app, kRsiChartSheet);
    chart.type = ChartType::Line;
    chart.setSource(sourceName, app.ChartFirstRow, src::RsiBlock, app.ChartLastRow,
                    src::RsiBlock + (app.RsiRecomputed ? 2 : 1));
    formatSeries(chart, 1, "RSI14", 4, kWeightThick);
    if (app.RsiRecomputed)
        formatSeries(chart, 2, app.CustomRsiCaption, 1, kWeightMedium);
    dateCategoryAxis(chart);
    valueAxis(chart, "RSI index ", 0, 100, 25, 5, 50);
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
