#include "AppWindows.h"

#include "FormWidget.h"
#include "MainWindow.h"
#include "app/Application.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QtGlobal>

#include <algorithm>

namespace vandorix {

namespace {

// Keeps a window open when the user closes it from its title bar: the program leaves its
// windows only through their own buttons and menu, which close the workbooks in order.
class CloseGuard : public QObject {
public:
    CloseGuard(Application &app, QObject *parent) : QObject(parent), app_(app) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Close && !app_.ended()) {
            event->ignore();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Application &app_;
};

// Room for the window frame and title bar, which the window's own geometry leaves out.
constexpr int kFrameWidth = 16;
constexpr int kFrameHeight = 48;

// Centres `window` on the screen `reference` is on (its own screen when it is the reference)
// and keeps it whole on that screen: a window larger than the screen is shrunk to it.
void placeOnScreen(QWidget &window, const QWidget *reference) {
    QScreen *screen = reference ? reference->screen() : window.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QSize room(area.width() - kFrameWidth, area.height() - kFrameHeight);
    QSize size = window.size().expandedTo(window.minimumSizeHint()).boundedTo(room);
    if (size != window.size()) window.resize(size);
    size = window.size();
    QPoint topLeft(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2);
    topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.right() - size.width())));
    topLeft.setY(std::max(area.top(), std::min(topLeft.y(), area.bottom() - size.height())));
    window.move(topLeft);
}

} // namespace

AppWindows::AppWindows(Application &app) : app_(app) {
    app_.onChanged = [this] { sync(); };
}

AppWindows::~AppWindows() {
    app_.onChanged = nullptr;
    for (auto &[form, window] : windows_) delete window.top;
}

AppWindows::Window &AppWindows::windowFor(Form &form) {
    auto it = windows_.find(&form);
    if (it != windows_.end()) return it->second;
    Window window;
    if (!form.menu().empty()) {
        window.main = new MainWindow(*this, form);
        window.top = window.main;
        window.body = &window.main->body();
    } else {
        window.body = new FormWidget(*this, form);
        window.top = window.body;
    }
    window.top->installEventFilter(new CloseGuard(app_, window.top));
    return windows_.emplace(&form, window).first->second;
}

QWidget *AppWindows::windowOf(const Form &form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.top;
}

FormWidget *AppWindows::bodyOf(const Form &form) const {
    auto it = windows_.find(&form);
    return it == windows_.end() ? nullptr : it->second.body;
}

void AppWindows::refresh(Window &window) {
    if (window.main) window.main->refresh();
    else window.body->refresh();
}

void AppWindows::sync() {
    const bool wasBusy = busy_;
    busy_ = true;
    Form *visible = app_.ended() ? nullptr : app_.visibleForm();
    if (visible) {
        Window &window = windowFor(*visible);
        refresh(window);
        if (!window.top->isVisible()) {
            const Window *main = nullptr;
            if (auto it = windows_.find(&app_.mainForm()); it != windows_.end()) main = &it->second;
            // The window's size settles once its layout has run.
            window.top->ensurePolished();
            if (QLayout *layout = window.top->layout()) layout->activate();
            const bool isMain = visible == &app_.mainForm();
            if (!isMain || !window.placed)
                placeOnScreen(*window.top, isMain || !main ? nullptr : main->top);
            window.placed = true;
            window.top->show();
            window.top->raise();
            window.top->activateWindow();
            window.body->focusOnOpen();
        }
    }
    for (auto &[form, window] : windows_)
        if (form != visible && window.top->isVisible()) window.top->hide();
    busy_ = wasBusy;
    if (app_.ended() && !endAnnounced_) {
        endAnnounced_ = true;
        emit programEnded();
    }
}

void AppWindows::act(const std::string &naturalFocus, const std::function<void()> &action) {
    if (busy_) return;
    busy_ = true;
    try {
        action();
    } catch (const ActionError &e) {
        // The window showed a control the model no longer offers; the refresh below shows
        // the model as it is.
        qWarning("Vandorix: %s", e.what());
    }
    busy_ = false;
    sync();
    followModelFocus(naturalFocus);
}

void AppWindows::followModelFocus(const std::string &naturalFocus) {
    Form *visible = app_.ended() ? nullptr : app_.visibleForm();
    if (!visible) return;
    auto it = windows_.find(visible);
    if (it == windows_.end()) return;
    const std::string &target = visible->focus();
    if (target.empty() || target == naturalFocus) return;
    busy_ = true;
    it->second.body->focusControl(target);
    busy_ = false;
}

} // namespace vandorix
