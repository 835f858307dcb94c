#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers every subsystem's windows and the procedures of the main window's menu.
void RegisterAllWindows(WindowRegistry &registry);

} // namespace vandorix
