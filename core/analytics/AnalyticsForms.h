#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers the product data window.
void RegisterAnalyticsWindows(WindowRegistry &registry);

} // namespace vandorix
