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
        throw SaveError(target.string(), std::strerror(errno));
}

void renameOver(const fs::path &from, const fs::path &to) {
    if (std::rename(from.c_str(), to.c_str()) != 0)
        throw SaveError(to.string(), std::strerror(errno));
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
    writeFileDurably(stagingPath(target), bytes);
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
    std::string journal;
    for (auto &[target, bytes] : staged_) journal += target.string() + "\n";
    for (auto &target : removals_) journal += kRemovalRecord + target.string() + "\n";
    journal += kJournalEnd;
    journal += "\n";
    // From here on the command is committed: start-up finishes it if we die now.
    writeFileAtomically(journalPath(folder_), journal);
    // Removals first: until the first of them is done nothing has changed, so a failing one
    // can still be undone by forgetting the journal. Should the journal stay, so do the
    // staged files, and start-up finishes the commit.
    bool removedAny = false;
    for (auto &target : removals_) {
        try {
            removeFile(target);
        } catch (const SaveError &) {
            if (!removedAny && fs::remove(journalPath(folder_), ec)) {
                syncFolder(folder_);
                discard();
            } else {
                staged_.clear(); // forgotten, not deleted: start-up needs them
                removals_.clear();
            }
            throw;
        }
        removedAny = true;
    }
    for (auto &[target, bytes] : staged_) renameOver(stagingPath(target), target);
    for (auto &f : folders) syncFolder(f);
    fs::remove(journalPath(folder_));
    syncFolder(folder_);
    staged_.clear();
    removals_.clear();
    if (observer_) observer_->afterCommit();
}

void CommitJournal::discard() {
    std::error_code ec;
    for (auto &[target, bytes] : staged_) fs::remove(stagingPath(target), ec);
    staged_.clear();
    removals_.clear();
}

void CommitJournal::recover(const fs::path &folder, const std::vector<fs::path> &dataFolders) {
    fs::path journal = journalPath(folder);
    std::error_code ec;
    if (fs::exists(journal, ec)) {
        std::string text = readWholeFile(journal);
        std::vector<fs::path> targets, removals;
        std::istringstream lines(text);
        std::string line;
        bool complete = false;
        while (std::getline(lines, line)) {
            if (line == kJournalEnd) {
                complete = true;
                break;
            }
            if (line.rfind(kRemovalRecord, 0) == 0)
                removals.emplace_back(line.substr(std::strlen(kRemovalRecord)));
            else if (!line.empty())
                targets.emplace_back(line);
        }
        // The journal is written atomically, so it is always complete; an incomplete one is
        // ignored rather than half applied.
        if (complete) {
            for (auto &t : targets)
                if (fs::exists(stagingPath(t), ec)) renameOver(stagingPath(t), t);
            // A moved file reaches its new place above before its old place is removed.
            for (auto &t : removals) removeFile(t);
            for (auto &t : targets) syncFolder(t.parent_path());
            for (auto &t : removals) syncFolder(t.parent_path());
        }
        fs::remove(journal);
        syncFolder(folder);
    }
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
