#include "windows/RegisterWindows.h"

#include "account/AccountForms.h"
#include "analytics/AnalyticsForms.h"
#include "maintenance/MaintenanceForms.h"
#include "products/ProductForms.h"
#include "reports/ReportForms.h"
#include "trading/TradingForms.h"

namespace vandorix {

void RegisterAllWindows(WindowRegistry &registry) {
    RegisterProductWindows(registry);
    RegisterTradingWindows(registry);
    RegisterAccountWindows(registry);
    RegisterReportWindows(registry);
    RegisterAnalyticsWindows(registry);
    RegisterMaintenanceWindows(registry);
}

namespace {

// Every program linked with the core (the user interface, the tools, the tests) starts with
// all windows registered: this library is linked whole, so this runs before main.
const bool kWindowsRegistered = [] {
    RegisterAllWindows(Windows());
    return true;
}();

} // namespace

} // namespace vandorix
