#include "products/ProductArchive.h"

#include "app/Dialogs.h"
#include "book/Sheets.h"
#include "book/TradeLayout.h"

#include <algorithm>
#include <filesystem>

namespace vandorix {
namespace fs = std::filesystem;
namespace {

constexpr const char *kArchiveSheet = sheets::kArchive;
constexpr const char *kHelperSheet = sheets::kAuxiliary;
constexpr int kArchiveFirstRow = 5;
constexpr int kPriceResultColumn = 4; // D of "<name>01": result up to the row's day

// Columns of "ARHIV01".
namespace arhiv {
constexpr int Day = 1;          // A  date of the last price row
constexpr int Cumulative = 2;   // B  running total of the archived results
constexpr int Total = 3;        // C
constexpr int Realised = 4;     // D
constexpr int Name = 5;         // E
constexpr int YearResult = 7;   // G
constexpr int RowPointer = 8;   // H2
} // namespace arhiv

// Product rows of "Ertek01" and "Eredmeny01" start at row 6; a row spans A to G and A to L.
constexpr int kFirstProductRow = 6;
constexpr int kValueSheetColumns = 7;
constexpr int kResultSheetColumns = 12;

Currency amountAt(const Sheet &sheet, int row, int column) {
    return sheet.value(row, column).currency().value_or(Currency());
}

std::string nameAt(const Sheet &sheet, int row) {
    const CellValue &v = sheet.value(row, 1);
    return v.text().value_or(v.display());
}

void removeFromSheet(Sheet &sheet, const std::string &name, int rowWidth) {
    int e = kFirstProductRow;
    int last = 0;
    for (; !sheet.value(e, 1).isBlank(); ++e)
        if (nameAt(sheet, e) == name) last = e;
    if (last) {
        sheet.deleteRow(last);
        --e;
    }
    // Whole rows move, so the figures beside a name stay with it.
    if (e - 1 > kFirstProductRow)
        sheet.sortRange(kFirstProductRow, 1, e - 1, std::max(rowWidth, sheet.columnCount()), 1);
}

} // namespace

std::vector<ArchiveRefusal> ArchiveRefusals(AppState &app) {
    const Sheet &trades = app.ProductWorkbook->sheet(kTradeSheet);
    if (trades.value(szla::FirstDataRow, szla::Day).isBlank()) return {ArchiveRefusal::NoTrade};
    std::vector<ArchiveRefusal> refusals;
    const int totalsRow = LastTradeRowFromHeader(trades) + book::kTotalsOffset;
    if (CellInteger(trades, totalsRow, szla::Holding) != 0)
        refusals.push_back(ArchiveRefusal::QuantityLeft);
    std::optional<Date> lastSaleDate;
    for (int r = totalsRow; r >= szla::FirstDataRow; --r)
        if (CellText(trades, r, szla::LotCode) == kSaleRow) {
            lastSaleDate = CellDate(trades, r, szla::Day);
            break;
        }
    if (lastSaleDate) {
        if (*lastSaleDate >= app.Today) refusals.push_back(ArchiveRefusal::SoldTooRecent);
    } else if (refusals.empty()) {
        // Sold out by the totals, yet no dated sale to tell from which day: the trade sheet
        // does not hold what archiving needs, so the product stays active.
        refusals.push_back(ArchiveRefusal::NoSaleFound);
    }
    return refusals;
}

std::string ArchiveRefusalMessage(ArchiveRefusal refusal) {
    switch (refusal) {
    case ArchiveRefusal::NoTrade: return "Üres fájlt nem lehet arhiválni. ";
    case ArchiveRefusal::QuantityLeft:
        return std::string("A termékből még van darabszám.") + kCrLf + "Nem lehet arhiválni !";
    case ArchiveRefusal::SoldTooRecent:
        return std::string("Csak az utolsó eladás napja ") + kCrLf + "után lehet arhiválni.";
    case ArchiveRefusal::NoSaleFound:
        return std::string("A termékről nincs eladás rögzítve.") + kCrLf + "Nem lehet arhiválni !";
    }
    return {};
}

ArchiveFigures ComputeArchiveFigures(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    const Sheet &helper = wb.sheet(kHelperSheet);
    const Sheet &prices = wb.sheet(PriceSheetName(app.ProductName));
    const Sheet &trades = wb.sheet(kTradeSheet);
    const int yearStartRow = static_cast<int>(helper.value(12, 3).integer().value_or(0));
    const int lastDataRow = static_cast<int>(helper.value(6, 3).integer().value_or(0));
    const std::optional<Date> firstDataDate = helper.value(5, 4).date();

    ArchiveFigures f;
    f.LastDataDate = helper.value(7, 4).date().value_or(Date());
    f.TotalResult = amountAt(prices, lastDataRow, kPriceResultColumn);
    f.YearResult = f.TotalResult;
    if (firstDataDate && *firstDataDate < app.StartOfYear)
        f.YearResult = f.TotalResult - amountAt(prices, yearStartRow, kPriceResultColumn);
    const int lastTradeRow = LastTradeRowFromHeader(trades);
    for (int r = szla::FirstDataRow; r <= lastTradeRow; ++r) {
        std::optional<Date> d = CellDate(trades, r, szla::Day);
        if (d && *d >= app.StartOfYear) f.YearRealisedResult += CellCurrency(trades, r, szla::Result);
    }
    return f;
}

std::string ArchiveWorkbookPath(const AppState &app, const std::string &archiveName) {
    return (fs::path(app.ArchivePath) / (archiveName + ".xls")).string();
}

std::optional<std::string> FreeArchiveName(const AppState &app) {
    for (int n = 1; n <= kMaxArchiveNumber; ++n) {
        std::string name = app.ProductName + std::to_string(n);
        std::error_code ec;
        if (!fs::exists(fs::symlink_status(ArchiveWorkbookPath(app, name), ec))) return name;
    }
    return std::nullopt;
}

void AppendArchiveRow(AppState &app, const ArchiveFigures &f) {
    Sheet &archive = app.AccountWorkbook->sheet(kArchiveSheet);
    int r = kArchiveFirstRow;
    while (!archive.value(r, arhiv::Day).isBlank()) ++r;
    const Currency before = r == kArchiveFirstRow ? Currency() : amountAt(archive, r - 1, arhiv::Cumulative);
    archive.setValue(r, arhiv::Day, f.LastDataDate);
    archive.setValue(r, arhiv::Cumulative, before + f.TotalResult);
    archive.setValue(r, arhiv::Total, f.TotalResult);
    archive.setValue(r, arhiv::Realised, f.YearRealisedResult);
    archive.setValue(r, arhiv::Name, app.ProductName);
    archive.setValue(r, arhiv::YearResult, f.YearResult);
    archive.setValue(2, 1, archive.value(kArchiveFirstRow, arhiv::Day).display() + " től " +
                               archive.value(r, arhiv::Day).display() + " -ig");
    archive.setValue(2, arhiv::RowPointer, r);
}

void RemoveProductFromAccountSheets(AppState &app) {
    Workbook &wb = *app.AccountWorkbook;
    removeFromSheet(wb.sheet(sheets::kValues), app.ProductName, kValueSheetColumns);
    removeFromSheet(wb.sheet(sheets::kResults), app.ProductName, kResultSheetColumns);
}

} // namespace vandorix
