#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace vandorix {

// Makes the file writes of one command reach the disk together. Each new file is first
// written in full beside its target under a staging name; at commit a journal naming every
// staged file is written atomically, then the staged files are renamed over their targets and
// the journal is removed. The journal names its files relative to its own folder (the
// installation root), so a commit interrupted and then moved or renamed with its folder is
// still finished. `recover` (run at start-up) finishes a commit whose journal exists and
// removes staged files of a command that never reached its journal; a commit it cannot finish
// is left exactly as it is, journal and staged files included.
//
// A command may also remove files. A file moved to another folder is staged at its new place
// like a save and its old place is staged for removal; the journal then carries a removal
// record, so a commit leaves either both places as they were or the file at its new place
// only.
// Told about each commit that changes files, so what it replaces can be kept. It must not
// throw: keeping the old versions never blocks the commit.
class CommitObserver {
public:
    virtual ~CommitObserver() = default;
    // Before the journal is written; nothing has changed yet. `staged` maps each target to its
    // new content; `removals` are the files the commit removes.
    virtual void beforeCommit(const std::map<std::filesystem::path, std::string> &staged,
                              const std::set<std::filesystem::path> &removals) noexcept = 0;
    // Every file of the commit is in place.
    virtual void afterCommit() noexcept = 0;
};

class CommitJournal {
public:
    explicit CommitJournal(std::filesystem::path folder);

    // Writes the staged file; when that fails the partial staged file is removed at once. A
    // removal of `target` staged before is dropped.
    void stage(const std::filesystem::path &target, std::string bytes);
    // The staged content of `target`, if any, so that a command reads what it wrote.
    const std::string *staged(const std::filesystem::path &target) const;
    // Stages the removal of `target` at commit; content staged for it before is dropped. The
    // file must exist when the command commits.
    void stageRemoval(const std::filesystem::path &target);
    bool removalStaged(const std::filesystem::path &target) const;
    bool empty() const { return staged_.empty() && removals_.empty(); }
    // Throws `SaveError` when a file staged for removal is missing or the journal cannot be
    // written (nothing is replaced; the staged files stay for `discard`). After the journal the
    // removals come first, then the renames: when the very first of these steps fails nothing
    // has changed, so the journal and the staged files are dropped; a later failure leaves the
    // commit standing, finished by `finishUnfinished` or at the next start.
    void commit();
    void setObserver(CommitObserver *observer) { observer_ = observer; }
    // Drops the staged files without touching their targets.
    void discard();
    // Completes a commit whose renames failed in this run; does nothing otherwise.
    void finishUnfinished();

    static std::filesystem::path journalPath(const std::filesystem::path &folder);
    static std::filesystem::path stagingPath(const std::filesystem::path &target);
    // Completes or discards an interrupted commit. `dataFolders` are scanned for staged files
    // left without a journal. Throws `UnfinishedCommitError` when a journal names a file that
    // is neither staged nor present, or the journal itself is cut short: nothing is changed.
    static void recover(const std::filesystem::path &folder,
                        const std::vector<std::filesystem::path> &dataFolders);

private:
    // One line per staged target and per removal, then the end mark.
    std::string journalText() const;
    // Removes and renames what the journal names; on failure, forgets the journal when nothing
    // changed yet, else leaves the commit to `finishUnfinished`.
    void applyJournal();

    std::filesystem::path folder_;
    std::map<std::filesystem::path, std::string> staged_;
    std::set<std::filesystem::path> removals_;
    bool unfinished_ = false;
    CommitObserver *observer_ = nullptr;
};

} // namespace vandorix
