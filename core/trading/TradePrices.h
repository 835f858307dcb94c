#pragma once

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "store/Currency.h"

#include <string>

namespace vandorix {

// The closing-price part of a trade: the trade windows drive the recording step of the
// closing-price window (RecordClosingPrice) for the trade date, in the open, prepared product
// workbook.

// Refreshes the data range and finds or makes the price row of TradeDate: sets ReferenceDate,
// RecalcFromRow, PriceRowIsNew and ExistingClosingPrice (0 when the day has no price yet).
void EnsureTradePriceRow(AppState &app);

// Records `price` as the closing price of the row EnsureTradePriceRow found.
void RecordTradeClosingPrice(AppState &app, Currency price);

inline constexpr const char *kFinalPricePrompt = "Adja meg a végső záró darabárat.";
inline constexpr const char *kFinalPriceTitle = "Záró darabár bekérés.";
inline constexpr const char *kPriceNotNumberMessage = "Az ár csak számérték lehet.";
inline constexpr const char *kPriceNotPositiveMessage =
    "Az ár csak nullánál nagyobb számérték lehet.";

// The day's final closing price, asked with the unit price as the default answer. An empty
// answer is the unit price; a cancelled box keeps `dayPriceBefore`, the price the day had
// before this trade (the unit price when it had none). An answer that is not a number
// greater than zero is refused with a message and asked again, so no made-up price is ever
// recorded.
Currency AskFinalClosingPrice(Dialogs &dialogs, Currency unitPrice, Currency dayPriceBefore);

// After a deletion: records the price the trade's day already has again, so its value columns
// follow the changed holding. A day without a price row is left alone.
void RerecordDayPrice(AppState &app, Date day);

// Recomputes the value columns of every price row from row 5 (a correction or deletion, or a
// trade that became the first one, changes the position of rows before its own date too, as
// days before the first trade take the first trade row). The indicators depend on the prices
// alone and keep their values.
void RecalcAllPriceRows(AppState &app);

} // namespace vandorix
