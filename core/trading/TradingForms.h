#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers the purchase and sale windows.
void RegisterTradingWindows(WindowRegistry &registry);

} // namespace vandorix
