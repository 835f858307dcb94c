#include "account/AccountForms.h"

#include "account/CashForms.h"

namespace vandorix {

// The windows of this subsystem: Form6, Form7, Form8 and Form12.
void RegisterAccountWindows(WindowRegistry &registry) {
    registry.add<Form6>("Form6");
    registry.add<Form7>("Form7");
    registry.add<Form8>("Form8");
    registry.add<Form12>("Form12");
}

} // namespace vandorix
