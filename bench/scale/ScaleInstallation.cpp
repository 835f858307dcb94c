// Lays out the scale benchmarks' installation: the shares registered through their window,
// the trades recorded and the prices imported through the product procedures, the ledger
// written from the same trades in date order and recomputed.
#include "ScaleInstallation.h"

#include "account/Ledger.h"
#include "analytics/Indicators.h"
#include "app/WorkbookProtocol.h"
#include "products/ClosingPriceImport.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "trading/TradeRows.h"

#include <chrono>
#include <stdexcept>

namespace vandorix::scale_bench {
namespace {


// The ledger cells of a trade or deposit, as the trade and deposit windows write them.
std::vector<std::pair<int, CellValue>> ledgerCells(const TradeRecord &t) {
    using namespace ledger;
    std::vector<std::pair<int, CellValue>> cells = {{MovementDate, t.date},
                                                    {SettlementCode, static_cast<double>(t.code)}};
    if (t.product < 0) {
        cells.insert(cells.end(), {{PaidIn, t.price},
                                   {Movement, t.price},
                                   {Description, "Kp befizetés"},
                                   {RowType, "BAR"}});
        return cells;
    }
    cells.insert(cells.end(), {{OrderCode, static_cast<double>(t.code)}, {ProductId, productCode(t.product)}});
    const Currency value = t.price * t.quantity;
    if (!t.sale) {
        const Currency cost = value + t.commission;
        cells.insert(cells.end(), {{BoughtQuantity, t.quantity},
                                   {BuyPrice, t.price},
                                   {BuyValue, value},
                                   {BuyCommission, t.commission},
                                   {BuyCost, cost},
                                   {Description, PurchaseDescription(productName(t.product), t.quantity)},
                                   {Movement, -cost},
                                   {RowType, "VAK"}});
    } else {
        const Currency net = value - t.commission;
        cells.insert(cells.end(), {{SoldQuantity, t.quantity},
                                   {SellPrice, t.price},
                                   {SellValue, value},
                                   {SellCommission, t.commission},
                                   {NetProceeds, net},
                                   {RealisedResult, t.result},
                                   {Description, SaleDescription(productName(t.product), t.quantity, "FIFO")},
                                   {Movement, net},
                                   {RowType, "EAR"}});
    }
    return cells;
}

} // namespace

Installation::Installation() {
    const auto started = std::chrono::steady_clock::now();
    parent = bench::NewTempFolder("vandorix-scale");
    root = parent / "Vandorix";
    bench::LayOutInstallation(root);

    BenchDialogs dialogs;
    Application app(dialogs, environment());
    app.start();
    for (int p = 0; p < kProducts; ++p) {
        app.clickMenu({"Befektetés", "Részvény", "Alapadatok"});
        app.choose("Combo1", "Más részvény");
        app.type("Text1", productName(p));
        app.type("Text2", productCode(p));
        app.click("Command1");
        app.click("Command4");
    }
    std::vector<TradeRecord> trades;
    for (int p = 0; p < kProducts; ++p)
        fillProduct(app, p, trades);
    fillLedger(app, trades);
    if (!dialogs.shown.empty()) {
        for (const std::string &s : dialogs.shown)
            std::cerr << s << "\n";
        throw std::runtime_error("laying out the installation showed boxes");
    }
    pristine.take(root);
    layoutSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cerr << "Installation laid out in " << layoutSeconds << " s, "
              << pristine.totalBytes() / 1024 << " KiB of files, in " << root << "\n";
}

void Installation::fillProduct(Application &app, int p, std::vector<TradeRecord> &trades) {
    AppState &s = app.state();
    app.runCommand([&] {
        s.ProductName = productName(p);
        s.ProductCode = productCode(p);
        OpenProductWorkbook(s);
        PrepareProductWorkbook(s);
        int holding = 0;
        for (int i = 0; i < kTradesPerProduct; ++i) {
            const int day = i * 12 + p % 12;
            TradeRecord t;
            t.date = priceDay(day);
            t.product = p;
            t.sale = i % 3 == 2 || (p == kSoldOutProduct && i == kTradesPerProduct - 1);
            t.quantity = !t.sale ? 30 : i % 3 == 2 ? 40 : holding;
            t.price = priceOf(p, day);
            t.commission = Currency::fromUnits(5);
            t.code = (p + 1) * 1000 + i + 1;
            s.TradeDate = t.date;
            s.TradeQuantity = t.quantity;
            s.UnitPrice = t.price;
            s.Commission = t.commission;
            s.OrderCode = s.SettlementCode = t.code;
            s.SaleOrder = "FIFO";
            const TradeOutcome outcome = t.sale ? RecordSale(s) : RecordPurchase(s);
            if (outcome != TradeOutcome::Recorded)
                throw std::runtime_error("trade refused");
            if (t.sale)
                t.result = s.SaleResult;
            holding += t.sale ? -t.quantity : t.quantity;
            trades.push_back(t);
        }
        RefreshProductDataRange(s);
        std::vector<PriceFileDay> days;
        for (int i = 0; i < kPriceRows; ++i)
            days.push_back(PriceFileDay{i + 1, priceDay(i), priceOf(p, i)});
        if (ImportClosingPrices(s, days, true).recorded != kPriceRows)
            throw std::runtime_error("price import incomplete");
        s.ProductWorkbook.commit();
    });
}

void Installation::fillLedger(Application &app, std::vector<TradeRecord> trades) {
    for (int k = 0; k < kDeposits; ++k) {
        TradeRecord d;
        d.date = priceDay(static_cast<int>(static_cast<long long>(k) * kPriceRows / kDeposits));
        d.product = -1;
        d.price = Currency::fromUnits(1000);
        d.code = kFirstDepositCode + k;
        trades.push_back(d);
    }
    auto rank = [](const TradeRecord &t) { return t.product < 0 ? 0 : t.sale ? 2 : 1; };
    std::stable_sort(trades.begin(), trades.end(),
                     [&](const TradeRecord &a, const TradeRecord &b) {
                         if (a.date != b.date)
                             return a.date < b.date;
                         return rank(a) < rank(b);
                     });
    AppState &s = app.state();
    app.runCommand([&] {
        OpenAccountWorkbook(s);
        PrepareAccountWorkbook(s);
        Sheet &l = s.AccountWorkbook->sheet(ledger::kSheet);
        l.clearRange(ledger::kFirstDataRow, 1, ledger::kEmptyTotalsRow + 2,
                     ledger::kLastColumn);
        int r = ledger::kFirstDataRow;
        for (const TradeRecord &t : trades) {
            for (const auto &[column, value] : ledgerCells(t))
                l.setValue(r, column, value);
            ++r;
        }
        RecalcAccountLedger(s);
        s.AccountWorkbook.commit();
    });
}


Installation &installation() {
    static Installation inst;
    return inst;
}

} // namespace vandorix::scale_bench
