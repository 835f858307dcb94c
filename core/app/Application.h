#pragma once

#include "app/AppState.h"
#include "app/Dialogs.h"
#include "app/Form.h"
#include "app/CommandDescription.h"

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandorix {

// What start-up needs from outside the program state: where the executable lies, and a fixed
// date for repeatable runs.
struct StartupEnvironment {
    std::filesystem::path programFolder;
    std::optional<Date> fixedToday;
};

// The running program: the program state, the dialogs, the windows and the navigation
// between them. Exactly one window is visible at a time while the program runs.
class Application {
public:
    Application(Dialogs &dialogs, StartupEnvironment environment);
    ~Application();
    Application(const Application &) = delete;
    Application &operator=(const Application &) = delete;

    AppState &state() { return state_; }
    Dialogs &dialogs() { return dialogs_; }
    const StartupEnvironment &environment() const { return environment_; }
    // The current date: the fixed date of the environment, or the system's.
    Date currentDate() const;

    // Runs the main window's load procedure and shows it, unless start-up ended the program.
    void start();
    bool ended() const { return state_.ProgramEnded; }

    // The windows "Form1" to "Form16", created on first use.
    Form &form(std::string_view name);
    Form &mainForm() { return form("Form1"); }
    Form *visibleForm();
    void show(Form &form);
    void hide(Form &form);
    // Every window closes at once: the program has ended.
    void closeAllWindows();

    // Leaves `form` for the main window: the open workbooks are protected and closed without
    // writing, the host is asked to quit, the entry fields emptied, the main window shown.
    void ReturnToMainWindow(Form &form);
    // The same, then the program ends.
    void LeaveProgram(Form &form);

    // User actions on the visible window. Each runs as one command; a control that does not
    // exist, is disabled or hidden throws `ActionError` before anything runs.
    void clickMenu(const std::vector<std::string> &captions);
    void click(std::string_view control);
    void setText(std::string_view control, std::string text);
    void pressKey(std::string_view control, int key);
    void type(std::string_view control, std::string text);
    void choose(std::string_view control, std::string_view item);
    void leave(std::string_view control);

    // Runs one user-interface event to completion as one command: the saves it makes reach
    // the disk together. A failure of the host (a missing or damaged file, a missing sheet, a
    // wrong password) ends the command: its saves are dropped and the user is told what failed.
    void runCommand(const std::function<void()> &handler);

    // The status line of the visible window: what the last command saved, that a recording
    // saved nothing, or that a failed command was rolled back. Emptied when a menu item opens a
    // window.
    const std::string &statusLine() const { return statusLine_; }

    // Called after every command, so a user interface can refresh what it shows.
    std::function<void()> onChanged;

private:
    void recoverFromFailedCommand();
    CommandTrace traceCommand();
    // `backupNote` says that the command's commit could not keep the previous versions.
    void confirmCommand(const CommandTrace &trace, bool saved, const std::string &backupNote);
    // Names the command about to commit for the undo store.
    void describeCommit(Form *origin, const CommandTrace &trace);
    // What the status line adds when the commit just made could not keep the previous
    // versions; empty when it could or nothing was committed.
    std::string backupOutcome();
    Form &visibleOrThrow();
    Control &usableControl(Form &form, std::string_view name);
    // Gives `control` the focus as a click or a key would, raising the focus-loss event of the
    // control that had it.
    void focusByUser(Form &form, std::string_view control);
    // Runs the user's action on a usable control of the visible window as one command: the
    // control takes the focus first; the action gets the control's name.
    void runOnControl(Form &form, Control &control,
                      const std::function<void(const std::string &)> &action);

    AppState state_;
    Dialogs &dialogs_;
    StartupEnvironment environment_;
    std::map<std::string, std::unique_ptr<Form>, std::less<>> forms_;
    std::string statusLine_;
    // The control the command about to run is raised on; empty for menus and start-up.
    std::string commandControl_;
    int commandDepth_ = 0;
    std::string nextAction_; // the control or menu item that starts the next command
};

// Creates the window of that name ("Form1" … "Form17"). Each subsystem creates its own
// windows through the factory it registered in `Windows()`; a window not built yet opens with
// its caption and its two leave buttons.
std::unique_ptr<Form> CreateForm(Application &app, std::string_view name);

// The folder that holds the running executable.
std::filesystem::path RunningProgramFolder();

} // namespace vandorix
