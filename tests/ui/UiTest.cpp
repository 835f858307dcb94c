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

namespace fs = std::filesystem;

namespace vandorix {
namespace {

QString u(const char *utf8) { return QString::fromUtf8(utf8); }

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
const fs::path &installedRoot() {
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
QString caption(const QAction *action) { return QString(action->text()).remove(QLatin1Char('&')); }

QAction *findAction(const QList<QAction *> &actions, const QString &text) {
    for (QAction *action : actions)
        if (caption(action) == text) return action;
    return nullptr;
}

std::vector<QWidget *> visibleTopLevels() {
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

TEST(MainMenuTest, MenuOpensAWindowWhoseBackButtonReturnsAndExitEndsTheProgram) {
    LiveWindows live;
    // A registered share, so that the purchase window opens as it does for a user.
    live.session.run(testing::RegisterScript("Alfa", "HU0000000001"));
    Application &app = live.app();
    AppWindows &windows = live.windows;
    QSignalSpy ended(&windows, &AppWindows::programEnded);
    ASSERT_FALSE(app.ended());

    auto *main = qobject_cast<QMainWindow *>(windows.windowOf(app.mainForm()));
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(main->windowTitle(), u("Vandorix"));

    QAction *invest = findAction(main->menuBar()->actions(), u("Befektetés"));
    ASSERT_NE(invest, nullptr);
    ASSERT_NE(invest->menu(), nullptr);
    QAction *shares = findAction(invest->menu()->actions(), u("Részvény"));
    ASSERT_NE(shares->menu(), nullptr);
    // Every entry has its own Alt letter among its siblings.
    QStringList marks;
    for (QAction *a : shares->menu()->actions()) marks << a->text();
    EXPECT_EQ(marks, (QStringList{u("&Alapadatok"), u("&Vétel"), u("&Eladás"),
                                  u("&Napi záró ár"), u("&Árfolyamok betöltése fájlból")}));

    findAction(shares->menu()->actions(), u("Vétel"))->trigger();
    Form &purchase = app.form("Form3");
    QWidget *purchaseWindow = windows.windowOf(purchase);
    ASSERT_NE(purchaseWindow, nullptr);
    EXPECT_TRUE(purchaseWindow->isVisible());
    EXPECT_EQ(purchaseWindow->windowTitle(), u("Részvény vétel"));
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(visibleTopLevels(), std::vector<QWidget *>{purchaseWindow});

    auto *back = purchaseWindow->findChild<QPushButton *>("Command3");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text(), u("Vissza a főmenübe"));
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(purchaseWindow->isVisible());
    EXPECT_EQ(visibleTopLevels(), std::vector<QWidget *>{main});

    // Closing from the title bar is no way out: the workbooks close only through the menu.
    main->close();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(ended.count(), 0);

    findAction(invest->menu()->actions(), u("Kilépés"))->trigger();
    EXPECT_TRUE(app.ended());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(visibleTopLevels().empty());
}

// A window with every kind of field, filled by the test as a handler would fill it.
class FieldsForm : public Form {
public:
    explicit FieldsForm(Application &app) : Form(app, "FieldsTest", "Próba ablak") {
        addLabel("Label1", "Megjegyzés:");
        addTextBox("Text1");
        addLabel("Label2", "Termék:");
        addComboBox("Combo1");
        addTextBox("Text2").locked = true;
        addOption("Option1", "Napi", ControlKind::OptionButton).checked = true;
        addOption("Option2", "Heti", ControlKind::OptionButton);
        addButton("Command1", "Rendben");
    }
};

TEST(MainWindowTest, FieldsShowTheModelsHungarianTextsAndStates) {
    NoDialogs dialogs;
    Application app(dialogs,
                    StartupEnvironment{installedRoot() / "Program", Date::fromYmd(2026, 12, 6)});
    AppWindows windows(app);
    FieldsForm form(app);
    form.control("Text1").text = "Őrült űrhajó";
    form.control("Combo1").items = {"Árvíztűrő Nyrt.", "Tükörfúrógép Zrt."};
    form.control("Combo1").listIndex = 1;
    form.control("Combo1").text = "Tükörfúrógép Zrt.";
    FormWidget widget(windows, form);

    EXPECT_EQ(widget.windowTitle(), u("Próba ablak"));
    auto *text = qobject_cast<QLineEdit *>(widget.controlWidget("Text1"));
    auto *combo = qobject_cast<QComboBox *>(widget.controlWidget("Combo1"));
    auto *locked = qobject_cast<QLineEdit *>(widget.controlWidget("Text2"));
    auto *label = qobject_cast<QLabel *>(widget.controlWidget("Label1"));
    ASSERT_TRUE(text && combo && locked && label);
    EXPECT_EQ(text->text(), u("Őrült űrhajó"));
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), u("Árvíztűrő Nyrt."));
    EXPECT_EQ(combo->currentText(), u("Tükörfúrógép Zrt."));
    EXPECT_TRUE(locked->isReadOnly());
    EXPECT_EQ(label->buddy(), text);
    // The two options are one choice: one frame holds both.
    auto *daily = qobject_cast<QRadioButton *>(widget.controlWidget("Option1"));
    auto *weekly = qobject_cast<QRadioButton *>(widget.controlWidget("Option2"));
    ASSERT_TRUE(daily && weekly);
    EXPECT_TRUE(daily->isChecked());
    EXPECT_FALSE(weekly->isChecked());
    ASSERT_NE(daily->parentWidget(), &widget);
    EXPECT_EQ(daily->parentWidget(), weekly->parentWidget());

