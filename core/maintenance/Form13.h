#pragma once

#include "app/EntryForms.h"
#include "maintenance/MaintenanceProcedures.h"

#include <cstdint>
#include <optional>

namespace vandorix {

// "Teljesítés tranzakciós kód csere": replaces the settlement code of one movement, in the
// ledger and, for a trade, wherever the product's trade sheet stores it.
class Form13 : public EntryFieldsForm {
public:
    explicit Form13(Application &app);

    void Form_Load() override;
    // The code to replace: searched on Enter or on leaving the field.
    void Text1_KeyPress(int &KeyAscii) override;
    void Text1_LostFocus();
    void keresö_load();
    // The new code.
    void Text2_KeyPress(int &KeyAscii) override;
    // "Csere": replaces the code.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();

private:
    void runSearch();
    // Checks the new code in "Text2" and takes it into `NewCode`; on refusal "Csere" is
    // disabled and the field keeps the focus.
    bool checkNewCode();

    std::int32_t OldCode = 0;
    std::int32_t NewCode = 0;
    std::optional<maintenance::LedgerMovement> Found;
};

} // namespace vandorix
