// The chart data of the product data view: the chart blocks of "<name>02" and the scales of
// the value axes.
#include "analytics/Charts.h"
#include "book/Sheets.h"
#include "analytics/ChartSource.h"

#include "store/HostError.h"

#include <cmath>
#include <cstdint>

namespace vandorix {
namespace {

using namespace chart_source;

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

// From this last data row on the price axis also takes the MA200 minimum into account.
constexpr int kMa200MinimumAfterRow = 205;

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


// Int(x × 1.05), Int(x / 1.05) and Int(x × 0.95), exact on the four decimals.
double widenUp(Currency x) {
    return double(floorDiv(__int128(x.raw()) * 105, 100 * kScale));
}
double narrowDown(Currency x) {
    return double(floorDiv(__int128(x.raw()) * 100, 105 * kScale));
}
double shrink(Currency x) {
    return double(floorDiv(__int128(x.raw()) * 95, 100 * kScale));
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

void writeScaleRow(Sheet &aux, int row, const AppState::AxisScale &scale) {
    aux.setValue(row, 3, scale.min);
    aux.setValue(row, 5, scale.max);
    aux.setValue(row, 7, scale.cross);
    aux.setValue(row, 9, scale.major);
    aux.setValue(row, 11, scale.minor);
}

void copyChartBlocks(Sheet &source) {
    for (int r = src::FirstRow; !source.value(r, src::Date).isBlank(); ++r) {
        int column = src::PriceBlock;
        for (int from : kBlockSources)
            source.setValue(r, column++, source.value(r, from));
    }
}

void priceScale(AppState &app, const Sheet &s, const TotalsOfTrades &totals) {
    app.PriceScale.cross = std::floor(totals.costPerShare);
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
    app.PriceScale.max = maxO > maxL ? widenUp(maxO) : widenUp(maxL);
    if (app.PriceScale.max < app.PriceScale.cross)
        app.PriceScale.max = app.PriceScale.cross;
    Currency lowest = minL;
    if (app.LastDataRow > kMa200MinimumAfterRow && minO < minL)
        lowest = minO;
    app.PriceScale.min = shrink(lowest);
    app.PriceScale.major = majorUnitOf(app.PriceScale.max, app.PriceScale.min);
    app.PriceScale.minor = app.PriceScale.major / 10;
}

// Widens `max` and `min` to the values of `column` over the rows `first`..`last`: an empty
// cell counts as 0 against the maximum and is passed over for the minimum.
void widenToColumn(const Sheet &s, int first, int last, int column, Currency &max,
                   Currency &min) {
    for (int r = first; r <= last; ++r) {
        std::optional<Currency> v = amountAt(s, r, column);
        if (v.value_or(Currency()) > max)
            max = v.value_or(Currency());
        if (v && *v < min)
            min = *v;
    }
}

void resultScale(AppState &app, const Sheet &s, const TotalsOfTrades &totals) {
    const int first = app.ChartFirstRow, last = app.ChartLastRow;
    const int column = src::ResultBlock + 1;
    app.FirstChartResult = amountOrZero(s, first, column);
    app.LastChartResult = amountOrZero(s, last, column);
    app.ResultScale.cross = double(wholePart(totals.realised));
    Currency max = app.FirstChartResult, min = max;
    widenToColumn(s, first, last, column, max, min);
    const double maxWhole = max.toDouble();
    if (maxWhole > app.ResultScale.cross)
        app.ResultScale.max = max > Currency() ? widenUp(max) : narrowDown(max);
    else
        app.ResultScale.max = app.ResultScale.cross;
    app.ResultScale.min = min > Currency() ? narrowDown(min) : widenUp(min);
    app.ResultScale.major = majorUnitOf(app.ResultScale.max, app.ResultScale.min);
    app.ResultScale.minor = app.ResultScale.major / 10;
}

void dailyScale(AppState &app, const Sheet &s) {
    const int first = app.ChartFirstRow, last = app.ChartLastRow;
    const int column = src::DailyBlock + 1;
    Currency max, min = amountOrZero(s, first, column);
    widenToColumn(s, first, last, column, max, min);
    app.DailyScale.max = widenUp(max);
    app.DailyScale.min = min > Currency() ? narrowDown(min) : widenUp(min);
    app.DailyScale.major = majorUnitOf(app.DailyScale.max, app.DailyScale.min);
    app.DailyScale.minor = app.DailyScale.major / 10;
    app.DailyScale.cross = 0;
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

    writeScaleRow(aux, kPriceScaleRow, app.PriceScale);
    writeScaleRow(aux, kResultScaleRow, app.ResultScale);
    writeScaleRow(aux, kDailyScaleRow, app.DailyScale);
}

} // namespace vandorix
