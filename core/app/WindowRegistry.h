#pragma once

#include "app/Form.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace vandorix {

class Application;
struct AppState;
class Dialogs;

// What the application needs from the subsystems above it, offered for them to fill: the
// windows each creates, and the procedures the main window's menu calls. The application
// itself knows none of the subsystems; the program's start registers them all once.
struct WindowRegistry {
    using Factory = std::unique_ptr<Form> (*)(Application &app);
    // The windows by name ("Form2" … "Form17"; the main window "Form1" is the application's).
    std::map<std::string, Factory, std::less<>> windows;

    template <typename Window>
    void add(const char *name) {
        windows[name] = [](Application &app) -> std::unique_ptr<Form> {
            return std::make_unique<Window>(app);
        };
    }

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
