#include "reports/Form10.h"

#include "account/Ledger.h"
#include "app/Application.h"
#include "app/Validation.h"
#include "book/Sheets.h"
#include "reports/StatementSheets.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

namespace {

constexpr const char *kOtherReportSheets[] = {sheets::kResults, sheets::kValues, sheets::kArchive};
constexpr const char *kNoData = "A kért dátum intervallumban\r\nnincs adat";

} // namespace

Form10::Form10(Application &app)
    : PeriodEntryForm(app, "Form10", "Befektetési számla kivonat", ProductList::None, "Dátumtól",
                      "Dátumig", DateFieldVariant::EmptyOnReject) {
    addLabel("Label3", "Várjon !").visible = false;
    addCommandButtons({"Indítás", "Mégse", "Új választás", "Vissza a főmenübe", "Kilép"});
    bindCommandClicks(this, &Form10::Command1_Click, &Form10::Command2_Click,
                      &Form10::Command3_Click, &Form10::Command4_Click, &Form10::Command5_Click);
}

void Form10::setOtherReportSheetsVisible(bool visible) {
    for (const char *name : kOtherReportSheets)
        state().AccountWorkbook->sheet(name).setVisible(visible);
}

void Form10::Form_Load() {
    AppState &s = state();
    control("Label3").visible = false;
    enableControls({"Text1", "Text2", "Command1", "Command2", "Command3", "Command4", "Command5"},
                   true);
    s.HostRunning = true;
    EnsureAccountWorkbook(s);
    setOtherReportSheetsVisible(false);
    control("Text1").text = s.StartOfYear.toString();
    control("Text2").text = s.Today.toString();
}

void Form10::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateFormat(dialogs(), *this, control("Text2"), DateFieldVariant::EmptyOnReject))
        return;
    SetFocus("Command1");
}

std::optional<Date> Form10::fieldDate(const char *field) {
    Control &c = control(field);
    std::optional<Date> d = ParseDateText(c.text);
    // A field changed after its Enter gets its message now.
    if (!d) CheckDateFormat(dialogs(), *this, c, DateFieldVariant::EmptyOnReject);
    return d;
}

void Form10::Command1_Click() {
    AppState &s = state();
    std::optional<Date> start = fieldDate("Text1");
    if (!start) return;
    std::optional<Date> end = fieldDate("Text2");
    if (!end) return;

    control("Label3").visible = true;
    enableControls({"Command1", "Command2", "Command3", "Command4", "Command5"}, false);
    RecalcAccountLedger(s);

    if (s.LedgerEmpty || *start > s.LedgerLastDate) {
        control("Label3").visible = false;
        ShowNotice(dialogs(), kNoData);
        control("Text1").clear();
        control("Text2").clear();
        Command4_Click();
        return;
    }
    control("Text1").clear();
    control("Text2").clear();
    enableControls({"Text1", "Text2"}, false);

    Workbook &wb = *s.AccountWorkbook;
    Sheet &ledgerSheet = wb.sheet(ledger::kSheet);
    Sheet &statement = writeStatement(*start, *end);
    ledgerSheet.protect(s.SheetPassword);
    statement.protect(s.SheetPassword);
    s.host().activate(wb);
    wb.activate(statement);
    s.host().state().visible = true;
    s.host().state().windowState = HostWindowState::Maximized;
    ShowContinueNotice(dialogs());

    ledgerSheet.unprotect(s.SheetPassword);
    statement.unprotect(s.SheetPassword);
    setOtherReportSheetsVisible(true);
    s.AccountWorkbook.commit();
    QuitSpreadsheetHost(s);
    enableControls({"Command4", "Command5"}, true);
    SetFocus("Command4");
}

Sheet &Form10::writeStatement(Date start, Date end) {
    AppState &s = state();
    Workbook &wb = *s.AccountWorkbook;
    Sheet &ledgerSheet = wb.sheet(ledger::kSheet);
    Sheet &statement = wb.sheet(kAccountStatementSheet);
    const StatementRows rows =
        FindStatementRows(ledgerSheet, s.LedgerLastRow, start, end, end > s.Today);
    ClearStatementSheet(statement, s.LedgerLastRow);
    CopyStatementRows(ledgerSheet, statement, rows, ledger::kLastColumn);
    const int last = RecalcStatementSheet(statement, start, end);
    control("Label3").visible = false;
    WriteStatementSummary(statement, last, AskDividendTaxRate(dialogs()));
    return statement;
}

void Form10::Command2_Click() {
    AppState &s = state();
    s.AccountWorkbook.close();
    QuitSpreadsheetHost(s);
    Command4_Click();
}

void Form10::Command3_Click() { Command4_Click(); }

} // namespace vandorix
