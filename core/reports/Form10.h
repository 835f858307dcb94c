#pragma once

#include "app/Form.h"
#include "store/Date.h"

#include <optional>

namespace vandorix {

// "Befektetési számla kivonat": the ledger rows of a period copied into "Befszla02" with their
// running balance, totals and the result and tax summary, shown in the host until the user
// goes on.
class Form10 : public Form {
public:
    explicit Form10(Application &app);

    void Form_Load() override;
    void Text1_KeyPress(int &KeyAscii);
    void Text2_KeyPress(int &KeyAscii);
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

private:
    void setOtherReportSheetsVisible(bool visible);
    // The date of a field, or the date message with the field emptied and focused.
    std::optional<Date> fieldDate(const char *field);
};

} // namespace vandorix
