// Whether a round's command took effect whole, or not at all.
#include "Stress.h"

#include "store/OoxmlCodec.h"
#include "store/Sheet.h"

#include <algorithm>

namespace stress {

using namespace vandorix;

// The ledger's codes are those of the round before, with the round's code added (or
// removed, for a deletion) or not at all.
bool verifyLedgerCommand(const Round &r, const Books &before, const Books &after, std::vector<std::string> &bad) {
    std::set<long long> expected = before.ledgerCodes;
    const bool present = after.ledgerCodes.count(r.code) > 0;
    const bool applied = r.kind == Kind::Deletion ? !present : present;
    if (applied) {
        if (r.kind == Kind::Deletion)
            expected.erase(r.code);
        else
            expected.insert(r.code);
    }
    if (after.ledgerCodes != expected)
        bad.push_back("a parancs nem egészben vagy nem egyedül hatott");
    return applied;
}

// How many of the account's archive sheets the command changed; -1 when unreadable.
namespace {

int changedArchiveSheets(const Round &r, const Files &filesAfter, std::vector<std::string> &bad) {
    const std::string accountFile = std::string(install::kMasterDataFolder) + "/Befszla.xls";
    int changedSheets = 0;
    try {
        auto was = decodeWorkbook(r.filesBeforeCommand.at(accountFile), accountFile);
        auto now = decodeWorkbook(filesAfter.at(accountFile), accountFile);
        for (const char *sheet : kArchiveSheets)
            if (!was->sheet(sheet).sameContent(now->sheet(sheet)))
                ++changedSheets;
    } catch (const std::exception &ex) {
        bad.push_back(std::string("a számla lapjai nem olvashatók: ") + ex.what());
    }
    return changedSheets;
}

// The share is either still in "Termekek" with the archive sheets as before, or in "Arhiv"
// under a new name with all three sheets changed.
} // namespace

bool verifyArchive(const Round &r, const Books &before, const Books &after, const Files &filesAfter,
                   std::vector<std::string> &bad) {
    const std::string productFile = std::string(install::kProductsFolder) + "/" + r.share + ".xls";
    std::vector<std::string> added;
    std::set_difference(after.archived.begin(), after.archived.end(), before.archived.begin(),
                        before.archived.end(), std::back_inserter(added));
    const bool applied = !filesAfter.count(productFile);
    const int changedSheets = changedArchiveSheets(r, filesAfter, bad);
    if (applied) {
        if (added.size() != 1 || added.front().rfind(r.share, 0) != 0 ||
            filesAfter.at(std::string(install::kArchiveFolder) + "/" + added.front()) !=
                r.filesBeforeCommand.at(productFile))
            bad.push_back("az arhivált termék nincs meg változatlanul az Arhiv mappában");
        if (changedSheets != 3)
            bad.push_back("az arhiválás után " + std::to_string(changedSheets) +
                          " lap változott a háromból");
    } else {
        if (!added.empty())
            bad.push_back("a termék a Termekek mappában maradt, mégis van új arhív fájl");
        if (changedSheets != 0)
            bad.push_back("az arhiválás elmaradt, mégis változott " + std::to_string(changedSheets) +
                          " lap");
    }
    if (after.ledgerCodes != before.ledgerCodes)
        bad.push_back("az arhiválás megváltoztatta a számla kódjait");
    return applied;
}

// Every data file as before the undone command, its kept version gone, or as before the
// undo, its kept version still there.
bool verifyUndo(const Round &r, const Files &undoneBefore, const std::vector<std::string> &keptNow,
                const Files &filesAfter, std::vector<std::string> &bad) {
    const bool applied = std::find(keptNow.begin(), keptNow.end(), r.undone) == keptNow.end();
    if (applied && filesAfter != undoneBefore)
        bad.push_back("a visszavonás után a fájlok nem a parancs előttiek");
    if (!applied && filesAfter != r.filesBeforeCommand)
        bad.push_back("a visszavonás elmaradt, mégis változtak a fájlok");
    // Through the driver: the Yes/No question, then the notice of what was undone.
    if (!r.run.killed && (r.run.output.rfind("Kérdés\nAz utolsó művelet:\n", 0) != 0 ||
                          r.run.output.find("\nFelhívás\nVisszavonva:\n") == std::string::npos))
        bad.push_back("a visszavonás párbeszédei mások: " + r.run.output);
    return applied;
}

} // namespace stress
