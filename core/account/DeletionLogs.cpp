#include "account/DeletionLogs.h"

#include "account/Ledger.h"
#include "app/AppState.h"
#include "store/Sheet.h"
#include "store/Workbook.h"

#include <filesystem>
#include <string>

namespace vandorix {

using namespace deletionlog;

namespace {

namespace fs = std::filesystem;

struct LogKind {
    const char *file;
    const char *templateFile;
    const char *rowsSheet;
    OpenBook AppState::*handle;
    OpenBook::SaveProcedure save;
};

// Protects both sheets and the workbook, then writes the file.
void saveLog(AppState &app, Workbook &wb, const char *rowsSheet) {
    wb.sheet(kAuxiliarySheet).protect(app.SheetPassword);
    wb.sheet(rowsSheet).protect(app.SheetPassword);
    wb.protect(app.WorkbookPassword);
    app.host().save(wb);
    wb.markSaved();
}

void saveAccountLog(AppState &app, Workbook &wb) { saveLog(app, wb, kAccountLogSheet); }
void saveProductLog(AppState &app, Workbook &wb) { saveLog(app, wb, kProductLogSheet); }

constexpr LogKind kAccountLog{kAccountLogFile, "Befszlatöröltsorokminta.xls", kAccountLogSheet,
                              &AppState::AccountDeletionLog, saveAccountLog};
constexpr LogKind kProductLog{kProductLogFile, "Terméktöröltsorokminta.xls", kProductLogSheet,
                              &AppState::ProductDeletionLog, saveProductLog};

void minimiseHost(AppState &app) {
    HostState &s = app.host().state();
    s.visible = false;
    s.windowState = HostWindowState::Minimized;
    s.visible = true;
}

void closeLog(AppState &app, const LogKind &kind) {
    if (Workbook *wb = (app.*kind.handle).release()) app.host().close(*wb);
}

void openLog(AppState &app, const LogKind &kind) {
    // A log still open here was left by a command that failed; what it changed in memory was
    // never saved and must not be saved with the next deletion.
    closeLog(app, kind);

    const fs::path path = fs::path(app.ArchivePath) / kind.file;
    std::error_code ec;
    if (!fs::exists(path, ec))
        app.host().copyFile(fs::path(app.AuxiliaryPath) / kind.templateFile, path);

    Workbook &wb = app.host().open(path);
    app.*kind.handle = OpenBook(app, wb, kind.save);
    wb.unprotect(app.WorkbookPassword);
    wb.sheet(kind.rowsSheet).unprotect(app.SheetPassword);
    wb.sheet(kAuxiliarySheet).unprotect(app.SheetPassword);
    minimiseHost(app);
}

bool rowHoldsNothing(const Sheet &s, int r) {
    const Row *row = s.row(r);
    if (!row) return true;
    for (const Cell &c : row->cells)
        if (!c.value.isBlank()) return false;
    return true;
}

} // namespace

void OpenAccountDeletionLog(AppState &app) { openLog(app, kAccountLog); }
void SaveAccountDeletionLog(AppState &app) { app.AccountDeletionLog.save(); }
void CloseAccountDeletionLog(AppState &app) { closeLog(app, kAccountLog); }

void OpenProductDeletionLog(AppState &app) { openLog(app, kProductLog); }
void SaveProductDeletionLog(AppState &app) { app.ProductDeletionLog.save(); }
void CloseProductDeletionLog(AppState &app) { closeLog(app, kProductLog); }

int FindLogAppendRow(const Sheet &log) {
    int r = kFirstLogRow;
    while (!rowHoldsNothing(log, r)) ++r;
    return r;
}

void CopyRowIntoLog(const Sheet &from, int fromRow, Sheet &log, int logRow, bool withFormats) {
    const Row *source = from.row(fromRow);
    if (!source) return;
    if (withFormats) log.setRowFormat(logRow, source->format);
    for (std::size_t i = 0; i < source->cells.size(); ++i) {
        const int c = static_cast<int>(i) + 1;
        if (withFormats) log.setCellFormat(logRow, c, source->cells[i].format);
        log.setValue(logRow, c, source->cells[i].value);
    }
}

int AppendLedgerRowToDeletionLog(AppState &app, int ledgerRow) {
    Sheet &log = app.AccountDeletionLog->sheet(kAccountLogSheet);
    const int target = FindLogAppendRow(log);
    CopyRowIntoLog(app.AccountWorkbook->sheet(ledger::kSheet), ledgerRow, log, target, true);
    return target;
}

} // namespace vandorix
