#include "QtDialogs.h"

#include "SheetViewer.h"
#include "app/AppState.h"

#include <QApplication>
#include <QGridLayout>
#include <QSpacerItem>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

namespace vandorix {

namespace {

QWidget *dialogParent() { return QApplication::activeWindow(); }

// A box at least as wide as its title needs beside the title bar's own buttons, so the title
// is never cut short.
int widthForTitle(const QWidget &box, const QString &title) {
    constexpr int kTitleBarButtons = 140;
    QFont font = box.font();
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + kTitleBarButtons;
}

} // namespace

QString QtDialogs::messageText(const std::string &text) {
    QString result = QString::fromStdString(text);
    result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

QMessageBox::Icon QtDialogs::boxIcon(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::None: return QMessageBox::NoIcon;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Critical: return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

QIcon StandardMessageIcon(MessageIcon icon, QStyle *style) {
    switch (icon) {
    case MessageIcon::None: return {};
    case MessageIcon::Exclamation: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case MessageIcon::Information: return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case MessageIcon::Question: return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case MessageIcon::Critical: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    }
    return {};
}

Workbook *QtDialogs::reportOnScreen() const {
    if (!state_ || !state_->HostApp) return nullptr;
    const HostState &host = state_->HostApp->state();
    if (!host.visible || host.windowState != HostWindowState::Maximized) return nullptr;
    return state_->HostApp->activeWorkbook();
}

MessageAnswer QtDialogs::showMessage(const MessageRequest &request) {
    if (Workbook *report = reportOnScreen())
        return SheetViewer::present(*report, request, dialogParent());

    QMessageBox box(boxIcon(request.icon), QString::fromStdString(request.title),
                    messageText(request.text), QMessageBox::NoButton, dialogParent());
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // A message box sizes itself from its text; a spanning spacer widens it for the title.
    if (auto *grid = qobject_cast<QGridLayout *>(box.layout()))
        grid->addItem(new QSpacerItem(widthForTitle(box, box.windowTitle()), 0,
                                      QSizePolicy::Minimum, QSizePolicy::Expanding),
                      grid->rowCount(), 0, 1, grid->columnCount());
    if (request.buttons == MessageButtons::YesNo) {
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        QPushButton *no = box.addButton(QMessageBox::No);
        yes->setText(QStringLiteral("Igen"));
        no->setText(QStringLiteral("Nem"));
        box.setDefaultButton(request.defaultAnswer == MessageAnswer::Yes ? yes : no);
        box.setEscapeButton(no);
    } else {
        QPushButton *ok = box.addButton(QMessageBox::Ok);
        ok->setText(QStringLiteral("OK"));
        box.setDefaultButton(ok);
    }
    if (request.foreground) {
        box.raise();
        box.activateWindow();
    }
    box.exec();
    if (request.buttons == MessageButtons::YesNo)
        return box.clickedButton() == box.button(QMessageBox::Yes) ? MessageAnswer::Yes
                                                                   : MessageAnswer::No;
    return MessageAnswer::Ok;
}

std::optional<std::string> QtDialogs::showInput(const InputRequest &request) {
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(QString::fromStdString(request.title));
    dialog.setLabelText(messageText(request.prompt));
    dialog.setTextValue(QString::fromStdString(request.defaultText));
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Mégse"));
    dialog.setWindowModality(Qt::ApplicationModal);
    // The dialog's layout sets its size from its fields: the entry field is made wide enough.
    constexpr int kDialogMargins = 40;
    if (auto *edit = dialog.findChild<QLineEdit *>())
        edit->setMinimumWidth(widthForTitle(dialog, dialog.windowTitle()) - kDialogMargins);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.textValue().toStdString();
}

} // namespace vandorix
