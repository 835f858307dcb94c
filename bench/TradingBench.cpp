// Trade-sheet recomputation and ledger lot-code synchronisation at realistic sizes: a product
// traded for years (a few thousand trade rows) against a ledger of many products.
#include "app/AppState.h"
#include "book/Templates.h"
#include "trading/LedgerLotCodes.h"
#include "trading/TradeSheet.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace vandorix {
namespace {

struct Books {
    std::unique_ptr<Workbook> product = makeProductTemplate();
    std::unique_ptr<Workbook> account = makeAccountWorkbook();
    AppState app;

    Books(int trades, int ledgerRows) {
        for (Workbook *wb : {product.get(), account.get()}) {
            wb->unprotect(install::kWorkbookPassword);
            for (int i = 1; i <= wb->sheetCount(); ++i) wb->sheetAt(i).unprotect(install::kSheetPassword);
        }
        app.ProductWorkbook = OpenBook(*product);
        app.AccountWorkbook = OpenBook(*account);
        Sheet &szla = product->sheet(kTradeSheet);
        Sheet &ledger = account->sheet(kLedgerSheet);
        const Date start = *Date::fromYmd(2010, 1, 4);
        // Every third trade row a purchase whose lot is exhausted, the others open lots.
        for (int i = 0; i < trades; ++i) {
            int r = szla::FirstDataRow + i;
            szla.setValue(r, szla::Day, start.addDays(i));
            szla.setValue(r, szla::Bought, 10);
            szla.setValue(r, szla::BuyCost, Currency::fromUnits(1000 + i));
            szla.setValue(r, szla::CostPerShare, (1000.0 + i) / 10);
            szla.setValue(r, szla::SignedQuantity, 10);
            szla.setValue(r, szla::LotCode, i % 3 ? kOpenLot : kClosedLot);
            szla.setValue(r, szla::OpenQuantity, i % 3 ? 10 : 0);
            szla.setValue(r, szla::Settlement, 1000000 + i);
        }
        // The product's purchases spread over a ledger of other movements.
        const int step = ledgerRows / (trades > 0 ? trades : 1);
        for (int i = 0; i < ledgerRows; ++i) {
            int r = ledger::kFirstDataRow + i;
            ledger.setValue(r, ledger::MovementDate, start.addDays(i / 8));
            bool ours = step > 0 && i % step == 0 && i / step < trades;
            ledger.setValue(r, ledger::SettlementCode, ours ? 1000000 + i / step : 5000000 + i);
            ledger.setValue(r, ledger::RowType, ours ? "VAK" : "BAR");
        }
        ledger.setValue(2, ledger::RowType, ledger::kFirstDataRow + ledgerRows + 2);
        RecalcTradeSheet(app);
    }
};

void BM_SyncLedgerLotCodes(benchmark::State &state) {
    Books books(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) SyncLedgerLotCodes(books.app);
    state.SetItemsProcessed(state.iterations() * (state.range(0) + state.range(1)));
}
BENCHMARK(BM_SyncLedgerLotCodes)->Args({500, 5000})->Args({3000, 30000})->Unit(benchmark::kMillisecond);

void BM_RecalcTradeSheet(benchmark::State &state) {
    Books books(static_cast<int>(state.range(0)), 0);
    for (auto _ : state) RecalcTradeSheet(books.app);
}
BENCHMARK(BM_RecalcTradeSheet)->Arg(500)->Arg(3000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace vandorix
