#include "support/InProcessScript.h"

#include "app/Script.h"

#include <gtest/gtest.h>

#include <sstream>

namespace vandorix::testing {

InProcessSession::InProcessSession(Date today)
    : app_(dialogs_, StartupEnvironment{inst_.programFolder(), today}) {
    app_.start();
}

void InProcessSession::run(const std::string &script,
                           const std::function<void(const std::string &)> &afterEach) {
    std::istringstream in(script);
    std::vector<ScriptLine> lines;
    try {
        lines = ParseScript(in);
    } catch (const ScriptError &e) {
        FAIL() << e.what();
    }
    for (std::size_t i = 0; i < lines.size();) {
        const ScriptLine action = lines[i++];
        ASSERT_FALSE(action.isAnswer()) << "an answer without an action: " << action.text;
        while (i < lines.size() && lines[i].isAnswer()) {
            const ScriptLine &a = lines[i++];
            if (a.verb == "input") dialogs_.input(a.argument);
            else if (a.verb == "input-cancel") dialogs_.cancelInput();
            else dialogs_.answer(a.control == "Yes"  ? MessageAnswer::Yes
                                 : a.control == "No" ? MessageAnswer::No
                                                     : MessageAnswer::Ok);
        }
        try {
            if (action.verb == "menu") app_.clickMenu(SplitMenuPath(action.argument));
            else if (action.verb == "click") app_.click(action.control);
            else if (action.verb == "type") app_.type(action.control, action.argument);
            else if (action.verb == "set") app_.setText(action.control, action.argument);
            else if (action.verb == "leave") app_.leave(action.control);
            else if (action.verb == "choose") app_.choose(action.control, action.argument);
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
