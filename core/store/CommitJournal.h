#pragma once

#include <filesystem>
#include <map>
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
class CommitJournal {
public:
    explicit CommitJournal(std::filesystem::path folder);

    // Writes the staged file; when that fails the partial staged file is removed at once.
    void stage(const std::filesystem::path &target, std::string bytes);
    // The staged content of `target`, if any, so that a command reads what it wrote.
    const std::string *staged(const std::filesystem::path &target) const;
    bool empty() const { return staged_.empty(); }
    // Throws `SaveError` when the journal cannot be written (nothing is replaced; the staged
    // files stay for `discard`) or when a rename fails after it was written: then the commit
    // stands and is finished by `finishUnfinished` or at the next start.
    void commit();
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
    std::filesystem::path folder_;
    std::map<std::filesystem::path, std::string> staged_;
    bool unfinished_ = false;
};

} // namespace vandorix
