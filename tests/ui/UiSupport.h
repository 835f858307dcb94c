#pragma once

// Helpers shared by the Qt interface tests: the installation, modal-dialog checks, menu lookup
// and the live program with its windows.

#include "AppWindows.h"
#include "ChartSheetView.h"
#include "FormWidget.h"
#include "FrozenTableView.h"
#include "MainWindow.h"
#include "OverviewPanel.h"
#include "QtDialogs.h"
#include "SheetTableModel.h"
#include "SheetViewer.h"
#include "account/Ledger.h"
#include "app/Application.h"
#include "store/SpreadsheetHost.h"
#include "store/Workbook.h"
#include "support/InProcessScript.h"
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"
#include "support/TestInstallation.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPieSeries>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>


namespace vandorix::uitest {

namespace fs = std::filesystem;

inline QString u(const char *utf8) { return QString::fromUtf8(utf8); }

// Answers every box with a failure: the windows under test show none.
class NoDialogs : public Dialogs {
public:
    MessageAnswer showMessage(const MessageRequest &request) override {
        ADD_FAILURE() << "Unexpected message box \"" << request.title << "\": " << request.text;
        return request.defaultAnswer;
    }
    std::optional<std::string> showInput(const InputRequest &request) override {
        ADD_FAILURE() << "Unexpected input box \"" << request.title << "\": " << request.prompt;
        return std::nullopt;
    }
};

// One installation laid out by vandorix-setup for the tests that only read it.
inline const fs::path &installedRoot() {
    static const testing::TestInstallation installation;
    return installation.root();
}

// Runs `check` on the modal dialog that the next call opens, once its event loop runs.
// A dialog that `check` leaves open is rejected, so a failing test cannot hang.
template <typename Dialog>
void onNextModal(std::function<void(Dialog &)> check) {
    QTimer::singleShot(0, [check] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *dialog = qobject_cast<Dialog *>(modal);
        if (!dialog) {
            ADD_FAILURE() << "No modal dialog of the expected kind is open";
            if (auto *other = qobject_cast<QDialog *>(modal)) other->reject();
            return;
        }
        check(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

// A menu entry's caption without its Alt mnemonic mark.
inline QString caption(const QAction *action) { return QString(action->text()).remove(QLatin1Char('&')); }

inline QAction *findAction(const QList<QAction *> &actions, const QString &text) {
    for (QAction *action : actions)
        if (caption(action) == text) return action;
    return nullptr;
}

inline std::vector<QWidget *> visibleTopLevels() {
    std::vector<QWidget *> shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMenu *>(w)) shown.push_back(w);
    return shown;
}

// ---------------------------------------------------------------------------------------------
// The real windows on a fresh installation of their own, driven through their widgets.

// The program running on a new installation with its windows; dialogs are answered by the
// scripted fake, so no modal box takes the focus from the window under test.
struct LiveWindows {
    LiveWindows() : windows(session.app()) { windows.sync(); }

    Application &app() { return session.app(); }
    testing::ScriptedDialogsFake &dialogs() { return session.dialogs(); }
    const std::vector<MessageRequest> &messages() { return dialogs().messages(); }

    // The window of the form now shown, made active so that it holds the keyboard focus.
    QWidget *shownWindow() {
        Form *form = app().visibleForm();
        QWidget *top = form ? windows.windowOf(*form) : nullptr;
        if (!top || !QTest::qWaitForWindowActive(top)) {
            ADD_FAILURE() << "No active window";
            return nullptr;
        }
        return top;
    }

    template <typename W>
    W *widget(const char *name) {
        QWidget *top = shownWindow();
        W *found = top ? top->findChild<W *>(QString::fromLatin1(name)) : nullptr;
        if (!found) ADD_FAILURE() << "No widget " << name;
        return found;
    }

    // Triggers the main window's menu item of these captions, as a user chooses it.
    void chooseMenu(std::initializer_list<const char *> path) {
        auto *main = qobject_cast<QMainWindow *>(windows.windowOf(app().mainForm()));
        ASSERT_TRUE(main && main->isVisible());
        QList<QAction *> actions = main->menuBar()->actions();
        QAction *action = nullptr;
        for (const char *caption : path) {
            action = findAction(actions, u(caption));
            ASSERT_NE(action, nullptr) << caption;
            if (action->menu()) actions = action->menu()->actions();
        }
        ASSERT_TRUE(action->isEnabled() && !action->menu());
        action->trigger();
    }

    testing::InProcessSession session;
    AppWindows windows;
};

} // namespace vandorix::uitest
