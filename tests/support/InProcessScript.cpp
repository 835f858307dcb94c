#include "support/InProcessScript.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vandorix::testing {

namespace {

std::vector<std::string> splitPath(const std::string &path) {
    std::vector<std::string> parts;
    std::stringstream in(path);
    std::string part;
    while (std::getline(in, part, '/')) parts.push_back(part);
    return parts;
}

struct Line {
    std::string text, verb, control, rest;
};

Line parse(const std::string &raw) {
    Line l;
    l.text = raw;
    std::istringstream in(raw);
    in >> l.verb;
    if (l.verb != "menu" && l.verb != "input") in >> l.control;
    std::getline(in, l.rest);
    if (!l.rest.empty() && l.rest.front() == ' ') l.rest.erase(0, 1);
    return l;
}

bool isAnswer(const Line &l) {
    return l.verb == "answer" || l.verb == "input" || l.verb == "input-cancel";
}

} // namespace

InProcessSession::InProcessSession(Date today)
    : app_(dialogs_, StartupEnvironment{inst_.programFolder(), today}) {
    app_.start();
}

void InProcessSession::run(const std::string &script,
                           const std::function<void(const std::string &)> &afterEach) {
    std::vector<Line> lines;
    std::istringstream in(script);
    std::string raw;
    while (std::getline(in, raw)) {
        std::size_t start = raw.find_first_not_of(" \t");
        if (start == std::string::npos || raw[start] == '#') continue;
        lines.push_back(parse(raw.substr(start)));
    }
    for (std::size_t i = 0; i < lines.size();) {
        const Line action = lines[i++];
        ASSERT_FALSE(isAnswer(action)) << "an answer without an action: " << action.text;
        while (i < lines.size() && isAnswer(lines[i])) {
            const Line &a = lines[i++];
            if (a.verb == "input") dialogs_.input(a.rest);
            else if (a.verb == "input-cancel") dialogs_.cancelInput();
            else dialogs_.answer(a.control == "Yes"  ? MessageAnswer::Yes
                                 : a.control == "No" ? MessageAnswer::No
                                                     : MessageAnswer::Ok);
        }
        try {
            if (action.verb == "menu") app_.clickMenu(splitPath(action.rest));
            else if (action.verb == "click") app_.click(action.control);
            else if (action.verb == "type") app_.type(action.control, action.rest);
            else if (action.verb == "set") app_.setText(action.control, action.rest);
            else if (action.verb == "leave") app_.leave(action.control);
            else if (action.verb == "choose") app_.choose(action.control, action.rest);
            else FAIL() << "unknown verb: " << action.text;
        } catch (const ActionError &e) {
            FAIL() << action.text << ": " << e.what();
        }
        ASSERT_TRUE(dialogs_.allAnswersTaken()) << "an answer no dialog took after: " << action.text;
        if (afterEach) afterEach(action.text);
    }
}

std::vector<std::string> InProcessSession::shown() const {
    std::vector<std::string> out;
    for (const MessageRequest &m : dialogs_.messages()) out.push_back(m.title + "|" + m.text);
    return out;
}

} // namespace vandorix::testing
