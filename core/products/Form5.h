#pragma once

#include "app/Form.h"

namespace vandorix {

// "Adatbevitel-Napi záró árak": a registered share's closing price for one day. The recording
// step itself is `RecordClosingPrice` (products/ClosingPrice.h), which the trade windows run
// without this window.
class Form5 : public Form {
public:
    explicit Form5(Application &app);

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
    void setFieldsVisible(bool visible);
    void emptyFieldsAndList();
    // Closes the product workbook and the account workbook without writing.
    void closeWithoutSaving();
};

} // namespace vandorix
