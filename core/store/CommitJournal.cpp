#include "store/CommitJournal.h"

#include "store/AtomicFile.h"
#include "store/HostError.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <sstream>
#include <unistd.h>

namespace vandorix {
namespace fs = std::filesystem;

namespace {
constexpr const char *kStagingSuffix = ".vdx-new";
constexpr const char *kJournalName = ".vandorix-journal";
constexpr const char *kJournalEnd = "END";
// A journal line naming a file the commit removes; every other line names a staged target.
constexpr const char *kRemovalRecord = "remove\t";

void removeFile(const fs::path &target) {
    if (::unlink(target.c_str()) != 0 && errno != ENOENT)
        throw SaveError(target.string(), ErrnoText(errno));
}

void renameOver(const fs::path &from, const fs::path &to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw SaveError(to.string(), ErrnoText(errno));
}

bool present(const fs::path &p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

struct JournalEntries {
    std::vector<fs::path> targets;
    std::vector<fs::path> removals;
};

// The targets and removals a journal names, resolved against its folder. A line written as an
// absolute path (by an older version) resolves to itself.
JournalEntries journalEntries(const fs::path &folder, const fs::path &journal) {
    std::string text = readWholeFile(journal);
    JournalEntries entries;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line == kJournalEnd) return entries;
        if (line.rfind(kRemovalRecord, 0) == 0)
            entries.removals.push_back(
                (folder / line.substr(std::strlen(kRemovalRecord))).lexically_normal());
        else if (!line.empty())
            entries.targets.push_back((folder / line).lexically_normal());
    }
    // Written atomically, a journal is always whole: a cut one is a damaged disk or a hand
    // edit, and nothing it names is touched.
    throw UnfinishedCommitError(journal.string(), "a napló csonka, nem fejeződik be „END” sorral");
}

// Renames every staged file of the journal over its target, after checking that each can be
// finished: a target whose staged file is gone must already be in place. Nothing is renamed
// when one cannot. The removals follow the renames, so a moved file reaches its new place
// before its old place goes.
void finishJournal(const fs::path &folder) {
    const fs::path journal = CommitJournal::journalPath(folder);
    JournalEntries entries = journalEntries(folder, journal);
    const std::vector<fs::path> &targets = entries.targets;
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
    for (const fs::path &t : entries.removals) {
        removeFile(t);
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
    removals_.erase(target);
}

void CommitJournal::stageRemoval(const fs::path &target) {
    if (staged_.erase(target)) {
        std::error_code ec;
        fs::remove(stagingPath(target), ec);
    }
    removals_.insert(target);
}

bool CommitJournal::removalStaged(const fs::path &target) const {
    return removals_.count(target) != 0;
}

const std::string *CommitJournal::staged(const fs::path &target) const {
    auto it = staged_.find(target);
    return it == staged_.end() ? nullptr : &it->second;
}

void CommitJournal::commit() {
    if (empty()) return;
    // A file to be removed that is already gone would make the commit remove nothing while
    // its new copy appears: the command is refused before its journal.
    std::error_code ec;
    for (auto &target : removals_)
        if (!fs::is_regular_file(target, ec)) {
            discard();
            throw SaveError(target.string(), "az áthelyezendő fájl nem található");
        }
    if (observer_) observer_->beforeCommit(staged_, removals_);
    std::set<fs::path> folders;
    for (auto &[target, bytes] : staged_) folders.insert(target.parent_path());
    for (auto &f : folders) syncFolder(f);
    for (auto &target : removals_) folders.insert(target.parent_path());
    // From here on the command is committed: start-up finishes it if we die now.
    writeFileAtomically(journalPath(folder_), journalText());
    applyJournal();
    staged_.clear();
    removals_.clear();
    for (auto &f : folders) syncFolder(f);
    fs::remove(journalPath(folder_));
    syncFolder(folder_);
    if (observer_) observer_->afterCommit();
}

std::string CommitJournal::journalText() const {
    // Names relative to the journal's folder: the commit survives the folder being moved.
    const fs::path root = folder_.lexically_normal();
    auto relative = [&](const fs::path &p) {
        return p.lexically_normal().lexically_relative(root).generic_string();
    };
    std::string journal;
    for (auto &[target, bytes] : staged_) journal += relative(target) + "\n";
    for (auto &target : removals_) journal += kRemovalRecord + relative(target) + "\n";
    journal += kJournalEnd;
    journal += "\n";
    return journal;
}

void CommitJournal::applyJournal() {
    std::vector<fs::path> targets;
    for (auto &[target, bytes] : staged_) targets.push_back(target);
    std::vector<fs::path> removals(removals_.begin(), removals_.end());
    // Removals first, as they are what may fail for want of rights. Until the first step is
    // done nothing has changed, so a failing one is undone by forgetting the journal. Once
    // the journal has to stay, the staged files belong to it: a failure must not discard
    // them, since a moved file may by then exist only as its staged copy.
    bool changedAny = false;
    try {
        for (const fs::path &t : removals) {
            removeFile(t);
            changedAny = true;
        }
        for (const fs::path &t : targets) {
            renameOver(stagingPath(t), t);
            changedAny = true;
        }
    } catch (const HostError &e) {
        std::error_code ec;
        if (!changedAny && fs::remove(journalPath(folder_), ec)) {
            syncFolder(folder_);
            discard();
            throw;
        }
        staged_.clear();
        removals_.clear();
        unfinished_ = true;
        const fs::path &first = targets.empty() ? removals.front() : targets.front();
        throw SaveError(first.string(), std::string(e.what()) + "; a mentés a következő "
                                                                "műveletnél vagy indításkor "
                                                                "fejeződik be");
    }
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
    removals_.clear();
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
