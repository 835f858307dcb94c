#include "reports/Form14.h"

#include "app/Application.h"
#include "app/Validation.h"
#include "book/Sheets.h"
#include "reports/ReportSheets.h"
#include "reports/ReportWindow.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

Form14::Form14(Application &app)
    : PeriodEntryForm(app, "Form14", "Érték kimutatása", ProductList::None,
                      "Referencia nap dátuma", "Érték nap dátuma",
                      DateFieldVariant::KeepOnReject) {
    addCommandButtons({"Kimutatás", "Vissza a főmenübe", "Kilép"});
    bindCommandClicks(this, &Form14::Command1_Click, &Form14::Command2_Click,
                      &Form14::Command3_Click);
}

void Form14::Form_Load() {
    AppState &s = state();
    setFieldsVisible(true);
    enableControls({"Command1"}, false);
    enableControls({"Command2", "Command3"}, true);
    OpenAccountForReport(s);
    SetAccountSheetsVisible(s, {sheets::kLedgerStatement, sheets::kResults, sheets::kArchive},
                            false);
    control("Text1").text = s.StartOfYear.toString();
    control("Text2").text = s.Today.toString();
    enableControls({"Text1", "Text2"}, true);
    SetFocus("Text1");
}

void Form14::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateFormat(dialogs(), *this, control("Text2"), DateFieldVariant::KeepOnReject)) return;
    enableControls({"Command1"}, true);
    SetFocus("Command1");
}

void Form14::Command1_Click() {
    // Either field may have been changed after its Enter: both are checked again.
    if (!CheckDateFormat(dialogs(), *this, control("Text1"), DateFieldVariant::KeepOnReject)) return;
    if (!CheckDateFormat(dialogs(), *this, control("Text2"), DateFieldVariant::KeepOnReject)) return;
    AppState &s = state();
    s.RangeFromDate = *ParseDateText(control("Text1").text);
    s.RangeToDate = *ParseDateText(control("Text2").text);
    OpenAccountForReport(s);
    if (!ComputeValueReport(s)) {
        dialogs().showMessage({std::string("A Befektetési fájlban") + kCrLf +
                                   "Még nincs érték adat. Kilépés!",
                               "Kilépés", MessageIcon::Exclamation, MessageButtons::Ok,
                               MessageAnswer::Ok, true});
        Command2_Click();
        return;
    }
    app().hide(*this);
    ShowReportSheet(s, dialogs(), sheets::kValues);
    // The report stays stored in "Ertek01"; every sheet is visible again in the file.
    s.AccountWorkbook.commit();
    app().show(*this);
    enableControls({"Command1"}, false);
    enableControls({"Command2", "Command3"}, true);
    SetFocus("Command2");
}

void Form14::Command2_Click() {
    clearFields();
    app().ReturnToMainWindow(*this);
}

void Form14::Command3_Click() { app().LeaveProgram(*this); }

} // namespace vandorix
