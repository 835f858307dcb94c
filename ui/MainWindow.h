#pragma once

#include <QMainWindow>

#include <string>
#include <vector>

class QAction;
class QMenu;

namespace vandorix {

class AppWindows;
class Form;
class FormWidget;
struct MenuItem;

// A window whose form has a menu: the menu bar built from Form::menu(), the form's controls
// below it. Choosing a menu item is the user action clickMenu with the item's caption path.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    MainWindow(AppWindows &windows, Form &form, QWidget *parent = nullptr);

    FormWidget &body() { return *body_; }
    // Shows the menu items' enabled and visible states and refreshes the controls.
    void refresh();

private:
    void addItems(QMenu *menu, const std::vector<MenuItem> &items,
                  const std::vector<std::string> &path);
    QAction *addItem(QMenu *menu, const MenuItem &item, const std::vector<std::string> &path);

    AppWindows &windows_;
    Form &form_;
    FormWidget *body_ = nullptr;
    // Every action in the order of a depth-first walk of the menu, separators included.
    std::vector<QAction *> actions_;
};

} // namespace vandorix
