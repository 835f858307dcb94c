#pragma once

#include "store/Currency.h"
#include "store/Date.h"
#include "store/Workbook.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vandorix::testing {

// Reads a stored workbook file as a user would open it.
std::unique_ptr<Workbook> ReadWorkbookFile(const std::filesystem::path &path);

// Changes a stored workbook: opened, every sheet and the structure unprotected, `change` run,
// then protected again with the installation's passwords and written back.
void EditWorkbookFile(const std::filesystem::path &path,
                      const std::function<void(Workbook &)> &change);

// One trade row of "Szla" as far as the position of a day is made of it.
struct TradeLine {
    Date date;
    Currency cost;     // G: purchase cost (purchases)
    Currency proceeds; // N: net proceeds (sales)
    int holding = 0;   // R: holding after the row
};
void WriteTradeRows(Sheet &trades, const std::vector<TradeLine> &lines);

// One row of the price sheet: date and closing price.
struct PriceLine {
    Date date;
    Currency price;
};
void WritePriceRows(Sheet &prices, const std::vector<PriceLine> &lines, int firstRow = 5);

// The script lines that register a new share below "Más részvény" and leave the window.
std::string RegisterScript(const std::string &name, const std::string &code);
// A deposit entered in its window ("2026.03.01", "5000", code), then back to the main window.
std::string DepositScript(const std::string &day, const std::string &amount, int code);
// A closing price entered for `product` and the window left.
std::string ClosingPriceScript(const std::string &day, const std::string &price,
                               const std::string &product = "Alfa");

Date Day(int year, int month, int day);
// "2026.02.02", as a date is typed into the windows.
std::string Typed(Date d);
Currency Amount(const char *text);

} // namespace vandorix::testing
