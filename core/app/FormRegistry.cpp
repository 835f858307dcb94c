#include "app/Application.h"
#include "app/Form1.h"
#include "app/PendingForm.h"
#include "app/WindowRegistry.h"

#include <array>

namespace vandorix {

namespace {

struct PendingWindow {
    const char *name;
    const char *caption;
    const char *backButton;
    const char *backCaption;
    const char *exitButton;
    const char *exitCaption;
};

// Every window is built; a new one may stand here until it is.
constexpr std::array<PendingWindow, 0> kPendingWindows = {};

} // namespace

WindowRegistry &Windows() {
    static WindowRegistry registry;
    return registry;
}

std::unique_ptr<Form> CreateForm(Application &app, std::string_view name) {
    if (name == "Form1") return std::make_unique<Form1>(app);
    const auto &windows = Windows().windows;
    if (auto it = windows.find(name); it != windows.end()) return it->second(app);
    for (const PendingWindow &w : kPendingWindows)
        if (name == w.name)
            return std::make_unique<PendingForm>(app, w.name, w.caption, w.backButton,
                                                 w.backCaption, w.exitButton, w.exitCaption);
    return nullptr;
}

} // namespace vandorix
