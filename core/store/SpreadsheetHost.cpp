#include "store/SpreadsheetHost.h"

#include "store/AtomicFile.h"
#include "store/CommitJournal.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vandorix {
namespace fs = std::filesystem;

SpreadsheetHost::SpreadsheetHost() = default;

SpreadsheetHost::~SpreadsheetHost() {
    if (journal_) journal_->discard();
}

void SpreadsheetHost::quit() {
    ++state_.quitRequests;
    state_.visible = false;
}

Workbook &SpreadsheetHost::open(const fs::path &path) {
    std::string key = path.lexically_normal().string();
    for (auto &wb : open_)
        if (wb->path() == key) {
            active_ = wb.get();
            return *wb;
        }
    // A file whose removal the command has staged is gone for the command.
    if (journal_ && journal_->removalStaged(key)) throw FileMissingError(key);
    const std::string *staged = journal_ ? journal_->staged(key) : nullptr;
    std::unique_ptr<Workbook> wb;
    if (staged) {
        // A copy made in this command is damaged where it came from: that file is named.
        auto source = copiedFrom_.find(key);
        wb = decodeWorkbook(*staged, source != copiedFrom_.end() ? source->second : key);
        wb->setPath(key);
    } else {
        std::error_code ec;
        if (!fs::is_regular_file(path, ec)) throw FileMissingError(key);
        wb = decodeWorkbook(readWholeFile(path), key);
    }
    open_.push_back(std::move(wb));
    active_ = open_.back().get();
    return *active_;
}

void SpreadsheetHost::save(Workbook &workbook) {
    CheckWorkbookReplaceable(workbook.path());
    std::string bytes = encodeWorkbook(workbook);
    if (inCommand() && journal_) journal_->stage(workbook.path(), std::move(bytes));
    else writeFileAtomically(workbook.path(), bytes);
    copiedFrom_.erase(workbook.path()); // its content is the program's own from now on
    workbook.markSaved();
    ++saveCount_;
}

void SpreadsheetHost::close(Workbook &workbook) {
    auto it = std::find_if(open_.begin(), open_.end(),
                           [&](const auto &p) { return p.get() == &workbook; });
    if (it == open_.end()) return;
    bool wasActive = active_ == it->get();
    open_.erase(it);
    if (wasActive) active_ = open_.empty() ? nullptr : open_.back().get();
}

void SpreadsheetHost::activate(Workbook &workbook) { active_ = &workbook; }

void SpreadsheetHost::copyFile(const fs::path &from, const fs::path &to) {
    std::string key = from.lexically_normal().string();
    const std::string *staged = journal_ ? journal_->staged(key) : nullptr;
    std::string bytes = staged ? *staged : readWholeFile(from);
    fs::path target = to.lexically_normal();
    CheckWorkbookReplaceable(target);
    if (inCommand() && journal_) {
        journal_->stage(target, std::move(bytes));
        auto source = copiedFrom_.find(key);
        copiedFrom_[target.string()] = source != copiedFrom_.end() ? source->second : key;
    } else {
        writeFileAtomically(target, bytes);
    }
}

void SpreadsheetHost::moveFile(const fs::path &from, const fs::path &to) {
    std::string source = from.lexically_normal().string();
    fs::path target = to.lexically_normal();
    std::error_code ec;
    if (fs::exists(fs::symlink_status(target, ec)) || (journal_ && journal_->staged(target)))
        throw SaveError(target.string(), "ezen a néven már van fájl vagy mappa");
    // A workbook open in a spreadsheet program or made read-only is not moved from under it.
    CheckWorkbookReplaceable(source);
    if (inCommand() && journal_) {
        if (journal_->removalStaged(source)) throw FileMissingError(source);
        const std::string *staged = journal_->staged(source);
        std::string bytes = staged ? *staged : readWholeFile(source);
        journal_->stage(target, std::move(bytes));
        journal_->stageRemoval(source);
        return;
    }
    if (std::rename(source.c_str(), target.c_str()) != 0)
        throw SaveError(target.string(), ErrnoText(errno));
    syncFolder(target.parent_path());
    syncFolder(fs::path(source).parent_path());
}

void SpreadsheetHost::setJournalFolder(const fs::path &folder) {
    if (journal_) journal_->discard();
    journal_ = std::make_unique<CommitJournal>(folder);
}

void SpreadsheetHost::setCommitObserver(CommitObserver *observer) {
    if (journal_) journal_->setObserver(observer);
}

void SpreadsheetHost::beginCommand() {
    // A commit that could not rename all its files is finished before anything reads them.
    if (commandDepth_ == 0 && journal_) journal_->finishUnfinished();
    ++commandDepth_;
}

void SpreadsheetHost::endCommand() {
    if (commandDepth_ == 0) return;
    if (--commandDepth_ == 0) {
        copiedFrom_.clear();
        if (journal_) journal_->commit();
    }
}

void SpreadsheetHost::abortCommand() {
    commandDepth_ = 0;
    copiedFrom_.clear();
    if (journal_) journal_->discard();
}

} // namespace vandorix
