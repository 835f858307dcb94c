// vandorix-stress [--rounds N] [--seed S] [--keep]: kills real commands at random moments and
// checks what the next start leaves. Run by hand, never by the test command.
//
// A fresh installation is laid out in a temporary folder with the share "Alfa". Each round runs
// one command (purchase, sale, deposit, the deletion of a ledger row, the archiving of a
// sold-out share, or the undo of the last command) through vandorix-replay, which lies beside
// this tool, and kills it with SIGKILL after a random delay drawn from that command's measured
// duration. A share to archive is registered, bought and sold out first, each in a run of its
// own that is not killed. Some rounds then rename the installation root
// ("Vandorix" <-> "Vandorix1") before the next start. The program is started again (which
// finishes or drops the interrupted commit), and the files are checked:
//  - no journal and no staged or temporary file is left;
//  - every workbook opens;
//  - the ledger's balance column is the running sum of its movements, its totals row in place;
//  - every trade of "Szla" in every share's workbook, archived ones included, has exactly one
//    ledger row and every trade row of the ledger one trade, each share's holding is the
//    running sum of its signed quantities and never negative;
//  - the command is whole or absent: the ledger's codes are those of the round before, with the
//    round's code added (or removed, for a deletion) or not at all; an archived share is either
//    still in "Termekek" with "ARHIV01", "Ertek01" and "Eredmeny01" as before, or in "Arhiv"
//    under a new name with all three changed; an undo leaves every data file as before the
//    undone command, its kept versions gone, or as before the undo, its kept versions still
//    there; a command that was not killed, or was killed after its journal was written, must
//    have taken effect.
// Exit code 0 when every round passed, 1 otherwise, 2 on wrong usage.

#include "store/AtomicFile.h"
#include "store/CommitJournal.h"
#include "store/OoxmlCodec.h"
#include "store/Sheet.h"
#include "book/Templates.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace vandorix;

namespace {

constexpr const char *kToday = "2026-12-06";
constexpr const char *kDataFolders[] = {install::kMasterDataFolder, install::kProductsFolder,
                                        install::kAuxiliaryFolder, install::kArchiveFolder};

constexpr const char *kUndoFolder = "Arhiv/Mentések";
constexpr const char *kMainShare = "Alfa";
constexpr const char *kArchiveSheets[] = {"ARHIV01", "Ertek01", "Eredmeny01"};

enum class Kind { Purchase, Sale, Deposit, Deletion, Archive, Undo };
constexpr Kind kKinds[] = {Kind::Purchase, Kind::Sale,    Kind::Deposit,
                           Kind::Deletion, Kind::Archive, Kind::Undo};
const char *kindName(Kind k) {
    switch (k) {
    case Kind::Purchase:
        return "vétel";
    case Kind::Sale:
        return "eladás";
    case Kind::Deposit:
        return "befizetés";
    case Kind::Deletion:
        return "sortörlés";
    case Kind::Archive:
        return "arhiválás";
    case Kind::Undo:
        return "visszavonás";
    }
    return "";
}

struct Run {
    bool killed = false; // still running when the kill came
    int exitCode = -1;
    double seconds = 0;
    std::string output;
};

fs::path ownFolder() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : self.parent_path();
}

