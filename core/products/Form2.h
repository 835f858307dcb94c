#pragma once

#include "app/Form.h"

namespace vandorix {

// "Részvény alapadatok": the list of registered shares, the registration of a new share below
// "Más részvény", the fresh registration of an archived one, and the archiving of a sold-out
// share ("Törlés").
class Form2 : public Form {
public:
    explicit Form2(Application &app);

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
    void showFields(bool show);
    // Refuses the entry before anything is written; the fields stay for correction.
    void refuseEntry(const std::string &text, const char *focusField);
    bool otherShareChosen() const;
    // After a refused archiving: empties the fields and returns to the main window, closing
    // what is open without writing.
    void leaveAfterRefusal();

    int listRow_ = 0; // the list row of the chosen entry: a new product goes below it
};

} // namespace vandorix
