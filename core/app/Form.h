#pragma once

#include <functional>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vandorix {

class Application;
struct AppState;
class Dialogs;

enum class ControlKind { Label, TextBox, ComboBox, Button, OptionButton, CheckBox };

// One control of a window, as plain data that the user interface shows and edits.
struct Control {
    std::string name;
    ControlKind kind = ControlKind::Label;
    std::string caption; // labels, buttons, option and check boxes
    std::string text;    // text fields and the edit text of a list
    std::vector<std::string> items;
    int listIndex = -1;
    bool checked = false;
    bool enabled = true;
    bool visible = true;
    bool locked = false; // a text field the user cannot edit
    bool filePath = false; // a text field holding a file's path: a file dialog may fill it

    // Empties a text field or a list's edit text.
    void clear() {
        text.clear();
        listIndex = -1;
    }
};

// A menu item; an item with children is a submenu, a separator has no handler.
struct MenuItem {
    std::string name;
    std::string caption;
    bool separator = false;
    bool enabled = true;
    bool visible = true;
    std::vector<MenuItem> items;
    std::function<void()> onClick;
};

// A user action that the window cannot take: a control that does not exist, is disabled or
// hidden, a list entry that is not offered.
class ActionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kEnterKey = 13;

// A window: its controls and menu as data, its handlers as methods named after the control
// and the event. Subclasses add their controls in the constructor and bind the handlers.
class Form {
public:
    Form(Application &app, std::string name, std::string caption);
    virtual ~Form() = default;
    Form(const Form &) = delete;
    Form &operator=(const Form &) = delete;

    const std::string &name() const { return name_; }
    const std::string &caption() const { return caption_; }
    void setCaption(std::string caption) { caption_ = std::move(caption); }

    // Runs each time the window is opened.
    virtual void Form_Load() {}

    const std::vector<Control> &controls() const { return controls_; }
    Control &control(std::string_view name);
    const Control &control(std::string_view name) const;
    Control *findControl(std::string_view name);
    const std::vector<MenuItem> &menu() const { return menu_; }

    bool visible() const { return visible_; }
    const std::string &focus() const { return focus_; }
    // Moves the keyboard focus as a handler does; no focus event is raised.
    void SetFocus(std::string_view control);

    // Events raised by the user. The caller (the application) runs them as commands.
    bool handlesKeyPress(std::string_view control) const;
    void raiseKeyPress(std::string_view control, int &key);
    void raiseClick(std::string_view control);
    void raiseLostFocus(std::string_view control);
    void raiseMenuClick(const std::vector<std::string> &captions);
    // Finds an enabled, visible menu item by its captions; throws `ActionError`.
    const MenuItem &menuItem(const std::vector<std::string> &captions) const;

protected:
    Control &addLabel(std::string name, std::string caption);
    Control &addTextBox(std::string name);
    Control &addComboBox(std::string name);
    Control &addButton(std::string name, std::string caption);
    Control &addOption(std::string name, std::string caption, ControlKind kind);
    // Adds the buttons "Command1", "Command2", … with these captions, in this order.
    void addCommandButtons(std::initializer_list<const char *> captions);
    // Binds the clicks of "Command1", "Command2", … to these handlers of the window, in order.
    template <class W, class... Handlers> void bindCommandClicks(W *window, Handlers... handlers) {
        int number = 0;
        (onClick("Command" + std::to_string(++number), [window, handlers] { (window->*handlers)(); }),
         ...);
    }

    void onKeyPress(std::string name, std::function<void(int &)> handler);
    void onClick(std::string name, std::function<void()> handler);
    void onLostFocus(std::string name, std::function<void()> handler);
    std::vector<MenuItem> &menuBar() { return menu_; }

    // Empties every text field and list edit text of the window.
    void clearEntryFields();
    // Enables or disables several controls at once.
    void enableControls(std::initializer_list<const char *> names, bool enabled);

    Application &app() { return app_; }
    AppState &state();
    Dialogs &dialogs();

private:
    friend class Application;
    Control &add(Control control);

    struct Handlers {
        std::function<void(int &)> keyPress;
        std::function<void()> click;
        std::function<void()> lostFocus;
    };

    Application &app_;
    std::string name_;
    std::string caption_;
    std::vector<Control> controls_;
    std::map<std::string, Handlers, std::less<>> handlers_;
    std::vector<MenuItem> menu_;
    std::string focus_;
    bool visible_ = false;
};

} // namespace vandorix
