#include "analytics/Indicators.h"
#include "book/Rows.h"
#include "book/Sheets.h"

#include <cmath>
#include <cstdint>

namespace vandorix {
namespace {

constexpr int kColDate = 1;
constexpr int kColPrice = 2;
constexpr int kColMa20 = 6;
constexpr int kColMa50 = 7;
constexpr int kColMa200 = 8;
constexpr int kColRsi = 9;
constexpr int kColCustomRsi = 10;
constexpr int kHeadingRow = 4;

// The moving averages start only where the sheet holds enough history.
constexpr int kMa20FromRow = 28;
constexpr int kMa50FromRow = 58;
constexpr int kMa200FromRow = 208;

constexpr const char *kRsiHeading = "RSI14";

Sheet &priceSheet(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    return wb.sheet(PriceSheetName(app.ProductName));
}

Sheet &auxiliarySheet(AppState &app) { return app.ProductWorkbook->sheet(sheets::kAuxiliary); }

Currency priceAt(const Sheet &s, int row) {
    return s.value(row, kColPrice).currency().value_or(Currency());
}

std::string captionDate(const CellValue &v) { return v.display(); }

// An average of currency values, rounded half away from zero to four decimals.
Currency averageOf(Currency sum, int n) {
    std::int64_t raw = sum.raw();
    std::int64_t q = raw / n, rem = raw % n;
    if (2 * (rem < 0 ? -rem : rem) >= n) q += raw < 0 ? -1 : 1;
    return Currency::fromRaw(q);
}

// The RSI over `period` rows ending at `newestRow`, from the closing prices themselves: a row
// priced strictly higher than the row above it adds its price to the rising sum, any other
// row to the falling sum. The window never reaches above the first data row. nullopt when
// the period is not positive.
std::optional<double> rsiEndingAt(const Sheet &s, int newestRow, int period) {
    if (period <= 0) return std::nullopt;
    Currency upSum, downSum;
    for (int k = 0; k < period; ++k) {
        int r = newestRow - k;
        if (r - 1 < kFirstPriceRow) break;
        Currency price = priceAt(s, r);
        if (price > priceAt(s, r - 1)) upSum += price;
        else downSum += price;
    }
    Currency upAvg = averageOf(upSum, period);
    Currency downAvg = averageOf(downSum, period);
    if (downAvg == Currency()) downAvg = Currency::fromUnits(1);
    double rs = upAvg.toDouble() / downAvg.toDouble();
    return std::floor(100.0 - 100.0 / (1.0 + rs) + 0.5);
}

// The last data row dated on or before the start of the year; the heading row when no data
// row precedes the year.
int yearStartRow(const AppState &app, const Sheet &prices) {
    if (app.StartOfYear < app.FirstDataDate) return kHeadingRow;
    int y = app.LastDataRow;
    while (y > kFirstPriceRow) {
        std::optional<Date> d = prices.value(y, kColDate).date();
        if (d && *d <= app.StartOfYear) break;
        --y;
    }
    return y;
}

// The range of the price rows, into `app` and the auxiliary sheet.
void readDataRange(AppState &app, const Sheet &prices, Sheet &aux) {
    app.FirstDataDate = prices.value(kFirstPriceRow, kColDate).date().value_or(Date());
    aux.setValue(5, 4, app.FirstDataDate);
    int r = kFirstPriceRow;
    while (!prices.value(r, kColPrice).isBlank()) ++r;
    app.FirstEmptyRow = r;
    app.LastDataRow = r - 1;
    aux.setValue(6, 3, app.LastDataRow);
    aux.setValue(8, 3, app.FirstEmptyRow);
    app.LastDataDate = prices.value(app.LastDataRow, kColDate).date().value_or(Date());
    app.NextDataDate = app.LastDataDate.addDays(1);
    aux.setValue(7, 4, app.LastDataDate);
    aux.setValue(9, 4, app.NextDataDate);

    app.YearStartRow = yearStartRow(app, prices);
    aux.setValue(12, 3, app.YearStartRow);
    aux.setValue(13, 4, app.StartOfYear);
    aux.setValue(11, 4, app.Today);
    aux.setValue(10, 3, CellValue());
    aux.setValue(15, 3, CellValue());
    aux.setValue(16, 4, CellValue());
}

// Without price rows the range is the reference day alone.
void emptyDataRange(AppState &app, Sheet &aux) {
    app.FirstDataDate = app.LastDataDate = app.ReferenceDate;
    app.LastDataRow = kFirstPriceRow;
    app.FirstEmptyRow = kFirstPriceRow + 1;
    app.NextDataDate = app.ReferenceDate.addDays(1);
    aux.setValue(5, 4, app.FirstDataDate);
    aux.setValue(6, 3, app.LastDataRow);
    aux.setValue(8, 3, app.FirstEmptyRow);
    aux.setValue(7, 4, app.LastDataDate);
    aux.setValue(9, 4, app.NextDataDate);
    aux.setValue(11, 4, app.Today);
    aux.setValue(13, 4, app.StartOfYear);
}

} // namespace

void RefreshProductDataRange(AppState &app) {
    Sheet &prices = priceSheet(app);
    Sheet &aux = auxiliarySheet(app);
    if (!prices.value(kFirstPriceRow, kColPrice).isBlank()) readDataRange(app, prices, aux);
    else emptyDataRange(app, aux);

    prices.copyRowFormat(app.LastDataRow, app.LastDataRow + 1);

    app.DateRangeCaption = book::PeriodCaption(captionDate(prices.value(kFirstPriceRow, kColDate)),
                                                 captionDate(aux.value(7, 4)));
    prices.setValue(2, 1, app.DateRangeCaption);

    if (prices.value(kHeadingRow, kColRsi) != CellValue(kRsiHeading)) {
        prices.setValue(kHeadingRow, kColMa20, "MA20");
        prices.setValue(kHeadingRow, kColMa50, "MA50");
        prices.setValue(kHeadingRow, kColMa200, "MA200");
        prices.setValue(kHeadingRow, kColRsi, kRsiHeading);
    }
}

void ComputeMovingAverages(AppState &app) {
    Sheet &prices = priceSheet(app);
    const int r0 = app.RecalcFromRow;
    const Date day = app.ReferenceDate;
    double sum = 0;
    int count = 0;
    int r = r0;
    // One upward scan shared by the three windows: each extends the one before it.
    auto extendTo = [&](int days) {
        const Date from = day.addDays(-days);
        while (r >= kFirstPriceRow) {
            std::optional<Date> d = prices.value(r, kColDate).date();
            if (!d || *d < from) break;
            sum += priceAt(prices, r).toDouble();
            ++count;
            --r;
        }
    };
    if (r0 < kMa20FromRow) return;
    extendTo(20);
    if (count > 0) prices.setValue(r0, kColMa20, sum / count);
    if (r0 < kMa50FromRow) return;
    extendTo(50);
    if (count > 0) prices.setValue(r0, kColMa50, sum / count);
    if (r0 < kMa200FromRow) return;
    extendTo(200);
    if (count > 0) prices.setValue(r0, kColMa200, sum / count);
}

void ComputeRsi(AppState &app) {
    Sheet &prices = priceSheet(app);
    const int n = app.RsiPeriod;
    if (app.LastDataRow < n + 7) return;
    if (std::optional<double> rsi = rsiEndingAt(prices, app.RsiRow, n))
        prices.setValue(app.RecalcFromRow, kColRsi, *rsi);
}

void ComputeCustomRsi(AppState &app) {
    // Addressed by name rather than through the active sheet, so a caller that left another
    // sheet active cannot receive the value.
    Sheet &prices = app.ProductWorkbook->sheet(PriceSheetName(app.ProductName));
    app.RecalcFromRow = app.RsiRow;
    const int n = app.CustomRsiPeriod;
    if (app.LastDataRow < n + 7) return;
    if (std::optional<double> rsi = rsiEndingAt(prices, app.RsiRow, n))
        prices.setValue(app.RecalcFromRow, kColCustomRsi, static_cast<int>(static_cast<std::int16_t>(*rsi)));
}

} // namespace vandorix
