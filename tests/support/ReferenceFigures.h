#pragma once

// Figures worked out by the rules themselves, apart from the code under test: the position of
// a day, the calendar-day moving average and the RSI.
#include "app/AppState.h"
#include "support/ProductFiles.h"

#include <memory>
#include <utility>
#include <vector>

namespace vandorix::testing {

// The holding, purchase cost and net proceeds of a day: the trades up to the last one dated on
// or before the day, or the first trade when the day is before every trade.
struct ExpectedPosition {
    int quantity = 0;
    Currency cost, proceeds;
};
ExpectedPosition PositionOn(const std::vector<TradeLine> &trades, Date day);

// The average of the closing prices of every row up to `row` (row 5 first) dated within `days`
// calendar days before its date, and how many rows took part.
std::pair<double, int> MovingAverage(const std::vector<PriceLine> &rows, int row, int days);

// The RSI of `row` from the closing prices (row 5 first): the prices of the rising rows
// against those of the others over the period, each sum averaged and rounded to four
// decimals, a zero falling average counted as 1, the result rounded half up.
int ExpectedRsi(const std::vector<Currency> &closes, int row, int period);
std::vector<Currency> Closes(const std::vector<PriceLine> &rows);
// The closing prices in column B from row 5 down to the first empty one.
std::vector<Currency> Closes(const Sheet &prices);

// A registered product "Alfa" as the template gives it, every sheet writable, the daily sheets
// renamed, handed to a program state of its own as an open product workbook.
struct ProductBooks {
    AppState app;
    std::unique_ptr<Workbook> wb;
    ProductBooks();
    Sheet &prices() { return wb->sheet("Alfa01"); }
    Sheet &trades() { return wb->sheet("Szla"); }
    Sheet &aux() { return wb->sheet("Segéd01"); }
};

} // namespace vandorix::testing
