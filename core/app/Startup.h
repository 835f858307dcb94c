#pragma once

#include <filesystem>

namespace vandorix {

class Application;

// The start-up procedures of the main window. Each returns false when it has shown its
// failure message and ended the program.
bool LocateDataFolders(Application &app);
bool StartSpreadsheetHost(Application &app);
bool CheckInstallFolderName(Application &app);
// The whole start-up sequence; safe to run again, each run replaces the previous values.
bool RunStartup(Application &app);

// "Vandorix", or "Vandorix" followed by one digit from 1 to 9.
bool IsValidInstallFolderName(const std::string &name);

} // namespace vandorix
