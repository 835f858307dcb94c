#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers the cash-movement windows.
void RegisterAccountWindows(WindowRegistry &registry);

} // namespace vandorix