// Runs vandorix-replay from the program folder of `root` with `script`; kills it after
// `killAfter` when given.
Run replay(const fs::path &root, const fs::path &work, const std::string &script,
           std::optional<std::chrono::microseconds> killAfter) {
    const fs::path scriptPath = work / "script.txt";
    const fs::path outPath = work / "output.txt";
    std::ofstream(scriptPath) << script;
    const fs::path tool = root / install::kProgramFolder / "vandorix-replay";
    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork");
    if (child == 0) {
        int fd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execl(tool.c_str(), "vandorix-replay", "--today", kToday, scriptPath.c_str(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    Run run;
    int status = 0;
    if (killAfter) {
        ::usleep(static_cast<useconds_t>(killAfter->count()));
        if (::waitpid(child, &status, WNOHANG) == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            run.killed = true;
        }
    } else {
        ::waitpid(child, &status, 0);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!run.killed)
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = readWholeFile(outPath);
    return run;
}

std::unique_ptr<Workbook> openWorkbook(const fs::path &p) {
    return decodeWorkbook(readWholeFile(p), p.string());
}

// What the files hold after a start.
struct Books {
    std::set<long long> ledgerCodes;
    std::set<long long> depositCodes;
    std::vector<long long> saleCodes; // of the main share
    int holding = 0;                  // of the main share
    std::vector<std::string> soldOut; // other shares in "Termekek" traded, holding none
    std::set<std::string> archived;   // workbooks in "Arhiv", by file name
};

// Every data file but the kept versions, by its path below the root.
using Files = std::map<std::string, std::string>;
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

// The kept commands, oldest first.
std::vector<std::string> keptCommands(const fs::path &root) {
    std::vector<std::string> names;
    std::error_code ec;
    for (auto &e : fs::directory_iterator(root / kUndoFolder, ec))
        if (e.is_directory())
            names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

long long integerAt(const Sheet &s, int r, int c) {
    return s.value(r, c).integer().value_or(-1);
}

// Checks every invariant; returns the violations, one a line, and fills `books`.
std::vector<std::string> check(const fs::path &root, Books &books) {
    std::vector<std::string> bad;
    std::error_code ec;
    if (fs::exists(CommitJournal::journalPath(root), ec))
        bad.push_back("a napló megmaradt");
    for (auto &e : fs::recursive_directory_iterator(root, ec)) {
        const std::string name = e.path().filename().string();
        if (name.find(".vdx-new") != std::string::npos ||
            name.find(".vdx-tmp-") != std::string::npos)
            bad.push_back("ideiglenes fájl maradt: " + e.path().string());
    }
    std::map<std::string, std::unique_ptr<Workbook>> opened;
    for (const char *folder : kDataFolders)
        for (auto &e : fs::directory_iterator(root / folder, ec)) {
            if (e.path().extension() != ".xls")
                continue;
            try {
                opened[fs::relative(e.path(), root).string()] = openWorkbook(e.path());
            } catch (const std::exception &ex) {
                bad.push_back(std::string("nem nyitható meg: ") + ex.what());
            }
        }
    auto account = opened.find(std::string(install::kMasterDataFolder) + "/Befszla.xls");
    auto product = opened.find(std::string(install::kProductsFolder) + "/" + kMainShare + ".xls");
    if (account == opened.end() || product == opened.end()) {
        bad.push_back("hiányzik a számla vagy a termék munkafüzete");
        return bad;
    }
    const Sheet &l = account->second->sheet("Befszla01");
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
        const bool main = wb.get() == product->second.get();
        int holding = 0;
        for (int q = 5; !t->value(q, 1).isBlank(); ++q) {
            long long code = integerAt(*t, q, 21);
            if (!trades.insert(code).second)
                bad.push_back("kétszer szereplő kód a termékek számláin: " + std::to_string(code));
            holding += static_cast<int>(integerAt(*t, q, 17));
            if (integerAt(*t, q, 18) != holding || holding < 0)
                bad.push_back(path + " R" + std::to_string(q) + " készlete téves");
            if (main && t->value(q, 19).text() == std::optional<std::string>("EAR"))
                books.saleCodes.push_back(code);
        }
        const std::string file = fs::path(path).filename().string();
        if (main)
            books.holding = holding;
        else if (inProducts && holding == 0 && !t->value(5, 1).isBlank())
            books.soldOut.push_back(fs::path(file).stem().string());
        if (!inProducts)
            books.archived.insert(file);
    }
    if (trades != ledgerTrades)
        bad.push_back("a termékek ügyletei és a számla ügyletsorai nem felelnek meg egymásnak");
    return bad;
}

std::string twoDigits(unsigned v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

std::string dateOfRound(int round) {
    using namespace std::chrono;
    year_month_day d{sys_days(year{2025} / January / 1) + days(round / 2)};
    return std::to_string(static_cast<int>(d.year())) + "." +
           twoDigits(static_cast<unsigned>(d.month())) + "." +
           twoDigits(static_cast<unsigned>(d.day()));
}

std::string tradeFields(const std::string &date, int quantity, int price, int code) {
    return "type Text1 " + date + "\ntype Text2 " + std::to_string(quantity) + "\ntype Text3 " +
           std::to_string(price) + "\ntype Text4 0\ntype Text5 " + std::to_string(code) +
           "\ntype Text6 " + std::to_string(code) + "\nclick Command1\ninput " +
           std::to_string(price) + "\n";
}

int usage() {
    std::cerr << "Használat: vandorix-stress [--rounds N] [--seed S] [--keep]\n";
    return 2;
}

} // namespace

int main(int argc, char **argv) {
    int rounds = 300;
    unsigned seed = static_cast<unsigned>(std::random_device{}());
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc)
            rounds = std::atoi(argv[++i]);
        else if (a == "--seed" && i + 1 < argc)
            seed = static_cast<unsigned>(std::atoll(argv[++i]));
        else if (a == "--keep")
            keep = true;
        else
            return usage();
    }
    if (rounds <= 0)
        return usage();
    std::mt19937 random(seed);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };

    std::string pattern = (fs::temp_directory_path() / "vandorix-stress-XXXXXX").string();
    if (!::mkdtemp(pattern.data()))
        return 1;
    const fs::path work = pattern;
    fs::path root = work / "Vandorix";
    fs::create_directories(root / install::kProgramFolder);
    for (const char *folder : kDataFolders)
        fs::create_directories(root / folder);
    for (const InstallationWorkbook &entry : kInstallationWorkbooks)
        writeFileDurably(root / entry.folder / entry.fileName, encodeWorkbook(*entry.make()));
    fs::copy_file(ownFolder() / "vandorix-replay",
                  root / install::kProgramFolder / "vandorix-replay");
    std::cout << "seed " << seed << ", folder " << work << "\n";

    Run setup = replay(root, work,
                       "menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\n"
                       "type Text1 Alfa\ntype Text2 HU0000123456\nclick Command1\nclick Command4\n",
                       std::nullopt);
    if (setup.exitCode != 0) {
        std::cerr << "the share could not be registered:\n" << setup.output;
        return 1;
    }

    Books books;
    std::vector<std::string> startBad = check(root, books);
    std::map<Kind, double> duration{{Kind::Purchase, 0.3}, {Kind::Sale, 0.3},
                                    {Kind::Deposit, 0.2},  {Kind::Deletion, 0.3},
                                    {Kind::Archive, 0.3},  {Kind::Undo, 0.3}};
    std::map<Kind, int> ran, killedCount, appliedWhenKilled;
    int failures = 0, killed = 0, renamed = 0, renamedWithJournal = 0, journalsFinished = 0,
        stagedLeft = 0, scriptFailures = 0, backupsLostWhenKilled = 0, sharesRegistered = 0;
    long long nextCode = 1;
    // The data files before and after each kept command this tool ran, by the kept command's
    // folder name: an undo must bring back the former, and is offered only when the files are
    // still the latter.
    struct Kept {
        Files before, after;
    };
    std::map<std::string, Kept> kept;
    // Records the kept command a run added, if any; returns whether it added one.
    auto recordKept = [&](const std::vector<std::string> &keptBefore, const Files &before) {
        const std::vector<std::string> now = keptCommands(root);
        std::vector<std::string> added;
        std::set_difference(now.begin(), now.end(), keptBefore.begin(), keptBefore.end(),
                            std::back_inserter(added));
        for (auto it = kept.begin(); it != kept.end();)
            it = std::find(now.begin(), now.end(), it->first) == now.end() ? kept.erase(it)
                                                                          : std::next(it);
        if (added.size() == 1)
            kept[added.front()] = Kept{before, dataFiles(root)};
        return !added.empty();
    };
    // A run that is not killed and must succeed: registering, buying and selling out a share
    // to archive.
    auto prepare = [&](const std::string &script) {
        const Files before = dataFiles(root);
        const std::vector<std::string> keptBefore = keptCommands(root);
        Run run = replay(root, work, script, std::nullopt);
        if (run.exitCode != 0) {
            ++scriptFailures;
            std::cout << "a preparing run failed:\n" << script << run.output;
            return false;
        }
        recordKept(keptBefore, before);
        return true;
    };
    for (int round = 0; round < rounds; ++round) {
        const std::string date = dateOfRound(round);
        Kind kind;
        int pick = static_cast<int>(random() % 100);
        if (pick < 20)
            kind = Kind::Purchase;
        else if (pick < 37)
            kind = books.holding > 0 ? Kind::Sale : Kind::Purchase;
        else if (pick < 54)
            kind = Kind::Deposit;
        else if (pick < 68)
            kind = books.depositCodes.empty() && books.saleCodes.empty() ? Kind::Deposit
                                                                         : Kind::Deletion;
        else if (pick < 84)
            kind = Kind::Archive;
        else
            kind = Kind::Undo;
        const Files filesBefore = dataFiles(root);
        std::vector<std::string> keptBefore = keptCommands(root);
        std::string undone; // the kept command an undo round undoes
        if (kind == Kind::Undo) {
            auto it = keptBefore.empty() ? kept.end() : kept.find(keptBefore.back());
            if (it != kept.end() && it->second.after == filesBefore)
                undone = it->first;
            else
                kind = Kind::Deposit;
        }
        std::string share; // the share an archiving round archives
        if (kind == Kind::Archive) {
            if (!books.soldOut.empty()) {
                share = books.soldOut[random() % books.soldOut.size()];
            } else {
                // Letters only: a digit at the end would read as an archive number.
                share = "Beta";
                for (int n = sharesRegistered++; n >= 0; n = n / 26 - 1)
                    share += static_cast<char>('a' + n % 26);
                const int quantity = 1 + static_cast<int>(random() % 50);
                const int price = 5 + static_cast<int>(random() % 200);
                const long long bought = nextCode++, sold = nextCode++;
                if (!prepare("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\n"
                             "type Text1 " + share + "\ntype Text2 B" +
                             std::to_string(sharesRegistered) +
                             "\nclick Command1\nclick Command4\n") ||
                    !prepare("menu Befektetés/Részvény/Vétel\nchoose Combo1 " + share + "\n" +
                             tradeFields(date, quantity, price, static_cast<int>(bought))) ||
                    !prepare("menu Befektetés/Részvény/Eladás\nchoose Combo1 FIFO.Legkorábbiak\n"
                             "choose Combo2 " + share + "\n" +
                             tradeFields(date, quantity, price + 1, static_cast<int>(sold)))) {
                    ++failures;
                    break;
                }
                books = Books{};
                for (const std::string &b : check(root, books))
                    std::cout << "after preparing " << share << ": " << b << "\n";
            }
        }
        const Files filesBeforeCommand = dataFiles(root);
        keptBefore = keptCommands(root);
        std::string script;
        long long code = 0;
        switch (kind) {
        case Kind::Purchase:
            code = nextCode++;
            script = "menu Befektetés/Részvény/Vétel\nchoose Combo1 " + std::string(kMainShare) +
                     "\n" +
                     tradeFields(date, 1 + static_cast<int>(random() % 50),
                                 5 + static_cast<int>(random() % 200), static_cast<int>(code));
            break;
        case Kind::Sale:
            code = nextCode++;
            script = "menu Befektetés/Részvény/Eladás\nchoose Combo1 FIFO.Legkorábbiak\n"
                     "choose Combo2 " + std::string(kMainShare) + "\n" +
                     tradeFields(date, 1 + static_cast<int>(random() % books.holding),
                                 5 + static_cast<int>(random() % 200), static_cast<int>(code));
            break;
        case Kind::Deposit:
            code = nextCode++;
            script = "menu Befektetés/Befektetési számla/Befizetés\ntype Text1 " + date +
                     "\ntype Text2 " + std::to_string(1 + random() % 100000) + "\ntype Text3 " +
                     std::to_string(code) + "\nclick Command1\n";
            break;
        case Kind::Deletion: {
            std::vector<long long> candidates(books.depositCodes.begin(), books.depositCodes.end());
            candidates.insert(candidates.end(), books.saleCodes.begin(), books.saleCodes.end());
            code = candidates[random() % candidates.size()];
            script = "menu Befektetés/Karbantartás/Adatsor törlés\ntype Text1 " +
                     std::to_string(code) + "\nanswer Yes\nclick Command1\n";
            break;
        }
        case Kind::Archive:
            script = "menu Befektetés/Részvény/Alapadatok\nchoose Combo1 " + share +
                     "\nclick Command2\n";
            break;
        case Kind::Undo:
            script = "menu Befektetés/Karbantartás/Utolsó művelet visszavonása\nanswer Yes\n"
                     "answer OK\n";
            break;
        }
        ++ran[kind];
        // Half the kills fall anywhere in the run, half near its end, where the files are saved.
        const double d = duration[kind];
        const double at = chance(50) ? d * 1.1 * (random() % 1000) / 1000.0
                                     : d * (0.6 + 0.5 * (random() % 1000) / 1000.0);
        Run run =
            replay(root, work, script, std::chrono::microseconds(static_cast<long long>(at * 1e6)));
        if (!run.killed) {
            duration[kind] = 0.7 * duration[kind] + 0.3 * run.seconds;
            if (run.exitCode != 0) {
                ++scriptFailures;
                std::cout << "round " << round << " (" << kindName(kind)
                          << "): the script failed:\n"
                          << run.output;
            }
        } else {
            ++killed;
            ++killedCount[kind];
        }
        std::error_code ec;
        // A journal on disk means the command committed: the next start must complete it.
        const bool committed = fs::exists(CommitJournal::journalPath(root), ec);
        if (committed)
            ++journalsFinished;
        for (auto &e : fs::recursive_directory_iterator(root, ec))
            if (e.path().filename().string().find(".vdx-new") != std::string::npos) {
                ++stagedLeft;
                break;
            }
        if (chance(25)) {
            fs::path other = work / (root.filename() == "Vandorix" ? "Vandorix1" : "Vandorix");
            fs::rename(root, other);
            root = other;
            ++renamed;
            if (committed)
                ++renamedWithJournal;
        }
        Run start = replay(root, work, "", std::nullopt);
        Books after;
        std::vector<std::string> bad = check(root, after);
        if (start.exitCode != 0)
            bad.push_back("a program indítása nem sikerült: " + start.output);
        const Files filesAfter = dataFiles(root);
        bool applied = false;
        std::set<long long> expected = books.ledgerCodes;
        switch (kind) {
        case Kind::Purchase:
        case Kind::Sale:
        case Kind::Deposit:
        case Kind::Deletion: {
            const bool present = after.ledgerCodes.count(code) > 0;
            applied = kind == Kind::Deletion ? !present : present;
            if (applied) {
                if (kind == Kind::Deletion)
                    expected.erase(code);
                else
                    expected.insert(code);
            }
            if (after.ledgerCodes != expected)
                bad.push_back("a parancs nem egészben vagy nem egyedül hatott");
            break;
        }
        case Kind::Archive: {
            const std::string productFile =
                std::string(install::kProductsFolder) + "/" + share + ".xls";
            std::vector<std::string> added;
            std::set_difference(after.archived.begin(), after.archived.end(),
                                books.archived.begin(), books.archived.end(),
                                std::back_inserter(added));
            applied = !filesAfter.count(productFile);
            const std::string accountFile = std::string(install::kMasterDataFolder) + "/Befszla.xls";
            int changedSheets = 0;
            try {
                auto was = decodeWorkbook(filesBeforeCommand.at(accountFile), accountFile);
                auto now = decodeWorkbook(filesAfter.at(accountFile), accountFile);
                for (const char *sheet : kArchiveSheets)
                    if (!was->sheet(sheet).sameContent(now->sheet(sheet)))
                        ++changedSheets;
            } catch (const std::exception &ex) {
                bad.push_back(std::string("a számla lapjai nem olvashatók: ") + ex.what());
            }
            if (applied) {
                if (added.size() != 1 || added.front().rfind(share, 0) != 0 ||
                    filesAfter.at(std::string(install::kArchiveFolder) + "/" + added.front()) !=
                        filesBeforeCommand.at(productFile))
                    bad.push_back("az arhivált termék nincs meg változatlanul az Arhiv mappában");
                if (changedSheets != 3)
                    bad.push_back("az arhiválás után " + std::to_string(changedSheets) +
                                  " lap változott a háromból");
            } else {
                if (!added.empty())
                    bad.push_back("a termék a Termekek mappában maradt, mégis van új arhív fájl");
                if (changedSheets != 0)
                    bad.push_back("az arhiválás elmaradt, mégis változott " +
                                  std::to_string(changedSheets) + " lap");
            }
            if (after.ledgerCodes != expected)
                bad.push_back("az arhiválás megváltoztatta a számla kódjait");
            break;
        }
        case Kind::Undo: {
            const std::vector<std::string> now = keptCommands(root);
            const bool stillKept = std::find(now.begin(), now.end(), undone) != now.end();
            applied = !stillKept;
            if (applied && filesAfter != kept.at(undone).before)
                bad.push_back("a visszavonás után a fájlok nem a parancs előttiek");
            if (!applied && filesAfter != filesBeforeCommand)
                bad.push_back("a visszavonás elmaradt, mégis változtak a fájlok");
            // Through the driver: the Yes/No question, then the notice of what was undone.
            if (!run.killed && (run.output.rfind("Kérdés\nAz utolsó művelet:\n", 0) != 0 ||
                                run.output.find("\nFelhívás\nVisszavonva:\n") == std::string::npos))
                bad.push_back("a visszavonás párbeszédei mások: " + run.output);
            break;
        }
        }
        if (kind != Kind::Undo && !recordKept(keptBefore, filesBeforeCommand) && applied) {
            if (run.killed)
                ++backupsLostWhenKilled;
            else
                bad.push_back("a befejezett parancs nem lett visszavonható");
        }
        if (!run.killed && run.exitCode == 0 && !applied)
            bad.push_back("a befejezett parancs elveszett");
        if (committed && !applied)
            bad.push_back("a naplózott parancs elveszett");
        if (run.killed && applied)
            ++appliedWhenKilled[kind];
        if (!bad.empty()) {
            ++failures;
            std::cout << "round " << round << " (" << kindName(kind) << ", kód " << code
                      << (share.empty() ? "" : ", " + share) << (run.killed ? ", megölve" : "")
                      << "):\n";
            for (const std::string &b : bad)
                std::cout << "  " << b << "\n";
        }
        books = std::move(after);
    }

    std::cout << "rounds " << rounds << ", killed mid-command " << killed
              << ", finished before the kill " << rounds - killed << ", renamed root " << renamed
              << "\n"
              << "kills that left a journal (finished by the next start) " << journalsFinished
              << ", of them with a renamed root " << renamedWithJournal
              << ", kills that left staged files " << stagedLeft << "\n"
              << "shares registered and sold out to archive " << sharesRegistered
              << ", killed commands that took effect without a kept version "
              << backupsLostWhenKilled << "\n";
    for (Kind k : kKinds)
        std::cout << "  " << kindName(k) << ": " << ran[k] << " rounds, " << killedCount[k]
                  << " killed, of them " << appliedWhenKilled[k] << " whole, "
                  << killedCount[k] - appliedWhenKilled[k] << " absent\n";
    std::cout << "script failures " << scriptFailures << ", rounds with a violation " << failures
              << "\n";
    if (!startBad.empty())
        std::cout << "the fresh installation already violated an invariant\n";
    if (!keep)
        fs::remove_all(work);
    return failures == 0 && scriptFailures == 0 && startBad.empty() ? 0 : 1;
}
