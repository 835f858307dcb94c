#pragma once

#include "app/Dialogs.h"
#include "app/Script.h"

#include <deque>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace vandorix::replay {

using vandorix::ScriptLine;

// A failure of the run, naming the script line.
struct ReplayFailure {
    std::string message;
};

// Splits a script into lines; throws `ReplayFailure` on a line that is no script line.
std::vector<ScriptLine> ParseScript(std::istream &in);

// Answers the program's dialogs from the answer lines queued for the current action, printing
// every dialog as it appears: its title on one line, then its text.
class ScriptedDialogs : public Dialogs {
public:
    explicit ScriptedDialogs(std::ostream &out) : out_(out) {}

    void queue(std::deque<ScriptLine> answers, int actionLine) {
        answers_ = std::move(answers);
        actionLine_ = actionLine;
    }
    // The first answer no dialog took, if any.
    std::optional<ScriptLine> leftover() const;

    MessageAnswer showMessage(const MessageRequest &request) override;
    std::optional<std::string> showInput(const InputRequest &request) override;

private:
    ScriptLine next(const std::string &what);
    [[noreturn]] void fail(const std::string &message, int line) const;

    std::ostream &out_;
    std::deque<ScriptLine> answers_;
    int actionLine_ = 0;
};

} // namespace vandorix::replay
