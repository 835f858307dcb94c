#pragma once

#include "store/Workbook.h"

namespace vandorix {

struct AppState;

// One workbook the program holds open in the spreadsheet host. Whoever holds the handle owns
// the open workbook: `commit()` protects it, stages its save in the host's command commit (so
// the saves of one command reach the disk together) and closes it; a handle given up without
// a commit (destroyed, assigned over, `close()`) closes its workbook without writing. Moving
// hands the workbook on; a handle cannot be copied.
class OpenBook {
public:
    // Protects the workbook as it is stored and writes it through the host.
    using SaveProcedure = void (*)(AppState &app, Workbook &workbook);

    OpenBook() = default;
    // A workbook the host holds open; `save` is how it is protected and written.
    OpenBook(AppState &app, Workbook &workbook, SaveProcedure save)
        : app_(&app), workbook_(&workbook), save_(save) {}
    // A workbook built in memory that no host holds (tests, tools): the handle only refers to
    // it and can neither save nor close it.
    explicit OpenBook(Workbook &workbook) : workbook_(&workbook) {}
    OpenBook(OpenBook &&other) noexcept;
    OpenBook &operator=(OpenBook &&other) noexcept;
    OpenBook(const OpenBook &) = delete;
    OpenBook &operator=(const OpenBook &) = delete;
    ~OpenBook() { close(); }

    bool isOpen() const { return workbook_ != nullptr; }
    explicit operator bool() const { return isOpen(); }
    Workbook &operator*() const { return *workbook_; }
    Workbook *operator->() const { return workbook_; }
    Workbook *get() const { return workbook_; }

    // Protects the workbook and stages its save; it stays open.
    void save();
    // Protects the workbook, stages its save and closes it.
    void commit();
    // Closes the workbook without writing, as a save of an unchanged workbook followed by its
    // close leaves the host: the workbook is made active, then closed. Nothing when not open.
    void close() noexcept;
    // Gives the workbook up without touching the host (which closed it already, or closes it
    // itself) and returns it.
    Workbook *release() noexcept;

private:
    AppState *app_ = nullptr;
    Workbook *workbook_ = nullptr;
    SaveProcedure save_ = nullptr;
};

} // namespace vandorix
