#include "analytics/AnalyticsForms.h"

#include "analytics/Form16.h"

namespace vandorix {

// The windows of this subsystem: Form16.
void RegisterAnalyticsWindows(WindowRegistry &registry) {
    registry.add<Form16>("Form16");
}

} // namespace vandorix
