#pragma once

// Helpers shared by the Qt interface tests: modal-dialog checks and the live program with its
// windows on a fresh installation.

#include "AppWindows.h"
#include "ChartSheetView.h"
#include "FormWidget.h"
#include "FrozenTableView.h"
#include "MainWindow.h"
#include "OverviewPanel.h"
#include "QtDialogs.h"
#include "SheetTableModel.h"
#include "SheetViewer.h"
#include "book/LedgerLayout.h"
#include "book/ProductLayout.h"
#include "book/TradeLayout.h"
#include "store/SpreadsheetHost.h"
#include "support/InProcessScript.h"
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"

#include <QPieSeries>
#include <QtTest>
#include <QtWidgets>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vandorix::uitest {

inline QString u(const char *utf8) { return QString::fromUtf8(utf8); }

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

// The program running on a new installation with its windows; dialogs are answered by the
// scripted fake, so no modal box takes the focus from the window under test.
struct LiveWindows {
    LiveWindows() : windows(session.app()) { windows.sync(); }

    Application &app() { return session.app(); }
    testing::ScriptedDialogsFake &dialogs() { return session.dialogs(); }
    const std::vector<MessageRequest> &messages() { return dialogs().messages(); }
    MainWindow *main() { return qobject_cast<MainWindow *>(windows.windowOf(app().mainForm())); }

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

    // The main window's menu entry of these captions, read without their Alt marks; or nullptr.
    QAction *menuAction(std::initializer_list<const char *> path) {
        QList<QAction *> actions = main()->menuBar()->actions();
        QAction *found = nullptr;
        for (const char *caption : path) {
            auto it = std::find_if(actions.begin(), actions.end(), [caption](QAction *a) {
                return QString(a->text()).remove(QLatin1Char('&')) == u(caption);
            });
            if (it == actions.end()) return nullptr;
            found = *it;
            actions = found->menu() ? found->menu()->actions() : QList<QAction *>();
        }
        return found;
    }

    // Triggers the main window's menu item of these captions, as a user chooses it.
    void chooseMenu(std::initializer_list<const char *> path) {
        ASSERT_TRUE(main() && main()->isVisible());
        QAction *action = menuAction(path);
        ASSERT_TRUE(action && action->isEnabled() && !action->menu());
        action->trigger();
    }

    testing::InProcessSession session;
    AppWindows windows;
};

} // namespace vandorix::uitest
