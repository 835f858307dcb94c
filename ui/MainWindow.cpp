#include "MainWindow.h"

#include "AppWindows.h"
#include "FormWidget.h"
#include "OverviewPanel.h"
#include "app/Application.h"
#include "app/Form.h"

#include <QAction>
#include <QMenu>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>

namespace vandorix {

namespace {

// "&Befektetés": the first letter not yet taken by a sibling becomes the Alt mnemonic.
QString withMnemonic(const QString &caption, QString &taken) {
    for (int i = 0; i < caption.size(); ++i) {
        const QChar c = caption.at(i).toLower();
        if (!c.isLetter() || taken.contains(c)) continue;
        taken.append(c);
        QString marked = caption;
        marked.insert(i, QLatin1Char('&'));
        return marked;
    }
    return caption;
}

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
    if (form.name() == "Form1") {
        auto *central = new QWidget(this);
        auto *layout = new QVBoxLayout(central);
        overview_ = new OverviewPanel(windows.app(), central);
        layout->addWidget(overview_, 1);
        layout->addWidget(body_);
        setCentralWidget(central);
        resize(1100, 560);
    } else {
        setCentralWidget(body_);
        resize(640, 420);
    }
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("statusLine"));
    status_->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(status_, 1);
    refresh();
}

void MainWindow::addItems(QMenu *menu, const std::vector<MenuItem> &items,
                          const std::vector<std::string> &path) {
    QString taken;
    for (const MenuItem &item : items) {
        QAction *action = addItem(menu, item, path);
        if (!item.separator)
            action->setText(withMnemonic(QString::fromStdString(item.caption), taken));
    }
}

void MainWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    if (overview_) overview_->reload();
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
    const QString status = QString::fromStdString(windows_.app().statusLine());
    if (status_->text() != status) status_->setText(status);
}

} // namespace vandorix
