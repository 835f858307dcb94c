#include "maintenance/CodeSearchForm.h"

#include "app/Application.h"
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

void CodeSearchForm::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii == kEnterKey) runSearch();
}

void CodeSearchForm::Text1_LostFocus() {
    if (!control("Text1").text.empty()) runSearch();
}

void CodeSearchForm::runSearch() {
    // The code of a movement already confirmed stays as it was confirmed.
    if (Found || !control("Text1").enabled) return;
    if (!CheckCodeField(dialogs(), *this, control("Text1"))) return;
    keresö_load();
}

} // namespace vandorix
