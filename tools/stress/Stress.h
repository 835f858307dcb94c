#pragma once
// What the parts of vandorix-stress share: the commands it runs through vandorix-replay and
// the invariants it checks after each start.

#include "book/Templates.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace stress {

namespace fs = std::filesystem;

inline constexpr const char *kToday = "2026-12-06";
inline constexpr const char *kDataFolders[] = {
    vandorix::install::kMasterDataFolder, vandorix::install::kProductsFolder,
    vandorix::install::kAuxiliaryFolder, vandorix::install::kArchiveFolder};
inline constexpr const char *kUndoFolder = "Arhiv/Mentések";
inline constexpr const char *kMainShare = "Alfa";
inline constexpr const char *kArchiveSheets[] = {"ARHIV01", "Ertek01", "Eredmeny01"};

enum class Kind { Purchase, Sale, Deposit, Deletion, Archive, Undo };
inline constexpr Kind kKinds[] = {Kind::Purchase, Kind::Sale,    Kind::Deposit,
                                  Kind::Deletion, Kind::Archive, Kind::Undo};
const char *kindName(Kind k);

// --- Running commands -------------------------------------------------------------------

struct Run {
    bool killed = false; // still running when the kill came
    int exitCode = -1;
    double seconds = 0;
    std::string output;
};

// The folder this tool lies in, where vandorix-replay lies too.
fs::path ownFolder();

// Runs vandorix-replay from the program folder of `root` with `script`; kills it after
// `killAfter` when given.
Run replay(const fs::path &root, const fs::path &work, const std::string &script,
           std::optional<std::chrono::microseconds> killAfter);

// The trade date of a round: two rounds a day from 2025.01.01.
std::string dateOfRound(int round);
// The fields of the purchase or sale window, then its confirmation.
std::string tradeFields(const std::string &date, int quantity, int price, int code);
// The driver scripts of the commands.
std::string purchaseScript(const std::string &share, const std::string &date, int quantity, int price,
                           long long code);
std::string saleScript(const std::string &share, const std::string &date, int quantity, int price,
                       long long code);
std::string depositScript(const std::string &date, long long amount, long long code);
std::string deletionScript(long long code);
std::string registerScript(const std::string &share, const std::string &isin);
std::string archiveScript(const std::string &share);
std::string undoScript();

// --- Checking what a start leaves -------------------------------------------------------

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
Files dataFiles(const fs::path &root);

// The kept commands, oldest first.
std::vector<std::string> keptCommands(const fs::path &root);

// Checks every invariant; returns the violations, one a line, and fills `books`.
std::vector<std::string> check(const fs::path &root, Books &books);

// --- Judging a round --------------------------------------------------------------------

// One round: the command, what it works on, and what the files were before it.
struct Round {
    int number = 0;
    std::string date;
    Kind kind = Kind::Deposit;
    long long code = 0;
    std::string share;  // the share an archiving round archives
    std::string undone; // the kept command an undo round undoes
    Files filesBeforeCommand;
    std::vector<std::string> keptBefore;
    Run run;
    bool committed = false; // a journal was on disk after the kill
};

// Each returns whether the round's command took effect, and adds what is wrong to `bad`.
// A ledger command: the ledger's codes are those of the round before, with the round's code
// added (or removed, for a deletion) or not at all.
bool verifyLedgerCommand(const Round &r, const Books &before, const Books &after, std::vector<std::string> &bad);
// An archiving: the share still in "Termekek" with the archive sheets as before, or in
// "Arhiv" under a new name with all three changed.
bool verifyArchive(const Round &r, const Books &before, const Books &after, const Files &filesAfter,
                   std::vector<std::string> &bad);
// An undo: every data file as before the undone command (`undoneBefore`), its kept version
// gone, or as before the undo, its kept version still there.
bool verifyUndo(const Round &r, const Files &undoneBefore, const std::vector<std::string> &keptNow,
                const Files &filesAfter, std::vector<std::string> &bad);

} // namespace stress
