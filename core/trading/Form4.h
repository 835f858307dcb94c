#pragma once

#include "trading/TradeForm.h"

namespace vandorix {

// "Részvény eladás": records, modifies or deletes the sale of a registered share. The sale
// order ("Eladási sorrend") is chosen first, then the product ("Termék választás").
class Form4 : public TradeForm {
public:
    explicit Form4(Application &app);
    void Combo1_Click();
    void Combo2_Click();

protected:
    void loadOwnLists() override;
};

} // namespace vandorix
