#include "reports/ReportForms.h"

#include "reports/AccountView.h"
#include "reports/Form10.h"
#include "reports/Form11.h"
#include "reports/Form14.h"
#include "reports/Form9.h"

namespace vandorix {

// The windows of this subsystem: Form9, Form10, Form11 and Form14.
void RegisterReportWindows(WindowRegistry &registry) {
    registry.add<Form9>("Form9");
    registry.add<Form10>("Form10");
    registry.add<Form11>("Form11");
    registry.add<Form14>("Form14");
    registry.viewAccountWorkbook = &ViewAccountWorkbook;
}

} // namespace vandorix
