#include "app/OpenBook.h"

#include "app/AppState.h"

#include <algorithm>
#include <utility>

namespace vandorix {

OpenBook::OpenBook(OpenBook &&other) noexcept
    : app_(std::exchange(other.app_, nullptr)), workbook_(std::exchange(other.workbook_, nullptr)),
      save_(std::exchange(other.save_, nullptr)) {}

OpenBook &OpenBook::operator=(OpenBook &&other) noexcept {
    if (this == &other) return *this;
    // Opening a file the host holds already gives the same workbook: it stays open.
    if (workbook_ == other.workbook_) release();
    else close();
    app_ = std::exchange(other.app_, nullptr);
    workbook_ = std::exchange(other.workbook_, nullptr);
    save_ = std::exchange(other.save_, nullptr);
    return *this;
}

void OpenBook::save() {
    if (!workbook_ || !app_ || !save_) return;
    save_(*app_, *workbook_);
}

void OpenBook::commit() {
    if (!workbook_) return;
    save();
    AppState *app = app_;
    Workbook *wb = release();
    if (app && app->HostApp) app->host().close(*wb);
}

void OpenBook::close() noexcept {
    AppState *app = app_;
    Workbook *wb = release();
    if (!wb || !app || !app->HostApp) return;
    SpreadsheetHost &host = app->host();
    const auto &open = host.workbooks();
    // A workbook the host no longer holds is only forgotten.
    if (std::none_of(open.begin(), open.end(), [&](const auto &p) { return p.get() == wb; }))
        return;
    host.activate(*wb);
    host.close(*wb);
}

Workbook *OpenBook::release() noexcept {
    app_ = nullptr;
    save_ = nullptr;
    return std::exchange(workbook_, nullptr);
}

} // namespace vandorix
