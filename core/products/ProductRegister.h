#pragma once

#include "app/AppState.h"
#include "book/ProductLayout.h"
#include "book/ValueSheet.h"

#include <optional>
#include <string>
#include <vector>

namespace vandorix {

// The product register: the product list "BET01" of "ISIN01.xls", one workbook per product in
// "Termekek" made from "Termékminta.xls", the product's rows in "Ertek01" and "Eredmeny01" of
// the account workbook, and the two deleted-row logs in "Arhiv".

// A sheet name holds at most this many characters; the product's sheets add "01" and "02".
inline constexpr int kMaxSheetNameLength = 31;
inline constexpr int kMaxProductNameLength = kMaxSheetNameLength - 2;

// The product names of "BET01" from row 5 down to the first empty name, in row order.
std::vector<std::string> ReadProductList(const Sheet &list);
// The first row of "BET01" holding `name`, or nothing.
std::optional<int> FindProductListRow(const Sheet &list, const std::string &name);

// Why a name cannot be a product name, as the user is told; nothing when it can. The name
// becomes a file name and the prefix of two sheet names, so it must be non-empty, hold no
// character a file or sheet name cannot hold, neither begin nor end with a blank, fit a sheet
// name with its "01" suffix, and not make a sheet name the product workbook already uses.
std::optional<std::string> ProductNameProblem(const std::string &name);

// "<ProductsPath>/<name>.xls": the product is active when this file exists.
std::string ProductWorkbookPath(const AppState &app, const std::string &name);
bool ProductWorkbookExists(const AppState &app, const std::string &name);

// Inserts `ProductName` and `ProductCode` into the open product list as a new row directly
// below `afterRow`, with the formats of the row below it.
void AddProductToList(AppState &app, int afterRow);

// Copies the template to the product's workbook, opens and prepares it, renames the two daily
// sheets after `ProductName` and writes the product's name, code and start date into them.
// The workbook is left open and writable.
void CreateProductWorkbook(AppState &app);

// Enters `ProductName` and `ProductCode` into "Ertek01" and "Eredmeny01" of the account
// workbook (opened and prepared when not open), each sheet's product rows sorted by name.
void EnterProductInAccountWorkbook(AppState &app);

// Copies the deleted-row log templates into "Arhiv" when the logs are missing; an existing
// log is never overwritten.
void EnsureDeletionLogs(AppState &app);

} // namespace vandorix
