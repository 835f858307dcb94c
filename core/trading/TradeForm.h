#pragma once

#include "app/MovementForm.h"
#include "trading/EntryMode.h"
#include "trading/TradeRows.h"

#include <initializer_list>

namespace vandorix {

// What the purchase window and the sale window share: a product list, the six entry fields
// (date, quantity, unit price, commission, order code, settlement code) filled in order and
// checked on Enter, the entry-mode decision on the settlement code, and the four buttons
// "Rögzítés", "Törlés", "Vissza a főmenübe" and "Kilépés". One recording or deletion per
// opening: it saves what it changed and returns to the main window.
class TradeForm : public MovementForm {
public:
    void Form_Load() override;

    void Text2_KeyPress(int &KeyAscii);
    void Text3_KeyPress(int &KeyAscii);
    void Text4_KeyPress(int &KeyAscii);
    void Text5_KeyPress(int &KeyAscii);
    void Text6_KeyPress(int &KeyAscii);
    void jav_val_Click() override;
    // "Rögzítés" and "Törlés".
    void Command1_Click() override;
    void Command2_Click() override;

protected:
    TradeForm(Application &app, const char *name, const char *caption, TradeWindowKind kind,
              const char *productList, const char *firstLineWithoutProduct);

    // The product was chosen in the product list.
    void productChosen();
    // Fills the window's own lists at load time, after the product names.
    virtual void loadOwnLists() {}

    Control &productList() { return control(productList_); }

private:
    void setFieldsVisible(bool visible);
    void enable(std::initializer_list<const char *> names, bool enabled);
    // Starts the entry over for the chosen product: no entry mode, the fields empty.
    void restartEntry();
    // Checks every field again and takes the entry into AppState; a field changed since its
    // Enter gets its message and the focus here.
    bool readEntry();
    // A refusal: `message` under `title`, then only the `usable` buttons stay enabled.
    void refuse(const char *message, const char *title,
                std::initializer_list<const char *> usable);
    struct Refusal {
        const char *message;
        const char *title;
        std::initializer_list<const char *> usable;
    };
    // Disables every field and button and shows "Várjon !" while the trade is written.
    void showBusy();
    // The end of a recording or a deletion: the refusal its outcome calls for, or the save and
    // the way back to the main window.
    void finishWrite(TradeOutcome outcome, const Refusal &lotSold, const Refusal &notEnoughShares);

    TradeWindowKind kind_;
    const char *productList_;
    const char *firstLineWithoutProduct_;
};

} // namespace vandorix
