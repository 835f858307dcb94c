#include "ReplayScript.h"

#include <istream>
#include <ostream>

namespace vandorix::replay {

namespace {

std::string showText(const std::string &text) {
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
        shown += text[i] == '\r' ? '\n' : text[i];
    }
    return shown;
}

const char *buttonsName(MessageButtons b) { return b == MessageButtons::Ok ? "OK" : "Yes/No"; }

} // namespace

std::vector<ScriptLine> ParseScript(std::istream &in) {
    try {
        return vandorix::ParseScript(in);
    } catch (const ScriptError &e) {
        throw ReplayFailure{e.what()};
    }
}

std::optional<ScriptLine> ScriptedDialogs::leftover() const {
    if (answers_.empty()) return std::nullopt;
    return answers_.front();
}

void ScriptedDialogs::fail(const std::string &message, int line) const {
    throw ReplayFailure{message + " (" + std::to_string(line) + ". sor)"};
}

ScriptLine ScriptedDialogs::next(const std::string &what) {
    if (answers_.empty())
        fail("nincs válaszsor erre: " + what, actionLine_);
    ScriptLine answer = answers_.front();
    answers_.pop_front();
    return answer;
}

MessageAnswer ScriptedDialogs::showMessage(const MessageRequest &request) {
    out_ << request.title << "\n" << showText(request.text) << "\n";
    out_.flush();
    ScriptLine a = next("üzenet \"" + request.title + "\"");
    if (a.verb != "answer") fail("üzenetre csak answer válaszolhat", a.number);
    if (request.buttons == MessageButtons::Ok) {
        if (a.control != "OK") fail("ez az üzenet csak OK gombot kínál", a.number);
        return MessageAnswer::Ok;
    }
    if (a.control == "Yes") return MessageAnswer::Yes;
    if (a.control == "No") return MessageAnswer::No;
    fail(std::string("ez az üzenet ") + buttonsName(request.buttons) + " gombokat kínál",
         a.number);
}

std::optional<std::string> ScriptedDialogs::showInput(const InputRequest &request) {
    out_ << request.title << "\n" << showText(request.prompt) << "\n";
    out_.flush();
    ScriptLine a = next("beviteli ablak \"" + request.title + "\"");
    if (a.verb == "input-cancel") return std::nullopt;
    if (a.verb != "input") fail("beviteli ablakra csak input vagy input-cancel válaszolhat",
                                a.number);
    return a.argument;
}

} // namespace vandorix::replay
