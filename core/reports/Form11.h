#pragma once

#include "app/Form.h"

namespace vandorix {

// "Termékfájl számla kivonat": the trade rows of one product in a period copied into "Szla02"
// with the running holding and totals, shown in the host until the user goes on.
class Form11 : public Form {
public:
    explicit Form11(Application &app);

    void Form_Load() override;
    void Combo1_Click();
    void Text1_KeyPress(int &KeyAscii);
    void Text2_KeyPress(int &KeyAscii);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

private:
    void setDateFieldsVisible(bool visible);
};

} // namespace vandorix
