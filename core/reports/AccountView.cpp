#include "reports/AccountView.h"

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "store/WorkbookProtocol.h"

namespace vandorix {

namespace {

constexpr const char *kLedgerSheet = "Befszla01";
constexpr const char *kReportSheets[] = {"Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"};
constexpr int kFirstDataRow = 5;

void setReportSheetsVisible(AppState &app, bool visible) {
    app.host().activate(*app.AccountWorkbook);
    for (const char *name : kReportSheets) app.AccountWorkbook->sheet(name).setVisible(visible);
}

} // namespace

void ViewAccountWorkbook(AppState &app, Dialogs &dialogs,
                         const std::function<void()> &hideMainWindow) {
    OpenAccountWorkbook(app);
    PrepareAccountWorkbook(app);
    const bool ledgerEmpty =
        app.AccountWorkbook->sheet(kLedgerSheet).value(kFirstDataRow, 1).isBlank();

    if (ledgerEmpty) {
        setReportSheetsVisible(app, false);
        dialogs.showMessage({std::string("A Befektetési fájlban") + kCrLf +
                                 "Még nincs adat. Kilépés!",
                             "Kilépés", MessageIcon::Exclamation, MessageButtons::Ok,
                             MessageAnswer::Ok, true});
        setReportSheetsVisible(app, true);
        app.WorkbookChanged = false;
        SaveAccountWorkbook(app);
        CloseAccountWorkbook(app);
        QuitSpreadsheetHost(app);
        return;
    }

    setReportSheetsVisible(app, false);
    Sheet &ledger = app.AccountWorkbook->sheet(kLedgerSheet);
    app.AccountWorkbook->activate(ledger);
    ledger.protect(app.SheetPassword);
    hideMainWindow();
    app.host().state().visible = true;
    app.host().state().windowState = HostWindowState::Maximized;
    ShowContinueNotice(dialogs);
    ledger.unprotect(app.SheetPassword);
    setReportSheetsVisible(app, true);
    app.WorkbookChanged = true;
    SaveAccountWorkbook(app);
    CloseAccountWorkbook(app);
}

} // namespace vandorix
