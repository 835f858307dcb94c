// The investor's overview over 50 products, each with five years of daily prices (1,250 rows)
// and 100 trade rows, and a ledger of 1,000 rows: every product workbook and the account
// workbook read from disk and the figures computed.
#include "BenchSupport.h"
#include "account/Ledger.h"
#include "reports/Overview.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "trading/TradeSheet.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kProducts = 50;
constexpr int kPriceRows = 1250;
constexpr int kTradeRows = 100;
constexpr int kLedgerRows = 1000;

using bench::ProtectAll;
using bench::UnprotectAll;

std::unique_ptr<Workbook> productWorkbook(const std::string &name) {
    std::unique_ptr<Workbook> wb = makeProductTemplate();
    UnprotectAll(*wb);
    wb->renameSheet("Termékminta01", name + "01");
    wb->renameSheet("Termékminta02", name + "02");
    const Date first = *Date::fromYmd(2021, 1, 4);
    Sheet &prices = wb->sheet(name + "01");
    for (int i = 0; i < kPriceRows; ++i) {
        const int r = 5 + i;
        prices.setValue(r, 1, first.addDays(i + i / 5 * 2));
        prices.setValue(r, 2, Currency::fromRaw(1000000 + (i * 7919) % 250000));
        for (int c = 3; c <= 5; ++c)
            prices.setValue(r, c, Currency::fromRaw(i * 10000 + c));
    }
    Sheet &trades = wb->sheet(kTradeSheet);
    int open = 0;
    for (int i = 0; i < kTradeRows; ++i) {
        const int r = 5 + i;
        trades.insertRow(r);
        trades.setValue(r, szla::Day, first.addDays(i * 18));
        const bool sale = i % 3 == 2;
        if (sale) {
            trades.setValue(r, szla::Sold, 20);
            trades.setValue(r, szla::Result, Currency::fromUnits(100 + i));
            trades.setValue(r, szla::LotCode, kSaleRow);
        } else {
            trades.setValue(r, szla::Bought, 30);
            trades.setValue(r, szla::BuyCost, Currency::fromUnits(30000 + i));
            trades.setValue(r, szla::OpenQuantity, 30);
            trades.setValue(r, szla::LotCode, kOpenLot);
            open += 30;
        }
    }
    const int totals = 5 + kTradeRows - 1 + 3;
    trades.setValue(totals, szla::Holding, open);
    trades.setValue(totals, szla::CostPerShare, Currency::fromUnits(1000));
    trades.setValue(szla::TotalsPointerRow, szla::TotalsPointerColumn, totals);
    ProtectAll(*wb);
    return wb;
}

std::unique_ptr<Workbook> accountWorkbook() {
    std::unique_ptr<Workbook> wb = makeAccountWorkbook();
    UnprotectAll(*wb);
    Sheet &values = wb->sheet("Ertek01");
    for (int p = 0; p < kProducts; ++p)
        values.setValue(6 + p, 1, "Termek" + std::to_string(p));
    Sheet &ledgerSheet = wb->sheet(ledger::kSheet);
    const Date first = *Date::fromYmd(2021, 1, 4);
    for (int i = 0; i < kLedgerRows; ++i) {
        const int r = 5 + i;
        ledgerSheet.setValue(r, ledger::MovementDate, first.addDays(i));
        ledgerSheet.setValue(r, ledger::Balance, Currency::fromUnits(1000000 + i));
    }
    ProtectAll(*wb);
    return wb;
}

const fs::path &installation() {
    static fs::path root;
    if (!root.empty())
        return root;
    root = bench::NewTempFolder("vandorix-overviewbench");
    fs::create_directories(root / "Torzs");
    fs::create_directories(root / "Termekek");
    writeFileAtomically(root / "Torzs" / "Befszla.xls", encodeWorkbook(*accountWorkbook()));
    for (int p = 0; p < kProducts; ++p) {
        const std::string name = "Termek" + std::to_string(p);
        writeFileAtomically(root / "Termekek" / (name + ".xls"),
                            encodeWorkbook(*productWorkbook(name)));
    }
    return root;
}

void BM_ComputeOverview(benchmark::State &state) {
    const fs::path &root = installation();
    const Date today = *Date::fromYmd(2026, 12, 6);
    for (auto _ : state) {
        Overview o = ComputeOverview(root / "Torzs", root / "Termekek", today);
        benchmark::DoNotOptimize(o.portfolioValue);
    }
    state.counters["products"] = kProducts;
}
BENCHMARK(BM_ComputeOverview)->Unit(benchmark::kMillisecond);

} // namespace
