#pragma once

#include <filesystem>
#include <string>

namespace vandorix {

struct AppState;
class Dialogs;

// "Utolsó művelet visszavonása": names the newest command that can be undone and, once the
// user confirms, puts its files back as they were before it. Nothing to undo, a file changed
// since the command, or a failure is one notice and changes nothing.
void UndoLastCommand(AppState &state, Dialogs &dialogs);

// "Biztonsági mentés": asks where to write a zip of the four data folders (a file beside the
// installation root named with the date and time is offered), writes and verifies it, and
// says where it is and how to restore it.
void MakeBackup(AppState &state, Dialogs &dialogs);

// The offered backup file: "<root parent>/<root name> mentés <date>_<time>.zip".
std::filesystem::path DefaultBackupPath(const AppState &state);

} // namespace vandorix
