#pragma once

#include "app/Form.h"

namespace vandorix {

// What the cash and trade windows share: the date field "Text1" first, not after today,
// checked on Enter; each later field enabled as the one before it is accepted; the entry-mode
// decision `jav_val_Click` on the settlement code; the buttons "Command1" (recording),
// "Command2" (deletion), "Command3" (back to the main window) and "Command4" (leaving the
// program).
class MovementForm : public Form {
public:
    void Text1_KeyPress(int &KeyAscii);
    virtual void jav_val_Click() = 0;
    virtual void Command1_Click() = 0;
    virtual void Command2_Click() = 0;
    void Command3_Click();
    void Command4_Click();

protected:
    MovementForm(Application &app, std::string name, std::string caption);

    // Enables a field or button and gives it the focus.
    void moveTo(const char *control);
};

} // namespace vandorix
