#include "trading/TradingForms.h"

#include "app/Application.h"
#include "trading/Form3.h"
#include "trading/Form4.h"

namespace vandorix {

// The windows of this subsystem (Form3 and Form4); nullptr for any other name.
std::unique_ptr<Form> CreateTradingForm(Application &app, std::string_view name) {
    if (name == "Form3") return std::make_unique<Form3>(app);
    if (name == "Form4") return std::make_unique<Form4>(app);
    return nullptr;
}

void RegisterTradingWindows(WindowRegistry &registry) {
    registry.factories.push_back(&CreateTradingForm);
}

} // namespace vandorix
