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
    return {PriceSheetName(app.ProductName), ChartSourceSheetName(app.ProductName), sheets::kTrades, sheets::kTradeStatement, sheets::kAuxiliary};
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

// Protects every sheet of the open account workbook and its structure.
void ProtectAccountWorkbook(AppState &app) {
    Workbook &wb = *app.AccountWorkbook;
    for (const char *name : kAccountSheets) wb.sheet(name).protect(app.SheetPassword);
    wb.protect(app.WorkbookPassword);
}

// What a commit of each workbook writes: every sheet protected again, the file saved.
void saveAccount(AppState &app, Workbook &wb) {
    app.host().activate(wb);
    ShowAccountSheets(app);
    ProtectAccountWorkbook(app);
    saveOpenedOn(app, wb, kAccountSheets[0]);
    wb.markSaved();
}

void saveProduct(AppState &app, Workbook &wb) {
    app.host().activate(wb);
    ProtectProductWorkbook(app);
    saveOpenedOn(app, wb, PriceSheetName(app.ProductName));
    wb.markSaved();
}

void saveProductList(AppState &app, Workbook &wb) {
    app.host().activate(wb);
    wb.sheet(sheets::kProductList).protect(app.SheetPassword);
    wb.protect(app.WorkbookPassword);
    app.host().save(wb);
    wb.markSaved();
}

// Closes without writing and without changing which workbook the host shows.
void closeAsIs(AppState &app, OpenBook &book) {
    if (Workbook *wb = book.release()) app.host().close(*wb);
}

void releaseAll(AppState &app) {
    for (OpenBook *book : {&app.AccountWorkbook, &app.ProductWorkbook, &app.ProductListWorkbook,
                           &app.AccountDeletionLog, &app.ProductDeletionLog})
        book->release();
}

} // namespace

void OpenAccountWorkbook(AppState &app) {
    Workbook &wb = app.host().open(join(app.MasterDataPath, "Befszla.xls"));
    app.AccountWorkbook = OpenBook(app, wb, saveAccount);
    minimiseHost(app);
}

void EnsureAccountWorkbook(AppState &app) {
    if (app.AccountWorkbookOpen()) return;
    OpenAccountWorkbook(app);
    PrepareAccountWorkbook(app);
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

void CloseAccountWorkbook(AppState &app) { closeAsIs(app, app.AccountWorkbook); }

void OpenProductWorkbook(AppState &app) {
    app.ProductFileName = app.ProductName + ".xls";
    Workbook &wb = app.host().open(join(app.ProductsPath, app.ProductFileName));
    app.ProductWorkbook = OpenBook(app, wb, saveProduct);
    minimiseHost(app);
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

void SaveProductWorkbook(AppState &app) { app.ProductWorkbook.save(); }

void CloseProductWorkbook(AppState &app) { closeAsIs(app, app.ProductWorkbook); }

void OpenProductListWorkbook(AppState &app) {
    Workbook &wb = app.host().open(join(app.AuxiliaryPath, "ISIN01.xls"));
    wb.unprotect(app.WorkbookPassword);
    wb.sheet(sheets::kProductList).unprotect(app.SheetPassword);
    app.ProductListWorkbook = OpenBook(app, wb, saveProductList);
    minimiseHost(app);
}


void QuitSpreadsheetHost(AppState &app) {
    if (!app.HostApp) return;
    app.host().quit();
    app.HostRunning = false;
}

void ExitProgram(AppState &app) {
    if (app.HostRunning && app.HostApp) app.host().quit();
    if (app.HostApp) {
        for (OpenBook *book : {&app.AccountWorkbook, &app.ProductWorkbook, &app.ProductListWorkbook,
                               &app.AccountDeletionLog, &app.ProductDeletionLog})
            closeAsIs(app, *book);
    }
    releaseAll(app);
    app.ProgramEnded = true;
}

void DiscardOpenWorkbooks(AppState &app) {
    if (app.HostApp)
        while (!app.host().workbooks().empty())
            app.host().close(*app.host().workbooks().front());
    releaseAll(app);
}

void CloseWorkbooksForReturn(AppState &app) {
    app.AccountWorkbook.close();
    app.ProductWorkbook.close();
    app.ProductListWorkbook.close();
    QuitSpreadsheetHost(app);
}

} // namespace vandorix
