// What keeping the replaced files for undo adds to a command's commit: a purchase replaces
// the account workbook and a product workbook. Both commits stage the same two files in an
// installation folder; the second also keeps the previous versions (hard links, manifest,
// pruning to the newest fifty).
#include "store/CommitJournal.h"
#include "store/UndoStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <unistd.h>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

std::string randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 gen(seed);
    std::string s(n, '\0');
    for (auto &c : s) c = static_cast<char>(gen());
    return s;
}

fs::path freshRoot() {
    std::string pattern = (fs::temp_directory_path() / "vandorix-undo-bench-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    fs::path root = fs::path(pattern) / "Vandorix";
    for (const char *f : {"Torzs", "Termekek", "Seged", "Arhiv"}) fs::create_directories(root / f);
    return root;
}

// state.range(0): size of the account workbook in KiB; the product workbook is half of it.
void commitPurchase(benchmark::State &state, bool keepForUndo) {
    const fs::path root = freshRoot();
    const std::size_t size = static_cast<std::size_t>(state.range(0)) * 1024;
    const std::string account = randomBytes(size, 1), product = randomBytes(size / 2, 2);
    const fs::path accountFile = root / "Torzs" / "Befszla.xls";
    const fs::path productFile = root / "Termekek" / "Alfa.xls";
    UndoStore undo(root);
    CommitJournal journal(root);
    if (keepForUndo) journal.setObserver(&undo);
    journal.stage(accountFile, account);
    journal.stage(productFile, product);
    journal.commit();
    for (auto _ : state) {
        // Staging writes the new files in full in both variants; the commit is measured.
        state.PauseTiming();
        journal.stage(accountFile, account);
        journal.stage(productFile, product);
        if (keepForUndo) undo.describeNext("Részvény vétel", "Vétel: Alfa, 100 db, 2026. 11. 03.");
        state.ResumeTiming();
        journal.commit();
    }
    fs::remove_all(root.parent_path());
}

void CommitWithoutUndo(benchmark::State &state) { commitPurchase(state, false); }
void CommitKeepingForUndo(benchmark::State &state) { commitPurchase(state, true); }

} // namespace

BENCHMARK(CommitWithoutUndo)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(CommitKeepingForUndo)->Arg(256)->Arg(2048)->Unit(benchmark::kMillisecond)->UseRealTime();
