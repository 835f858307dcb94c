#pragma once

#include "app/Form.h"
#include "maintenance/MaintenanceProcedures.h"

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

protected:
    CodeSearchForm(Application &app, std::string name, std::string caption,
                   const char *codeCaption);

    // The start of the window: nothing found, the code field shown, enabled and empty.
    void resetSearch();
    // The end of the start: the account workbook open, the code field focused.
    void openAccountForSearch();

    std::optional<maintenance::LedgerMovement> Found;

private:
    void runSearch();
};

} // namespace vandorix
