#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers the product and closing-price windows.
void RegisterProductWindows(WindowRegistry &registry);

} // namespace vandorix
