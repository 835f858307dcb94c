#include "app/Application.h"

#include "store/HostError.h"
#include "app/WorkbookProtocol.h"

#include <unistd.h>
#include <utility>

namespace vandorix {

Application::Application(Dialogs &dialogs, StartupEnvironment environment)
    : dialogs_(dialogs), environment_(std::move(environment)) {}

Application::~Application() = default;

Date Application::currentDate() const {
    return environment_.fixedToday ? *environment_.fixedToday : Date::today();
}

void Application::start() {
    Form &main = mainForm();
    runCommand([&] { main.Form_Load(); });
    if (!ended()) show(main);
    if (onChanged) onChanged();
}

Form &Application::form(std::string_view name) {
    auto it = forms_.find(name);
    if (it != forms_.end()) return *it->second;
    std::unique_ptr<Form> created = CreateForm(*this, name);
    if (!created) throw ActionError("Nincs ilyen ablak: " + std::string(name));
    Form &ref = *created;
    forms_.emplace(std::string(name), std::move(created));
    return ref;
}

Form *Application::visibleForm() {
    for (auto &[name, f] : forms_)
        if (f->visible_) return f.get();
    return nullptr;
}

void Application::show(Form &form) { form.visible_ = true; }
void Application::hide(Form &form) { form.visible_ = false; }

void Application::closeAllWindows() {
    for (auto &[name, f] : forms_) f->visible_ = false;
}

void Application::ReturnToMainWindow(Form &form) {
    // Closes every workbook unwritten and asks the host to quit.
    CloseWorkbooksForReturn(state_);
    form.clearEntryFields();
    hide(form);
    show(mainForm());
}

void Application::LeaveProgram(Form &form) {
    ReturnToMainWindow(form);
    hide(mainForm());
    ExitProgram(state_);
    closeAllWindows();
}

CommandTrace Application::traceCommand() {
    CommandTrace trace;
    trace.action = std::exchange(nextAction_, {});
    Form *f = visibleForm();
    if (!f) return trace;
    trace.form = f->name();
    trace.control = commandControl_;
    for (const Control &c : f->controls()) {
        if (c.kind == ControlKind::TextBox || c.kind == ControlKind::ComboBox)
            trace.texts[c.name] = c.text;
        if (c.name == commandControl_) trace.controlCaption = c.caption;
    }
    return trace;
}

void Application::confirmCommand(const CommandTrace &trace, bool saved,
                                 const std::string &backupNote) {
    if (saved) {
        statusLine_ = SavedNotice(trace, state_);
        // A commit whose previous versions could not be kept says so beside the confirmation.
        if (!backupNote.empty()) statusLine_ += " " + backupNote;
    } else if (std::string nothing = NothingSavedNotice(trace); !nothing.empty()) {
        statusLine_ = nothing;
    }
}

void Application::runCommand(const std::function<void()> &handler) {
    SpreadsheetHost *host = state_.HostApp.get();
    // Only the outermost command confirms what it saved.
    struct Depth {
        int &depth;
        explicit Depth(int &d) : depth(d) { ++depth; }
        ~Depth() { --depth; }
    } depth(commandDepth_);
    const bool outermost = commandDepth_ == 1;
    const CommandTrace trace = traceCommand();
    const int savesBefore = host ? host->saveCount() : 0;
    Form *origin = visibleForm();
    try {
        // Beginning may finish an earlier commit whose renames failed, and fail again.
        if (host) host->beginCommand();
        handler();
        std::string backupNote;
        if (host) {
            describeCommit(origin, trace);
            host->endCommand();
            backupNote = backupOutcome();
        }
        if (outermost) {
            SpreadsheetHost *after = state_.HostApp.get();
            confirmCommand(trace, after && after == host && after->saveCount() > savesBefore,
                           backupNote);
        }
    } catch (const ActionError &) {
        if (host) host->abortCommand();
        throw;
    } catch (const std::exception &e) {
        if (host) host->abortCommand();
        statusLine_ = kFailedCommandNotice;
        const bool hostFailure = dynamic_cast<const HostError *>(&e) != nullptr;
        dialogs_.showMessage(
            {std::string(hostFailure ? "" : "Váratlan hiba: ") + e.what() + kCrLf +
                 "A művelet megszakadt; a fájlokba ebből a műveletből semmi sem került." +
                 kCrLf + "Visszatérés a főmenübe.",
             "Hiba", MessageIcon::Critical, MessageButtons::Ok, MessageAnswer::Ok, true});
        recoverFromFailedCommand();
    } catch (...) {
        // Not a failure of the command itself (a script driving the program gave up): the
        // command's saves are dropped and the caller decides.
        if (host) host->abortCommand();
        throw;
    }
    if (ended()) closeAllWindows();
    if (onChanged) onChanged();
}

void Application::describeCommit(Form *origin, const CommandTrace &trace) {
    if (!state_.Undo) return;
    if (origin) state_.Undo->describeNext(origin->caption(),
                                          DescribeCommand(trace, origin->caption(), state_));
    else state_.Undo->describeNext(mainForm().caption(), "Indítás");
}

std::string Application::backupOutcome() {
    if (!state_.Undo) return {};
    std::optional<std::string> failure = state_.Undo->takeFailure();
    if (!failure || failure->empty()) return {};
    return "A művelet megtörtént, de nem lesz visszavonható: a régi fájlok nem menthetők (" +
           *failure + ").";
}

void Application::recoverFromFailedCommand() {
    // The open workbooks may hold part of the failed command's changes: they are dropped
    // unsaved, so the next command reads what is on disk, and the user starts again from the
    // main window.
    DiscardOpenWorkbooks(state_);
    if (state_.HostRunning) QuitSpreadsheetHost(state_);
    if (ended()) return;
    Form *current = visibleForm();
    if (current && current != &mainForm()) {
        current->clearEntryFields();
        hide(*current);
    }
    show(mainForm());
}

Form &Application::visibleOrThrow() {
    if (ended()) throw ActionError("A program már véget ért.");
    Form *f = visibleForm();
    if (!f) throw ActionError("Nincs látható ablak.");
    return *f;
}

Control &Application::usableControl(Form &form, std::string_view name) {
    Control &c = form.control(name);
    if (!c.visible) throw ActionError("A vezérlő nem látható: " + c.name);
    if (!c.enabled) throw ActionError("A vezérlő nem használható: " + c.name);
    return c;
}

void Application::focusByUser(Form &form, std::string_view control) {
    if (form.focus_ == control) return;
    std::string previous = form.focus_;
    form.focus_ = std::string(control);
    if (!previous.empty()) form.raiseLostFocus(previous);
}

void Application::clickMenu(const std::vector<std::string> &captions) {
    Form &f = visibleOrThrow();
    f.menuItem(captions); // throws when missing or disabled
    statusLine_.clear();
    commandControl_.clear();
    nextAction_ = captions.empty() ? std::string() : captions.back();
    runCommand([&] { f.raiseMenuClick(captions); });
}

void Application::click(std::string_view name) {
    Form &f = visibleOrThrow();
    Control &c = usableControl(f, name);
    std::string controlName = c.name;
    commandControl_ = controlName;
    nextAction_ = controlName;
    runCommand([&] {
        if (c.kind == ControlKind::OptionButton) {
            for (Control &other : f.controls_)
                if (other.kind == ControlKind::OptionButton) other.checked = false;
            c.checked = true;
        } else if (c.kind == ControlKind::CheckBox) {
            c.checked = !c.checked;
        }
        focusByUser(f, controlName);
        // The focus-loss handler may have left the window or disabled the control.
        if (!f.visible_ || ended() || !c.enabled || !c.visible) return;
        f.raiseClick(controlName);
    });
}

void Application::runOnControl(Form &f, Control &c,
                               const std::function<void(const std::string &)> &action) {
    std::string controlName = c.name;
    commandControl_ = controlName;
    runCommand([&] {
        focusByUser(f, controlName);
        // A focus-loss handler may have left the window, ended the program or disabled the
        // control.
        if (!f.visible_ || ended() || !c.enabled) return;
        action(controlName);
    });
}

void Application::setText(std::string_view name, std::string text) {
    Form &f = visibleOrThrow();
    Control &c = usableControl(f, name);
    if (c.kind != ControlKind::TextBox && c.kind != ControlKind::ComboBox)
        throw ActionError("Ebbe a vezérlőbe nem lehet írni: " + c.name);
    if (c.locked) throw ActionError("A mező csak olvasható: " + c.name);
    runOnControl(f, c, [&](const std::string &) { c.text = std::move(text); });
}

void Application::pressKey(std::string_view name, int key) {
    Form &f = visibleOrThrow();
    Control &c = usableControl(f, name);
    runOnControl(f, c, [&](const std::string &controlName) {
        int k = key;
        f.raiseKeyPress(controlName, k);
    });
}

void Application::type(std::string_view name, std::string text) {
    setText(name, std::move(text));
    if (ended() || !visibleForm()) return;
    pressKey(name, kEnterKey);
}

void Application::choose(std::string_view name, std::string_view item) {
    Form &f = visibleOrThrow();
    Control &c = usableControl(f, name);
    if (c.kind != ControlKind::ComboBox)
        throw ActionError("A vezérlő nem lista: " + c.name);
    int index = -1;
    for (std::size_t i = 0; i < c.items.size(); ++i)
        if (c.items[i] == item) index = static_cast<int>(i);
    if (index < 0)
        throw ActionError("A listában nincs ilyen elem: " + std::string(item) + " (" + c.name +
                          ")");
    runOnControl(f, c, [&](const std::string &controlName) {
        c.listIndex = index;
        c.text = c.items[static_cast<std::size_t>(index)];
        f.raiseClick(controlName);
    });
}

void Application::leave(std::string_view name) {
    Form &f = visibleOrThrow();
    Control &c = usableControl(f, name);
    std::string controlName = c.name;
    commandControl_ = controlName;
    runCommand([&] {
        focusByUser(f, controlName);
        if (!f.visible_ || ended()) return;
        // The focus moves on to the next control that can take it.
        std::string next;
        bool after = false;
        for (const Control &other : f.controls_) {
            if (other.name == controlName) {
                after = true;
                continue;
            }
            if (after && other.enabled && other.visible && other.kind != ControlKind::Label) {
                next = other.name;
                break;
            }
        }
        f.focus_ = next;
        f.raiseLostFocus(controlName);
    });
}

std::filesystem::path RunningProgramFolder() {
    std::error_code ec;
    std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty()) return std::filesystem::current_path();
    return self.parent_path();
}

} // namespace vandorix
