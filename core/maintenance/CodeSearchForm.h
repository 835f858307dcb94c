#pragma once

#include "app/Form.h"
#include "maintenance/MaintenanceProcedures.h"

#include <cstdint>
#include <optional>

namespace vandorix {

// A maintenance window that finds a movement of the ledger by the settlement code typed into
// "Text1", captioned by "Label1": `keresö_load` runs on Enter, or when the field is left with
// a code in it, as long as no movement has been confirmed and the field can be edited.
class CodeSearchForm : public Form {
public:
    void Text1_KeyPress(int &KeyAscii);
    void Text1_LostFocus();
    virtual void keresö_load() = 0;
    // The last two buttons of the five-button windows: back to the main window, what is open
    // let go unwritten, and the end of the program.
    void Command4_Click();
    void Command5_Click();

protected:
    CodeSearchForm(Application &app, std::string name, std::string caption,
                   const char *codeCaption);

    // The start of the window: nothing found, the code field shown, enabled and empty.
    void resetSearch();
    // The end of the start: the account workbook open, the code field focused.
    void openAccountForSearch();
    // The movement of the code in "Text1", which is taken into `code`, once the user has
    // answered yes to "Ezt <verb> ?" on it; empty after the notice `notFound` when the ledger
    // has no such movement, or when the user answers no.
    std::optional<maintenance::LedgerMovement> confirmedMovement(std::int32_t &code,
                                                                 const char *notFound,
                                                                 const char *verb);

    std::optional<maintenance::LedgerMovement> Found;

private:
    void runSearch();
};

} // namespace vandorix
