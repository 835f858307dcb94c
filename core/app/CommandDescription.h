#pragma once

#include <map>
#include <string>

namespace vandorix {

struct AppState;

// What one user command was: the window it ran in, the control it was raised on, the control
// or menu item that started it, and the texts of that window's fields and lists as the user
// had left them before it ran (a handler that records empties them).
struct CommandTrace {
    std::string form;
    std::string control;
    std::string controlCaption;
    std::string action;
    std::map<std::string, std::string> texts;
};

// The two descriptions of a command, both read from its trace.

// The status line after a command that saved something: "Elmentve: " and what was recorded,
// for example "Elmentve: 2026. 11. 03. – Tölgyfa Nyrt, 100 db vétel".
std::string SavedNotice(const CommandTrace &command, const AppState &state);

// The status line after a recording button that saved nothing (the entry was refused or
// declined); empty for every other command, which leaves the status line as it was.
std::string NothingSavedNotice(const CommandTrace &command);

// What a command did, in the user's words, for the list of commands that can be undone:
// "Vétel: Alfa, 100 db, 2026. 11. 03."; `caption` is the window's caption as the command
// left it.
std::string DescribeCommand(const CommandTrace &command, const std::string &caption,
                            const AppState &state);

// The status line after a command that failed and was rolled back.
inline constexpr const char *kFailedCommandNotice =
    "A művelet megszakadt, semmi sem került mentésre.";

} // namespace vandorix
