#pragma once

#include "app/Form.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace vandorix {

class Application;
struct AppState;
class Dialogs;

// Creates the window of that name, or nullptr when the name is none of its subsystem's.
using FormFactory = std::unique_ptr<Form> (*)(Application &app, std::string_view name);

// What the application needs from the subsystems above it, offered for them to fill: the
// windows each creates, and the procedures the main window's menu calls. The application
// itself knows none of the subsystems; the program's start registers them all once.
struct WindowRegistry {
    std::vector<FormFactory> factories;

    // "Számla megtekintése": shows the ledger alone until the user is done.
    void (*viewAccountWorkbook)(AppState &app, Dialogs &dialogs,
                                const std::function<void()> &hideMainWindow) = nullptr;
    // "Utolsó művelet visszavonása" and "Biztonsági mentés".
    void (*undoLastCommand)(AppState &state, Dialogs &dialogs) = nullptr;
    void (*makeBackup)(AppState &state, Dialogs &dialogs) = nullptr;
};

// The program's one registry.
WindowRegistry &Windows();

} // namespace vandorix
