#include "trading/TradePrices.h"

#include "analytics/Indicators.h"
#include "app/Validation.h"
#include "book/Sheets.h"
#include "products/ClosingPrice.h"
#include "store/Workbook.h"

namespace vandorix {

void EnsureTradePriceRow(AppState &app) {
    app.ReferenceDate = app.TradeDate;
    RefreshProductDataRange(app);
    LocatePriceRow(app);
}

void RecordTradeClosingPrice(AppState &app, Currency price) {
    app.TradeDrivenPriceEntry = true;
    app.ReferenceDate = app.TradeDate;
    app.ClosingPriceToRecord = price;
    RecordClosingPrice(app);
}

Currency AskFinalClosingPrice(Dialogs &dialogs, Currency unitPrice, Currency dayPriceBefore) {
    for (;;) {
        std::optional<std::string> answer =
            dialogs.showInput({kFinalPricePrompt, kFinalPriceTitle, unitPrice.toString()});
        if (!answer) return dayPriceBefore != Currency() ? dayPriceBefore : unitPrice;
        if (answer->find_first_not_of(" \t") == std::string::npos) return unitPrice;
        std::optional<Currency> price = ParseNumberText(*answer);
        if (price && *price > Currency()) return *price;
        ShowNotice(dialogs, price                         ? kPriceNotPositiveMessage
                            : IsAmountOutOfRange(*answer) ? AmountOutOfRangeText()
                                                          : kPriceNotNumberMessage);
    }
}

void RerecordDayPrice(AppState &app, Date day) {
    app.ReferenceDate = day;
    RefreshProductDataRange(app);
    const Sheet &prices = app.ProductWorkbook->sheet(PriceSheetName(app.ProductName));
    if (prices.value(kFirstPriceRow, kPriceColClose).isBlank()) return;
    for (int r = app.LastDataRow; r >= kFirstPriceRow; --r) {
        if (prices.value(r, kPriceColDate).date() != std::optional(day)) continue;
        app.TradeDrivenPriceEntry = true;
        app.ClosingPriceToRecord = prices.value(r, kPriceColClose).currency().value_or(Currency());
        app.RecalcFromRow = r;
        app.PriceRowIsNew = false;
        RecordClosingPrice(app);
        return;
    }
}

void RecalcAllPriceRows(AppState &app) {
    const Sheet &prices = app.ProductWorkbook->sheet(PriceSheetName(app.ProductName));
    if (prices.value(kFirstPriceRow, kPriceColClose).isBlank()) return;
    const Date referenceDate = app.ReferenceDate;
    const int recalcFromRow = app.RecalcFromRow;
    RefreshProductDataRange(app);
    app.RecalcFromRow = kFirstPriceRow;
    // The indicators of row 5 are computed here as well; they depend on the prices alone,
    // which no trade correction changes.
    RecalcPriceRows(app);
    app.ReferenceDate = referenceDate;
    app.RecalcFromRow = recalcFromRow;
}

} // namespace vandorix
