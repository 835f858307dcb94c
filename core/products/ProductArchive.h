#pragma once

#include "app/AppState.h"

#include <optional>
#include <string>
#include <vector>

namespace vandorix {

// Archiving a sold-out product: its workbook moves from "Termekek" to "Arhiv" under a numbered
// name, its results are appended to "ARHIV01" and its rows leave "Ertek01" and "Eredmeny01".

// Why the open product workbook cannot be archived on `Today`; checked on "Szla".
enum class ArchiveRefusal {
    NoTrade,       // A5 empty: nothing was ever traded
    QuantityLeft,  // the holding of the totals row is not 0
    SoldTooRecent, // the last sale is dated today or later
    NoSaleFound,   // sold out according to the totals, yet no sale row exists
};

// The refusals of the open product workbook in the order they are told, each with its message.
// An empty result allows archiving.
std::vector<ArchiveRefusal> ArchiveRefusals(AppState &app);
std::string ArchiveRefusalMessage(ArchiveRefusal refusal);

// What the archive row of a product holds, read from its open workbook after
// `RefreshProductDataRange`.
struct ArchiveFigures {
    Date LastDataDate;
    Currency TotalResult;        // result on the last price row
    Currency YearResult;         // result since the start of the year
    Currency YearRealisedResult; // realised results of the year's trades
};
ArchiveFigures ComputeArchiveFigures(AppState &app);

// Highest number an archived workbook name may carry.
inline constexpr int kMaxArchiveNumber = 100;

// `ProductName` followed by the first number from 1 whose file "<ArchivePath>/<name><n>.xls"
// does not exist yet; a folder or anything else under that name counts as taken. Nothing
// when all are taken.
std::optional<std::string> FreeArchiveName(const AppState &app);
std::string ArchiveWorkbookPath(const AppState &app, const std::string &archiveName);

// Appends the product's row to "ARHIV01" of the open, prepared account workbook and updates
// the caption A2 and the row pointer H2.
void AppendArchiveRow(AppState &app, const ArchiveFigures &figures);

// Deletes the last row of `ProductName` from "Ertek01" and "Eredmeny01" of the open, prepared
// account workbook and sorts the remaining product rows by name.
void RemoveProductFromAccountSheets(AppState &app);

} // namespace vandorix
