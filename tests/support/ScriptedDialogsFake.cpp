#include "support/ScriptedDialogsFake.h"

#include <gtest/gtest.h>

namespace vandorix::testing {

MessageAnswer ScriptedDialogsFake::showMessage(const MessageRequest &request) {
    messages_.push_back(request);
    if (onMessage) onMessage(request);
    if (answers_.empty() || answers_.front().forInput) {
        ADD_FAILURE() << "Unexpected message box \"" << request.title << "\": " << request.text;
        return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
    }
    MessageAnswer a = answers_.front().message;
    answers_.pop_front();
    if (request.buttons == MessageButtons::Ok && a != MessageAnswer::Ok)
        ADD_FAILURE() << "Message box \"" << request.title << "\" offers only OK";
    return a;
}

std::optional<std::string> ScriptedDialogsFake::showInput(const InputRequest &request) {
    inputs_.push_back(request);
    if (answers_.empty() || !answers_.front().forInput) {
        ADD_FAILURE() << "Unexpected input box \"" << request.title << "\": " << request.prompt;
        return std::nullopt;
    }
    std::optional<std::string> text = answers_.front().text;
    answers_.pop_front();
    return text;
}

} // namespace vandorix::testing
