#include "maintenance/Form13.h"

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Validation.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

namespace {

constexpr const char *kNotFound = "Nincs ilyen brókerkód,\r\nVissza a főmenübe!";
constexpr const char *kCodeInUse =
    "Ezt a teljesítés kódot már egy másik tétel viseli,\r\nadjon meg másik kódot!";
constexpr const char *kProductMissing =
    "A tételhez tartozó termék munkafüzete nem található,\r\na kód nem cserélhető!";
constexpr const char *kTradeRowMissing =
    "A termék számláján nincs ilyen teljesítés kód,\r\na kód nem cserélhető!";

} // namespace

Form13::Form13(Application &app)
    : CodeSearchForm(app, "Form13", "Teljesítés tranzakciós kód csere",
                     "Cserélendő teljesítés kódszám") {
    addLabel("Label2", "Új teljesítés kódszám");
    addTextBox("Text2");
    onKeyPress("Text2", [this](int &k) { Text2_KeyPress(k); });
    addCommandButtons({"Csere", "Mégse", "Következő", "Vissza a főmenübe", "Kilép"});
    bindCommandClicks(this, &Form13::Command1_Click, &Form13::Command2_Click,
                      &Form13::Command3_Click, &Form13::Command4_Click, &Form13::Command5_Click);
}

void Form13::Form_Load() {
    OldCode = NewCode = 0;
    resetSearch();
    control("Label2").visible = false;
    Control &newCode = control("Text2");
    newCode.clear();
    newCode.visible = newCode.enabled = false;
    enableControls({"Command1", "Command2", "Command3"}, false);
    enableControls({"Command4", "Command5"}, true);
    openAccountForSearch();
}

void Form13::emptyFields() {
    control("Text1").clear();
    control("Text2").clear();
}

void Form13::keresö_load() {
    std::optional<maintenance::LedgerMovement> m = confirmedMovement(OldCode, kNotFound, "cseréli");
    if (!m) {
        emptyFields();
        app().ReturnToMainWindow(*this);
        return;
    }
    Found = m;
    // The old code is fixed from here on; the window replaces the movement confirmed.
    control("Text1").enabled = false;
    control("Label2").visible = true;
    Control &newCode = control("Text2");
    newCode.visible = newCode.enabled = true;
    control("Command2").enabled = true;
    SetFocus("Text2");
}

void Form13::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey || !Found)
        return;
    if (!checkNewCode())
        return;
    control("Command1").enabled = true;
    SetFocus("Command1");
}

bool Form13::checkNewCode() {
    Control &field = control("Text2");
    if (!CheckCodeField(dialogs(), *this, field)) {
        control("Command1").enabled = false;
        return false;
    }
    const std::int32_t code = *ParseCodeText(field.text);
    // A code carried by another movement (or this one) would make two rows answer to it.
    if (FindLedgerMovement(state(), code)) {
        ShowNotice(dialogs(), kCodeInUse, "Adathiba");
        field.clear();
        control("Command1").enabled = false;
        SetFocus("Text2");
        return false;
    }
    NewCode = code;
    return true;
}

void Form13::Command1_Click() {
    if (!Found)
        return;
    // The field may have been edited after Enter accepted it: what it shows now is the code
    // written, checked again as Enter checks it.
    if (!checkNewCode())
        return;
    enableControls({"Command1", "Command2"}, false);
    control("Text2").enabled = false;
    AppState &s = state();
    const MaintenanceOutcome outcome = ChangeSettlementCode(s, *Found, OldCode, NewCode);
    if (outcome == MaintenanceOutcome::ProductMissing)
        ShowNotice(dialogs(), kProductMissing, "Adathiba");
    if (outcome == MaintenanceOutcome::TradeRowMissing)
        ShowNotice(dialogs(), kTradeRowMissing, "Adathiba");
    if (outcome != MaintenanceOutcome::Done) {
        CloseWorkbooksForReturn(s);
    }
    Found.reset();
    emptyFields();
    enableControls({"Command3", "Command4", "Command5"}, true);
    SetFocus("Command4");
}

void Form13::Command2_Click() {
    AppState &s = state();
    OldCode = NewCode = 0;
    Found.reset();
    enableControls({"Text1", "Text2", "Command1", "Command2"}, false);
    enableControls({"Command3", "Command4", "Command5"}, true);
    s.AccountWorkbook.close();
    SetFocus("Command4");
}

void Form13::Command3_Click() {
    Form_Load();
    SetFocus("Text1");
}

} // namespace vandorix
