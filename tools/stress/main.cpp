// vandorix-stress [--rounds N] [--seed S] [--keep]: kills real commands at random moments and
// checks what the next start leaves. Run by hand, never by the test command.
//
// A fresh installation is laid out in a temporary folder with the share "Alfa". Each round runs
// one command (purchase, sale, deposit, or the deletion of a ledger row) through
// vandorix-replay, which lies beside this tool, and kills it with SIGKILL after a random delay
// drawn from that command's measured duration. Some rounds then rename the installation root
// ("Vandorix" <-> "Vandorix1") before the next start. The program is started again (which
// finishes or drops the interrupted commit), and the files are checked:
//  - no journal and no staged or temporary file is left;
//  - every workbook opens;
//  - the ledger's balance column is the running sum of its movements, its totals row in place;
//  - every trade of "Szla" has exactly one ledger row and every trade row of the ledger one
//    trade, the holding is the running sum of the signed quantities and never negative;
//  - the command is whole or absent: the ledger's codes are those of the round before, with the
//    round's code added (or removed, for a deletion) or not at all; a command that was not
//    killed, or was killed after its journal was written, must have taken effect.
// Exit code 0 when every round passed, 1 otherwise, 2 on wrong usage.

#include "store/AtomicFile.h"
#include "store/CommitJournal.h"
#include "store/OoxmlCodec.h"
#include "store/Sheet.h"
#include "store/Templates.h"

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

enum class Kind { Purchase, Sale, Deposit, Deletion };
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
    std::vector<long long> saleCodes;
    int holding = 0;
};

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
    auto product = opened.find(std::string(install::kProductsFolder) + "/Alfa.xls");
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
    const Sheet &t = product->second->sheet("Szla");
    std::set<long long> trades;
    int holding = 0;
    for (int q = 5; !t.value(q, 1).isBlank(); ++q) {
        long long code = integerAt(t, q, 21);
        if (!trades.insert(code).second)
            bad.push_back("kétszer szereplő kód a termék számláján: " + std::to_string(code));
        holding += static_cast<int>(integerAt(t, q, 17));
        if (integerAt(t, q, 18) != holding || holding < 0)
            bad.push_back("a termék R" + std::to_string(q) + " készlete téves");
        if (t.value(q, 19).text() == std::optional<std::string>("EAR"))
            books.saleCodes.push_back(code);
    }
    books.holding = holding;
    if (trades != ledgerTrades)
        bad.push_back("a termék ügyletei és a számla ügyletsorai nem felelnek meg egymásnak");
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
    std::map<Kind, double> duration{
        {Kind::Purchase, 0.3}, {Kind::Sale, 0.3}, {Kind::Deposit, 0.2}, {Kind::Deletion, 0.3}};
    std::map<Kind, int> ran, killedCount, appliedWhenKilled;
    int failures = 0, killed = 0, renamed = 0, renamedWithJournal = 0, journalsFinished = 0,
        stagedLeft = 0, scriptFailures = 0;
    long long nextCode = 1;
    for (int round = 0; round < rounds; ++round) {
        const std::string date = dateOfRound(round);
        Kind kind;
        int pick = static_cast<int>(random() % 100);
        if (pick < 30)
            kind = Kind::Purchase;
        else if (pick < 55)
            kind = books.holding > 0 ? Kind::Sale : Kind::Purchase;
        else if (pick < 80)
            kind = Kind::Deposit;
        else
            kind = books.depositCodes.empty() && books.saleCodes.empty() ? Kind::Deposit
                                                                         : Kind::Deletion;
        std::string script;
        long long code = 0;
        switch (kind) {
        case Kind::Purchase:
            code = nextCode++;
            script = "menu Befektetés/Részvény/Vétel\nchoose Combo1 Alfa\n" +
                     tradeFields(date, 1 + static_cast<int>(random() % 50),
                                 5 + static_cast<int>(random() % 200), static_cast<int>(code));
            break;
        case Kind::Sale:
            code = nextCode++;
            script = "menu Befektetés/Részvény/Eladás\nchoose Combo1 FIFO.Legkorábbiak\n"
                     "choose Combo2 Alfa\n" +
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
        const bool present = after.ledgerCodes.count(code) > 0;
        const bool applied = kind == Kind::Deletion ? !present : present;
        std::set<long long> expected = books.ledgerCodes;
        if (applied) {
            if (kind == Kind::Deletion)
                expected.erase(code);
            else
                expected.insert(code);
        }
        if (after.ledgerCodes != expected)
            bad.push_back("a parancs nem egészben vagy nem egyedül hatott");
        if (!run.killed && run.exitCode == 0 && !applied)
            bad.push_back("a befejezett parancs elveszett");
        if (committed && !applied)
            bad.push_back("a naplózott parancs elveszett");
        if (run.killed && applied)
            ++appliedWhenKilled[kind];
        if (!bad.empty()) {
            ++failures;
            std::cout << "round " << round << " (" << kindName(kind) << ", kód " << code
                      << (run.killed ? ", megölve" : "") << "):\n";
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
              << ", kills that left staged files " << stagedLeft << "\n";
    for (Kind k : {Kind::Purchase, Kind::Sale, Kind::Deposit, Kind::Deletion})
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
