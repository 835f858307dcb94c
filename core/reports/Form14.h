#pragma once

#include "app/EntryForms.h"

namespace vandorix {

// "Érték kimutatása": the worth of the cash account and of every product on a reference day
// and on a value day, computed into "Ertek01" of the account workbook and shown in the host.
class Form14 : public PeriodEntryForm {
public:
    explicit Form14(Application &app);

    void Form_Load() override;
    // Enter on the value day.
    void Text2_KeyPress(int &KeyAscii) override;
    // "Kimutatás": computes and shows the report.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
};

} // namespace vandorix
