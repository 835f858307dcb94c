// The product data view's "Megmutat" on a product with 5,000 daily price rows: the range found,
// the moving averages, the RSI and a custom RSI of the range computed, the range copied into the
// chart source, the four charts built and deleted again, and the product workbook saved. The
// range is one year, then two: the cost grows with the range rows.
#include "ProductDataBench.h"

#include "app/Application.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kPriceRows = 5000;

// Yes to every question, the default to every input box, OK to every notice.
class AgreeingDialogs : public Dialogs {
  public:
    MessageAnswer showMessage(const MessageRequest &request) override {
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
    std::optional<std::string> showInput(const InputRequest &request) override {
        return request.defaultText;
    }
};

// An installation with the product registered in the account workbook.
struct Installation {
    fs::path root;
    std::string productBytes;

    Installation() {
        std::string pattern = (fs::temp_directory_path() / "vandorix-viewbench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        root = fs::path(pattern) / "Vandorix";
        fs::create_directories(root / install::kProgramFolder);
        for (const char *folder : {install::kMasterDataFolder, install::kProductsFolder,
                                   install::kAuxiliaryFolder, install::kArchiveFolder})
            fs::create_directories(root / folder);
        for (const InstallationWorkbook &entry : kInstallationWorkbooks) {
            std::unique_ptr<Workbook> wb = entry.make();
            if (std::string(entry.fileName) == install::kAccountWorkbookFile) {
                wb->unprotect(install::kWorkbookPassword);
                Sheet &values = wb->sheet("Ertek01");
                values.unprotect(install::kSheetPassword);
                values.setValue(6, 1, "Alfa");
                values.protect(install::kSheetPassword);
                wb->protect(install::kWorkbookPassword);
            }
            writeFileAtomically(root / entry.folder / entry.fileName, encodeWorkbook(*wb));
        }
        productBytes = encodeWorkbook(*bench::ProductWithPrices(kPriceRows));
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(root.parent_path(), ec);
    }
    void resetProduct() const {
        writeFileAtomically(root / install::kProductsFolder / "Alfa.xls", productBytes);
    }
};

void BM_ProductDataViewCommand(benchmark::State &state) {
    const int rangeDays = static_cast<int>(state.range(0));
    Installation inst;
    AgreeingDialogs dialogs;
    Application app(dialogs, StartupEnvironment{inst.root / install::kProgramFolder,
                                                *Date::fromYmd(2026, 12, 6)});
    app.start();
    const Date last = bench::PriceDay(kPriceRows - 1);
    int rangeRows = 0;
    for (auto _ : state) {
        state.PauseTiming();
        inst.resetProduct();
        app.clickMenu({"Befektetés", "Információ", "Termék adatok"});
        app.choose("Combo1", "Alfa");
        app.type("Text1", last.addDays(-rangeDays).toString());
        app.type("Text2", last.toString());
        state.ResumeTiming();
        app.click("Command1");
        state.PauseTiming();
        rangeRows = app.state().ChartLastRow - app.state().ChartFirstRow + 1;
        app.click("Command2");
        state.ResumeTiming();
    }
    state.counters["price_rows"] = kPriceRows;
    state.counters["range_rows"] = rangeRows;
}
BENCHMARK(BM_ProductDataViewCommand)->Arg(365)->Arg(730)->Unit(benchmark::kMillisecond);

} // namespace
