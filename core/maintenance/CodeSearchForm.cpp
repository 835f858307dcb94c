#include "maintenance/CodeSearchForm.h"

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Validation.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

CodeSearchForm::CodeSearchForm(Application &app, std::string name, std::string caption,
                               const char *codeCaption)
    : Form(app, std::move(name), std::move(caption)) {
    addLabel("Label1", codeCaption);
    addTextBox("Text1");
    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    onLostFocus("Text1", [this] { Text1_LostFocus(); });
}

void CodeSearchForm::resetSearch() {
    Found.reset();
    Control &code = control("Text1");
    code.visible = code.enabled = true;
    code.clear();
}

void CodeSearchForm::openAccountForSearch() {
    AppState &s = state();
    s.HostRunning = true;
    EnsureAccountWorkbook(s);
    SetFocus("Text1");
}

std::optional<maintenance::LedgerMovement>
CodeSearchForm::confirmedMovement(std::int32_t &code, const char *notFound, const char *verb) {
    code = *ParseCodeText(control("Text1").text);
    std::optional<maintenance::LedgerMovement> m = FindLedgerMovement(state(), code);
    if (!m) {
        ShowNotice(dialogs(), notFound, "Adathiba");
        return std::nullopt;
    }
    const std::string question = m->date + " " + m->description + "\r\nEzt " + verb + " ?";
    if (!AskYesNo(dialogs(), question, "Kérdés")) return std::nullopt;
    return m;
}

void CodeSearchForm::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii == kEnterKey) runSearch();
}

void CodeSearchForm::Text1_LostFocus() {
    if (!control("Text1").text.empty()) runSearch();
}

void CodeSearchForm::Command4_Click() { app().ReturnToMainWindow(*this); }

void CodeSearchForm::Command5_Click() { app().LeaveProgram(*this); }

void CodeSearchForm::runSearch() {
    // The code of a movement already confirmed stays as it was confirmed.
    if (Found || !control("Text1").enabled) return;
    if (!CheckCodeField(dialogs(), *this, control("Text1"))) return;
    keresö_load();
}

} // namespace vandorix
