#include "account/CashMovementForm.h"

#include "account/DeletionLogs.h"
#include "account/Ledger.h"
#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Validation.h"
#include "book/Sheets.h"
#include "store/Sheet.h"
#include "store/Workbook.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

namespace {

constexpr const char *kReportSheets[] = {sheets::kLedgerStatement, sheets::kValues,
                                         sheets::kResults, sheets::kArchive};
constexpr const char *kNameField = "Text3";
constexpr const char *kButtons[] = {"Command1", "Command2", "Command3", "Command4"};

} // namespace

CashMovementForm::CashMovementForm(Application &app, const Layout &layout)
    : Form(app, layout.name, layout.caption), hasNameField_(layout.nameLabel != nullptr),
      hasBusyLabel_(layout.busyLabel), codeField_(hasNameField_ ? "Text4" : "Text3") {
    addLabel("Label1", "Dátum");
    addTextBox("Text1");
    addLabel("Label2", layout.amountLabel);
    addTextBox("Text2");
    if (hasNameField_) {
        addLabel("Label3", layout.nameLabel);
        addTextBox(kNameField);
        addLabel("Label4", layout.codeLabel);
    } else {
        addLabel("Label3", layout.codeLabel);
    }
    addTextBox(codeField_);
    if (hasBusyLabel_) addLabel("Label4", "Várjon !").visible = false;
    addButton("Command1", "Adatbevitel");
    addButton("Command2", "Törlés");
    addButton("Command3", layout.backCaption);
    addButton("Command4", "Kilép");

    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    onKeyPress("Text2", [this](int &k) { Text2_KeyPress(k); });
    if (hasNameField_) onKeyPress(kNameField, [this](int &k) { NameField_KeyPress(k); });
    onKeyPress(codeField_, [this](int &k) { CodeField_KeyPress(k); });
    onClick("Command1", [this] { Command1_Click(); });
    onClick("Command2", [this] { Command2_Click(); });
    onClick("Command3", [this] { Command3_Click(); });
    onClick("Command4", [this] { Command4_Click(); });
}

Sheet &CashMovementForm::ledgerSheet() {
    Workbook &wb = *state().AccountWorkbook;
    app().state().host().activate(wb);
    Sheet &s = wb.sheet(ledger::kSheet);
    wb.activate(s);
    return s;
}

Date CashMovementForm::defaultDate() { return state().Today; }

void CashMovementForm::showBusy(bool on) {
    if (hasBusyLabel_) control("Label4").visible = on;
}

void CashMovementForm::moveTo(const char *field) {
    control(field).enabled = true;
    SetFocus(field);
}

void CashMovementForm::setReportSheetsVisible(bool visible) {
    Workbook &wb = *state().AccountWorkbook;
    for (const char *name : kReportSheets) wb.sheet(name).setVisible(visible);
}

void CashMovementForm::Form_Load() {
    EntryMode = NewEntry;
    ModifyFlag = DeleteFlag = false;
    TargetRow = 0;

    clearEntryFields();
    control("Command1").enabled = false;
    control("Command2").enabled = false;
    control("Command3").enabled = true;
    control("Command4").enabled = true;
    // The fields are filled in order: each is enabled when the one before it is accepted.
    for (const Control &c : controls())
        if (c.kind == ControlKind::TextBox) control(c.name).enabled = false;
    showBusy(false);

    AppState &s = state();
    if (!s.AccountWorkbookOpen) {
        OpenAccountWorkbook(s);
        PrepareAccountWorkbook(s);
    }
    if (hidesReportSheets()) setReportSheetsVisible(false);

    control("Text1").enabled = true;
    control("Text1").text = defaultDate().toString();
    afterLoad();
}

void CashMovementForm::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text1"), state().Today)) return;
    moveTo("Text2");
}

void CashMovementForm::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckNumberField(dialogs(), *this, control("Text2"))) return;
    if (hasNameField_) moveTo(kNameField);
    else afterAmountOrName();
}

void CashMovementForm::NameField_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    afterAmountOrName();
}

void CashMovementForm::afterAmountOrName() {
    if (EntryMode == ModifyEntry) {
        control("Command2").enabled = false;
        moveTo("Command1");
    } else {
        moveTo(codeField_.c_str());
    }
}

void CashMovementForm::CodeField_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckCodeField(dialogs(), *this, control(codeField_))) return;
    if (EntryMode == NewEntry) jav_val_Click();
}

void CashMovementForm::enterModifyMode() {
    control(codeField_).enabled = false;
    moveTo("Text1");
}

