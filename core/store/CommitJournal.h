#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace vandorix {

// Makes the file writes of one command reach the disk together. Each new file is first
// written in full beside its target under a staging name; at commit a journal naming every
// staged file is written atomically, then the staged files are renamed over their targets and
// the journal is removed. `recover` (run at start-up) finishes a commit whose journal exists
// and removes staged files of a command that never reached its journal.
class CommitJournal {
public:
    explicit CommitJournal(std::filesystem::path folder);

    void stage(const std::filesystem::path &target, std::string bytes);
    // The staged content of `target`, if any, so that a command reads what it wrote.
    const std::string *staged(const std::filesystem::path &target) const;
    bool empty() const { return staged_.empty(); }
    void commit();
    // Drops the staged files without touching their targets.
    void discard();

    static std::filesystem::path journalPath(const std::filesystem::path &folder);
    static std::filesystem::path stagingPath(const std::filesystem::path &target);
    // Completes or discards an interrupted commit. `dataFolders` are scanned for staged files
    // left without a journal.
    static void recover(const std::filesystem::path &folder,
                        const std::vector<std::filesystem::path> &dataFolders);

private:
    std::filesystem::path folder_;
    std::map<std::filesystem::path, std::string> staged_;
};

} // namespace vandorix
