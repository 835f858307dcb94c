#pragma once

#include "app/AppState.h"

namespace vandorix {

// The derived data of a product's daily price sheet "<name>01" in the open product workbook.
// Like every shared procedure they work on `AppState` alone: the caller sets the fields they
// read immediately before the call. The sheets must be unprotected (prepared) by the caller.

// Finds the data range of the price sheet (delimited by column B), writes it into the
// parameter block of "Segéd01" (rows 5 to 16) and into `LastDataRow`, `FirstEmptyRow`,
// `FirstDataDate`, `LastDataDate`, `NextDataDate`, `YearStartRow`; gives the next entry row
// the last row's formats, writes the date-range caption into A2 and the indicator headings
// into row 4 when they are missing. An empty sheet takes its range from `ReferenceDate`.
void RefreshProductDataRange(AppState &app);

// MA20, MA50 and MA200 of row `RecalcFromRow` (dated `ReferenceDate`) into F, G and H:
// averages of the closing prices over the last 20, 50 and 200 calendar days, the boundary day
// included. Rows at or below 27, 57 and 207 keep their cells.
void ComputeMovingAverages(AppState &app);

// The RSI over `RsiPeriod` rows ending at `RsiRow` into column I of `RecalcFromRow`.
void ComputeRsi(AppState &app);

// The RSI over `CustomRsiPeriod` rows ending at `RsiRow` into column J of that row;
// `RecalcFromRow` is set to `RsiRow` first.
void ComputeCustomRsi(AppState &app);

// The first data row of every daily sheet; the backward scans stop there.
inline constexpr int kFirstPriceRow = 5;

} // namespace vandorix
