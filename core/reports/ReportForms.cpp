#include "reports/ReportForms.h"

#include "app/Application.h"
#include "reports/AccountView.h"
#include "reports/Form10.h"
#include "reports/Form11.h"
#include "reports/Form14.h"
#include "reports/Form9.h"

namespace vandorix {

// The windows of this subsystem (Form9, Form10, Form11 and Form14); nullptr for any other name.
std::unique_ptr<Form> CreateReportForm(Application &app, std::string_view name) {
    if (name == "Form9") return std::make_unique<Form9>(app);
    if (name == "Form10") return std::make_unique<Form10>(app);
    if (name == "Form11") return std::make_unique<Form11>(app);
    if (name == "Form14") return std::make_unique<Form14>(app);
    return nullptr;
}

void RegisterReportWindows(WindowRegistry &registry) {
    registry.factories.push_back(&CreateReportForm);
    registry.viewAccountWorkbook = &ViewAccountWorkbook;
}

} // namespace vandorix