    // A handler changes the model; the next refresh shows it.
    form.control("Text1").text = "Új szöveg: ÁÉÍÓÖŐÚÜŰ";
    form.control("Text1").enabled = false;
    form.control("Combo1").visible = false;
    form.control("Combo1").items = {"Egy"};
    form.control("Combo1").clear();
    widget.refresh();
    EXPECT_EQ(text->text(), u("Új szöveg: ÁÉÍÓÖŐÚÜŰ"));
    EXPECT_FALSE(text->isEnabled());
    EXPECT_TRUE(combo->isHidden());
    EXPECT_EQ(combo->count(), 1);
    EXPECT_EQ(combo->currentText(), QString());

    // A frame whose options are all hidden leaves no empty box behind.
    form.control("Option1").visible = false;
    widget.refresh();
    EXPECT_FALSE(daily->parentWidget()->isHidden());
    form.control("Option2").visible = false;
    widget.refresh();
    EXPECT_TRUE(daily->parentWidget()->isHidden());
}

TEST(QtDialogsTest, MessageBoxesShowTitleLinesIconAndAnswerByButton) {
    QtDialogs dialogs;
    onNextModal<QMessageBox>([](QMessageBox &box) {
        EXPECT_EQ(box.windowTitle(), u("Törlés"));
        EXPECT_EQ(box.text(), u("Első sor\nMásodik sor"));
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        QAbstractButton *yes = box.button(QMessageBox::Yes);
        QAbstractButton *no = box.button(QMessageBox::No);
        ASSERT_TRUE(yes && no);
        EXPECT_EQ(yes->text(), u("Igen"));
        EXPECT_EQ(no->text(), u("Nem"));
        EXPECT_EQ(box.defaultButton(), no);
        yes->click();
    });
    EXPECT_EQ(dialogs.showMessage({"Első sor\r\nMásodik sor", "Törlés", MessageIcon::Question,
                                   MessageButtons::YesNo, MessageAnswer::No, false}),
              MessageAnswer::Yes);

    onNextModal<QMessageBox>([](QMessageBox &box) {
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.showMessage({"Biztos?", "Kérdés", MessageIcon::Exclamation,
                                   MessageButtons::YesNo, MessageAnswer::Yes, false}),
              MessageAnswer::No);

    onNextModal<QMessageBox>([](QMessageBox &box) {
        // A short text under a long title: the box is as wide as the title needs.
        EXPECT_GT(box.width(), box.fontMetrics().horizontalAdvance(box.windowTitle()) + 100);
        EXPECT_EQ(box.icon(), QMessageBox::Critical);
        EXPECT_EQ(box.button(QMessageBox::Yes), nullptr);
        ASSERT_NE(box.button(QMessageBox::Ok), nullptr);
        box.button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(dialogs.showMessage(
                  {"Hiba történt.", "Záró darabár bekérés hibája", MessageIcon::Critical}),
              MessageAnswer::Ok);
}

TEST(QtDialogsTest, InputBoxRoundTripsHungarianTextAndCancelGivesNothing) {
    QtDialogs dialogs;
    onNextModal<QInputDialog>([](QInputDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), u("Adatbevitel"));
        EXPECT_EQ(dialog.labelText(), u("Termék neve:\nNagybetűvel"));
        auto *edit = dialog.findChild<QLineEdit *>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), u("Őrült űrhajó"));
        // keyClicks cannot type ő and ű: the text is set and Enter sent, as a user confirms.
        edit->setText(u("Árvíztűrő tükörfúrógép"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.showInput({"Termék neve:\r\nNagybetűvel", "Adatbevitel", "Őrült űrhajó"}),
              std::optional<std::string>("Árvíztűrő tükörfúrógép"));

    // A title longer than the prompt still fits beside the title bar's buttons.
    onNextModal<QInputDialog>([](QInputDialog &dialog) {
        EXPECT_GT(dialog.width(),
                  dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 100);
        dialog.reject();
    });
    EXPECT_EQ(dialogs.showInput({"Ár:", "Záró darabár bekérés.", "12"}), std::nullopt);
}

TEST(SheetViewerTest, MessageOverAMaximisedHostShowsTheVisibleSheetsAndOkAnswersIt) {
    AppState state;
    state.HostApp = std::make_unique<SpreadsheetHost>();
    SpreadsheetHost &host = *state.HostApp;
    host.open(installedRoot() / "Seged" / "Termékminta.xls");
    QtDialogs dialogs;
    dialogs.watch(state);

    // A minimised host is no report on screen: a plain message box.
    host.state().visible = true;
    host.state().windowState = HostWindowState::Minimized;
    onNextModal<QMessageBox>([](QMessageBox &box) { box.button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(dialogs.showMessage({"Továbblépés", "Tovább", MessageIcon::Exclamation}),
              MessageAnswer::Ok);

    host.state().windowState = HostWindowState::Maximized;
    onNextModal<SheetViewer>([](SheetViewer &viewer) {
        EXPECT_TRUE(viewer.windowState() & Qt::WindowMaximized);
        QStringList tabs;
        for (int i = 0; i < viewer.tabs()->count(); ++i) tabs << viewer.tabs()->tabText(i);
        // The hidden helper sheets stay hidden.
        EXPECT_EQ(tabs, (QStringList{u("Termékminta01"), u("Termékminta02")}));
        auto *message = viewer.findChild<QLabel *>("message");
        ASSERT_NE(message, nullptr);
        EXPECT_EQ(message->text(), u("Továbblépés"));
        auto *open = viewer.findChild<QPushButton *>("openExternally");
        ASSERT_NE(open, nullptr);
        EXPECT_EQ(open->text(), u("Megnyitás táblázatkezelőben"));
        QPushButton *ok = viewer.buttons()->button(QDialogButtonBox::Ok);
        ASSERT_NE(ok, nullptr);
        QTest::mouseClick(ok, Qt::LeftButton);
        EXPECT_FALSE(viewer.isVisible());
    });
    EXPECT_EQ(dialogs.showMessage({"Továbblépés", "Tovább", MessageIcon::Exclamation,
                                   MessageButtons::Ok, MessageAnswer::Ok, true}),
              MessageAnswer::Ok);

    // A question over the report answers with the button pressed.
    onNextModal<SheetViewer>([](SheetViewer &viewer) {
        viewer.buttons()->button(QDialogButtonBox::Yes)->click();
    });
    EXPECT_EQ(dialogs.showMessage({"Mentsük?", "Kérdés", MessageIcon::Question,
                                   MessageButtons::YesNo, MessageAnswer::No, false}),
              MessageAnswer::Yes);
}

// The four charts of the product data view drawn in the viewer's tabs from the chart sheets
// the command built: each tab grabbed offscreen shows its series with every point. With
// VANDORIX_UI_SHOTS naming a folder the pictures are saved there.
TEST(ChartTabsTest, EveryChartSheetIsDrawnInItsTabWithItsSeries) {
    testing::InProcessSession session;
    session.run(testing::RegisterScript("Alfa", "HU0000000001"));
    const fs::path file = session.installation().root() / "Termekek" / "Alfa.xls";
    const int days = 300;
    auto dayOf = [](int i) { return testing::Day(2026, 1, 5).addDays(i); };
    testing::EditWorkbookFile(file, [&](Workbook &wb) {
        Sheet &p = wb.sheet("Alfa01");
        for (int i = 0; i < days; ++i) {
            const double wave = std::sin(i / 15.0) * 600 + i * 5;
            p.setValue(5 + i, 1, dayOf(i));
            p.setValue(5 + i, 2, Currency::fromUnits(10000 + static_cast<long long>(wave)));
            p.setValue(5 + i, 4, Currency::fromUnits(static_cast<long long>(wave) * 20));
            p.setValue(5 + i, 5, Currency::fromUnits(i % 9 * 300 - 1200));
        }
        Sheet &t = wb.sheet("Szla");
        const int totals = static_cast<int>(*t.value(2, 19).integer());
        t.setValue(totals, 8, 10500.0);
        t.setValue(totals, 16, Currency::fromUnits(5000));
    });
    const int firstRow = 58, lastRow = 4 + days, points = lastRow - firstRow + 1;
    const QString shots = QString::fromLocal8Bit(qgetenv("VANDORIX_UI_SHOTS"));

    int looked = 0;
    session.dialogs().onMessage = [&](const MessageRequest &request) {
        Workbook *wb = session.app().state().ProductWorkbook.get();
        if (request.title != "Tovább" || !wb || !wb->findSheet("ArfDiag01")) return;
        ++looked;
        SheetViewer viewer(*wb, request);
        viewer.resize(1280, 820);
        viewer.show();
        QApplication::processEvents();
        QStringList tabs;
        for (int i = 0; i < viewer.tabs()->count(); ++i) tabs << viewer.tabs()->tabText(i);
        EXPECT_EQ(tabs, (QStringList{"Alfa01", "Alfa02", "ArfDiag01", "EredDiag01",
                                     "NapiEredDiag01", "RSIDiag01"}));
        EXPECT_EQ(viewer.tabs()->tabText(viewer.tabs()->currentIndex()), "ArfDiag01");
        auto *save = viewer.findChild<QPushButton *>("saveChartPicture");
        ASSERT_TRUE(save && save->isVisible() && save->isEnabled());

        // The averages were computed for the last 200 rows (the MA200 from row 208), the RSI
        // from the first day's row (60) on; the custom RSI column was emptied.
        struct Expected {
            const char *sheet;
            std::vector<int> pointCounts;
            QColor firstSeries;
        };
        const Expected expected[] = {
            {"ArfDiag01", {points, 200, 200, lastRow - 207}, QColor(0, 255, 0)},
            {"EredDiag01", {points}, QColor(0, 255, 0)},
            {"NapiEredDiag01", {points}, QColor(0, 255, 0)},
            {"RSIDiag01", {lastRow - 59, 0}, QColor(0, 255, 0)},
        };
        for (const Expected &e : expected) {
            SCOPED_TRACE(e.sheet);
            viewer.tabs()->setCurrentIndex(tabs.indexOf(e.sheet));
            QApplication::processEvents();
            auto *chart = viewer.currentChart();
            ASSERT_NE(chart, nullptr);
            EXPECT_EQ(chart->pointCounts(), e.pointCounts);
            const QImage image = chart->grab().toImage();
            ASSERT_FALSE(image.isNull());
            int seriesPixels = 0;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2)
                    seriesPixels += image.pixelColor(x, y) == e.firstSeries;
            EXPECT_GT(seriesPixels, 100) << "the first series is drawn in its colour";
            if (!shots.isEmpty())
                EXPECT_TRUE(chart->savePicture(QDir(shots).filePath(QString(e.sheet) + ".png")));
        }
        viewer.tabs()->setCurrentIndex(tabs.indexOf("ArfDiag01"));
        EXPECT_EQ(viewer.currentChart()->pointText(0, 0),
                    QString::fromStdString(dayOf(firstRow - 5).toString()) + u("\nÁrfolyam: ") +
                      QLocale(QLocale::Hungarian).toString(
                          10000 + static_cast<long long>(std::sin((firstRow - 5) / 15.0) * 600 +
                                                         (firstRow - 5) * 5)));
        viewer.tabs()->setCurrentIndex(0);
        EXPECT_FALSE(save->isEnabled()) << "a worksheet is no picture";
    };
    session.run("menu Befektetés/Információ/Termék adatok\nchoose Combo1 Alfa\ntype Text1 " +
                dayOf(firstRow - 3).toString() + "\ntype Text2 2026. 12. 06.\nclick Command1\n"
                "answer No\nanswer OK\nanswer Yes\nanswer OK\n");
    EXPECT_EQ(looked, 1);
}

QString shown(const SheetTableModel &model, int row, int column) {
    return model.data(model.index(row - 1, column - 1), Qt::DisplayRole).toString();
}

TEST(SheetTableModelTest, CellsReadAsAHungarianReaderExpectsThemUnderTheirFormat) {
    Workbook workbook("Proba.xls");
    Sheet &sheet = workbook.addSheet("Lap1");
    sheet.setValue(1, 1, *Date::fromYmd(2026, 12, 6));
    sheet.setValue(1, 2, Currency::fromRaw(12'345'678'900)); // 1 234 567,89
    sheet.setValue(1, 3, Currency::fromRaw(-50));            // -0,005 rounds away from zero
    sheet.setValue(1, 4, "Árfolyam");
    sheet.setCellFormat(2, 1, internFormat({"#,##0", false, HAlign::General, false}));
    sheet.setValue(2, 1, 1234567.4);
    sheet.setCellFormat(2, 2, internFormat({"0.0%", false, HAlign::General, false}));
    sheet.setValue(2, 2, 0.256);
    sheet.setCellFormat(2, 3, internFormat({"yyyy.mm.dd", false, HAlign::General, false}));
    sheet.setValue(2, 3, 46362.0); // the serial of 2026-12-06
    sheet.setCellFormat(2, 4, internFormat({"#,##0.00 \"Ft\"", false, HAlign::General, true}));
    sheet.setValue(2, 4, Currency::fromRaw(9'999'950)); // 999,995 rounds to 1 000,00

    SheetTableModel model(sheet);
    const char *expected[2][4] = {{"2026. 12. 06.", "1 234 567,89", "-0,01", "Árfolyam"},
                                  {"1 234 567", "25,6%", "2026. 12. 06.", "1 000,00 Ft"}};
    for (int r = 1; r <= 2; ++r)
        for (int c = 1; c <= 4; ++c) EXPECT_EQ(shown(model, r, c), u(expected[r - 1][c - 1])) << r << c;
    // Negative amounts in red, as a spreadsheet shows them; others in the text colour.
    auto colour = [&](int row, int column) {
        return model.data(model.index(row - 1, column - 1), Qt::ForegroundRole);
    };
    EXPECT_EQ(colour(1, 3).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(colour(1, 2).isValid());
    EXPECT_FALSE(colour(1, 1).isValid());
    EXPECT_EQ(model.headerData(27, Qt::Horizontal).toString(), u("AB"));
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toInt(), 1);
}

TEST(SheetTableModelTest, EditsWriteTypedValuesAndAProtectedSheetRefusesThem) {
    Workbook workbook("Proba.xls");
    Sheet &sheet = workbook.addSheet("Lap1");
    sheet.setValue(1, 1, *Date::fromYmd(2026, 12, 6));
    sheet.setValue(1, 2, Currency::fromUnits(5));
    {
        SheetTableModel model(sheet);
        EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
        EXPECT_TRUE(model.setData(model.index(0, 0), u("2026. 12. 07.")));
        EXPECT_EQ(sheet.value(1, 1), CellValue(*Date::fromYmd(2026, 12, 7)));
        EXPECT_TRUE(model.setData(model.index(0, 1), u("1 000,5")));
        EXPECT_EQ(sheet.value(1, 2), CellValue(Currency::fromRaw(10'005'000)));
        EXPECT_EQ(shown(model, 1, 2), u("1 000,50"));
        // A text that is no amount does not replace an amount.
        EXPECT_FALSE(model.setData(model.index(0, 1), u("sok")));
        EXPECT_EQ(sheet.value(1, 2), CellValue(Currency::fromRaw(10'005'000)));
        // A cell beyond the stored rows grows the table.
        const int rows = model.rowCount();
        EXPECT_TRUE(model.setData(model.index(rows - 1, 0), u("Őrült űrhajó")));
        EXPECT_EQ(sheet.value(rows, 1), CellValue("Őrült űrhajó"));
        EXPECT_GT(model.rowCount(), rows);
    }

    sheet.protect("jelszo");
    SheetTableModel model(sheet);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, 0), u("2027. 01. 01.")));
    EXPECT_EQ(sheet.value(1, 1), CellValue(*Date::fromYmd(2026, 12, 7)));
    EXPECT_EQ(shown(model, 1, 1), u("2026. 12. 07."));
}

QWidget *focused() { return QApplication::focusWidget(); }

// Replaces the field's text by typing, as a user does after selecting it.
void typeInto(QLineEdit *edit, const char *ascii) {
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(ascii));
}

void typeAndEnter(QLineEdit *edit, const char *ascii) {
    typeInto(edit, ascii);
    QTest::keyClick(edit, Qt::Key_Return);
}

std::unique_ptr<Workbook> storedAccount(LiveWindows &live) {
    return testing::ReadWorkbookFile(live.session.installation().accountWorkbook());
}

struct DepositWidgets {
    QLineEdit *date, *amount, *code;
    QPushButton *enter, *back;
};

DepositWidgets openDeposit(LiveWindows &live) {
    live.chooseMenu({"Befektetés", "Befektetési számla", "Befizetés"});
    QWidget *window = live.shownWindow();
    EXPECT_TRUE(window && window->windowTitle() == u("Befizetés a befektetési számlára"));
    return {live.widget<QLineEdit>("Text1"), live.widget<QLineEdit>("Text2"),
            live.widget<QLineEdit>("Text3"), live.widget<QPushButton>("Command1"),
            live.widget<QPushButton>("Command3")};
}

TEST(RealWindowsTest, DepositTypedIntoTheWidgetsIsStoredAndLettersInTheAmountAreRefused) {
    LiveWindows live;
    const DepositWidgets w = openDeposit(live);
    ASSERT_TRUE(w.date && w.amount && w.code && w.enter && w.back);
    EXPECT_EQ(w.date->text(), u("2026. 12. 06."));
    EXPECT_EQ(focused(), w.date);
    EXPECT_FALSE(w.amount->isEnabled());
    EXPECT_FALSE(w.enter->isEnabled());

    typeAndEnter(w.date, "2026.12.01");
    EXPECT_TRUE(w.amount->isEnabled());
    EXPECT_EQ(focused(), w.amount);

    // Letters are no amount: the box is answered, the field emptied and the cursor left in it.
    live.dialogs().answer(MessageAnswer::Ok);
    typeAndEnter(w.amount, "15a0");
    ASSERT_EQ(live.messages().size(), 1u);
    EXPECT_EQ(live.messages()[0].text, "Itt csak számérték lehet.");
    EXPECT_EQ(w.amount->text(), QString());
    EXPECT_EQ(focused(), w.amount);
    EXPECT_FALSE(w.code->isEnabled());

    typeAndEnter(w.amount, "1500,5");
    EXPECT_EQ(focused(), w.code);
    typeAndEnter(w.code, "7");
    EXPECT_TRUE(w.enter->isEnabled());
    EXPECT_EQ(focused(), w.enter);

    // Enter presses the button the last field handed the focus to.
    QTest::keyClick(w.enter, Qt::Key_Return);
    EXPECT_EQ(live.messages().size(), 1u);
    // One movement per opening: only the leave buttons are left.
    EXPECT_FALSE(w.enter->isEnabled());
    EXPECT_FALSE(w.date->isEnabled());
    EXPECT_EQ(w.amount->text(), QString());
    EXPECT_EQ(focused(), w.back);

    auto wb = storedAccount(live);
    const Sheet &ledger = wb->sheet("Befszla01");
    EXPECT_EQ(ledger.value(5, ledger::MovementDate).date(), testing::Day(2026, 12, 1));
    testing::ExpectAmounts(ledger, {{5, ledger::PaidIn, "1500,5"}, {5, ledger::Movement, "1500,5"}});
    testing::ExpectIntegers(ledger, {{5, ledger::SettlementCode, 7}});
    testing::ExpectTexts(ledger, {{5, ledger::RowType, "BAR"}});
    EXPECT_TRUE(ledger.value(6, ledger::MovementDate).isBlank());

    QTest::mouseClick(w.back, Qt::LeftButton);
    EXPECT_EQ(live.app().visibleForm(), &live.app().mainForm());
}

TEST(RealWindowsTest, AmountChangedAndTabbedAwayIsWhatTheEntryButtonReads) {
    LiveWindows live;
    const DepositWidgets w = openDeposit(live);
    ASSERT_TRUE(w.date && w.amount && w.code && w.enter && w.back);
    typeAndEnter(w.date, "2026.12.02");
    typeAndEnter(w.amount, "100");
    typeAndEnter(w.code, "8");
    ASSERT_EQ(focused(), w.enter);

    // The user goes back to the amount, types letters over it and tabs away: leaving the
    // field says nothing, the button checks what the field holds.
    QTest::mouseClick(w.amount, Qt::LeftButton);
    ASSERT_EQ(focused(), w.amount);
    typeInto(w.amount, "2x0");
    QTest::keyClick(w.amount, Qt::Key_Tab);
    EXPECT_EQ(focused(), w.code);
    EXPECT_TRUE(live.messages().empty());
    EXPECT_EQ(live.app().form("Form6").control("Text2").text, "2x0");

    live.dialogs().answer(MessageAnswer::Ok);
    QTest::mouseClick(w.enter, Qt::LeftButton);
    ASSERT_EQ(live.messages().size(), 1u);
    EXPECT_EQ(live.messages()[0].text, "Itt csak számérték lehet.");
    EXPECT_EQ(w.amount->text(), QString());
    EXPECT_EQ(focused(), w.amount);
    EXPECT_TRUE(storedAccount(live)->sheet("Befszla01").value(5, 1).isBlank());

    typeInto(w.amount, "2000");
    QTest::keyClick(w.amount, Qt::Key_Tab);
    QTest::mouseClick(w.enter, Qt::LeftButton);
    EXPECT_EQ(live.messages().size(), 1u);
    testing::ExpectAmounts(storedAccount(live)->sheet("Befszla01"), {{5, ledger::PaidIn, "2000"}});
}

// Saves a picture of `widget` into the folder VANDORIX_UI_SHOTS names, if any.
void saveShot(QWidget &widget, const char *name) {
    QApplication::processEvents();
    if (const char *folder = std::getenv("VANDORIX_UI_SHOTS"))
        widget.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(u(name)));
}

// A window as a user sees it: every visible label beside the field it names, no button
// narrower than its caption, no control outside the window or over another one, no empty band
// left by hidden controls. With VANDORIX_UI_SHOTS naming a folder the window is also saved
// there as a picture, for a look at it.
void expectSoundLayout(LiveWindows &live, const std::string &what) {
    QWidget *top = live.shownWindow();
    ASSERT_NE(top, nullptr) << what;
    saveShot(*top, (what + ".png").c_str());

    // Whole on the screen, and centred on it when it opens.
    const QRect screen = top->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(top->geometry())) << what << ": reaches past the screen";
    if (what.ends_with("-opened"))
        EXPECT_LE(std::abs(top->geometry().center().x() - screen.center().x()), 4) << what;
    EXPECT_GE(top->width(), top->minimumSizeHint().width()) << what;
    EXPECT_GE(top->height(), top->minimumSizeHint().height()) << what;
    const QRect inside = top->rect();
    auto place = [top](QWidget *w) { return QRect(w->mapTo(top, QPoint(0, 0)), w->size()); };
    FormWidget *body = live.windows.bodyOf(*live.app().visibleForm());
    std::vector<QWidget *> shown;
    for (const Control &c : body->form().controls()) {
        QWidget *w = body->controlWidget(c.name);
        if (!w || !w->isVisibleTo(top)) continue;
        shown.push_back(w);
        EXPECT_TRUE(inside.contains(place(w))) << what << ": " << c.name << " is cut off";
        if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            EXPECT_GE(button->width(), button->sizeHint().width())
                << what << ": the caption of " << c.name << " does not fit";
        }
        if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy()) {
            QWidget *field = label->buddy();
            EXPECT_TRUE(field->isVisibleTo(top)) << what << ": " << c.name << " names no field";
            EXPECT_GE(label->width(), label->sizeHint().width())
                << what << ": " << c.name << " is cut or broken over lines";
            EXPECT_GE(label->height(), label->sizeHint().height())
                << what << ": " << c.name << " is cut";
            const QRect l = place(label), f = place(field);
            EXPECT_LE(l.right(), f.left()) << what << ": " << c.name << " is not beside its field";
            EXPECT_TRUE(l.center().y() >= f.top() && l.center().y() <= f.bottom())
                << what << ": " << c.name << " is not on its field's row";
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(place(shown[i]).intersects(place(shown[j])))
                << what << ": " << shown[i]->objectName().toStdString() << " overlaps "
                << shown[j]->objectName().toStdString();
    // Rows follow each other at the layout's spacing, whatever is hidden between them.
    std::vector<QRect> rows;
    for (QWidget *w : shown)
        if (!qobject_cast<QPushButton *>(w)) rows.push_back(place(w));
    std::sort(rows.begin(), rows.end(), [](const QRect &a, const QRect &b) { return a.top() < b.top(); });
    for (std::size_t i = 1; i < rows.size(); ++i) {
        int above = 0;
        for (std::size_t k = 0; k < i; ++k) above = std::max(above, rows[k].bottom());
        EXPECT_LE(rows[i].top() - above, 40) << what << ": an empty band above "
                                             << rows[i].top();
    }
}

