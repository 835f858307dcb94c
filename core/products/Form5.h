#pragma once

#include "app/EntryForms.h"

namespace vandorix {

// "Adatbevitel-Napi záró árak": a registered share's closing price for one day. The recording
// step itself is `RecordClosingPrice` (products/ClosingPrice.h), which the trade windows run
// without this window.
class Form5 : public EntryFieldsForm {
public:
    explicit Form5(Application &app);

    void Form_Load() override;
    // The product, then Enter on the date and on the price.
    void Combo1_Click() override;
    void Text1_KeyPress(int &KeyAscii) override;
    void Text2_KeyPress(int &KeyAscii) override;
    // "Adatbevitel": records the price.
    void Command1_Click();
    // "Mégse": lets the product go unwritten.
    void Command2_Click();
    // "Következő részvény": the window afresh.
    void Command3_Click();

private:
    void emptyFieldsAndList();
    // Closes the product workbook and the account workbook without writing.
    void closeWithoutSaving();
};

} // namespace vandorix
