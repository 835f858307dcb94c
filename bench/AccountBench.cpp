// The ledger recomputation alone, and one whole deposit as the deposit window books it (open,
// prepare, insert the row at its date, recompute, save, close), on ledgers of a few years
// (5,000 rows) and a large one (30,000 rows) of mixed trades and cash movements.
#include "BenchSupport.h"
#include "account/Ledger.h"
#include "app/AppState.h"
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
using namespace vandorix::ledger;

// The account workbook of a new installation with `rows` movements, recomputed and writable.
std::unique_ptr<Workbook> filledAccountWorkbook(int rows, AppState &app) {
    std::unique_ptr<Workbook> wb = makeAccountWorkbook();
    wb->unprotect(install::kWorkbookPassword);
    Sheet &s = wb->sheet(kSheet);
    s.unprotect(install::kSheetPassword);
    const Date first = *Date::fromYmd(2000, 1, 3);
    // Rows are appended in date order; the new workbook's zero totals make room.
    s.clearRange(kFirstDataRow, 1, kEmptyTotalsRow + 2, kLastColumn);
    for (int i = 0; i < rows; ++i) {
        const int r = kFirstDataRow + i;
        const Currency amount = Currency::fromRaw(1000000 + (i * 7919L) % 50000000);
        s.setValue(r, MovementDate, first.addDays(i / 4));
        s.setValue(r, SettlementCode, i + 1);
        switch (i % 4) {
        case 0:
            s.setValue(r, PaidIn, amount);
            s.setValue(r, Movement, amount);
            s.setValue(r, Description, "Kp befizetés");
            s.setValue(r, RowType, "BAR");
            break;
        case 1:
            s.setValue(r, OrderCode, i);
            s.setValue(r, BoughtQuantity, 10);
            s.setValue(r, BuyPrice, Currency::fromRaw(amount.raw() / 10));
            s.setValue(r, BuyValue, amount);
            s.setValue(r, BuyCommission, Currency::fromUnits(5));
            s.setValue(r, BuyCost, amount + Currency::fromUnits(5));
            s.setValue(r, ProductId, "HU0000123456");
            s.setValue(r, Description, "Alfa 10 db. vétel");
            s.setValue(r, Movement, -(amount + Currency::fromUnits(5)));
            s.setValue(r, RowType, "VAK");
            break;
        case 2:
            s.setValue(r, SoldQuantity, 10);
            s.setValue(r, SellValue, amount);
            s.setValue(r, SellCommission, Currency::fromUnits(5));
            s.setValue(r, NetProceeds, amount - Currency::fromUnits(5));
            s.setValue(r, RealisedResult, Currency::fromUnits(12));
            s.setValue(r, Description, "Alfa 10 db. eladás");
            s.setValue(r, Movement, amount - Currency::fromUnits(5));
            s.setValue(r, RowType, "EAR");
            break;
        default:
            s.setValue(r, Fee, Currency::fromUnits(3));
            s.setValue(r, Movement, -Currency::fromUnits(3));
            s.setValue(r, Description, "szlavez díj");
            s.setValue(r, RowType, "HAR");
            break;
        }
    }
    app.AccountWorkbook = OpenBook(*wb);
    RecalcAccountLedger(app);
    app.AccountWorkbook.release();
    return wb;
}

void Recalc(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    AppState app;
    std::unique_ptr<Workbook> wb = filledAccountWorkbook(rows, app);
    app.AccountWorkbook = OpenBook(*wb);
    for (auto _ : state) {
        RecalcAccountLedger(app);
        benchmark::DoNotOptimize(app.LedgerLastRow);
    }
    state.counters["rows"] = rows;
}

// A data folder holding the filled account workbook, stored protected; one per size.
const fs::path &dataFolder(int rows) {
    static bench::FoldersBySize folders("vandorix-accbench");
    return folders.get(rows, [rows](const fs::path &folder) {
        AppState app;
        std::unique_ptr<Workbook> wb = filledAccountWorkbook(rows, app);
        for (const char *name : kAccountSheets) wb->sheet(name).protect(install::kSheetPassword);
        wb->protect(install::kWorkbookPassword);
        writeFileAtomically(folder / "Befszla.xls", encodeWorkbook(*wb));
    });
}

void DepositCommand(benchmark::State &state) {
    const int rows = static_cast<int>(state.range(0));
    AppState app;
    app.HostApp = std::make_unique<SpreadsheetHost>();
    app.MasterDataPath = dataFolder(rows).string();
    app.WorkbookPassword = install::kWorkbookPassword;
    app.SheetPassword = install::kSheetPassword;
    // Dated in the middle of the ledger, so half the rows move down and every balance below
    // changes.
    const Date middle = Date::fromYmd(2000, 1, 3)->addDays(rows / 8);
    int code = 1000000;
    for (auto _ : state) {
        OpenAccountWorkbook(app);
        PrepareAccountWorkbook(app);
        Sheet &s = app.AccountWorkbook->sheet(kSheet);
        const int r = InsertCashMovementRow(s, middle);
        s.setValue(r, MovementDate, middle);
        s.setValue(r, SettlementCode, ++code);
        s.setValue(r, PaidIn, Currency::fromUnits(100));
        s.setValue(r, Movement, Currency::fromUnits(100));
        s.setValue(r, Description, "Kp befizetés");
        s.setValue(r, RowType, "BAR");
        RecalcAccountLedger(app);
        app.AccountWorkbook.commit();
    }
    state.counters["rows"] = rows;
    state.counters["file_KiB"] =
        static_cast<double>(fs::file_size(dataFolder(rows) / "Befszla.xls")) / 1024;
}

BENCHMARK(Recalc)->Arg(5000)->Arg(30000)->Unit(benchmark::kMillisecond);
BENCHMARK(DepositCommand)->Arg(5000)->Arg(30000)->Unit(benchmark::kMillisecond);

} // namespace
