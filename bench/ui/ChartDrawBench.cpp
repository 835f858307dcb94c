// The Qt drawing of the product data view's four charts over one year of a product with 5,000
// daily price rows: each chart sheet made into its view and rendered offscreen at a screen's
// size, as the sheet viewer shows them.
#include "../ProductDataBench.h"
#include "ChartSheetView.h"

#include "analytics/Charts.h"
#include "analytics/Indicators.h"
#include "app/AppState.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

namespace {
using namespace vandorix;

constexpr int kPriceRows = 5000;
constexpr int kRangeRows = 264; // one year of working days

// The product workbook as the data view leaves it with its charts built.
struct ChartedProduct {
    AppState app;
    std::unique_ptr<Workbook> wb = bench::ProductWithPrices(kPriceRows);

    ChartedProduct() {
        app.HostApp = std::make_unique<SpreadsheetHost>();
        app.ProductName = "Alfa";
        app.ProductWorkbook = OpenBook(*wb);
        app.SheetPassword = install::kSheetPassword;
        app.Today = *Date::fromYmd(2026, 12, 6);
        app.StartOfYear = *Date::fromYmd(2026, 1, 1);
        wb->unprotect(install::kWorkbookPassword);
        for (int i = 1; i <= wb->sheetCount(); ++i)
            wb->sheetAt(i).unprotect(install::kSheetPassword);
        RefreshProductDataRange(app);
        Sheet &prices = wb->sheet("Alfa01");
        Sheet &source = wb->sheet("Alfa02");
        const int first = app.LastDataRow - kRangeRows + 1;
        app.CustomRsiPeriod = 25;
        app.CustomRsiCaption = "RSI 25";
        for (int r = first; r <= app.LastDataRow; ++r) {
            app.RecalcFromRow = app.RsiRow = r;
            app.ReferenceDate = *prices.value(r, 1).date();
            ComputeMovingAverages(app);
            ComputeRsi(app);
            ComputeCustomRsi(app);
            for (int c = 1; c <= 10; ++c)
                source.setValue(5 + r - first, c, prices.value(r, c));
        }
        app.ChartFirstRow = 5;
        app.ChartLastRow = 4 + kRangeRows;
        app.RsiRecomputed = true;
        PrepareChartData(app);
        BuildPriceChart(app);
        BuildResultChart(app);
        BuildDailyResultChart(app);
        BuildRsiChart(app);
    }
};

void BM_DrawFourCharts(benchmark::State &state) {
    ChartedProduct product;
    for (auto _ : state) {
        for (const char *name :
             {kPriceChartSheet, kResultChartSheet, kDailyResultChartSheet, kRsiChartSheet}) {
            ChartSheetView view(*product.wb, product.wb->sheet(name));
            view.resize(1280, 760);
            QImage picture = view.grab().toImage();
            benchmark::DoNotOptimize(picture.constBits());
        }
    }
    state.counters["range_rows"] = kRangeRows;
}
BENCHMARK(BM_DrawFourCharts)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qt(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
