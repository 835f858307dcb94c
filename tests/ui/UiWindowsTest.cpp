// The real windows on a fresh installation, driven through their widgets as a user does.
#include "UiSupport.h"

namespace vandorix {
namespace {
using namespace uitest;

QWidget *focused() { return QApplication::focusWidget(); }

std::vector<QWidget *> visibleTopLevels() {
    std::vector<QWidget *> shown;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->isVisible() && !qobject_cast<QMenu *>(w)) shown.push_back(w);
    return shown;
}

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

// A window as a user sees it: whole on the screen and centred on it when it opens, every
// visible label beside the field it names, no button narrower than its caption, no control
// outside the window or over another one, no empty band left by hidden controls.
void expectSoundLayout(LiveWindows &live, const std::string &what) {
    SCOPED_TRACE(what);
    QWidget *top = live.shownWindow();
    ASSERT_NE(top, nullptr);
    QApplication::processEvents();
    const QRect screen = top->screen()->availableGeometry();
    EXPECT_TRUE(screen.contains(top->geometry())) << "reaches past the screen";
    if (what.ends_with("-opened")) {
        EXPECT_LE(std::abs(top->geometry().center().x() - screen.center().x()), 4);
    }
    EXPECT_GE(top->width(), top->minimumSizeHint().width());
    EXPECT_GE(top->height(), top->minimumSizeHint().height());
    auto place = [top](QWidget *w) { return QRect(w->mapTo(top, QPoint(0, 0)), w->size()); };
    FormWidget *body = live.windows.bodyOf(*live.app().visibleForm());
    std::vector<QWidget *> shown;
    for (const Control &c : body->form().controls()) {
        QWidget *w = body->controlWidget(c.name);
        if (!w || !w->isVisibleTo(top)) continue;
        shown.push_back(w);
        EXPECT_TRUE(top->rect().contains(place(w))) << c.name << " is cut off";
        if (auto *button = qobject_cast<QAbstractButton *>(w)) {
            EXPECT_GE(button->width(), button->sizeHint().width()) << c.name << " is cut";
        }
        if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy()) {
            QWidget *field = label->buddy();
            EXPECT_TRUE(field->isVisibleTo(top)) << c.name << " names no field";
            EXPECT_GE(label->width(), label->sizeHint().width()) << c.name << " is cut or broken";
            EXPECT_GE(label->height(), label->sizeHint().height()) << c.name << " is cut";
            const QRect l = place(label), f = place(field);
            EXPECT_LE(l.right(), f.left()) << c.name << " is not beside its field";
            EXPECT_TRUE(l.center().y() >= f.top() && l.center().y() <= f.bottom())
                << c.name << " is not on its field's row";
        }
    }
    for (std::size_t i = 0; i < shown.size(); ++i)
        for (std::size_t j = i + 1; j < shown.size(); ++j)
            EXPECT_FALSE(place(shown[i]).intersects(place(shown[j])))
                << shown[i]->objectName().toStdString() << " overlaps "
                << shown[j]->objectName().toStdString();
    // Rows follow each other at the layout's spacing, whatever is hidden between them.
    std::vector<QRect> rows;
    for (QWidget *w : shown)
        if (!qobject_cast<QPushButton *>(w)) rows.push_back(place(w));
    std::ranges::sort(rows, {}, &QRect::top);
    int above = rows.empty() ? 0 : rows.front().bottom();
    for (const QRect &row : rows) {
        EXPECT_LE(row.top() - above, 40) << "an empty band above " << row.top();
        above = std::max(above, row.bottom());
    }
}

QStringList rowTexts(const QTableWidget &table, int row) {
    QStringList texts;
    for (int c = 0; c < table.columnCount(); ++c) texts << table.item(row, c)->text();
    return texts;
}

