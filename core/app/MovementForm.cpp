#include "app/MovementForm.h"

#include "app/Application.h"
#include "app/Validation.h"

namespace vandorix {

MovementForm::MovementForm(Application &app, std::string name, std::string caption)
    : Form(app, std::move(name), std::move(caption)) {
    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    bindCommandClicks(this, &MovementForm::Command1_Click, &MovementForm::Command2_Click,
                      &MovementForm::Command3_Click, &MovementForm::Command4_Click);
}

void MovementForm::moveTo(const char *control) {
    this->control(control).enabled = true;
    SetFocus(control);
}

void MovementForm::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text1"), state().Today)) return;
    moveTo("Text2");
}

void MovementForm::Command3_Click() { app().ReturnToMainWindow(*this); }

void MovementForm::Command4_Click() { app().LeaveProgram(*this); }

} // namespace vandorix
