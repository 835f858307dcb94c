#pragma once

#include <initializer_list>

namespace vandorix {

struct AppState;
class Dialogs;

// What the report windows share: the account workbook opened and prepared unless it is open,
// and a report sheet held on screen.
void OpenAccountForReport(AppState &app);
void SetAccountSheetsVisible(AppState &app, std::initializer_list<const char *> sheets, bool visible);
// Makes `sheet` the only visible sheet, protects it and shows the host maximised until the
// user presses OK; the host is minimised again afterwards.
void ShowReportSheet(AppState &app, Dialogs &dialogs, const char *sheet);

} // namespace vandorix
