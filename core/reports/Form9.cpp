#include "reports/Form9.h"

#include "app/Application.h"
#include "app/Validation.h"
#include "book/Sheets.h"
#include "reports/ReportSheets.h"
#include "reports/ReportWindow.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

Form9::Form9(Application &app)
    : PeriodEntryForm(app, "Form9", "Eredmény kimutatás", ProductList::None, "Dátumtól",
                      "Dátumig", DateFieldVariant::KeepOnReject) {
    addCommandButtons({"Számítás", "Megnéz", "Mégse", "Vissza a főmenüre", "Kilép"});
    bindCommandClicks(this, &Form9::Command1_Click, &Form9::Command2_Click, &Form9::Command3_Click,
                      &Form9::Command4_Click, &Form9::Command5_Click);
}

void Form9::Form_Load() {
    AppState &s = state();
    setFieldsVisible(true);
    clearFields();
    enableControls({"Text1", "Text2"}, true);
    enableControls({"Command1", "Command2", "Command3"}, false);
    enableControls({"Command4", "Command5"}, true);
    OpenAccountForReport(s);
    if (s.AccountWorkbook->sheet(sheets::kValues).value(6, 1).isBlank()) {
        ShowNotice(dialogs(), std::string("Nincs még részvény az adatbázisban,") + kCrLf +
                                  "ezért eredmény sem lehet. Kilépés.");
        Command5_Click();
        return;
    }
    s.AccountWorkbook->activate(s.AccountWorkbook->sheet(sheets::kResults));
    SetAccountSheetsVisible(s, {sheets::kLedger, sheets::kLedgerStatement}, false);
    SetFocus("Text1");
}

void Form9::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text2"), state().Today)) return;
    enableControls({"Command1", "Command3"}, true);
    SetFocus("Command1");
}

void Form9::Command1_Click() {
    // Either field may have been changed after its Enter: both are checked again.
    if (!CheckDateFormat(dialogs(), *this, control("Text1"), DateFieldVariant::KeepOnReject)) return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text2"), state().Today)) return;
    AppState &s = state();
    s.RangeFromDate = *ParseDateText(control("Text1").text);
    s.RangeToDate = *ParseDateText(control("Text2").text);
    OpenAccountForReport(s);
    ComputeResultReport(s);
    // The report is stored as soon as it is computed, so leaving without viewing keeps it.
    s.AccountWorkbook.commit();
    clearFields();
    enableControls({"Command1", "Command3"}, false);
    enableControls({"Command2", "Command4", "Command5"}, true);
    SetFocus("Command2");
}

void Form9::Command2_Click() {
    AppState &s = state();
    OpenAccountForReport(s);
    app().hide(*this);
    ShowReportSheet(s, dialogs(), sheets::kResults);
    Command4_Click();
}

void Form9::Command3_Click() {
    AppState &s = state();
    s.AccountWorkbook.close();
    QuitSpreadsheetHost(s);
    SetFocus("Command4");
}

} // namespace vandorix
