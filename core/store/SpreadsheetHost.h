#pragma once

#include "store/Workbook.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace vandorix {

class CommitJournal;
class CommitObserver;

enum class HostWindowState { Normal, Minimized, Maximized };

// The host's own state, shown by the user interface.
struct HostState {
    bool visible = false;
    HostWindowState windowState = HostWindowState::Normal;
    int quitRequests = 0;
};

// The in-process spreadsheet host: open workbooks, the active one, and the host's state.
// Files are read and written through the workbook codec; a save is atomic on disk, and the
// saves made inside one command (between `beginCommand` and `endCommand`) reach the disk
// together.
class SpreadsheetHost {
public:
    SpreadsheetHost();
    ~SpreadsheetHost();
    SpreadsheetHost(const SpreadsheetHost &) = delete;
    SpreadsheetHost &operator=(const SpreadsheetHost &) = delete;

    HostState &state() { return state_; }
    const HostState &state() const { return state_; }
    void quit();

    // Opens a workbook file; it becomes the active workbook. Throws `FileMissingError` or
    // `DamagedFileError`; a damaged file is never half-loaded.
    Workbook &open(const std::filesystem::path &path);
    // Saves to the workbook's own path.
    void save(Workbook &workbook);
    // How many saves were made since the host was created; a command compares it before and
    // after to tell whether it wrote anything.
    int saveCount() const { return saveCount_; }
    // Closes without writing.
    void close(Workbook &workbook);
    void activate(Workbook &workbook);
    Workbook *activeWorkbook() { return active_; }
    const std::vector<std::unique_ptr<Workbook>> &workbooks() const { return open_; }
    // Copies a file the host does not hold open, as the file-system service does. Inside a
    // command the copy is part of its commit.
    void copyFile(const std::filesystem::path &from, const std::filesystem::path &to);
    // Moves a file the host does not hold open, as the file-system service does, refusing
    // with `SaveError` when `to` exists. Inside a command the file is staged at `to` and its
    // removal from `from` is part of the same commit, so the move happens together with the
    // command's saves or not at all.
    void moveFile(const std::filesystem::path &from, const std::filesystem::path &to);

    // Journalled commands: saves between the two calls are written beside their targets and
    // renamed over them together at `endCommand`. The journal lives in `journalFolder`.
    void setJournalFolder(const std::filesystem::path &folder);
    // Told about every commit of the journal (set after the journal folder).
    void setCommitObserver(CommitObserver *observer);
    void beginCommand();
    void endCommand();
    // A command that failed: its staged saves are dropped, so no file of it changes.
    void abortCommand();
    bool inCommand() const { return commandDepth_ > 0; }

private:
    HostState state_;
    std::vector<std::unique_ptr<Workbook>> open_;
    Workbook *active_ = nullptr;
    std::unique_ptr<CommitJournal> journal_;
    int commandDepth_ = 0;
    int saveCount_ = 0;
    // The file each copy staged in the current command was made from, by target path.
    std::map<std::string, std::string> copiedFrom_;
};

} // namespace vandorix
