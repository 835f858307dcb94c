#pragma once

#include "trading/TradeForm.h"

namespace vandorix {

// "Részvény vétel": records, modifies or deletes the purchase of a registered share.
class Form3 : public TradeForm {
public:
    explicit Form3(Application &app);
    void Combo1_Click();
};

} // namespace vandorix
