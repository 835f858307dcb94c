#pragma once

#include "app/AppState.h"
#include "store/Date.h"
#include "store/Sheet.h"

#include <optional>
#include <string>

namespace vandorix {

// Columns of the price sheet "<name>01" that the product view reads or copies.
inline constexpr int kPriceDateColumn = 1;
inline constexpr int kPriceMa200Column = 8;
inline constexpr int kPriceRsiColumn = 9;
inline constexpr int kPriceCustomRsiColumn = 10;

// The date of a data row of a price or chart-source sheet; a row without a date cannot be
// placed in the range (`ChartDataError`).
Date PriceRowDate(const Sheet &prices, int row);

// The custom RSI period typed by the user: a whole number from 1 to 32767, or 0.
std::optional<int> ParseRsiPeriod(const std::string &text);

// The rows of the price sheet copied for the range RangeFromDate..RangeToDate: from one row
// above the last row dated before the first day to the last row dated on or before the last
// day; the scans never go above the first row.
struct PriceRange {
    int startRow = 0;
    int endRow = 0;
};
PriceRange FindPriceRange(const Sheet &prices, const AppState &app);

// Whether the 200-day average is missing where the range's history begins; then the
// averages of the last 200 rows up to `endRow` are computed again.
bool Ma200Missing(const Sheet &prices, int endRow);
void RecomputeMa200(AppState &app, const Sheet &prices, int endRow);

// Whether the RSI is missing in the range's last rows.
bool RsiMissing(const Sheet &prices, int endRow);
// Computes the RSI (or the custom RSI) again from `endRow` up to the first day of the range,
// never above the first row its period allows.
void RecomputeRangeRsi(AppState &app, const Sheet &prices, int endRow, bool custom);

// Copies the rows of the range into the chart source "<name>02" (A to J, after emptying what
// an earlier range left there) with its caption and average headers; sets ChartFirstRow and
// ChartLastRow. A text where a number belongs is a gap in the data (`ChartDataError`).
void CopyRangeToChartSource(AppState &app, const PriceRange &range);

} // namespace vandorix
