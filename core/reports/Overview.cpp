#include "reports/Overview.h"

#include "account/Ledger.h"
#include "app/AppState.h"
#include "book/Sheets.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "store/Sheet.h"
#include "store/Workbook.h"
#include "trading/TradeSheet.h"

namespace vandorix {

namespace {

constexpr const char *kAccountFile = "Befszla.xls";
constexpr const char *kValueSheet = sheets::kValues;
constexpr int kFirstProductRow = 6;
constexpr int kFirstPriceRow = 5;
constexpr int kPriceDate = 1;  // A
constexpr int kPriceClose = 2; // B

std::unique_ptr<Workbook> ReadWorkbook(const std::filesystem::path &path) {
    const std::string key = path.lexically_normal().string();
    return decodeWorkbook(readWholeFile(path), key);
}

std::string NameAt(const Sheet &sheet, int row) {
    const CellValue &v = sheet.value(row, 1);
    return v.text().value_or(v.display());
}

// The last closing price and its date: the row above the first row at or below row 5 whose
// price cell is empty.
void ReadLastPrice(const Sheet &prices, OverviewProduct &product) {
    int last = kFirstPriceRow - 1;
    while (!prices.value(last + 1, kPriceClose).isBlank())
        ++last;
    if (last < kFirstPriceRow)
        return;
    product.lastPrice = prices.value(last, kPriceClose).currency();
    product.lastPriceDate = prices.value(last, kPriceDate).date();
}

// Holding and average cost from the totals row; the cost of the open lots and this year's
// realised results from the trade rows, in one pass.
void ReadTrades(const Sheet &trades, Date yearStart, OverviewProduct &product, Currency &openCost) {
    using namespace szla;
    const int last = LastTradeRowFromHeader(trades);
    const int totals = last + book::kTotalsOffset;
    product.quantity = static_cast<int>(CellInteger(trades, totals, Holding));
    product.averageCost = CellCurrency(trades, totals, CostPerShare);
    for (int r = FirstDataRow; r <= last; ++r) {
        if (IsOpenLot(trades, r)) {
            openCost += LotCostOf(trades, r, CellInteger(trades, r, OpenQuantity));
        } else if (CellText(trades, r, LotCode) == kSaleRow) {
            auto day = CellDate(trades, r, Day);
            if (day && *day >= yearStart)
                product.realisedThisYear += CellCurrency(trades, r, Result);
        }
    }
}

OverviewProduct ReadProduct(const std::filesystem::path &productsPath, const std::string &name,
                            Date yearStart) {
    OverviewProduct product;
    product.name = name;
    std::unique_ptr<Workbook> wb = ReadWorkbook(productsPath / (name + ".xls"));
    ReadLastPrice(wb->sheet(PriceSheetName(name)), product);
    Currency openCost;
    ReadTrades(wb->sheet(kTradeSheet), yearStart, product, openCost);
    if (product.lastPrice)
        product.value = *product.lastPrice * product.quantity;
    product.unrealised = product.value - openCost;
    return product;
}

} // namespace

Currency PercentOf(Currency part, Currency whole) {
    if (whole <= Currency())
        return Currency();
    return ScaleCurrency(Currency::fromUnits(100), part.raw(), whole.raw());
}

Overview ComputeOverview(const std::filesystem::path &masterDataPath,
                         const std::filesystem::path &productsPath, Date today) {
    Overview overview;
    const Date yearStart = today.startOfYear();
    std::unique_ptr<Workbook> account = ReadWorkbook(masterDataPath / kAccountFile);

    const Sheet &values = account->sheet(kValueSheet);
    for (int r = kFirstProductRow; !values.value(r, 1).isBlank(); ++r)
        overview.products.push_back(ReadProduct(productsPath, NameAt(values, r), yearStart));

    const Sheet &ledgerSheet = account->sheet(ledger::kSheet);
    const int lastLedgerRow = FindFirstEmptyLedgerRow(ledgerSheet) - 1;
    if (lastLedgerRow >= ledger::kFirstDataRow) {
        overview.cashBalance = CellCurrency(ledgerSheet, lastLedgerRow, ledger::Balance);
        overview.cashDate = CellDate(ledgerSheet, lastLedgerRow, ledger::MovementDate);
    }

    overview.portfolioValue = overview.cashBalance;
    for (const OverviewProduct &p : overview.products) {
        overview.portfolioValue += p.value;
        overview.unrealised += p.unrealised;
        overview.realisedThisYear += p.realisedThisYear;
    }
    for (OverviewProduct &p : overview.products)
        p.sharePercent = PercentOf(p.value, overview.portfolioValue);
    overview.cashSharePercent = PercentOf(overview.cashBalance, overview.portfolioValue);
    return overview;
}

Overview ComputeOverview(const AppState &app) {
    return ComputeOverview(app.MasterDataPath, app.ProductsPath, app.Today);
}

} // namespace vandorix
