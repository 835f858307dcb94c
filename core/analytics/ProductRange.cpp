#include "analytics/ProductRange.h"
#include "book/Sheets.h"

#include "analytics/Charts.h"
#include "analytics/Indicators.h"
#include "app/Validation.h"

#include <algorithm>

namespace vandorix {

namespace {

constexpr int kCopiedColumns = 10;      // A to J
constexpr int kChartSourceColumns = 22; // A to V of "<name>02"

} // namespace

Date PriceRowDate(const Sheet &prices, int row) {
    std::optional<Date> d = prices.value(row, kPriceDateColumn).date();
    if (!d)
        throw ChartDataError("Nem dátum a(z) " + prices.name() + " munkalap A" +
                             std::to_string(row) + " cellájában.");
    return *d;
}

std::optional<int> ParseRsiPeriod(const std::string &text) {
    if (std::optional<int> n = ParseQuantityText(text))
        return n;
    std::optional<Currency> zero = ParseNumberText(text);
    if (zero && *zero == Currency())
        return 0;
    return std::nullopt;
}

PriceRange FindPriceRange(const Sheet &prices, const AppState &app) {
    PriceRange range{kFirstPriceRow, app.LastDataRow};
    if (app.LastDataDate > app.RangeToDate)
        while (range.endRow > kFirstPriceRow && PriceRowDate(prices, range.endRow) > app.RangeToDate)
            --range.endRow;
    if (PriceRowDate(prices, kFirstPriceRow) < app.RangeFromDate) {
        int r = range.endRow;
        while (r > kFirstPriceRow && PriceRowDate(prices, r) >= app.RangeFromDate)
            --r;
        range.startRow = std::max(kFirstPriceRow, r - 1);
    }
    return range;
}

bool Ma200Missing(const Sheet &prices, int endRow) {
    return endRow > 205 && prices.value(endRow - 200, kPriceMa200Column).isBlank();
}

void RecomputeMa200(AppState &app, const Sheet &prices, int endRow) {
    for (app.MaRow = endRow; app.MaRow >= endRow - 199; --app.MaRow) {
        app.RecalcFromRow = app.MaRow;
        app.ReferenceDate = PriceRowDate(prices, app.MaRow);
        ComputeMovingAverages(app);
    }
}

bool RsiMissing(const Sheet &prices, int endRow) {
    return endRow >= 27 && prices.value(endRow - 14, kPriceRsiColumn).isBlank();
}

void RecomputeRangeRsi(AppState &app, const Sheet &prices, int endRow, bool custom) {
    for (app.RsiRow = endRow; PriceRowDate(prices, app.RsiRow) >= app.RangeFromDate;) {
        app.RecalcFromRow = app.RsiRow;
        app.ReferenceDate = PriceRowDate(prices, app.RsiRow);
        if (custom)
            ComputeCustomRsi(app);
        else
            ComputeRsi(app);
        if (--app.RsiRow < (custom ? app.CustomRsiPeriod : app.RsiPeriod) + kFirstPriceRow)
            break;
    }
    app.RsiRecomputed = true;
}

void CopyRangeToChartSource(AppState &app, const PriceRange &range) {
    Workbook &product = *app.ProductWorkbook;
    const Sheet &prices = product.sheet(PriceSheetName(app.ProductName));
    Sheet &source = product.sheet(ChartSourceSheetName(app.ProductName));
    int oldEnd = kFirstPriceRow;
    while (!source.value(oldEnd, kPriceDateColumn).isBlank())
        ++oldEnd;
    if (oldEnd > kFirstPriceRow)
        source.clearRange(kFirstPriceRow, 1, oldEnd - 1, kChartSourceColumns);

    int t = kFirstPriceRow;
    for (int r = range.startRow; r <= range.endRow; ++r, ++t) {
        source.setValue(t, kPriceDateColumn, PriceRowDate(prices, r));
        for (int c = 2; c <= kCopiedColumns; ++c) {
            const CellValue &v = prices.value(r, c);
            // Every column after the date holds a number; a text is a gap in the data.
            if (v.kind() == CellKind::Text && !v.isBlank())
                throw ChartDataError("Nem szám a(z) " + prices.name() + " munkalap " +
                                     std::to_string(r) + ". sorában: " + v.display());
            source.setValue(t, c, v);
        }
    }
    app.ChartLastRow = t - 1;
    app.ChartFirstRow = kFirstPriceRow;
    source.setValue(3, 1,
                    source.value(kFirstPriceRow, kPriceDateColumn).display() + " -től      " +
                        source.value(app.ChartLastRow, kPriceDateColumn).display() + " -ig.");
    source.setValue(4, 6, "MA20");
    source.setValue(4, 7, "MA50");
    source.setValue(4, 8, "MA200");
}

} // namespace vandorix
