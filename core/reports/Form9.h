#pragma once

#include "app/Form.h"

namespace vandorix {

// "Eredmény kimutatás": the result of every product and of the archived products over a
// period, computed into "Eredmeny01" of the account workbook and shown in the host.
class Form9 : public Form {
public:
    explicit Form9(Application &app);

    void Form_Load() override;
    void Text1_KeyPress(int &KeyAscii);
    void Text2_KeyPress(int &KeyAscii);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
};

} // namespace vandorix
