#include "MainWindow.h"

#include "AppWindows.h"
#include "FormWidget.h"
#include "app/Application.h"
#include "app/Form.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

namespace vandorix {

namespace {

void collect(const std::vector<MenuItem> &items, std::vector<const MenuItem *> &out) {
    for (const MenuItem &item : items) {
        out.push_back(&item);
        collect(item.items, out);
    }
}

} // namespace

MainWindow::MainWindow(AppWindows &windows, Form &form, QWidget *parent)
    : QMainWindow(parent), windows_(windows), form_(form) {
    setObjectName(QString::fromStdString(form.name()));
    // The menu belongs to the window on every desktop, also where a global menu bar exists.
    menuBar()->setNativeMenuBar(false);
    addItems(nullptr, form.menu(), {});
    body_ = new FormWidget(windows, form, this);
    setCentralWidget(body_);
    resize(640, 420);
    refresh();
}

void MainWindow::addItems(QMenu *menu, const std::vector<MenuItem> &items,
                          const std::vector<std::string> &path) {
    for (const MenuItem &item : items) addItem(menu, item, path);
}

QAction *MainWindow::addItem(QMenu *menu, const MenuItem &item,
                             const std::vector<std::string> &path) {
    const QString caption = QString::fromStdString(item.caption);
    QAction *action = nullptr;
    if (item.separator) {
        action = menu ? menu->addSeparator() : menuBar()->addSeparator();
        actions_.push_back(action);
        return action;
    }
    std::vector<std::string> itemPath = path;
    itemPath.push_back(item.caption);
    if (!item.items.empty()) {
        QMenu *submenu = menu ? menu->addMenu(caption) : menuBar()->addMenu(caption);
        submenu->setObjectName(QString::fromStdString(item.name));
        action = submenu->menuAction();
        actions_.push_back(action);
        addItems(submenu, item.items, itemPath);
    } else {
        action = menu ? menu->addAction(caption) : menuBar()->addAction(caption);
        actions_.push_back(action);
        connect(action, &QAction::triggered, this, [this, itemPath] {
            windows_.act({}, [&] { windows_.app().clickMenu(itemPath); });
        });
    }
    action->setObjectName(QString::fromStdString(item.name));
    return action;
}

void MainWindow::refresh() {
    const QString title = QString::fromStdString(form_.caption());
    if (windowTitle() != title) setWindowTitle(title);
    std::vector<const MenuItem *> items;
    collect(form_.menu(), items);
    // The menu's shape is fixed when the window is built; only the states change.
    if (items.size() == actions_.size())
        for (std::size_t i = 0; i < items.size(); ++i) {
            actions_[i]->setEnabled(items[i]->enabled);
            actions_[i]->setVisible(items[i]->visible);
        }
    body_->refresh();
    // A command that committed without keeping what it replaced says so here.
    const QString status = QString::fromStdString(windows_.app().state().StatusLine);
    if (statusBar()->currentMessage() != status) statusBar()->showMessage(status);
}

} // namespace vandorix
