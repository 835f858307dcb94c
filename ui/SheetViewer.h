#pragma once

#include "app/Dialogs.h"

#include <QDialog>

class QTabWidget;
class QDialogButtonBox;
class QPushButton;

namespace vandorix {

class Workbook;
class ChartSheetView;

// A report being looked at: the visible sheets of a workbook as tabs (a chart sheet drawn as
// its chart), with the message that holds the report on screen and its buttons at the bottom.
// Pressing a button answers the message. The chart on screen can be saved as a picture.
class SheetViewer : public QDialog {
    Q_OBJECT
public:
    SheetViewer(Workbook &workbook, const MessageRequest &request, QWidget *parent = nullptr);

    MessageAnswer answer() const { return answer_; }
    QTabWidget *tabs() const { return tabs_; }
    QDialogButtonBox *buttons() const { return buttons_; }
    // The chart of the current tab, or nullptr when a worksheet is shown.
    ChartSheetView *currentChart() const;

    // Shows the viewer maximised and modal until the user answers.
    static MessageAnswer present(Workbook &workbook, const MessageRequest &request,
                                 QWidget *parent = nullptr);

private:
    void addSheetTabs(Workbook &workbook);
    void openInSpreadsheetProgram();
    void saveChartPicture();

    Workbook &workbook_;
    QTabWidget *tabs_ = nullptr;
    QDialogButtonBox *buttons_ = nullptr;
    QPushButton *savePicture_ = nullptr;
    MessageAnswer answer_;
};

} // namespace vandorix
