#pragma once

#include "app/EntryForms.h"
#include "store/Date.h"
#include "store/Sheet.h"

#include <optional>

namespace vandorix {

// "Befektetési számla kivonat": the ledger rows of a period copied into "Befszla02" with their
// running balance, totals and the result and tax summary, shown in the host until the user
// goes on.
class Form10 : public PeriodEntryForm {
public:
    explicit Form10(Application &app);

    void Form_Load() override;
    // Enter on the last day.
    void Text2_KeyPress(int &KeyAscii) override;
    // "Indítás": the statement of the period.
    void Command1_Click();
    // "Mégse": closes the account workbook unwritten.
    void Command2_Click();
    void Command3_Click();

private:
    void setOtherReportSheetsVisible(bool visible);
    // The date of a field, or the date message with the field emptied and focused.
    std::optional<Date> fieldDate(const char *field);
    // Copies the ledger rows of the period into the statement sheet with its summary (the
    // dividend tax rate asked).
    Sheet &writeStatement(Date start, Date end);
};

} // namespace vandorix
