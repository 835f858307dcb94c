#include "products/ClosingPrice.h"

#include "analytics/Indicators.h"
#include "book/Rows.h"
#include "book/Sheets.h"

#include <algorithm>
#include <limits>

namespace vandorix {
namespace {

// Columns of the trade sheet "Szla" that the position is made of.
constexpr int kTradeColDate = 1;
constexpr int kTradeColCost = 7;      // G: purchase cost
constexpr int kTradeColProceeds = 14; // N: net proceeds of a sale
constexpr int kTradeColHolding = 18;  // R: holding after the row

Sheet &priceSheet(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    return wb.sheet(PriceSheetName(app.ProductName));
}

Currency amountAt(const Sheet &s, int row, int column) {
    return s.value(row, column).currency().value_or(Currency());
}

void applyPosition(AppState &app, const TradePositionCursor::Position &p) {
    app.HeldQuantity = p.quantity;
    app.PositionCost = p.cost;
    app.PositionProceeds = p.proceeds;
}

} // namespace

TradePositionCursor::TradePositionCursor(const Sheet &trades) {
    Currency cost, proceeds;
    for (int r = kFirstPriceRow; !trades.value(r, kTradeColDate).isBlank(); ++r) {
        cost += amountAt(trades, r, kTradeColCost);
        proceeds += amountAt(trades, r, kTradeColProceeds);
        TradeRow row;
        row.date = trades.value(r, kTradeColDate).date().value_or(Date());
        row.cumulativeCost = cost;
        row.cumulativeProceeds = proceeds;
        // Several purchases can hold more than a 16-bit quantity; the holding is read whole
        // (a hand-edited figure beyond the int range is held at its bound, never wrapped).
        const long long holding = trades.value(r, kTradeColHolding).integer().value_or(0);
        row.holding = static_cast<int>(std::clamp<long long>(
            holding, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
        rows_.push_back(row);
    }
}

TradePositionCursor::Position TradePositionCursor::at(Date day) {
    if (rows_.empty()) return {};
    if (lastDay_ && day < *lastDay_) next_ = 0;
    lastDay_ = day;
    while (next_ < rows_.size() && rows_[next_].date <= day) ++next_;
    const TradeRow &row = rows_[next_ == 0 ? 0 : next_ - 1];
    return {row.holding, row.cumulativeCost, row.cumulativeProceeds};
}

void LocatePriceRow(AppState &app) {
    Sheet &prices = priceSheet(app);
    app.PriceRowIsNew = false;
    if (!prices.value(kFirstPriceRow, kPriceColClose).isBlank()) {
        if (app.ReferenceDate <= app.LastDataDate) {
            int r = app.LastDataRow;
            while (r > kFirstPriceRow - 1) {
                std::optional<Date> d = prices.value(r, kPriceColDate).date();
                if (!d || *d <= app.ReferenceDate) break;
                --r;
            }
            if (r >= kFirstPriceRow &&
                prices.value(r, kPriceColDate).date() == std::optional<Date>(app.ReferenceDate)) {
                app.RecalcFromRow = r;
            } else {
                prices.insertRow(r + 1);
                prices.copyRowFormat(r + 2, r + 1);
                app.PriceRowIsNew = true;
                app.RecalcFromRow = r + 1;
            }
        } else {
            app.RecalcFromRow = app.FirstEmptyRow;
            app.PriceRowIsNew = true;
        }
    } else {
        // The first price of the product goes into row 5, whatever its date.
        app.RecalcFromRow = kFirstPriceRow;
        prices.setValue(kFirstPriceRow, kPriceColDate, app.ReferenceDate);
        RefreshProductDataRange(app);
    }
    prices.setValue(app.RecalcFromRow, kPriceColDate, app.ReferenceDate);
    app.ExistingClosingPrice = amountAt(prices, app.RecalcFromRow, kPriceColClose);
}

void RecordClosingPrice(AppState &app) {
    Sheet &prices = priceSheet(app);
    prices.setValue(app.RecalcFromRow, kPriceColDate, app.ReferenceDate);
    prices.setValue(app.RecalcFromRow, kPriceColClose, app.ClosingPriceToRecord);
    if (app.PriceRowIsNew) ++app.LastDataRow;
    RecalcPriceRows(app);
}

void RecalcValueColumns(AppState &app) {
    Sheet &prices = priceSheet(app);
    // The trade rows are read once; the price rows run in ascending date order, so each
    // row's position is one step on from the previous row's.
    TradePositionCursor cursor(app.ProductWorkbook->sheet(sheets::kTrades));
    for (int r = app.RecalcFromRow; r <= app.LastDataRow; ++r) {
        app.PositionDate = prices.value(r, kPriceColDate).date().value_or(Date());
        const Currency price = amountAt(prices, r, kPriceColClose);
        applyPosition(app, cursor.at(app.PositionDate));
        app.PositionValue = price * app.HeldQuantity;
        prices.setValue(r, kPriceColValue, app.PositionValue);
        app.PositionResult = app.PositionValue + app.PositionProceeds - app.PositionCost;
        prices.setValue(r, kPriceColResult, app.PositionResult);
        app.DailyResultChange = r == kFirstPriceRow
                                    ? app.PositionResult
                                    : app.PositionResult - amountAt(prices, r - 1, kPriceColResult);
        prices.setValue(r, kPriceColChange, app.DailyResultChange);
    }
}

void RecalcPriceRows(AppState &app) {
    RecalcValueColumns(app);
    Sheet &prices = priceSheet(app);
    RefreshProductDataRange(app);
    const Sheet &aux = app.ProductWorkbook->sheet(sheets::kAuxiliary);
    app.DateRangeCaption =
        book::PeriodCaption(aux.value(5, 4).display(), aux.value(7, 4).display());
    prices.setValue(2, 1, app.DateRangeCaption);

    if (app.LastDataRow >= kIndicatorMinRows) {
        app.ReferenceDate = prices.value(app.RecalcFromRow, kPriceColDate).date().value_or(Date());
        ComputeMovingAverages(app);
        app.RsiRow = app.RecalcFromRow;
        ComputeRsi(app);
    }
}

} // namespace vandorix
