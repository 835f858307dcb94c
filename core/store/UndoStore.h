#pragma once

#include "store/CommitJournal.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vandorix {

// Keeps what each committed command replaced, so the last commands can be undone in order.
// Every commit gets a folder of its own under "Arhiv/Mentések": the previous versions of the
// files it replaced or removed, hard-linked there under their paths below the installation
// root (no copy), and a plain-text manifest naming when, in which window and what was done,
// the files the command created, replaced and removed, and the size and checksum of each file
// as the command left it. The newest `kKeptCommands` commands are kept.
//
// A manifest is written under a pending name before the journal and takes its final name once
// every file is in place; a commit whose backup cannot be kept still commits. Nothing here is
// flushed to disk: after a crash start-up keeps a backup only when its manifest is whole and
// the files are as its command left them, so at worst one command's backup is lost.
class UndoStore : public CommitObserver {
public:
    static constexpr std::size_t kKeptCommands = 50;

    enum class FileChange { Replaced, Created, Removed };
    struct FileRecord {
        FileChange change = FileChange::Replaced;
        std::string path;        // below the installation root, '/'-separated
        std::uintmax_t size = 0; // as the command left it (not for removed files)
        std::uint32_t crc = 0;
    };
    struct Entry {
        std::filesystem::path folder;
        std::string when;
        std::string window;
        std::string what;
        std::vector<FileRecord> files;
    };

    explicit UndoStore(std::filesystem::path root, std::size_t kept = kKeptCommands);

    static std::filesystem::path folderOf(const std::filesystem::path &root);

    // The window and the user's words for the next commit.
    void describeNext(std::string window, std::string what);
    // Why the last commit's backup was not kept, empty when it was; nullopt when nothing was
    // committed since the last call.
    std::optional<std::string> takeFailure();

    void beforeCommit(const std::map<std::filesystem::path, std::string> &staged,
                      const std::set<std::filesystem::path> &removals) noexcept override;
    void afterCommit() noexcept override;

    // At start-up, after the journal's recovery: a backup whose command was cut short is kept
    // when the command reached the disk and dropped otherwise; an undo cut short is finished
    // or forgotten the same way.
    void recover();

    // The newest command that can be undone. Throws `HostError` when its manifest is unreadable.
    std::optional<Entry> newest() const;
    // The first file of `entry` that is no longer as the command left it, or whose kept
    // version is missing; nullopt when the command can be undone.
    std::optional<std::string> changedFile(const Entry &entry) const;
    // Puts every file of `entry` back as it was before the command, in one commit of the
    // journal, and drops the entry. Throws `HostError` (nothing changed) on failure.
    void undo(const Entry &entry);

    std::size_t count() const;

private:
    std::filesystem::path absolute(const std::string &relative) const;
    std::vector<std::filesystem::path> entryFolders() const;
    bool inCommittedState(const Entry &entry) const;
    void prune() const;

    std::filesystem::path root_;
    std::filesystem::path store_;
    std::size_t kept_;
    std::string window_;
    std::string what_;
    std::filesystem::path pending_; // entry of the commit in progress
    std::optional<std::string> failure_;
};

// Reads a manifest; throws `DamagedFileError` when it cannot be read.
UndoStore::Entry ReadUndoManifest(const std::filesystem::path &folder);

} // namespace vandorix
