#pragma once

#include "app/AppState.h"

#include <stdexcept>

namespace vandorix {

// The four charts of the product data view, as chart sheets of the open product workbook over
// the chart source in "<name>02". Like the indicator procedures they work on `AppState`: the
// data view sets `ChartFirstRow`, `ChartLastRow`, `RsiRecomputed` and `CustomRsiCaption`.

inline constexpr const char *kPriceChartSheet = "ArfDiag01";
inline constexpr const char *kResultChartSheet = "EredDiag01";
inline constexpr const char *kDailyResultChartSheet = "NapiEredDiag01";
inline constexpr const char *kRsiChartSheet = "RSIDiag01";

// A chart source cell that holds something other than a number.
class ChartDataError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Fills the chart blocks K to V of "<name>02" from its columns A to J, computes the value-axis
// scales of the price, result and daily-result charts into `AppState` and writes them with
// I23 and K23 into "Segéd01" (rows 30, 32, 33). Throws `ChartDataError` for a text where a
// number belongs.
void PrepareChartData(AppState &app);

// Each creates its chart sheet before "Szla" (or reuses it) and sets its type, source,
// series, axes and title.
void BuildPriceChart(AppState &app);
void BuildResultChart(AppState &app);
void BuildDailyResultChart(AppState &app);
void BuildRsiChart(AppState &app);

// Deletes every chart sheet of the product workbook.
void DeleteChartSheets(AppState &app);

} // namespace vandorix
