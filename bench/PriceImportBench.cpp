// Ten years of closing prices (2,500 trading days) loaded from a CSV file, end to end: the
// file's text read, the product workbook opened and prepared, the days placed, the value
// columns, data range and indicators computed, the workbook saved through the commit journal
// and closed. Once into a product without prices, once into one with 5,000 price rows, where
// the new days fall between the recorded ones (weekends) and after them.
#include "analytics/Indicators.h"
#include "products/ClosingPriceImport.h"
#include "products/PriceFile.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kImportedDays = 2500;
const Date kFirstDay = *Date::fromYmd(2005, 1, 3); // a Monday
const Date kToday = *Date::fromYmd(2026, 12, 6);

Date workingDay(int i) { return kFirstDay.addDays(i + i / 5 * 2); }

Currency priceOf(int i) { return Currency::fromRaw(1000000 + (i * 7919) % 250000); }

std::string productFile(int priceRows) {
    std::unique_ptr<Workbook> wb = makeProductTemplate();
    wb->unprotect(install::kWorkbookPassword);
    for (int i = 1; i <= wb->sheetCount(); ++i) wb->sheetAt(i).unprotect(install::kSheetPassword);
    wb->renameSheet("Termékminta01", "Alfa01");
    wb->renameSheet("Termékminta02", "Alfa02");
    Sheet &prices = wb->sheet("Alfa01");
    for (int i = 0; i < priceRows; ++i) {
        prices.setValue(5 + i, 1, workingDay(i));
        prices.setValue(5 + i, 2, priceOf(i));
    }
    Sheet &trades = wb->sheet("Szla");
    int holding = 0;
    for (int i = 0; i < 200; ++i) {
        const int r = 5 + i;
        trades.insertRow(r);
        trades.setValue(r, 1, kFirstDay.addDays(i * 35));
        const bool sale = i % 3 == 2;
        holding += sale ? -20 : 30;
        if (sale) trades.setValue(r, 14, Currency::fromUnits(2000 + i));
        else trades.setValue(r, 7, Currency::fromUnits(3000 + i));
        trades.setValue(r, 18, holding);
        trades.setValue(r, 19, sale ? "EAR" : "VAK");
    }
    for (int i = 1; i <= wb->sheetCount(); ++i) wb->sheetAt(i).protect(install::kSheetPassword);
    wb->protect(install::kWorkbookPassword);
    return encodeWorkbook(*wb);
}

// The CSV of a broker: a heading, the newest day first, Hungarian dates and decimal commas.
std::string csvOf(const std::vector<Date> &days) {
    std::string csv = "Dátum;Nyitó;Záró ár\n";
    for (std::size_t k = days.size(); k-- > 0;)
        csv += days[k].toString() + ";1;" + priceOf(static_cast<int>(k) * 3).toString() + "\n";
    return csv;
}

void importFile(benchmark::State &state, int priceRows, const std::vector<Date> &days) {
    std::string pattern = (fs::temp_directory_path() / "vandorix-importbench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    const fs::path folder(pattern);
    const std::string original = productFile(priceRows);
    const fs::path csvPath = folder / "arak.csv";
    writeFileAtomically(csvPath, csvOf(days));

    AppState app;
    app.HostApp = std::make_unique<SpreadsheetHost>();
    app.HostApp->setJournalFolder(folder);
    app.ProductsPath = folder.string();
    app.ProductName = "Alfa";
    app.WorkbookPassword = install::kWorkbookPassword;
    app.SheetPassword = install::kSheetPassword;
    app.Today = kToday;
    app.StartOfYear = kToday.startOfYear();
    for (auto _ : state) {
        state.PauseTiming();
        writeFileAtomically(folder / "Alfa.xls", original);
        state.ResumeTiming();
        const PriceFileContent content = ReadPriceFile(csvPath, app.Today);
        app.host().beginCommand();
        OpenProductWorkbook(app);
        PrepareProductWorkbook(app);
        RefreshProductDataRange(app);
        const int existing = CountDaysWithPrice(app, content.days);
        const PriceImportResult result = ImportClosingPrices(app, content.days, true);
        app.ProductWorkbook.commit();
        app.host().endCommand();
        if (existing != 0 || result.recorded != kImportedDays) state.SkipWithError("wrong import");
    }
    state.counters["price_rows_before"] = priceRows;
    state.counters["days_imported"] = kImportedDays;
    fs::remove_all(folder);
}

void BM_ImportTenYearsIntoEmptyProduct(benchmark::State &state) {
    std::vector<Date> days;
    for (int i = 0; i < kImportedDays; ++i) days.push_back(workingDay(5000 + i - kImportedDays));
    importFile(state, 0, days);
}
BENCHMARK(BM_ImportTenYearsIntoEmptyProduct)->Unit(benchmark::kMillisecond)->UseRealTime();

// 2,000 weekend days between the recorded working days, then 500 days after the last one.
void BM_ImportTenYearsIntoProductWith5000Rows(benchmark::State &state) {
    std::vector<Date> days;
    for (int week = 0; days.size() < 2000; ++week) {
        days.push_back(kFirstDay.addDays(7 * week + 5));
        days.push_back(kFirstDay.addDays(7 * week + 6));
    }
    for (int i = 0; days.size() < kImportedDays; ++i) days.push_back(workingDay(5000 + i));
    importFile(state, 5000, days);
}
BENCHMARK(BM_ImportTenYearsIntoProductWith5000Rows)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
