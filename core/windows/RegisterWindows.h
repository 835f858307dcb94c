#pragma once

#include "app/WindowRegistry.h"

namespace vandorix {

// Registers every subsystem's windows and menu procedures in `registry`, in the order the
// windows are looked up.
void RegisterAllWindows(WindowRegistry &registry);

} // namespace vandorix
