#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers the report windows and the account view of the main menu.
void RegisterReportWindows(WindowRegistry &registry);

} // namespace vandorix
