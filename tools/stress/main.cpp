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

#include "Stress.h"

#include "store/AtomicFile.h"
#include "store/CommitJournal.h"
#include "store/OoxmlCodec.h"
#include "store/Sheet.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <random>
#include <unistd.h>

using namespace stress;
using namespace vandorix;

namespace {

struct Options {
    int rounds = 300;
    unsigned seed = static_cast<unsigned>(std::random_device{}());
    bool keep = false;
};

std::optional<Options> parseOptions(int argc, char **argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--rounds" && i + 1 < argc)
            o.rounds = std::atoi(argv[++i]);
        else if (a == "--seed" && i + 1 < argc)
            o.seed = static_cast<unsigned>(std::atoll(argv[++i]));
        else if (a == "--keep")
            o.keep = true;
        else
            return std::nullopt;
    }
    if (o.rounds <= 0)
        return std::nullopt;
    return o;
}

int usage() {
    std::cerr << "Használat: vandorix-stress [--rounds N] [--seed S] [--keep]\n";
    return 2;
}

class StressTest {
public:
    explicit StressTest(const Options &options) : options_(options), random_(options.seed) {}

    int run() {
        if (!layOut())
            return 1;
        std::vector<std::string> startBad = check(root_, books_);
        for (int round = 0; round < options_.rounds; ++round)
            if (!runRound(round))
                break;
        report();
        if (!startBad.empty())
            std::cout << "the fresh installation already violated an invariant\n";
        if (!options_.keep)
            fs::remove_all(work_);
        return failures_ == 0 && scriptFailures_ == 0 && startBad.empty() ? 0 : 1;
    }

private:
    bool chance(int percent) { return static_cast<int>(random_() % 100) < percent; }

