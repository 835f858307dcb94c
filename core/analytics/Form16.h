#pragma once

#include "app/EntryForms.h"

#include <functional>

namespace vandorix {

// "Termék adatok.": one product's daily data over a chosen range, its indicators brought up to
// date, copied into "<name>02" and shown in the host; on request the four charts as well.
class Form16 : public PeriodEntryForm {
  public:
    explicit Form16(Application &app);

    void Form_Load() override;
    // The product, then Enter on the last day.
    void Combo1_Click() override;
    void Text2_KeyPress(int &KeyAscii) override;
    // "Megmutat": the range, then on request the charts.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

  private:
    // The steps of the command; false when it has stopped (a refusal or the end of the program).
    bool showRange();
    bool askCustomRsi(int rangeEndRow);
    bool showCharts();
    void closeProduct();
    // Runs one chart procedure; a failure of it ends the program with the given first line.
    bool chartStep(const std::function<void()> &procedure, const char *firstLine);
    // The end of every run-time failure: nothing is written and the program ends.
    void endProgramUnwritten(const std::string &text);
};

} // namespace vandorix
