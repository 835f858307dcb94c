#include "account/AccountForms.h"

#include "account/CashForms.h"
#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form6, Form7, Form8 and Form12); nullptr for any other name.
std::unique_ptr<Form> CreateAccountForm(Application &app, std::string_view name) {
    if (name == "Form6") return std::make_unique<Form6>(app);
    if (name == "Form7") return std::make_unique<Form7>(app);
    if (name == "Form8") return std::make_unique<Form8>(app);
    if (name == "Form12") return std::make_unique<Form12>(app);
    return nullptr;
}

void RegisterAccountWindows(WindowRegistry &registry) {
    registry.factories.push_back(&CreateAccountForm);
}

} // namespace vandorix
