#include "store/CommitJournal.h"

#include "store/AtomicFile.h"
#include "store/HostError.h"

#include <cerrno>
#include <cstdio>
#include <set>
#include <sstream>

namespace vandorix {
namespace fs = std::filesystem;

namespace {
constexpr const char *kStagingSuffix = ".vdx-new";
constexpr const char *kJournalName = ".vandorix-journal";
constexpr const char *kJournalEnd = "END";

void renameOver(const fs::path &from, const fs::path &to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw SaveError(to.string(), ErrnoText(errno));
}

bool present(const fs::path &p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

// The targets a journal names, resolved against its folder. A line written as an absolute
// path (by an older version) resolves to itself.
std::vector<fs::path> journalTargets(const fs::path &folder, const fs::path &journal) {
    std::string text = readWholeFile(journal);
    std::vector<fs::path> targets;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line == kJournalEnd) return targets;
        if (!line.empty()) targets.push_back((folder / line).lexically_normal());
    }
    // Written atomically, a journal is always whole: a cut one is a damaged disk or a hand
    // edit, and nothing it names is touched.
    throw UnfinishedCommitError(journal.string(), "a napló csonka, nem fejeződik be „END” sorral");
}

// Renames every staged file of the journal over its target, after checking that each can be
// finished: a target whose staged file is gone must already be in place. Nothing is renamed
// when one cannot.
void finishJournal(const fs::path &folder) {
    const fs::path journal = CommitJournal::journalPath(folder);
    std::vector<fs::path> targets = journalTargets(folder, journal);
    for (const fs::path &t : targets)
        if (!present(CommitJournal::stagingPath(t)) && !present(t))
            throw UnfinishedCommitError(journal.string(),
                                        "sem ez a fájl, sem az új változata (" +
                                            CommitJournal::stagingPath(t).filename().string() +
                                            ") nem található: " + t.string());
    std::set<fs::path> folders;
    for (const fs::path &t : targets) {
        if (present(CommitJournal::stagingPath(t))) renameOver(CommitJournal::stagingPath(t), t);
        folders.insert(t.parent_path());
    }
    for (const fs::path &f : folders) syncFolder(f);
    fs::remove(journal);
    syncFolder(folder);
}

} // namespace

CommitJournal::CommitJournal(fs::path folder) : folder_(std::move(folder)) {}

fs::path CommitJournal::journalPath(const fs::path &folder) { return folder / kJournalName; }

fs::path CommitJournal::stagingPath(const fs::path &target) {
    fs::path p = target;
    p += kStagingSuffix;
    return p;
}

void CommitJournal::stage(const fs::path &target, std::string bytes) {
    const fs::path staging = stagingPath(target);
    try {
        writeFileDurably(staging, bytes, ModeToKeep(target));
    } catch (...) {
        // A full disk leaves no half-written file behind.
        std::error_code ec;
        fs::remove(staging, ec);
        throw;
    }
    staged_[target] = std::move(bytes);
}

const std::string *CommitJournal::staged(const fs::path &target) const {
    auto it = staged_.find(target);
    return it == staged_.end() ? nullptr : &it->second;
}

void CommitJournal::commit() {
    if (staged_.empty()) return;
    std::set<fs::path> folders;
    for (auto &[target, bytes] : staged_) folders.insert(target.parent_path());
    for (auto &f : folders) syncFolder(f);
    // Names relative to the journal's folder: the commit survives the folder being moved.
    std::string journal;
    for (auto &[target, bytes] : staged_)
        journal += target.lexically_normal().lexically_relative(folder_.lexically_normal())
                       .generic_string() + "\n";
    journal += kJournalEnd;
    journal += "\n";
    // From here on the command is committed: start-up finishes it if we die now.
    writeFileAtomically(journalPath(folder_), journal);
    std::vector<fs::path> targets;
    for (auto &[target, bytes] : staged_) targets.push_back(target);
    // The staged files now belong to the journal: a failure below must not discard them.
    staged_.clear();
    try {
        for (const fs::path &t : targets) renameOver(stagingPath(t), t);
    } catch (const HostError &e) {
        unfinished_ = true;
        throw SaveError(targets.front().string(),
                        std::string(e.what()) + "; a mentés a következő műveletnél vagy "
                                                "indításkor fejeződik be");
    }
    for (auto &f : folders) syncFolder(f);
    fs::remove(journalPath(folder_));
    syncFolder(folder_);
}

void CommitJournal::finishUnfinished() {
    if (!unfinished_) return;
    std::error_code ec;
    if (fs::exists(journalPath(folder_), ec)) finishJournal(folder_);
    unfinished_ = false;
}

void CommitJournal::discard() {
    std::error_code ec;
    for (auto &[target, bytes] : staged_) fs::remove(stagingPath(target), ec);
    staged_.clear();
}

void CommitJournal::recover(const fs::path &folder, const std::vector<fs::path> &dataFolders) {
    std::error_code ec;
    // Throws, changing nothing, when the commit cannot be finished: no staged file is removed
    // below while its journal remains.
    if (fs::exists(journalPath(folder), ec)) finishJournal(folder);
    // A journal whose atomic write was cut short is left under its temporary name: the
    // command never committed, so it goes like the command's staged files.
    const std::string journalTemp = std::string(kJournalName) + ".vdx-tmp-";
    for (auto &entry : fs::directory_iterator(folder, ec))
        if (entry.path().filename().string().rfind(journalTemp, 0) == 0) fs::remove(entry.path(), ec);
    for (auto &dir : dataFolders) {
        if (!fs::is_directory(dir, ec)) continue;
        for (auto &entry : fs::directory_iterator(dir, ec)) {
            std::string name = entry.path().filename().string();
            auto endsWith = [&](const std::string &suffix) {
                return name.size() > suffix.size() &&
                       name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
            };
            if (endsWith(kStagingSuffix) || name.find(".vdx-tmp-") != std::string::npos)
                fs::remove(entry.path(), ec);
        }
    }
}

} // namespace vandorix