void CashMovementForm::jav_val_Click() {
    beforeDuplicateCheck();
    Sheet &ledger = ledgerSheet();
    if (EntryMode == NewEntry) {
        std::optional<std::int32_t> code = ParseCodeText(control(codeField_).text);
        int found = code ? FindLedgerRowByCode(ledger, *code) : 0;
        if (found != 0) {
            const std::string title = "Felhívás";
            if (AskYesNo(dialogs(),
                         std::string("Van már ilyen adat.") + kCrLf + "Módosítani szeretné ?",
                         title, MessageIcon::Exclamation)) {
                ModifyFlag = true;
                TargetRow = found;
                EntryMode = ModifyEntry;
            } else {
                ModifyFlag = false;
                EntryMode = DeleteEntry;
                if (AskYesNo(dialogs(), std::string("Törölhető az adat.") + kCrLf, title,
                             MessageIcon::Exclamation)) {
                    DeleteFlag = true;
                    TargetRow = found;
                    EntryMode = DeleteEntry;
                } else {
                    Command4_Click();
                    return;
                }
            }
        }
    }
    if (TargetRow != 0 && !belongsHere(ledger, TargetRow)) {
        ShowSettlementCodeMismatch(dialogs());
        Command3_Click();
        return;
    }
    switch (EntryMode) {
    case ModifyEntry: enterModifyMode(); break;
    case DeleteEntry:
        control("Command1").enabled = false;
        moveTo("Command2");
        break;
    default:
        control("Command2").enabled = false;
        moveTo("Command1");
        break;
    }
}

bool CashMovementForm::readEntry() {
    Control &date = control("Text1");
    Control &amount = control("Text2");
    Control &code = control(codeField_);
    if (!CheckDateNotAfterToday(dialogs(), *this, date, state().Today)) return false;
    if (!CheckNumberField(dialogs(), *this, amount)) return false;
    if (!CheckCodeField(dialogs(), *this, code)) return false;
    EntryDate = *ParseDateText(date.text);
    EntryAmount = *ParseNumberText(amount.text);
    EntryCode = *ParseCodeText(code.text);
    return true;
}

void CashMovementForm::leaveOnlyExitButtons() {
    for (const Control &c : controls())
        if (c.kind == ControlKind::TextBox) control(c.name).enabled = false;
    control("Command1").enabled = false;
    control("Command2").enabled = false;
    control("Command4").enabled = true;
    moveTo("Command3");
}

void CashMovementForm::Command1_Click() {
    if (!readEntry()) return;
    Sheet &ledger = ledgerSheet();
    // A code typed over after its check is checked again before anything is written.
    if (EntryMode == NewEntry && FindLedgerRowByCode(ledger, EntryCode) != 0) {
        jav_val_Click();
        return;
    }
    showBusy(true);
    beforeWrite(ledger);
    for (const char *b : kButtons) control(b).enabled = false;
    AppState &s = state();
    if (!DeleteFlag) {
        const int row = ModifyFlag ? TargetRow : InsertCashMovementRow(ledger, EntryDate);
        ledger.setValue(row, ledger::MovementDate, EntryDate);
        ledger.setValue(row, ledger::SettlementCode, static_cast<double>(EntryCode));
        writeMovement(ledger, row);
        RecalcAccountLedger(s);
    }
    if (hidesReportSheets()) setReportSheetsVisible(true);
    s.WorkbookChanged = true;
    SaveAccountWorkbook(s);
    CloseAccountWorkbook(s);
    if (quitsHostAfterWrite()) QuitSpreadsheetHost(s);

    clearEntryFields();
    showBusy(false);
    leaveOnlyExitButtons();
}

void CashMovementForm::Command2_Click() {
    // Disabled first: after a failure half-way the row numbers in memory no longer match the
    // files, so the window can only be left (which drops what the failed command changed).
    control("Command1").enabled = false;
    control("Command2").enabled = false;
    showBusy(true);
    AppState &s = state();
    OpenAccountDeletionLog(s);
    if (DeleteFlag) {
        AppendLedgerRowToDeletionLog(s, TargetRow);
        ledgerSheet().deleteRow(TargetRow);
        RecalcAccountLedger(s);
    }
    s.WorkbookChanged = true;
    SaveAccountDeletionLog(s);
    CloseAccountDeletionLog(s);

    if (hidesReportSheets()) setReportSheetsVisible(true);
    s.WorkbookChanged = true;
    SaveAccountWorkbook(s);
    CloseAccountWorkbook(s);
    QuitSpreadsheetHost(s);

    showBusy(false);
    leaveOnlyExitButtons();
}

void CashMovementForm::Command3_Click() { app().ReturnToMainWindow(*this); }

void CashMovementForm::Command4_Click() { app().LeaveProgram(*this); }

} // namespace vandorix
