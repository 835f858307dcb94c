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
    : MovementForm(app, layout.name, layout.caption), hasNameField_(layout.nameLabel != nullptr),
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

    onKeyPress("Text2", [this](int &k) { Text2_KeyPress(k); });
    if (hasNameField_) onKeyPress(kNameField, [this](int &k) { NameField_KeyPress(k); });
    onKeyPress(codeField_, [this](int &k) { CodeField_KeyPress(k); });
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

void CashMovementForm::setReportSheetsVisible(bool visible) {
    Workbook &wb = *state().AccountWorkbook;
    for (const char *name : kReportSheets) wb.sheet(name).setVisible(visible);
}

void CashMovementForm::Form_Load() {
    EntryMode = EntryMode::New;
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
    EnsureAccountWorkbook(s);
    if (hidesReportSheets()) setReportSheetsVisible(false);

    control("Text1").enabled = true;
    control("Text1").text = defaultDate().toString();
    afterLoad();
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
    if (EntryMode == EntryMode::Modify) {
        control("Command2").enabled = false;
        moveTo("Command1");
    } else {
        moveTo(codeField_.c_str());
    }
}

void CashMovementForm::CodeField_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckCodeField(dialogs(), *this, control(codeField_))) return;
    if (EntryMode == EntryMode::New) jav_val_Click();
}

void CashMovementForm::enterModifyMode() {
    control(codeField_).enabled = false;
    moveTo("Text1");
}

void CashMovementForm::jav_val_Click() {
    beforeDuplicateCheck();
    Sheet &ledger = ledgerSheet();
    const EntryDecision decision = DecideEntryMode(
        dialogs(), {EntryMode, TargetRow, ModifyFlag, DeleteFlag},
        {std::string("Törölhető az adat.") + kCrLf,
         [&] {
             std::optional<std::int32_t> code = ParseCodeText(control(codeField_).text);
             return code ? FindLedgerRowByCode(ledger, *code) : 0;
         },
         [&](int row) { return belongsHere(ledger, row); }});
    switch (decision) {
    case EntryDecision::LeaveProgram: Command4_Click(); return;
    case EntryDecision::Mismatch: Command3_Click(); return;
    default: break;
    }
    switch (EntryMode) {
    case EntryMode::Modify: enterModifyMode(); break;
    case EntryMode::Delete:
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
    if (EntryMode == EntryMode::New && FindLedgerRowByCode(ledger, EntryCode) != 0) {
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
    s.AccountWorkbook.commit();
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
    s.AccountDeletionLog.commit();

    if (hidesReportSheets()) setReportSheetsVisible(true);
    s.AccountWorkbook.commit();
    QuitSpreadsheetHost(s);

    showBusy(false);
    leaveOnlyExitButtons();
}

} // namespace vandorix
