#pragma once

#include "app/ForintText.h"
#include "store/Currency.h"
#include "store/Date.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vandorix {

struct AppState;

// One product of the investor's overview.
struct OverviewProduct {
    std::string name;
    int quantity = 0;                  // final holding of the trade sheet
    Currency averageCost;              // average cost per share of the shares held
    std::optional<Currency> lastPrice; // the price sheet's last closing price
    std::optional<Date> lastPriceDate;
    Currency value;            // quantity × last price
    Currency unrealised;       // value − cost of the open lots
    Currency realisedThisYear; // results of the sales dated in `Today`'s year
    Currency sharePercent;     // of the portfolio value, in %
};

// What the investor owns and what it is worth, read from the stored workbooks.
struct Overview {
    std::vector<OverviewProduct> products;
    Currency cashBalance;         // the ledger's last running balance
    std::optional<Date> cashDate; // the date of that row; none when the ledger is empty
    Currency cashSharePercent;
    Currency portfolioValue; // cash + every holding's value
    Currency unrealised;
    Currency realisedThisYear;
};

// Builds the overview from the files on disk, writing nothing: the products listed in
// "Ertek01" from row 6 (in that order), each product's "Szla" totals row and rows, the last
// row of its price sheet, and the last data row of the ledger "Befszla01". The workbooks are
// read directly, not through the host, so nothing the program holds open is disturbed.
// `today` decides which sales count as this year's. Throws a `HostError` when a workbook or
// sheet is missing or damaged.
Overview ComputeOverview(const std::filesystem::path &masterDataPath,
                         const std::filesystem::path &productsPath, Date today);
Overview ComputeOverview(const AppState &app);

// `part` as a percentage of `whole`, rounded to a ten-thousandth; 0 when `whole` is not
// positive.
Currency PercentOf(Currency part, Currency whole);


} // namespace vandorix
