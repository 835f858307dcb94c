#pragma once

#include "maintenance/CodeSearchForm.h"

#include <cstdint>

namespace vandorix {

// "Adatsor törlés": finds a movement of the ledger by its settlement code, shows it, and
// deletes it once confirmed, the deleted rows kept in the logs.
class Form15 : public CodeSearchForm {
public:
    explicit Form15(Application &app);

    void Form_Load() override;
    void keresö_load() override;
    // "Törlés": deletes the confirmed movement.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

private:
    void askAgain();

    std::int32_t Code = 0;
};

} // namespace vandorix
