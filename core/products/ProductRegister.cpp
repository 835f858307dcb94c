#include "products/ProductRegister.h"

#include "app/Dialogs.h"
#include "book/Sheets.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <algorithm>
#include <filesystem>

namespace vandorix {
namespace fs = std::filesystem;
namespace {

std::string join(const std::string &folder, const std::string &file) {
    return (fs::path(folder) / file).string();
}

std::string cellText(const CellValue &v) {
    if (std::optional<std::string> t = v.text()) return *t;
    return v.display();
}

// Length as a sheet name counts it: in UTF-16 units.
int utf16Length(const std::string &s) {
    int n = 0;
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        int bytes = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        n += bytes == 4 ? 2 : 1;
        i += static_cast<std::size_t>(bytes);
    }
    return n;
}

// Case-insensitive for ASCII letters, as sheet names are compared.
bool sameSheetName(const std::string &a, const std::string &b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

// Columns of the value and result sheets that make up one product's row.
constexpr int kValueSheetColumns = 7;   // A to G
constexpr int kResultSheetColumns = 12; // A to L
constexpr int kAccountFirstProductRow = 6;

void enterIntoSheet(AppState &app, Sheet &sheet, int rowWidth) {
    int r = kListFirstRow;
    while (!sheet.value(r, 1).isBlank()) ++r;
    sheet.setValue(r, 1, app.ProductName);
    sheet.setValue(r, 2, app.ProductCode);
    // Whole rows move, so figures already standing beside a name stay with it.
    if (r > kAccountFirstProductRow)
        sheet.sortRange(kAccountFirstProductRow, 1, r, std::max(rowWidth, sheet.columnCount()), 1);
}

} // namespace

std::vector<std::string> ReadProductList(const Sheet &list) {
    std::vector<std::string> names;
    for (int r = kListFirstRow; !list.value(r, kListColName).isBlank(); ++r)
        names.push_back(cellText(list.value(r, kListColName)));
    return names;
}

std::optional<int> FindProductListRow(const Sheet &list, const std::string &name) {
    for (int r = kListFirstRow; !list.value(r, kListColName).isBlank(); ++r)
        if (cellText(list.value(r, kListColName)) == name) return r;
    return std::nullopt;
}

std::optional<std::string> ProductNameProblem(const std::string &name) {
    if (name.find_first_not_of(' ') == std::string::npos)
        return std::string("A részvény megnevezése nem lehet üres.");
    static const std::string forbidden = "\\/:*?\"<>|[]";
    for (char c : name) {
        unsigned char u = static_cast<unsigned char>(c);
        if (forbidden.find(c) != std::string::npos || u < 0x20 || u == 0x7F)
            return std::string("A részvény megnevezésében nem lehet") + kCrLf +
                   "\\ / : * ? \" < > | [ ] és vezérlő karakter.";
    }
    if (name.front() == ' ' || name.back() == ' ')
        return std::string("A részvény megnevezése nem kezdődhet") + kCrLf +
               "és nem végződhet szóközzel.";
    if (name.front() == '\'')
        return std::string("A részvény megnevezése nem kezdődhet aposztróffal.");
    if (utf16Length(name) > kMaxProductNameLength)
        return "A részvény megnevezése legfeljebb " + std::to_string(kMaxProductNameLength) +
               " karakter lehet.";
    for (const char *sheet : kProductHiddenSheets)
        if (sameSheetName(PriceSheetName(name), sheet) ||
            sameSheetName(ChartSourceSheetName(name), sheet))
            return std::string("Ez a megnevezés a termékfájl egy munkalapjának") + kCrLf +
                   "nevével ütközne. Válasszon más megnevezést.";
    return std::nullopt;
}

std::string ProductWorkbookPath(const AppState &app, const std::string &name) {
    return join(app.ProductsPath, name + ".xls");
}

bool ProductWorkbookExists(const AppState &app, const std::string &name) {
    std::error_code ec;
    return fs::exists(ProductWorkbookPath(app, name), ec);
}

void AddProductToList(AppState &app, int afterRow) {
    Workbook &wb = *app.ProductListWorkbook;
    app.host().activate(wb);
    Sheet &list = wb.sheet(sheets::kProductList);
    const int r = afterRow + 1;
    list.insertRow(r);
    list.copyRowFormat(r + 1, r);
    list.setValue(r, kListColName, app.ProductName);
    list.setValue(r, kListColCode, app.ProductCode);
}

void CreateProductWorkbook(AppState &app) {
    app.host().copyFile(join(app.AuxiliaryPath, install::kProductTemplateFile),
                        ProductWorkbookPath(app, app.ProductName));
    OpenProductWorkbook(app);
    Workbook &wb = *app.ProductWorkbook;
    const std::string templateName = install::kTemplateProductName;
    wb.unprotect(app.WorkbookPassword);
    for (const std::string &sheet :
         {PriceSheetName(templateName), ChartSourceSheetName(templateName),
          std::string(sheets::kTrades), std::string(sheets::kTradeStatement),
          std::string(sheets::kAuxiliary)})
        wb.sheet(sheet).unprotect(app.SheetPassword);
    app.host().activate(wb);
    wb.renameSheet(PriceSheetName(templateName), PriceSheetName(app.ProductName));
    wb.renameSheet(ChartSourceSheetName(templateName), ChartSourceSheetName(app.ProductName));

    const std::string since = app.Today.toString() + " - tól";
    Sheet &prices = wb.sheet(PriceSheetName(app.ProductName));
    prices.setValue(1, 1, app.ProductName);
    prices.setValue(2, 1, since);
    prices.setValue(2, 9, app.ProductCode);
    prices.copyRowFormat(5, 6);

    Sheet &chart = wb.sheet(ChartSourceSheetName(app.ProductName));
    chart.setValue(2, 1, app.ProductName + "  adat kivonat");
    chart.setValue(3, 1, since);
    chart.setValue(2, 9, app.ProductCode);
    chart.copyRowFormat(5, 6);

    Sheet &trades = wb.sheet(sheets::kTrades);
    trades.setValue(1, 1, app.ProductName);
    trades.setValue(1, 18, app.ProductCode);
    trades.setValue(2, 19, 7);
    trades.setValue(7, 18, 0); // the final holding of the totals row that S2 names
    trades.copyRowFormat(5, 6);

    Sheet &statement = wb.sheet(sheets::kTradeStatement);
    statement.setValue(1, 1, app.ProductName + "  számla kivonat");
    statement.setValue(1, 18, app.ProductCode);
    statement.setValue(2, 19, 7);
    statement.copyRowFormat(5, 6);
}

void EnterProductInAccountWorkbook(AppState &app) {
    EnsureAccountWorkbook(app);
    Workbook &wb = *app.AccountWorkbook;
    app.host().activate(wb);
    enterIntoSheet(app, wb.sheet(sheets::kValues), kValueSheetColumns);
    enterIntoSheet(app, wb.sheet(sheets::kResults), kResultSheetColumns);
}

void EnsureDeletionLogs(AppState &app) {
    static const std::pair<const char *, const char *> logs[] = {
        {"Befszlatöröltsorok.xls", install::kAccountLogTemplateFile},
        {"Terméktöröltsorok.xls", install::kProductLogTemplateFile},
    };
    for (auto [log, templ] : logs) {
        const std::string target = join(app.ArchivePath, log);
        std::error_code ec;
        if (!fs::exists(target, ec))
            app.host().copyFile(join(app.AuxiliaryPath, templ), target);
    }
}

} // namespace vandorix
