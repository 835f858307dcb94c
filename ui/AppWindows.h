#pragma once

#include <QObject>

#include <functional>
#include <map>
#include <string>

class QWidget;

namespace vandorix {

class Application;
class Form;
class FormWidget;
class MainWindow;

// The windows of a running Application: one Qt window per Form, created when the form is
// first shown. After every command the window of the visible form is refreshed from its model
// and shown, every other one hidden. User actions reach the application through `act`, which
// refuses to start one while another is running or while a window is being refreshed.
class AppWindows : public QObject {
    Q_OBJECT
public:
    explicit AppWindows(Application &app);
    ~AppWindows() override;
    AppWindows(const AppWindows &) = delete;
    AppWindows &operator=(const AppWindows &) = delete;

    Application &app() { return app_; }

    // Shows the window of the visible form, refreshed, and hides the others.
    void sync();
    // The top-level window of `form`, or nullptr before it was first shown.
    QWidget *windowOf(const Form &form) const;
    // The form whose window lies at the top of `widget`, or nullptr.
    FormWidget *bodyOf(const Form &form) const;

    // True while a user action runs or a window is being refreshed: events that the refresh
    // itself causes (focus changes, hidden windows) are not user actions.
    bool busy() const { return busy_; }
    // Runs one user action. Afterwards the focus follows the model when a handler moved it
    // away from `naturalFocus`, the control the action left it on; an empty `naturalFocus`
    // means wherever the keyboard focus is now.
    void act(const std::string &naturalFocus, const std::function<void()> &action);

signals:
    // The program has ended; every window is hidden.
    void programEnded();

private:
    struct Window {
        QWidget *top = nullptr;
        FormWidget *body = nullptr;
        MainWindow *main = nullptr;
        bool placed = false; // the main window keeps the place the user gave it
    };

    Window &windowFor(Form &form);
    void refresh(Window &window);
    void followModelFocus(const std::string &naturalFocus);

    Application &app_;
    std::map<const Form *, Window> windows_;
    bool busy_ = false;
    bool endAnnounced_ = false;
};

} // namespace vandorix
