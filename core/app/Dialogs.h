#pragma once

#include <optional>
#include <string>

namespace vandorix {

enum class MessageIcon { None, Exclamation, Information, Question, Critical };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// A modal message box. Lines of `text` are joined by "\r\n".
struct MessageRequest {
    std::string text;
    std::string title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    MessageAnswer defaultAnswer = MessageAnswer::Ok;
    bool foreground = false;
};

// A modal input box: an answer, or nothing when the user cancels.
struct InputRequest {
    std::string prompt;
    std::string title;
    std::string defaultText;
};

// Shows the program's modal boxes. The Qt user interface shows real dialogs; tests and the
// headless driver answer from a script.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual MessageAnswer showMessage(const MessageRequest &request) = 0;
    virtual std::optional<std::string> showInput(const InputRequest &request) = 0;
};

// Message texts join their lines with a carriage return and line feed.
inline constexpr const char *kCrLf = "\r\n";

// "Felhívás" notice with the exclamation icon and one OK button.
void ShowNotice(Dialogs &dialogs, const std::string &text, const std::string &title = "Felhívás");
// A Yes/No question; No is the default unless `yesIsDefault`.
bool AskYesNo(Dialogs &dialogs, const std::string &text, const std::string &title,
              MessageIcon icon = MessageIcon::Question, bool yesIsDefault = false);
// Holds a report on screen until the user presses OK.
void ShowContinueNotice(Dialogs &dialogs);
// A settlement code that belongs to another kind of operation.
void ShowSettlementCodeMismatch(Dialogs &dialogs);

} // namespace vandorix
