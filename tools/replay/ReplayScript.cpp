#include "ReplayScript.h"

#include <istream>
#include <ostream>
#include <set>

namespace vandorix::replay {

namespace {

const std::set<std::string> kActionsWithControl = {"choose", "type", "set", "leave", "click"};
const std::set<std::string> kVerbs = {"menu",  "choose", "type",  "set",          "leave",
                                      "click", "answer", "input", "input-cancel", "overview"};

std::string trimRight(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    return s;
}

// Splits off the first blank-separated word; the rest keeps its inner blanks.
std::string firstWord(std::string &rest) {
    std::size_t start = rest.find_first_not_of(" \t");
    if (start == std::string::npos) {
        rest.clear();
        return {};
    }
    std::size_t end = rest.find_first_of(" \t", start);
    std::string word = rest.substr(start, end == std::string::npos ? end : end - start);
    rest = end == std::string::npos ? std::string() : rest.substr(end + 1);
    return word;
}

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
    std::vector<ScriptLine> lines;
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        std::string rest = trimRight(raw);
        std::size_t start = rest.find_first_not_of(" \t");
        if (start == std::string::npos || rest[start] == '#') continue;
        ScriptLine line;
        line.number = number;
        line.verb = firstWord(rest);
        if (!kVerbs.count(line.verb))
            throw ReplayFailure{"ismeretlen utasítás: " + line.verb + " (" +
                                std::to_string(number) + ". sor)"};
        if (kActionsWithControl.count(line.verb) || line.verb == "answer") {
            line.control = firstWord(rest);
            if (line.control.empty())
                throw ReplayFailure{"hiányzik a vezérlő vagy a válasz (" +
                                    std::to_string(number) + ". sor)"};
        }
        line.argument = rest;
        lines.push_back(std::move(line));
    }
    return lines;
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
