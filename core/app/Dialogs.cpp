#include "app/Dialogs.h"

namespace vandorix {

void ShowNotice(Dialogs &dialogs, const std::string &text, const std::string &title) {
    dialogs.showMessage({text, title, MessageIcon::Exclamation, MessageButtons::Ok,
                         MessageAnswer::Ok, false});
}

bool AskYesNo(Dialogs &dialogs, const std::string &text, const std::string &title,
              MessageIcon icon, bool yesIsDefault) {
    MessageAnswer answer = dialogs.showMessage(
        {text, title, icon, MessageButtons::YesNo,
         yesIsDefault ? MessageAnswer::Yes : MessageAnswer::No, false});
    return answer == MessageAnswer::Yes;
}

void ShowContinueNotice(Dialogs &dialogs) {
    dialogs.showMessage({"Továbblépés", "Tovább", MessageIcon::Exclamation, MessageButtons::Ok,
                         MessageAnswer::Ok, true});
}

void ShowSettlementCodeMismatch(Dialogs &dialogs) {
    dialogs.showMessage({std::string("A teljesítés Tr. kód téves, nem ehhez a") + kCrLf +
                             "művelethez tartozik. Kilépés.",
                         "Kilépés", MessageIcon::Information, MessageButtons::Ok,
                         MessageAnswer::Ok, false});
}

} // namespace vandorix
