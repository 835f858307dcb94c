// One closing-price recording on a product with 5,000 daily price rows (about twenty years of
// trading days) and 200 trade rows: the day's row found, the price written, the value columns
// recomputed from the changed row to the last, the indicators of that row, and the save.
#include "BenchSupport.h"
#include "analytics/Indicators.h"
#include "products/ClosingPrice.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kTradeRows = 200;

std::unique_ptr<Workbook> productWorkbook(int priceRows) {
    std::unique_ptr<Workbook> wb = makeProductTemplate();
    bench::UnprotectAll(*wb);
    wb->renameSheet("Termékminta01", "Alfa01");
    wb->renameSheet("Termékminta02", "Alfa02");
    const Date first = *Date::fromYmd(2006, 1, 2);
    Sheet &prices = wb->sheet("Alfa01");
    for (int i = 0; i < priceRows; ++i) {
        int r = 5 + i;
        prices.setValue(r, 1, first.addDays(i + i / 5 * 2)); // working days
        prices.setValue(r, 2, Currency::fromRaw(1000000 + (i * 7919) % 250000));
        for (int c = 3; c <= 5; ++c) prices.setValue(r, c, Currency::fromRaw(i * 10000 + c));
        for (int c = 6; c <= 8; ++c) prices.setValue(r, c, 100.0 + i % 50);
        prices.setValue(r, 9, i % 100);
    }
    Sheet &trades = wb->sheet("Szla");
    int holding = 0;
    for (int i = 0; i < kTradeRows; ++i) {
        int r = 5 + i;
        trades.insertRow(r);
        trades.setValue(r, 1, first.addDays(i * 35));
        bool sale = i % 3 == 2;
        holding += sale ? -20 : 30;
        if (sale) trades.setValue(r, 14, Currency::fromUnits(2000 + i));
        else trades.setValue(r, 7, Currency::fromUnits(3000 + i));
        trades.setValue(r, 18, holding);
        trades.setValue(r, 19, sale ? "EAR" : "VAK");
    }
    trades.setValue(2, 19, 5 + kTradeRows - 1 + 3);
    bench::ProtectAll(*wb);
    return wb;
}

const fs::path &productFolder(int priceRows) {
    static bench::FoldersBySize folders("vandorix-pricebench");
    return folders.get(priceRows, [priceRows](const fs::path &folder) {
        writeFileAtomically(folder / "Alfa.xls", encodeWorkbook(*productWorkbook(priceRows)));
    });
}

AppState programState(const fs::path &folder) {
    AppState app;
    app.HostApp = std::make_unique<SpreadsheetHost>();
    app.ProductsPath = folder.string();
    app.ProductName = "Alfa";
    app.WorkbookPassword = install::kWorkbookPassword;
    app.SheetPassword = install::kSheetPassword;
    app.Today = *Date::fromYmd(2026, 12, 6);
    app.StartOfYear = app.Today.startOfYear();
    return app;
}

// The day and price recorded: the first price row is overwritten, so every row below it is
// recomputed.
void recordFirstDay(AppState &app, std::int64_t iteration) {
    app.ReferenceDate = *Date::fromYmd(2006, 1, 2);
    LocatePriceRow(app);
    app.ClosingPriceToRecord = Currency::fromRaw(1000000 + iteration % 1000);
    RecordClosingPrice(app);
}

// The whole command: open, prepare, record, save and close.
void BM_RecordClosingPriceAndSave(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    AppState app = programState(productFolder(rows));
    std::int64_t i = 0;
    for (auto _ : state) {
        OpenProductWorkbook(app);
        PrepareProductWorkbook(app);
        RefreshProductDataRange(app);
        recordFirstDay(app, ++i);
        app.ProductWorkbook.commit();
    }
    state.counters["price_rows"] = rows;
}
BENCHMARK(BM_RecordClosingPriceAndSave)->Arg(5000)->Unit(benchmark::kMillisecond);

// The recording and the save alone: opening the file is left out of the measured time.
void BM_RecordAndSaveWithoutOpen(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    AppState app = programState(productFolder(rows));
    std::int64_t i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        OpenProductWorkbook(app);
        PrepareProductWorkbook(app);
        RefreshProductDataRange(app);
        state.ResumeTiming();
        recordFirstDay(app, ++i);
        SaveProductWorkbook(app);
        state.PauseTiming();
        CloseProductWorkbook(app);
        state.ResumeTiming();
    }
    state.counters["price_rows"] = rows;
}
BENCHMARK(BM_RecordAndSaveWithoutOpen)->Arg(5000)->Unit(benchmark::kMillisecond);

// The recording alone on an open workbook: the value columns of every row and the indicators.
void BM_RecordClosingPriceOnly(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    AppState app = programState(productFolder(rows));
    OpenProductWorkbook(app);
    PrepareProductWorkbook(app);
    RefreshProductDataRange(app);
    std::int64_t i = 0;
    for (auto _ : state) recordFirstDay(app, ++i);
    CloseProductWorkbook(app);
    state.counters["price_rows"] = rows;
}
BENCHMARK(BM_RecordClosingPriceOnly)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
