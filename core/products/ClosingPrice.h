#pragma once

#include "app/AppState.h"
#include "book/ProductLayout.h"

#include <optional>
#include <vector>

namespace vandorix {

// The recording of a day's closing price in the price sheet "<name>01" of the open, prepared
// product workbook, and the recomputation of the value columns it drives.
//
// The closing-price window runs these steps itself; the purchase and sale windows run the
// same recording step for the trade date without the window:
//
//   1. `LocatePriceRow` (or the trade window's own search) sets `RecalcFromRow` to the row of
//      `ReferenceDate`, inserting it when the day has none (`PriceRowIsNew`);
//   2. the caller sets `ClosingPriceToRecord`;
//   3. `RecordClosingPrice` writes the date and the price, recomputes the value columns from
//      that row down and the indicators of that row. It neither saves nor closes anything.

// Finds or makes the row of `ReferenceDate` in the price sheet and writes the date into it:
// sets `RecalcFromRow`, `PriceRowIsNew` and `ExistingClosingPrice` (0 when the row has no
// price). The first price of a product always goes into row 5. Needs `LastDataRow`,
// `LastDataDate` and `FirstEmptyRow` from `RefreshProductDataRange`.
void LocatePriceRow(AppState &app);

// The recording step: writes `ReferenceDate` and `ClosingPriceToRecord` into row
// `RecalcFromRow`, counts a new row into `LastDataRow`, then `RecalcPriceRows`.
void RecordClosingPrice(AppState &app);

// Columns C (value of the holding), D (result up to the day) and E (change of D against the
// row above) of every row from `RecalcFromRow` to `LastDataRow`; then the data range, the
// caption and, from 27 rows on, the indicators of row `RecalcFromRow`.
void RecalcPriceRows(AppState &app);

// Columns C, D and E alone, from `RecalcFromRow` to `LastDataRow`: the first step of
// `RecalcPriceRows`, which an import of many days runs once over all of them.
void RecalcValueColumns(AppState &app);

// The trade rows of "Szla" read once, so a run of ascending days finds each day's position by
// moving forward over the trade rows instead of rescanning them: one forward merge of price
// rows and trade rows.
class TradePositionCursor {
public:
    explicit TradePositionCursor(const Sheet &trades);

    struct Position {
        int quantity = 0;
        Currency cost;
        Currency proceeds;
    };
    // The position after the last trade row dated on or before `day`; the first trade row when
    // every trade is later; nothing held when there is no trade. Days asked in ascending order
    // cost one step each over the trade rows; a day earlier than the one before starts over.
    Position at(Date day);

private:
    struct TradeRow {
        Date date;
        Currency cumulativeCost;
        Currency cumulativeProceeds;
        int holding = 0;
    };
    std::vector<TradeRow> rows_;
    std::size_t next_ = 0; // rows before it are dated on or before the last day asked
    std::optional<Date> lastDay_;
};

// From this many price rows on, a recording recomputes the indicators of its row.
inline constexpr int kIndicatorMinRows = 27;

} // namespace vandorix
