#pragma once

#include "app/Dialogs.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vandorix::testing {

// Answers dialogs from a queue of expected answers and records every dialog shown. A dialog
// with no answer left fails the test; it is answered OK (or No, or cancelled) so the program
// goes on.
class ScriptedDialogsFake : public Dialogs {
public:
    void answer(MessageAnswer a) { answers_.push_back(Answer{a, std::nullopt, false}); }
    void input(std::string text) { answers_.push_back(Answer{MessageAnswer::Ok, text, true}); }
    void cancelInput() { answers_.push_back(Answer{MessageAnswer::Ok, std::nullopt, true}); }

    MessageAnswer showMessage(const MessageRequest &request) override {
        messages_.push_back(request);
        if (onMessage) onMessage(request);
        if (answers_.empty() || answers_.front().forInput) {
            ADD_FAILURE() << "Unexpected message box \"" << request.title << "\": " << request.text;
            return request.buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::No;
        }
        const MessageAnswer a = next().message;
        if (request.buttons == MessageButtons::Ok && a != MessageAnswer::Ok)
            ADD_FAILURE() << "Message box \"" << request.title << "\" offers only OK";
        return a;
    }

    std::optional<std::string> showInput(const InputRequest &request) override {
        inputs_.push_back(request);
        if (!answers_.empty() && answers_.front().forInput) return next().text;
        ADD_FAILURE() << "Unexpected input box \"" << request.title << "\": " << request.prompt;
        return std::nullopt;
    }

    const std::vector<MessageRequest> &messages() const { return messages_; }
    const std::vector<InputRequest> &inputs() const { return inputs_; }
    bool allAnswersTaken() const { return answers_.empty(); }

    // Runs before each message box is answered, so a test can look at what is on screen.
    std::function<void(const MessageRequest &)> onMessage;

private:
    struct Answer {
        MessageAnswer message;
        std::optional<std::string> text;
        bool forInput;
    };
    Answer next() {
        Answer a = answers_.front();
        answers_.pop_front();
        return a;
    }
    std::deque<Answer> answers_;
    std::vector<MessageRequest> messages_;
    std::vector<InputRequest> inputs_;
};

} // namespace vandorix::testing
