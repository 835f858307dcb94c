#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers the maintenance windows, undo and backup of the main menu.
void RegisterMaintenanceWindows(WindowRegistry &registry);

} // namespace vandorix
