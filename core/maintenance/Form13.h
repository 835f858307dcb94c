#pragma once

#include "app/Form.h"
#include "maintenance/MaintenanceProcedures.h"

#include <cstdint>
#include <optional>

namespace vandorix {

// "Teljesítés tranzakciós kód csere": replaces the settlement code of one movement, in the
// ledger and, for a trade, wherever the product's trade sheet stores it.
class Form13 : public Form {
public:
    explicit Form13(Application &app);

    void Form_Load() override;
    void Text1_KeyPress(int &KeyAscii);
    void Text1_LostFocus();
    void keresö_load();
    void Text2_KeyPress(int &KeyAscii);
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
    void emptyFields();

    std::int32_t OldCode = 0;
    std::int32_t NewCode = 0;
    std::optional<maintenance::LedgerMovement> Found;
};

} // namespace vandorix
