#pragma once

#include "app/Dialogs.h"

#include <QIcon>
#include <QMessageBox>
#include <QString>

#include <optional>
#include <string>

class QStyle;

namespace vandorix {

struct AppState;
class Workbook;

// The program's modal boxes as Qt dialogs. While the spreadsheet host is visible and
// maximised (a report is being looked at), a message is shown under the report's worksheets
// in a SheetViewer instead of a plain message box.
class QtDialogs : public Dialogs {
public:
    // The program state whose host decides where a message is shown.
    void watch(AppState &state) { state_ = &state; }

    MessageAnswer showMessage(const MessageRequest &request) override;
    std::optional<std::string> showInput(const InputRequest &request) override;

    // Message texts join their lines with "\r\n"; Qt breaks lines at "\n".
    static QString messageText(const std::string &text);
    static QMessageBox::Icon boxIcon(MessageIcon icon);

private:
    // The active workbook while the host shows it maximised, else nullptr.
    Workbook *reportOnScreen() const;

    AppState *state_ = nullptr;
};

// The style's standard picture for a message icon; a null icon for MessageIcon::None.
QIcon StandardMessageIcon(MessageIcon icon, QStyle *style);

} // namespace vandorix