QStringList rowTexts(const QTableWidget &table, int row) {
    QStringList texts;
    for (int c = 0; c < table.columnCount(); ++c) texts << table.item(row, c)->text();
    return texts;
}

TEST(RealWindowsTest, MainWindowShowsTheOverviewAndEachRecordingIsConfirmed) {
    LiveWindows live;
    auto *main = qobject_cast<MainWindow *>(live.windows.windowOf(live.app().mainForm()));
    ASSERT_TRUE(main && main->overview());
    OverviewPanel &overview = *main->overview();
    // A new installation: the first steps instead of an empty table.
    EXPECT_FALSE(overview.hint()->isHidden());
    EXPECT_TRUE(overview.hint()->text().contains(u("Alapadatok")));
    EXPECT_EQ(overview.table()->rowCount(), 0);
    saveShot(*main, "Form1-empty.png");

    std::string script = testing::RegisterScript("Tölgyfa Nyrt", "HU0000123456") +
                         testing::RegisterScript("Béta", "HU0000654321");
    script += "menu Befektetés/Befektetési számla/Befizetés\ntype Text1 2026.01.05\n"
              "type Text2 1000000\ntype Text3 1\nclick Command1\n";
    live.session.run(script);
    // The deposit window stays open and says what it saved.
    FormWidget *deposit = live.windows.bodyOf(live.app().form("Form6"));
    ASSERT_TRUE(deposit && deposit->statusLine());
    EXPECT_EQ(deposit->statusLine()->text(),
              u("Elmentve: 2026. 01. 05. – Kp befizetés, 1 000 000,00 Ft"));
    // Further deposits give the ledger more rows than the viewer shows at once.
    script = "click Command3\n";
    for (int day = 6; day <= 30; ++day)
        script += "menu Befektetés/Befektetési számla/Befizetés\ntype Text1 2026.01." +
                  std::to_string(day) + "\ntype Text2 1000\ntype Text3 " + std::to_string(day) +
                  "\nclick Command1\nclick Command3\n";
    script += "menu Befektetés/Részvény/Vétel\nchoose Combo1 Tölgyfa Nyrt\n"
              "type Text1 2026.11.03\ntype Text2 100\ntype Text3 1000\ntype Text4 500\n"
              "type Text5 7\ntype Text6 101\nclick Command1\ninput 1000\n";
    live.session.run(script);
    ASSERT_TRUE(main->isVisible());
    EXPECT_EQ(main->statusLine()->text(),
              u("Elmentve: 2026. 11. 03. – Tölgyfa Nyrt, 100 db vétel"));

    // Worked out by hand: 100 shares at 1000 plus a 500 fee; cash 1 000 000 + 25 × 1000 −
    // 100 500; the portfolio is the cash and the holding at its last price.
    QTableWidget &table = *overview.table();
    EXPECT_TRUE(overview.hint()->isHidden());
    ASSERT_EQ(table.rowCount(), 2);
    table.sortItems(0, Qt::DescendingOrder);
    EXPECT_EQ(rowTexts(table, 0),
              (QStringList{u("Tölgyfa Nyrt"), "100", u("1 005,00 Ft"), u("1 000,00 Ft"),
                           u("2026. 11. 03."), u("100 000,00 Ft"), u("-500,00 Ft"),
                           u("0,00 Ft"), u("9,76 %")}));
    EXPECT_EQ(rowTexts(table, 1), (QStringList{u("Béta"), "0", u("0,00 Ft"), "", "",
                                               u("0,00 Ft"), u("0,00 Ft"), u("0,00 Ft"),
                                               u("0,00 %")}));
    table.sortItems(5, Qt::AscendingOrder); // by value, as numbers
    EXPECT_EQ(table.item(0, 0)->text(), u("Béta"));
    EXPECT_TRUE(overview.cashLine()->text().contains(u("924 500,00 Ft")));
    EXPECT_TRUE(overview.cashLine()->text().contains(u("2026. 11. 03.")));
    EXPECT_TRUE(overview.totalsLine()->text().contains(u("1 024 500,00 Ft")));
    EXPECT_TRUE(overview.totalsLine()->text().contains(u("-500,00 Ft")));
    EXPECT_EQ(overview.allocation()->count(), 2); // the holding and the cash
    QApplication::processEvents();
    saveShot(*main, "Form1-overview.png");

    // The ledger in the viewer: headings and dates frozen, opened at its newest rows.
    auto account = testing::ReadWorkbookFile(live.session.installation().accountWorkbook());
    account->activate(account->sheet("Befszla01"));
    SheetViewer viewer(*account, {"Továbblépés", "Tovább", MessageIcon::Exclamation});
    viewer.resize(900, 420);
    viewer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&viewer));
    QTest::qWait(50);
    auto *view = viewer.findChild<FrozenTableView *>(u("Befszla01"));
    ASSERT_NE(view, nullptr);
    const int lastDataRow = 5 + 27 - 1; // 26 deposits and the purchase
    EXPECT_GT(view->verticalScrollBar()->value(), 0);
    const int bottomRow = view->rowAt(view->viewport()->height() - 2);
    EXPECT_TRUE(bottomRow == -1 || bottomRow >= lastDataRow - 1) << bottomRow;
    EXPECT_GE(view->rowAt(view->viewport()->height() / 2), 4) << "frozen rows scrolled away";
    saveShot(viewer, "viewer-frozen.png");
}

