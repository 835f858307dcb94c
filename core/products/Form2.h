#pragma once

#include "app/EntryForms.h"

#include <optional>
#include <string>

namespace vandorix {

// "Részvény alapadatok": the list of registered shares, the registration of a new share below
// "Más részvény", the fresh registration of an archived one, and the archiving of a sold-out
// share ("Törlés").
class Form2 : public EntryFieldsForm {
public:
    explicit Form2(Application &app);

    void Form_Load() override;
    // A share chosen from the list, or "Más részvény" for a new one.
    void Combo1_Click() override;
    void Text1_KeyPress(int &KeyAscii) override;
    void Text2_KeyPress(int &KeyAscii) override;
    // "Felvétel": registers the share.
    void Command1_Click();
    // "Törlés": archives the share.
    void Command2_Click();
    // "Részvény vételhez": on to the purchase window.
    void Command3_Click();

private:
    // Refuses the entry before anything is written; the fields stay for correction.
    void refuseEntry(const std::string &text, const char *focusField);
    bool otherShareChosen() const;
    // The steps of "Felvétel": the checked name and code taken into the state (false when
    // refused), the refusal of a share already active, the registration itself.
    bool takeCheckedEntry(bool other);
    void refuseActiveProduct();
    void registerProduct(bool other);
    // The steps of "Törlés": the free archive name once every check has passed (each
    // refusal shown), and the archiving under it.
    std::optional<std::string> allowedArchiveName();
    void archiveProduct(const std::string &archiveName);
    // After a refused archiving: empties the fields and returns to the main window, closing
    // what is open without writing.
    void leaveAfterRefusal();

    int listRow_ = 0; // the list row of the chosen entry: a new product goes below it
};

} // namespace vandorix
