#pragma once

#include <QMainWindow>

#include <string>
#include <vector>

class QAction;
class QLabel;
class QMenu;

namespace vandorix {

class AppWindows;
class Form;
class FormWidget;
class OverviewPanel;
struct MenuItem;

// A window whose form has a menu: the menu bar built from Form::menu(), the form's controls
// below it. Choosing a menu item is the user action clickMenu with the item's caption path.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppWindows &windows, Form &form, QWidget *parent = nullptr);

    FormWidget &body() { return *body_; }
    // The investor's overview of the main window; nullptr on other windows with a menu.
    OverviewPanel *overview() { return overview_; }
    QLabel *statusLine() { return status_; }
    // Shows the menu items' enabled and visible states and refreshes the controls.
    void refresh();

protected:
    // The overview is read again each time the window is shown.
    void showEvent(QShowEvent *event) override;

private:
    void addItems(QMenu *menu, const std::vector<MenuItem> &items,
                  const std::vector<std::string> &path);
    QAction *addItem(QMenu *menu, const MenuItem &item, const std::vector<std::string> &path);

    AppWindows &windows_;
    Form &form_;
    FormWidget *body_ = nullptr;
    OverviewPanel *overview_ = nullptr;
    QLabel *status_ = nullptr;
    // Every action in the order of a depth-first walk of the menu, separators included.
    std::vector<QAction *> actions_;
};

} // namespace vandorix
