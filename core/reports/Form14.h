#pragma once

#include "app/Form.h"

namespace vandorix {

// "Érték kimutatása": the worth of the cash account and of every product on a reference day
// and on a value day, computed into "Ertek01" of the account workbook and shown in the host.
class Form14 : public Form {
public:
    explicit Form14(Application &app);

    void Form_Load() override;
    void Text1_KeyPress(int &KeyAscii);
    void Text2_KeyPress(int &KeyAscii);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
};

} // namespace vandorix