    // A fresh installation in a temporary folder, vandorix-replay beside it and the main share
    // registered.
    bool layOut() {
        std::string pattern = (fs::temp_directory_path() / "vandorix-stress-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            return false;
        work_ = pattern;
        root_ = work_ / "Vandorix";
        fs::create_directories(root_ / install::kProgramFolder);
        for (const char *folder : kDataFolders)
            fs::create_directories(root_ / folder);
        for (const InstallationWorkbook &entry : kInstallationWorkbooks)
            writeFileDurably(root_ / entry.folder / entry.fileName, encodeWorkbook(*entry.make()));
        fs::copy_file(ownFolder() / "vandorix-replay",
                      root_ / install::kProgramFolder / "vandorix-replay");
        std::cout << "seed " << options_.seed << ", folder " << work_ << "\n";
        Run setup = replay(root_, work_, registerScript(kMainShare, "HU0000123456"), std::nullopt);
        if (setup.exitCode != 0) {
            std::cerr << "the share could not be registered:\n" << setup.output;
            return false;
        }
        return true;
    }

    Kind pickKind() {
        int pick = static_cast<int>(random_() % 100);
        if (pick < 20)
            return Kind::Purchase;
        if (pick < 37)
            return books_.holding > 0 ? Kind::Sale : Kind::Purchase;
        if (pick < 54)
            return Kind::Deposit;
        if (pick < 68)
            return books_.depositCodes.empty() && books_.saleCodes.empty() ? Kind::Deposit
                                                                           : Kind::Deletion;
        if (pick < 84)
            return Kind::Archive;
        return Kind::Undo;
    }

    // Records the kept command a run added, if any; returns whether it added one.
    bool recordKept(const std::vector<std::string> &keptBefore, const Files &before) {
        const std::vector<std::string> now = keptCommands(root_);
        std::vector<std::string> added;
        std::set_difference(now.begin(), now.end(), keptBefore.begin(), keptBefore.end(),
                            std::back_inserter(added));
        for (auto it = kept_.begin(); it != kept_.end();)
            it = std::find(now.begin(), now.end(), it->first) == now.end() ? kept_.erase(it)
                                                                            : std::next(it);
        if (added.size() == 1)
            kept_[added.front()] = Kept{before, dataFiles(root_)};
        return !added.empty();
    }

    // A run that is not killed and must succeed: registering, buying and selling out a share
    // to archive.
    bool prepare(const std::string &script) {
        const Files before = dataFiles(root_);
        const std::vector<std::string> keptBefore = keptCommands(root_);
        Run run = replay(root_, work_, script, std::nullopt);
        if (run.exitCode != 0) {
            ++scriptFailures_;
            std::cout << "a preparing run failed:\n" << script << run.output;
            return false;
        }
        recordKept(keptBefore, before);
        return true;
    }

    // A sold-out share to archive: one left from before, or a new one registered, bought and
    // sold out. Empty when preparing it failed.
    std::string shareToArchive(const std::string &date) {
        if (!books_.soldOut.empty())
            return books_.soldOut[random_() % books_.soldOut.size()];
        // Letters only: a digit at the end would read as an archive number.
        std::string share = "Beta";
        for (int n = sharesRegistered_++; n >= 0; n = n / 26 - 1)
            share += static_cast<char>('a' + n % 26);
        const int quantity = 1 + static_cast<int>(random_() % 50);
        const int price = 5 + static_cast<int>(random_() % 200);
        const long long bought = nextCode_++, sold = nextCode_++;
        if (!prepare(registerScript(share, "B" + std::to_string(sharesRegistered_))) ||
            !prepare(purchaseScript(share, date, quantity, price, bought)) ||
            !prepare(saleScript(share, date, quantity, price + 1, sold)))
            return "";
        books_ = Books{};
        for (const std::string &b : check(root_, books_))
            std::cout << "after preparing " << share << ": " << b << "\n";
        return share;
    }

    std::string commandScript(Round &r) {
        switch (r.kind) {
        case Kind::Purchase: {
            r.code = nextCode_++;
            const int quantity = 1 + static_cast<int>(random_() % 50);
            return purchaseScript(kMainShare, r.date, quantity, 5 + static_cast<int>(random_() % 200), r.code);
        }
        case Kind::Sale: {
            r.code = nextCode_++;
            const int quantity = 1 + static_cast<int>(random_() % books_.holding);
            return saleScript(kMainShare, r.date, quantity, 5 + static_cast<int>(random_() % 200), r.code);
        }
        case Kind::Deposit:
            r.code = nextCode_++;
            return depositScript(r.date, static_cast<long long>(1 + random_() % 100000), r.code);
        case Kind::Deletion: {
            std::vector<long long> candidates(books_.depositCodes.begin(), books_.depositCodes.end());
            candidates.insert(candidates.end(), books_.saleCodes.begin(), books_.saleCodes.end());
            r.code = candidates[random_() % candidates.size()];
            return deletionScript(r.code);
        }
        case Kind::Archive: return archiveScript(r.share);
        case Kind::Undo: return undoScript();
        }
        return "";
    }

    // Chooses the round's command and what it works on; false when preparing it failed.
    bool chooseCommand(Round &r) {
        r.kind = pickKind();
        const Files filesBefore = dataFiles(root_);
        const std::vector<std::string> keptBefore = keptCommands(root_);
        if (r.kind == Kind::Undo) {
            auto it = keptBefore.empty() ? kept_.end() : kept_.find(keptBefore.back());
            if (it != kept_.end() && it->second.after == filesBefore)
                r.undone = it->first;
            else
                r.kind = Kind::Deposit;
        }
        if (r.kind == Kind::Archive) {
            r.share = shareToArchive(r.date);
            if (r.share.empty())
                return false;
        }
        return true;
    }

    // Runs the command and kills it at a random moment: half the kills fall anywhere in the
    // run, half near its end, where the files are saved.
    void runKilled(Round &r, const std::string &script) {
        ++ran_[r.kind];
        const double d = duration_[r.kind];
        const double at = chance(50) ? d * 1.1 * (random_() % 1000) / 1000.0
                                     : d * (0.6 + 0.5 * (random_() % 1000) / 1000.0);
        r.run = replay(root_, work_, script, std::chrono::microseconds(static_cast<long long>(at * 1e6)));
        if (!r.run.killed) {
            duration_[r.kind] = 0.7 * duration_[r.kind] + 0.3 * r.run.seconds;
            if (r.run.exitCode != 0) {
                ++scriptFailures_;
                std::cout << "round " << r.number << " (" << kindName(r.kind) << "): the script failed:\n"
                          << r.run.output;
            }
        } else {
            ++killed_;
            ++killedCount_[r.kind];
        }
        std::error_code ec;
        // A journal on disk means the command committed: the next start must complete it.
        r.committed = fs::exists(CommitJournal::journalPath(root_), ec);
        if (r.committed)
            ++journalsFinished_;
        for (auto &e : fs::recursive_directory_iterator(root_, ec))
            if (e.path().filename().string().find(".vdx-new") != std::string::npos) {
                ++stagedLeft_;
                break;
            }
    }

    void maybeRenameRoot(bool committed) {
        if (!chance(25))
            return;
        fs::path other = work_ / (root_.filename() == "Vandorix" ? "Vandorix1" : "Vandorix");
        fs::rename(root_, other);
        root_ = other;
        ++renamed_;
        if (committed)
            ++renamedWithJournal_;
    }

    bool runRound(int round) {
        Round r;
        r.number = round;
        r.date = dateOfRound(round);
        if (!chooseCommand(r)) {
            ++failures_;
            return false;
        }
        r.filesBeforeCommand = dataFiles(root_);
        r.keptBefore = keptCommands(root_);
        const std::string script = commandScript(r);
        runKilled(r, script);
        maybeRenameRoot(r.committed);
        Run start = replay(root_, work_, "", std::nullopt);
        Books after;
        std::vector<std::string> bad = check(root_, after);
        if (start.exitCode != 0)
            bad.push_back("a program indítása nem sikerült: " + start.output);
        verifyOutcome(r, after, bad);
        if (!bad.empty()) {
            ++failures_;
            std::cout << "round " << round << " (" << kindName(r.kind) << ", kód " << r.code
                      << (r.share.empty() ? "" : ", " + r.share) << (r.run.killed ? ", megölve" : "")
                      << "):\n";
            for (const std::string &b : bad)
                std::cout << "  " << b << "\n";
        }
        books_ = std::move(after);
        return true;
    }

    // The command is whole or absent, and whole when it was not killed or left a journal.
    void verifyOutcome(const Round &r, const Books &after, std::vector<std::string> &bad) {
        const Files filesAfter = dataFiles(root_);
        bool applied = false;
        switch (r.kind) {
        case Kind::Purchase:
        case Kind::Sale:
        case Kind::Deposit:
        case Kind::Deletion: applied = verifyLedgerCommand(r, books_, after, bad); break;
        case Kind::Archive: applied = verifyArchive(r, books_, after, filesAfter, bad); break;
        case Kind::Undo:
            applied = verifyUndo(r, kept_.at(r.undone).before, keptCommands(root_), filesAfter, bad);
            break;
        }
        if (r.kind != Kind::Undo && !recordKept(r.keptBefore, r.filesBeforeCommand) && applied) {
            if (r.run.killed)
                ++backupsLostWhenKilled_;
            else
                bad.push_back("a befejezett parancs nem lett visszavonható");
        }
        if (!r.run.killed && r.run.exitCode == 0 && !applied)
            bad.push_back("a befejezett parancs elveszett");
        if (r.committed && !applied)
            bad.push_back("a naplózott parancs elveszett");
        if (r.run.killed && applied)
            ++appliedWhenKilled_[r.kind];
    }

    void report() {
        const int rounds = options_.rounds;
        std::cout << "rounds " << rounds << ", killed mid-command " << killed_
                  << ", finished before the kill " << rounds - killed_ << ", renamed root " << renamed_
                  << "\n"
                  << "kills that left a journal (finished by the next start) " << journalsFinished_
                  << ", of them with a renamed root " << renamedWithJournal_
                  << ", kills that left staged files " << stagedLeft_ << "\n"
                  << "shares registered and sold out to archive " << sharesRegistered_
                  << ", killed commands that took effect without a kept version "
                  << backupsLostWhenKilled_ << "\n";
        for (Kind k : kKinds)
            std::cout << "  " << kindName(k) << ": " << ran_[k] << " rounds, " << killedCount_[k]
                      << " killed, of them " << appliedWhenKilled_[k] << " whole, "
                      << killedCount_[k] - appliedWhenKilled_[k] << " absent\n";
        std::cout << "script failures " << scriptFailures_ << ", rounds with a violation " << failures_
                  << "\n";
    }

    // The data files before and after each kept command this tool ran, by the kept command's
    // folder name: an undo must bring back the former, and is offered only when the files are
    // still the latter.
    struct Kept {
        Files before, after;
    };

    Options options_;
    std::mt19937 random_;
    fs::path work_, root_;
    Books books_;
    std::map<std::string, Kept> kept_;
    std::map<Kind, double> duration_{{Kind::Purchase, 0.3}, {Kind::Sale, 0.3}, {Kind::Deposit, 0.2},
                                     {Kind::Deletion, 0.3}, {Kind::Archive, 0.3}, {Kind::Undo, 0.3}};
    std::map<Kind, int> ran_, killedCount_, appliedWhenKilled_;
    int failures_ = 0, killed_ = 0, renamed_ = 0, renamedWithJournal_ = 0, journalsFinished_ = 0,
        stagedLeft_ = 0, scriptFailures_ = 0, backupsLostWhenKilled_ = 0, sharesRegistered_ = 0;
    long long nextCode_ = 1;
};

} // namespace

int main(int argc, char **argv) {
    std::optional<Options> options = parseOptions(argc, argv);
    if (!options)
        return usage();
    return StressTest(*options).run();
}
