// The invariants vandorix-stress checks after each start: no leftovers of a commit, every
// workbook readable, the ledger and the shares' trade sheets consistent with each other.
#include "Stress.h"

#include "store/AtomicFile.h"
#include "store/CommitJournal.h"
#include "store/OoxmlCodec.h"
#include "store/Sheet.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace stress {

using namespace vandorix;

namespace {

using Opened = std::map<std::string, std::unique_ptr<Workbook>>;

long long integerAt(const Sheet &s, int r, int c) {
    return s.value(r, c).integer().value_or(-1);
}

// No journal, staged or temporary file is left after a start.
void checkLeftovers(const fs::path &root, std::vector<std::string> &bad) {
    std::error_code ec;
    if (fs::exists(CommitJournal::journalPath(root), ec))
        bad.push_back("a napló megmaradt");
    for (auto &e : fs::recursive_directory_iterator(root, ec)) {
        const std::string name = e.path().filename().string();
        if (name.find(".vdx-new") != std::string::npos ||
            name.find(".vdx-tmp-") != std::string::npos)
            bad.push_back("ideiglenes fájl maradt: " + e.path().string());
    }
}

// Every workbook of the data folders, by its path below the root.
Opened openAll(const fs::path &root, std::vector<std::string> &bad) {
    Opened opened;
    std::error_code ec;
    for (const char *folder : kDataFolders)
        for (auto &e : fs::directory_iterator(root / folder, ec)) {
            if (e.path().extension() != ".xls")
                continue;
            try {
                opened[fs::relative(e.path(), root).string()] =
                    decodeWorkbook(readWholeFile(e.path()), e.path().string());
            } catch (const std::exception &ex) {
                bad.push_back(std::string("nem nyitható meg: ") + ex.what());
            }
        }
    return opened;
}

// The ledger's balance is the running sum of its movements, its totals row in place; returns
// the codes of its trade rows.
std::set<long long> checkLedger(const Sheet &l, Books &books, std::vector<std::string> &bad) {
    Currency balance;
    int r = 5;
    std::set<long long> ledgerTrades;
    for (; !l.value(r, 1).isBlank(); ++r) {
        balance += l.value(r, 19).currency().value_or(Currency());
        if (l.value(r, 20).currency() != std::optional(balance))
            bad.push_back("a számla T" + std::to_string(r) + " nem a mozgások összege");
        long long code = integerAt(l, r, 21);
        if (!books.ledgerCodes.insert(code).second)
            bad.push_back("kétszer szereplő kód a számlán: " + std::to_string(code));
        if (!l.value(r, 3).isBlank() || !l.value(r, 10).isBlank())
            ledgerTrades.insert(code);
        else if (!l.value(r, 16).isBlank())
            books.depositCodes.insert(code);
    }
    const int last = r - 1;
    if (last >= 5) {
        if (l.value(last + 3, 2).text() != std::optional<std::string>("Összesen"))
            bad.push_back("a számla összesítő sora nincs a helyén");
        if (integerAt(l, 2, 22) != last + 3)
            bad.push_back("a számla V2 cellája téves");
        if (l.value(last + 3, 20).currency() != std::optional(balance))
            bad.push_back("a számla összesítő egyenlege téves");
    }
    return ledgerTrades;
}

// One share's trade sheet: unique codes, the holding the running sum of the signed quantities
// and never negative. Returns the holding at the end.
int checkTradeSheet(const std::string &path, const Sheet &t, bool main, std::set<long long> &trades,
                    Books &books, std::vector<std::string> &bad) {
    int holding = 0;
    for (int q = 5; !t.value(q, 1).isBlank(); ++q) {
        long long code = integerAt(t, q, 21);
        if (!trades.insert(code).second)
            bad.push_back("kétszer szereplő kód a termékek számláin: " + std::to_string(code));
        holding += static_cast<int>(integerAt(t, q, 17));
        if (integerAt(t, q, 18) != holding || holding < 0)
            bad.push_back(path + " R" + std::to_string(q) + " készlete téves");
        if (main && t.value(q, 19).text() == std::optional<std::string>("EAR"))
            books.saleCodes.push_back(code);
    }
    return holding;
}

// Every share's trade sheet, archived ones included; returns the codes of all their trades.
std::set<long long> checkShares(const Opened &opened, const Workbook *mainProduct, Books &books,
                                std::vector<std::string> &bad) {
    std::set<long long> trades;
    const std::string productsPrefix = std::string(install::kProductsFolder) + "/";
    const std::string archivePrefix = std::string(install::kArchiveFolder) + "/";
    for (const auto &[path, wb] : opened) {
        // In "Arhiv", archived shares carry a number after the name; the rest are the logs
        // of deleted rows.
        const bool inProducts = path.rfind(productsPrefix, 0) == 0;
        const std::string stem = fs::path(path).stem().string();
        if (!inProducts && (path.rfind(archivePrefix, 0) != 0 || stem.empty() ||
                            !std::isdigit(static_cast<unsigned char>(stem.back()))))
            continue;
        const Sheet *t = wb->findSheet("Szla");
        if (!t) {
            bad.push_back("nincs Szla lapja: " + path);
            continue;
        }
        const bool main = wb.get() == mainProduct;
        const int holding = checkTradeSheet(path, *t, main, trades, books, bad);
        const std::string file = fs::path(path).filename().string();
        if (main)
            books.holding = holding;
        else if (inProducts && holding == 0 && !t->value(5, 1).isBlank())
            books.soldOut.push_back(fs::path(file).stem().string());
        if (!inProducts)
            books.archived.insert(file);
    }
    return trades;
}

} // namespace

Files dataFiles(const fs::path &root) {
    Files files;
    std::error_code ec;
    for (const char *folder : kDataFolders)
        for (auto it = fs::recursive_directory_iterator(root / folder, ec); it != fs::end(it);
             it.increment(ec)) {
            if (it->path() == root / kUndoFolder)
                it.disable_recursion_pending();
            else if (it->is_regular_file())
                files[fs::relative(it->path(), root).generic_string()] = readWholeFile(it->path());
        }
    return files;
}

std::vector<std::string> keptCommands(const fs::path &root) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto &e : fs::directory_iterator(root / kUndoFolder, ec))
        if (e.is_directory())
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::vector<std::string> check(const fs::path &root, Books &books) {
    std::vector<std::string> bad;
    checkLeftovers(root, bad);
    Opened opened = openAll(root, bad);
    auto account = opened.find(std::string(install::kMasterDataFolder) + "/Befszla.xls");
    auto product = opened.find(std::string(install::kProductsFolder) + "/" + kMainShare + ".xls");
    if (account == opened.end() || product == opened.end()) {
        bad.push_back("hiányzik a számla vagy a termék munkafüzete");
        return bad;
    }
    const std::set<long long> ledgerTrades = checkLedger(account->second->sheet("Befszla01"), books, bad);
    const std::set<long long> trades = checkShares(opened, product->second.get(), books, bad);
    if (trades != ledgerTrades)
        bad.push_back("a termékek ügyletei és a számla ügyletsorai nem felelnek meg egymásnak");
    return bad;
}

} // namespace stress
