#include "trading/Form3.h"

namespace vandorix {

Form3::Form3(Application &app)
    : TradeForm(app, "Form3", "Részvény vétel", TradeWindowKind::Purchase, "Combo1",
                "Az első vétel előtt a részvényt") {
    onClick("Combo1", [this] { Combo1_Click(); });
}

void Form3::Combo1_Click() { productChosen(); }

} // namespace vandorix
