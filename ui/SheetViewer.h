#pragma once

#include "app/Dialogs.h"

#include <QDialog>

class QTabWidget;
class QDialogButtonBox;

namespace vandorix {

class Workbook;

// A report being looked at: the visible worksheets of a workbook as tabs, with the message
// that holds the report on screen and its buttons at the bottom. Pressing a button answers
// the message. Chart sheets are not shown.
class SheetViewer : public QDialog {
    Q_OBJECT
public:
    SheetViewer(Workbook &workbook, const MessageRequest &request, QWidget *parent = nullptr);

    MessageAnswer answer() const { return answer_; }
    QTabWidget *tabs() const { return tabs_; }
    QDialogButtonBox *buttons() const { return buttons_; }

    // Shows the viewer maximised and modal until the user answers.
    static MessageAnswer present(Workbook &workbook, const MessageRequest &request,
                                 QWidget *parent = nullptr);

private:
    void addSheetTabs(Workbook &workbook);
    void openInSpreadsheetProgram();

    Workbook &workbook_;
    QTabWidget *tabs_ = nullptr;
    QDialogButtonBox *buttons_ = nullptr;
    MessageAnswer answer_;
};

} // namespace vandorix