TEST(RealWindowsTest, EveryDataWindowShowsItsControlsInOrderlyRows) {
    LiveWindows live;
    const std::string share = "Árvíztűrő Tükörfúrógép Nyrt";
    // Runs the script, then checks the window it leaves shown under this picture name.
    auto step = [&](const std::string &script, const std::string &shot) {
        live.session.run(script);
        expectSoundLayout(live, shot);
    };
    live.session.run(testing::RegisterScript(share, "HU0000123456"));
    step("menu Befektetés/Részvény/Vétel\n", "Form3-opened");
    // What is not usable yet says what to do first.
    EXPECT_EQ(live.widget<QPushButton>("Command1")->toolTip(),
              u("Még nem használható: előbb válasszon a(z) „Részvény” listából."));
    step("choose Combo1 " + share + "\n", "Form3-product-chosen");
    EXPECT_EQ(live.widget<QLineEdit>("Text2")->toolTip(),
              u("Még nem használható: előbb töltse ki a(z) „Dátum” mezőt, és nyomjon Entert."));
    // Options hidden until an order is chosen leave no empty band.
    step("click Command3\nmenu Befektetés/Részvény/Eladás\n", "Form4-opened");
    step("choose Combo1 FIFO.Legkorábbiak\n", "Form4-order-chosen");
    step("click Command3\nmenu Befektetés/Részvény/Árfolyamok betöltése fájlból\n", "Form17-opened");
    // The path field has a file dialog beside it.
    auto *browse = live.shownWindow()->findChild<QPushButton *>("Text1Browse");
    ASSERT_NE(browse, nullptr);
    EXPECT_TRUE(browse->isVisible());
    EXPECT_EQ(browse->text(), u("Tallózás…"));
}

} // namespace
} // namespace vandorix

int main(int argc, char **argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    return RUN_ALL_TESTS();
}
