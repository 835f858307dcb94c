#pragma once

#include "maintenance/CodeSearchForm.h"

#include <cstdint>

namespace vandorix {

// "Teljesítés tranzakciós kód csere": replaces the settlement code of one movement, in the
// ledger and, for a trade, wherever the product's trade sheet stores it.
class Form13 : public CodeSearchForm {
public:
    explicit Form13(Application &app);

    void Form_Load() override;
    void keresö_load() override;
    // The new code.
    void Text2_KeyPress(int &KeyAscii);
    // "Csere": replaces the code.
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    // Checks the new code in "Text2" and takes it into `NewCode`; on refusal "Csere" is
    // disabled and the field keeps the focus.
    bool checkNewCode();
    void emptyFields();

    std::int32_t OldCode = 0;
    std::int32_t NewCode = 0;
};

} // namespace vandorix