// The main window from a new installation to the end of the program: its menus, the data
// windows it opens in orderly rows, a deposit typed into the widgets, the overview after each
// recording, and the way out.
TEST(RealWindowsTest, MainWindowMenusDataWindowsTypedDepositOverviewAndExit) {
    LiveWindows live;
    MainWindow *main = live.main();
    ASSERT_TRUE(main && main->isVisible() && main->overview());
    EXPECT_EQ(main->windowTitle(), u("Vandorix"));
    OverviewPanel &overview = *main->overview();
    // A new installation: the first steps instead of an empty table.
    EXPECT_FALSE(overview.hint()->isHidden());
    EXPECT_TRUE(overview.hint()->text().contains(u("Alapadatok")));
    EXPECT_EQ(overview.table()->rowCount(), 0);

    const std::string share = "Árvíztűrő Tükörfúrógép Nyrt";
    live.session.run(testing::RegisterScript(share, "HU0000123456") +
                     testing::RegisterScript("Béta", "HU0000654321"));
    // Every entry has its own Alt letter among its siblings.
    QAction *shares = live.menuAction({"Befektetés", "Részvény"});
    ASSERT_TRUE(shares && shares->menu());
    QStringList marks;
    for (QAction *a : shares->menu()->actions()) marks << a->text();
    EXPECT_EQ(marks, (QStringList{u("&Alapadatok"), u("&Vétel"), u("&Eladás"),
                                  u("&Napi záró ár"), u("&Árfolyamok betöltése fájlból")}));

    // The menu opens a window in place of the main window.
    live.chooseMenu({"Befektetés", "Részvény", "Vétel"});
    QWidget *purchase = live.shownWindow();
    ASSERT_NE(purchase, nullptr);
    EXPECT_EQ(purchase->windowTitle(), u("Részvény vétel"));
    EXPECT_EQ(visibleTopLevels(), std::vector<QWidget *>{purchase});
    expectSoundLayout(live, "Form3-opened");
    // What is not usable yet says what to do first.
    EXPECT_EQ(live.widget<QPushButton>("Command1")->toolTip(),
              u("Még nem használható: előbb válasszon a(z) „Részvény” listából."));
    auto step = [&](const std::string &script, const std::string &shot) {
        live.session.run(script);
        expectSoundLayout(live, shot);
    };
    step("choose Combo1 " + share + "\n", "Form3-product-chosen");
    EXPECT_EQ(live.widget<QLineEdit>("Text2")->toolTip(),
              u("Még nem használható: előbb töltse ki a(z) „Dátum” mezőt, és nyomjon Entert."));
    auto *back = live.widget<QPushButton>("Command3");
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->text(), u("Vissza a főmenübe"));
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(visibleTopLevels(), std::vector<QWidget *>{main});
    // Options hidden until an order is chosen leave no empty band.
    step("menu Befektetés/Részvény/Eladás\n", "Form4-opened");
    step("choose Combo1 FIFO.Legkorábbiak\n", "Form4-order-chosen");
    step("click Command3\nmenu Befektetés/Részvény/Árfolyamok betöltése fájlból\n",
         "Form17-opened");
    auto *browse = live.shownWindow()->findChild<QPushButton *>("Text1Browse");
    ASSERT_TRUE(browse && browse->isVisible());
    EXPECT_EQ(browse->text(), u("Tallózás…"));

    live.session.run("click Command2\n");
    live.chooseMenu({"Befektetés", "Befektetési számla", "Befizetés"});
    QWidget *window = live.shownWindow();
    ASSERT_TRUE(window && window->windowTitle() == u("Befizetés a befektetési számlára"));
    QLineEdit *date = live.widget<QLineEdit>("Text1"), *amount = live.widget<QLineEdit>("Text2");
    QLineEdit *code = live.widget<QLineEdit>("Text3");
    QPushButton *enter = live.widget<QPushButton>("Command1");
    back = live.widget<QPushButton>("Command3");
    ASSERT_TRUE(date && amount && code && enter && back);
    EXPECT_EQ(date->text(), u("2026. 12. 06."));
    EXPECT_EQ(focused(), date);
    EXPECT_FALSE(amount->isEnabled());
    EXPECT_FALSE(enter->isEnabled());

    typeAndEnter(date, "2026.01.05");
    EXPECT_TRUE(amount->isEnabled());
    EXPECT_EQ(focused(), amount);

    // Letters are no amount: the box is answered, the field emptied and the cursor left in it.
    auto expectRefused = [&](std::size_t boxes) {
        ASSERT_EQ(live.messages().size(), boxes);
        EXPECT_EQ(live.messages().back().text, "Itt csak számérték lehet.");
        EXPECT_EQ(amount->text(), QString());
        EXPECT_EQ(focused(), amount);
    };
    live.dialogs().answer(MessageAnswer::Ok);
    typeAndEnter(amount, "15a0");
    expectRefused(1);
    EXPECT_FALSE(code->isEnabled());

    typeAndEnter(amount, "100");
    EXPECT_EQ(focused(), code);
    typeAndEnter(code, "1");
    EXPECT_TRUE(enter->isEnabled());
    EXPECT_EQ(focused(), enter);

    // The user goes back to the amount, types letters over it and tabs away: leaving the
    // field says nothing, the button checks what the field holds and stores nothing.
    QTest::mouseClick(amount, Qt::LeftButton);
    ASSERT_EQ(focused(), amount);
    typeInto(amount, "2x0");
    QTest::keyClick(amount, Qt::Key_Tab);
    EXPECT_EQ(focused(), code);
    live.dialogs().answer(MessageAnswer::Ok);
    QTest::mouseClick(enter, Qt::LeftButton);
    expectRefused(2);

    // An amount only tabbed away from is what the button reads; Enter on the code field hands
    // the focus to the button, and Enter there presses it.
    typeInto(amount, "1000000,5");
    QTest::keyClick(amount, Qt::Key_Tab);
    typeAndEnter(code, "1");
    ASSERT_EQ(focused(), enter);
    QTest::keyClick(enter, Qt::Key_Return);
    // One movement per opening: only the leave buttons are left; the window says what it saved.
    EXPECT_FALSE(enter->isEnabled());
    EXPECT_FALSE(date->isEnabled());
    EXPECT_EQ(amount->text(), QString());
    EXPECT_EQ(focused(), back);
    FormWidget *deposit = live.windows.bodyOf(live.app().form("Form6"));
    ASSERT_TRUE(deposit && deposit->statusLine());
    EXPECT_EQ(deposit->statusLine()->text(),
              u("Elmentve: 2026. 01. 05. – Kp befizetés, 1 000 000,50 Ft"));
    auto wb = storedAccount(live);
    const Sheet &ledger = wb->sheet("Befszla01");
    // What the fields held (row 6 empty: the refused amounts stored nothing); how a deposit is
    // booked is the cash windows' tests' concern.
    EXPECT_EQ(ledger.value(5, ledger::MovementDate).date(), testing::Day(2026, 1, 5));
    testing::ExpectAmounts(ledger, {{5, ledger::PaidIn, "1000000,5"}});
    testing::ExpectIntegers(ledger, {{5, ledger::SettlementCode, 1}});
    EXPECT_TRUE(ledger.value(6, ledger::MovementDate).isBlank());
    QTest::mouseClick(back, Qt::LeftButton);
    EXPECT_EQ(visibleTopLevels(), std::vector<QWidget *>{main});

    // Further deposits give the ledger more rows than the viewer shows at once.
    std::string script;
    for (int day = 6; day <= 30; ++day)
        script += testing::DepositScript("2026.01." + std::to_string(day), "1000", day);
    script += "menu Befektetés/Részvény/Vétel\nchoose Combo1 " + share +
              "\ntype Text1 2026.11.03\ntype Text2 100\ntype Text3 1000\ntype Text4 500\n"
              "type Text5 7\ntype Text6 101\nclick Command1\ninput 1000\n";
    live.session.run(script);
    ASSERT_TRUE(main->isVisible());
    EXPECT_EQ(main->statusLine()->text(),
              u("Elmentve: 2026. 11. 03. – ") + u(share.c_str()) + u(", 100 db vétel"));

    // Worked out by hand: 100 shares at 1000 plus a 500 fee; cash 1 000 000,5 + 25 × 1000 −
    // 100 500; the portfolio is the cash and the holding at its last price.
    QTableWidget &table = *overview.table();
    EXPECT_TRUE(overview.hint()->isHidden());
    ASSERT_EQ(table.rowCount(), 2);
    table.sortItems(0, Qt::DescendingOrder);
    EXPECT_EQ(rowTexts(table, 0),
              (QStringList{u(share.c_str()), "100", u("1 005,00 Ft"), u("1 000,00 Ft"),
                           u("2026. 11. 03."), u("100 000,00 Ft"), u("-500,00 Ft"),
                           u("0,00 Ft"), u("9,76 %")}));
    EXPECT_EQ(rowTexts(table, 1), (QStringList{u("Béta"), "0", u("0,00 Ft"), "", "",
                                               u("0,00 Ft"), u("0,00 Ft"), u("0,00 Ft"),
                                               u("0,00 %")}));
    table.sortItems(5, Qt::AscendingOrder); // by value, as numbers
    EXPECT_EQ(table.item(0, 0)->text(), u("Béta"));
    EXPECT_TRUE(overview.cashLine()->text().contains(u("924 500,50 Ft")));
    EXPECT_TRUE(overview.cashLine()->text().contains(u("2026. 11. 03.")));
    EXPECT_TRUE(overview.totalsLine()->text().contains(u("1 024 500,50 Ft")));
    EXPECT_TRUE(overview.totalsLine()->text().contains(u("-500,00 Ft")));
    EXPECT_EQ(overview.allocation()->count(), 2); // the holding and the cash

    // Closing from the title bar is no way out: the workbooks close only through the menu.
    QSignalSpy ended(&live.windows, &AppWindows::programEnded);
    main->close();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(ended.count(), 0);
    live.chooseMenu({"Befektetés", "Kilépés"});
    EXPECT_TRUE(live.app().ended());
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(visibleTopLevels().empty());

    // The ledger in the viewer: headings and dates frozen, opened at its newest rows.
    auto account = storedAccount(live);
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
}

} // namespace
} // namespace vandorix
