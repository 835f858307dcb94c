#include "reports/AccountView.h"

#include "account/Ledger.h"
#include "app/AppState.h"
#include "app/Dialogs.h"
#include "app/WorkbookProtocol.h"
#include "book/Sheets.h"

namespace vandorix {

namespace {

constexpr const char *kLedgerSheet = sheets::kLedger;
constexpr const char *kReportSheets[] = {sheets::kLedgerStatement, sheets::kValues,
                                         sheets::kResults, sheets::kArchive};

void setReportSheetsVisible(AppState &app, bool visible) {
    app.host().activate(*app.AccountWorkbook);
    for (const char *name : kReportSheets) app.AccountWorkbook->sheet(name).setVisible(visible);
}

} // namespace

void ViewAccountWorkbook(AppState &app, Dialogs &dialogs,
                         const std::function<void()> &hideMainWindow) {
    app.LedgerEmpty = false;
    OpenAccountWorkbook(app);
    PrepareAccountWorkbook(app);
    // The balances and totals are brought up to date before the user sees them; the
    // recomputation also tells whether there is anything to show.
    RecalcAccountLedger(app);

    if (app.LedgerEmpty) {
        setReportSheetsVisible(app, false);
        dialogs.showMessage({std::string("A Befektetési fájlban") + kCrLf +
                                 "Még nincs adat. Kilépés!",
                             "Kilépés", MessageIcon::Exclamation, MessageButtons::Ok,
                             MessageAnswer::Ok, true});
        setReportSheetsVisible(app, true);
        app.AccountWorkbook.close();
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
    app.AccountWorkbook.commit();
}

} // namespace vandorix
