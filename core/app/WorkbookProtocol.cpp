#include "app/WorkbookProtocol.h"
#include "book/Sheets.h"

#include <filesystem>

namespace vandorix {
namespace {

// The host runs minimised while the program works.
void minimiseHost(AppState &app) {
    HostState &s = app.host().state();
    s.visible = false;
    s.windowState = HostWindowState::Minimized;
    s.visible = true;
}

std::string join(const std::string &folder, const std::string &file) {
    return (std::filesystem::path(folder) / file).string();
}

std::vector<std::string> productSheetNames(const AppState &app) {
    return {PriceSheetName(app.ProductName), ChartSourceSheetName(app.ProductName), sheets::kTrades,
            sheets::kTradeStatement, sheets::kAuxiliary};
}

// Saves a workbook so that a spreadsheet application opens it on `sheet` (the ledger, the
// product's price sheet) whatever sheet the command left active; in memory it stays active.
void saveOpenedOn(AppState &app, Workbook &wb, const std::string &sheet) {
    Sheet &previous = wb.activeSheet();
    Sheet *home = wb.findSheet(sheet);
    if (home && home->visible()) wb.activate(*home);
    try {
        app.host().save(wb);
    } catch (...) {
        wb.activate(previous);
        throw;
    }
    wb.activate(previous);
}

} // namespace

void OpenAccountWorkbook(AppState &app) {
    app.AccountWorkbook = &app.host().open(join(app.MasterDataPath, "Befszla.xls"));
    app.AccountWorkbookOpen = true;
    minimiseHost(app);
    app.WorkbookChanged = false;
}

void PrepareAccountWorkbook(AppState &app) {
    Workbook &wb = *app.AccountWorkbook;
    wb.unprotect(app.WorkbookPassword);
    for (const char *name : kAccountSheets) wb.sheet(name).unprotect(app.SheetPassword);
    if (!wb.sheet(sheets::kArchive).visible()) ShowAccountSheets(app);
}

void ShowAccountSheets(AppState &app) {
    for (const char *name : kAccountSheets) app.AccountWorkbook->sheet(name).setVisible(true);
}

void ProtectAccountWorkbook(AppState &app) {
    Workbook &wb = *app.AccountWorkbook;
    for (const char *name : kAccountSheets) wb.sheet(name).protect(app.SheetPassword);
    wb.protect(app.WorkbookPassword);
}

void SaveAccountWorkbook(AppState &app) {
    Workbook &wb = *app.AccountWorkbook;
    app.host().activate(wb);
    ShowAccountSheets(app);
    ProtectAccountWorkbook(app);
    if (app.WorkbookChanged) saveOpenedOn(app, wb, kAccountSheets[0]);
    wb.markSaved();
}

void CloseAccountWorkbook(AppState &app) {
    if (app.AccountWorkbook) app.host().close(*app.AccountWorkbook);
    app.AccountWorkbook = nullptr;
    app.AccountWorkbookOpen = false;
}

void OpenProductWorkbook(AppState &app) {
    app.ProductFileName = app.ProductName + ".xls";
    app.ProductWorkbook = &app.host().open(join(app.ProductsPath, app.ProductFileName));
    app.ProductWorkbookOpen = true;
    minimiseHost(app);
    app.WorkbookChanged = false;
}

void PrepareProductWorkbook(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    wb.unprotect(app.WorkbookPassword);
    for (const std::string &name : productSheetNames(app)) wb.sheet(name).unprotect(app.SheetPassword);
    ShowProductSheets(app);
}

void ShowProductSheets(AppState &app) {
    for (const char *name : kProductHiddenSheets) {
        Sheet &s = app.ProductWorkbook->sheet(name);
        if (!s.visible()) s.setVisible(true);
    }
}

void HideProductSheets(AppState &app) {
    for (const char *name : kProductHiddenSheets) {
        Sheet &s = app.ProductWorkbook->sheet(name);
        if (s.visible()) s.setVisible(false);
    }
}

void ProtectProductWorkbook(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    // Hiding needs a writable structure; a workbook opened only for reading has its
    // helper sheets hidden already.
    bool wasProtected = wb.structureProtected();
    if (!wasProtected) HideProductSheets(app);
    for (const std::string &name : productSheetNames(app)) wb.sheet(name).protect(app.SheetPassword);
    wb.protect(app.WorkbookPassword);
}

void SaveProductWorkbook(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    ProtectProductWorkbook(app);
    if (app.WorkbookChanged) saveOpenedOn(app, wb, PriceSheetName(app.ProductName));
    wb.markSaved();
}

void CloseProductWorkbook(AppState &app) {
    if (app.ProductWorkbook) app.host().close(*app.ProductWorkbook);
    app.ProductWorkbook = nullptr;
    app.ProductWorkbookOpen = false;
}

void OpenProductListWorkbook(AppState &app) {
    Workbook &wb = app.host().open(join(app.AuxiliaryPath, "ISIN01.xls"));
    app.ProductListWorkbook = &wb;
    wb.unprotect(app.WorkbookPassword);
    wb.sheet(sheets::kProductList).unprotect(app.SheetPassword);
    app.ProductListOpen = true;
    minimiseHost(app);
    app.WorkbookChanged = false;
}

void SaveProductListWorkbook(AppState &app) {
    Workbook &wb = *app.ProductListWorkbook;
    app.host().activate(wb);
    wb.sheet(sheets::kProductList).protect(app.SheetPassword);
    wb.protect(app.WorkbookPassword);
    if (app.WorkbookChanged) app.host().save(wb);
    wb.markSaved();
}

void CloseProductListWorkbook(AppState &app) {
    if (app.ProductListWorkbook) app.host().close(*app.ProductListWorkbook);
    app.ProductListWorkbook = nullptr;
    app.ProductListOpen = false;
}

void QuitSpreadsheetHost(AppState &app) {
    if (!app.HostApp) return;
    app.host().quit();
    app.HostRunning = false;
}

void ExitProgram(AppState &app) {
    if (app.HostRunning && app.HostApp) app.host().quit();
    if (app.HostApp) {
        for (Workbook *wb : {app.AccountWorkbook, app.ProductWorkbook, app.ProductListWorkbook,
                             app.AccountDeletionLog, app.ProductDeletionLog})
            if (wb) app.host().close(*wb);
    }
    app.AccountWorkbook = app.ProductWorkbook = app.ProductListWorkbook = nullptr;
    app.AccountDeletionLog = app.ProductDeletionLog = nullptr;
    app.AccountWorkbookOpen = app.ProductWorkbookOpen = app.ProductListOpen = false;
    app.AccountDeletionLogOpen = app.ProductDeletionLogOpen = false;
    app.ProgramEnded = true;
}

void DiscardOpenWorkbooks(AppState &app) {
    if (app.HostApp)
        while (!app.host().workbooks().empty())
            app.host().close(*app.host().workbooks().front());
    app.AccountWorkbook = app.ProductWorkbook = app.ProductListWorkbook = nullptr;
    app.AccountDeletionLog = app.ProductDeletionLog = nullptr;
    app.AccountWorkbookOpen = app.ProductWorkbookOpen = app.ProductListOpen = false;
    app.AccountDeletionLogOpen = app.ProductDeletionLogOpen = false;
    app.WorkbookChanged = false;
}

void CloseWorkbooksForReturn(AppState &app) {
    if (app.AccountWorkbookOpen) {
        app.WorkbookChanged = false;
        SaveAccountWorkbook(app);
        CloseAccountWorkbook(app);
    }
    if (app.ProductWorkbookOpen) {
        app.WorkbookChanged = false;
        ProtectProductWorkbook(app);
        SaveProductWorkbook(app);
        CloseProductWorkbook(app);
    }
    if (app.ProductListOpen) {
        app.WorkbookChanged = false;
        SaveProductListWorkbook(app);
        CloseProductListWorkbook(app);
    }
    QuitSpreadsheetHost(app);
}

} // namespace vandorix
