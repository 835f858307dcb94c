#pragma once

#include <map>
#include <string>

namespace vandorix {

struct AppState;

// What one user command was: the window it ran in, the control it was raised on, and the
// texts of that window's fields and lists as the user had left them before it ran (a handler
// that records empties them).
struct CommandTrace {
    std::string form;
    std::string control;
    std::string controlCaption;
    std::map<std::string, std::string> texts;
};

// The status line after a command that saved something: "Elmentve: " and what was recorded,
// for example "Elmentve: 2026. 11. 03. – Tölgyfa Nyrt, 100 db vétel".
std::string SavedNotice(const CommandTrace &command, const AppState &state);

// The status line after a recording button that saved nothing (the entry was refused or
// declined); empty for every other command, which leaves the status line as it was.
std::string NothingSavedNotice(const CommandTrace &command);

// The status line after a command that failed and was rolled back.
inline constexpr const char *kFailedCommandNotice =
    "A művelet megszakadt, semmi sem került mentésre.";

} // namespace vandorix
