#pragma once

#include "app/Form.h"
#include "maintenance/MaintenanceProcedures.h"

#include <cstdint>
#include <optional>

namespace vandorix {

// "Adatsor törlés": finds a movement of the ledger by its settlement code, shows it, and
// deletes it once confirmed, the deleted rows kept in the logs.
class Form15 : public Form {
public:
    explicit Form15(Application &app);

    void Form_Load() override;
    void Text1_KeyPress(int &KeyAscii);
    void Text1_LostFocus();
    void keresö_load();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void runSearch();
    void askAgain();

    std::int32_t Code = 0;
    std::optional<maintenance::LedgerMovement> Found;
};

} // namespace vandorix
