#include "analytics/AnalyticsForms.h"

#include "analytics/Form16.h"
#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form16); nullptr for any other name.
std::unique_ptr<Form> CreateAnalyticsForm(Application &app, std::string_view name) {
    if (name == "Form16") return std::make_unique<Form16>(app);
    return nullptr;
}

void RegisterAnalyticsWindows(WindowRegistry &registry) {
    registry.factories.push_back(&CreateAnalyticsForm);
}

} // namespace vandorix
