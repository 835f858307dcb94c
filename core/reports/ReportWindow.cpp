#include "reports/ReportWindow.h"

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "app/WorkbookProtocol.h"

#include <string_view>

namespace vandorix {

void OpenAccountForReport(AppState &app) {
    app.HostRunning = true;
    EnsureAccountWorkbook(app);
    app.host().activate(*app.AccountWorkbook);
}

void SetAccountSheetsVisible(AppState &app, std::initializer_list<const char *> sheets, bool visible) {
    for (const char *name : sheets) app.AccountWorkbook->sheet(name).setVisible(visible);
}

void ShowReportSheet(AppState &app, Dialogs &dialogs, const char *sheet) {
    Workbook &wb = *app.AccountWorkbook;
    app.host().activate(wb);
    Sheet &report = wb.sheet(sheet);
    report.setVisible(true);
    wb.activate(report);
    for (const char *name : kAccountSheets)
        if (std::string_view(name) != sheet) wb.sheet(name).setVisible(false);
    report.protect(app.SheetPassword);
    HostState &host = app.host().state();
    host.visible = true;
    host.windowState = HostWindowState::Maximized;
    ShowContinueNotice(dialogs);
    host.windowState = HostWindowState::Minimized;
}

} // namespace vandorix
