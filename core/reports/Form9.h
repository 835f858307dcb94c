#pragma once

#include "app/EntryForms.h"

namespace vandorix {

// "Eredmény kimutatás": the result of every product and of the archived products over a
// period, computed into "Eredmeny01" of the account workbook and shown in the host.
class Form9 : public PeriodEntryForm {
public:
    explicit Form9(Application &app);

    void Form_Load() override;
    // Enter on the last day.
    void Text2_KeyPress(int &KeyAscii) override;
    // "Számítás": computes and stores the report.
    void Command1_Click();
    // "Megnéz": shows it.
    void Command2_Click();
    // "Mégse": closes the account workbook unwritten.
    void Command3_Click();
};

} // namespace vandorix
