#pragma once

#include "app/EntryForms.h"
#include "store/Sheet.h"

namespace vandorix {

// "Termékfájl számla kivonat": the trade rows of one product in a period copied into "Szla02"
// with the running holding and totals, shown in the host until the user goes on.
class Form11 : public PeriodEntryForm {
public:
    explicit Form11(Application &app);

    void Form_Load() override;
    // The product, then Enter on the last day.
    void Combo1_Click() override;
    void Text2_KeyPress(int &KeyAscii) override;
    // "Inditás": the statement of the period.
    void Command1_Click();
    // "Mégse", "Új választás": back to the main window, the workbooks unwritten.
    void Command2_Click();
    void Command3_Click();

private:
    // Copies the trade rows of the period into the statement sheet with its totals.
    Sheet &writeStatement(int lastTrade);
    // Shows the statement alone in the host until the user goes on.
    void showStatement(Sheet &trades, Sheet &statement);
};

} // namespace vandorix
