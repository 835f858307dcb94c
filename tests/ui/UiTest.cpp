#include "UiSupport.h"

namespace vandorix {
namespace {
using namespace uitest;

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
    testing::InProcessSession session; // with no answer for a dialog: the window shows none
    AppWindows windows(session.app());
    FieldsForm form(session.app());
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
    auto *daily = qobject_cast<QRadioButton *>(widget.controlWidget("Option1"));
    auto *weekly = qobject_cast<QRadioButton *>(widget.controlWidget("Option2"));
    ASSERT_TRUE(text && combo && locked && label && daily && weekly);
    EXPECT_EQ(text->text(), u("Őrült űrhajó"));
    EXPECT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), u("Árvíztűrő Nyrt."));
    EXPECT_EQ(combo->currentText(), u("Tükörfúrógép Zrt."));
    EXPECT_TRUE(locked->isReadOnly());
    EXPECT_EQ(label->buddy(), text);
    // The two options are one choice: one frame holds both.
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

TEST(QtDialogsTest, BoxesAndTheSheetViewerShowTheirTextsAndAnswerByButton) {
    QtDialogs dialogs;
    onNextModal<QMessageBox>([](QMessageBox &box) {
        EXPECT_EQ(box.windowTitle(), u("Törlés"));
        EXPECT_EQ(box.text(), u("Első sor\nMásodik sor"));
        EXPECT_EQ(box.icon(), QMessageBox::Question);
        QAbstractButton *yes = box.button(QMessageBox::Yes), *no = box.button(QMessageBox::No);
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

    // The input box round-trips Hungarian text and fits a title longer than its prompt beside
    // the title bar's buttons; cancelling gives nothing.
    onNextModal<QInputDialog>([](QInputDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), u("Záró darabár bekérés."));
        EXPECT_GT(dialog.width(),
                  dialog.fontMetrics().horizontalAdvance(dialog.windowTitle()) + 100);
        EXPECT_EQ(dialog.labelText(), u("Ár:\nNagybetűvel"));
        auto *edit = dialog.findChild<QLineEdit *>();
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), u("Őrült űrhajó"));
        // keyClicks cannot type ő and ű: the text is set and Enter sent, as a user confirms.
        edit->setText(u("Árvíztűrő tükörfúrógép"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(dialogs.showInput({"Ár:\r\nNagybetűvel", "Záró darabár bekérés.", "Őrült űrhajó"}),
              std::optional<std::string>("Árvíztűrő tükörfúrógép"));
    onNextModal<QInputDialog>([](QInputDialog &dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.showInput({"Ár:", "Adatbevitel", "12"}), std::nullopt);

    // A message over a maximised report shows in the sheet viewer; a minimised host is no
    // report on screen: a plain message box, here a warning answered No.
    AppState state;
    state.HostApp = std::make_unique<SpreadsheetHost>();
    SpreadsheetHost &host = *state.HostApp;
    const testing::TestInstallation installation;
    host.open(installation.root() / "Seged" / "Termékminta.xls");
    dialogs.watch(state);
    host.state().visible = true;
    host.state().windowState = HostWindowState::Minimized;
    onNextModal<QMessageBox>([](QMessageBox &box) {
        EXPECT_EQ(box.icon(), QMessageBox::Warning);
        box.button(QMessageBox::No)->click();
    });
    EXPECT_EQ(dialogs.showMessage({"Biztos?", "Kérdés", MessageIcon::Exclamation,
                                   MessageButtons::YesNo, MessageAnswer::Yes, false}),
              MessageAnswer::No);

    host.state().windowState = HostWindowState::Maximized;
    onNextModal<SheetViewer>([](SheetViewer &viewer) {
        EXPECT_TRUE(viewer.windowState() & Qt::WindowMaximized);
        QStringList tabs;
        for (int i = 0; i < viewer.tabs()->count(); ++i) tabs << viewer.tabs()->tabText(i);
        // The hidden helper sheets stay hidden.
        EXPECT_EQ(tabs, (QStringList{u("Termékminta01"), u("Termékminta02")}));
        auto *message = viewer.findChild<QLabel *>("message");
        auto *open = viewer.findChild<QPushButton *>("openExternally");
        QPushButton *ok = viewer.buttons()->button(QDialogButtonBox::Ok);
        ASSERT_TRUE(message && open && ok);
        EXPECT_EQ(message->text(), u("Továbblépés"));
        EXPECT_EQ(open->text(), u("Megnyitás táblázatkezelőben"));
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
// the command built: each tab grabbed offscreen shows its series with every point.
TEST(ChartTabsTest, EveryChartSheetIsDrawnInItsTabWithItsSeries) {
    testing::InProcessSession session;
    session.run(testing::RegisterScript("Alfa", "HU0000000001"));
    const std::filesystem::path file = session.installation().root() / "Termekek" / "Alfa.xls";
    const int days = 300;
    auto dayOf = [](int i) { return testing::Day(2026, 1, 5).addDays(i); };
    auto wave = [](int i) { return static_cast<long long>(std::sin(i / 15.0) * 600 + i * 5); };
    testing::EditWorkbookFile(file, [&](Workbook &wb) {
        Sheet &p = wb.sheet("Alfa01");
        for (int i = 0; i < days; ++i) {
            p.setValue(5 + i, kPriceColDate, dayOf(i));
            p.setValue(5 + i, kPriceColClose, Currency::fromUnits(10000 + wave(i)));
            p.setValue(5 + i, kPriceColResult, Currency::fromUnits(wave(i) * 20));
            p.setValue(5 + i, kPriceColChange, Currency::fromUnits(i % 9 * 300 - 1200));
        }
        Sheet &t = wb.sheet("Szla");
        const int totals = LastTradeRow(t) + book::kTotalsOffset;
        t.setValue(totals, szla::CostPerShare, 10500.0);
        t.setValue(totals, szla::Result, Currency::fromUnits(5000));
    });
    const int firstRow = 58, lastRow = 4 + days, points = lastRow - firstRow + 1;

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
        // from the first day's row (60) on; the custom RSI column was emptied. Each chart's
        // first series is drawn in green.
        const std::pair<const char *, std::vector<int>> expected[] = {
            {"ArfDiag01", {points, 200, 200, lastRow - 207}},
            {"EredDiag01", {points}},
            {"NapiEredDiag01", {points}},
            {"RSIDiag01", {lastRow - 59, 0}},
        };
        for (const auto &[sheet, pointCounts] : expected) {
            SCOPED_TRACE(sheet);
            viewer.tabs()->setCurrentIndex(tabs.indexOf(sheet));
            QApplication::processEvents();
            auto *chart = viewer.currentChart();
            ASSERT_NE(chart, nullptr);
            EXPECT_EQ(chart->pointCounts(), pointCounts);
            const QImage image = chart->grab().toImage();
            ASSERT_FALSE(image.isNull());
            int seriesPixels = 0;
            for (int y = 0; y < image.height(); y += 2)
                for (int x = 0; x < image.width(); x += 2)
                    seriesPixels += image.pixelColor(x, y) == QColor(0, 255, 0);
            EXPECT_GT(seriesPixels, 100);
        }
        viewer.tabs()->setCurrentIndex(tabs.indexOf("ArfDiag01"));
        EXPECT_EQ(viewer.currentChart()->pointText(0, 0),
                  QString::fromStdString(dayOf(firstRow - 5).toString()) + u("\nÁrfolyam: ") +
                      QLocale(QLocale::Hungarian).toString(10000 + wave(firstRow - 5)));
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

TEST(SheetTableModelTest, CellsReadAsAHungarianReaderExpectsAndEditsWriteTypedValues) {
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
        for (int c = 1; c <= 4; ++c)
            EXPECT_EQ(shown(model, r, c), u(expected[r - 1][c - 1])) << r << c;
    // Negative amounts in red, as a spreadsheet shows them; others in the text colour.
    auto colour = [&](int row, int column) {
        return model.data(model.index(row - 1, column - 1), Qt::ForegroundRole);
    };
    EXPECT_EQ(colour(1, 3).value<QColor>(), QColor(Qt::red));
    EXPECT_FALSE(colour(1, 2).isValid());
    EXPECT_FALSE(colour(1, 1).isValid());
    EXPECT_EQ(model.headerData(27, Qt::Horizontal).toString(), u("AB"));
    EXPECT_EQ(model.headerData(0, Qt::Vertical).toInt(), 1);

    // Edits write typed values; a protected sheet refuses them.
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

    sheet.protect("jelszo");
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_FALSE(model.setData(model.index(0, 0), u("2027. 01. 01.")));
    EXPECT_EQ(sheet.value(1, 1), CellValue(*Date::fromYmd(2026, 12, 7)));
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
