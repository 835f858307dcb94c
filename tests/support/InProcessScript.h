#pragma once

#include "app/Application.h"
#include "app/Script.h"
#include "support/ScriptedDialogsFake.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace vandorix::testing {

// A fresh installation with the program running in this process, driven by scripts in the
// language of vandorix-replay (menu, type, set, leave, click, choose; answer, input and
// input-cancel lines answer the dialogs of the action above them).
class InProcessSession {
public:
    explicit InProcessSession(Date today = *Date::fromYmd(2026, 12, 6))
        : app_(dialogs_, StartupEnvironment{inst_.programFolder(), today}) {
        app_.start();
    }

    TestInstallation &installation() { return inst_; }
    Application &app() { return app_; }
    ScriptedDialogsFake &dialogs() { return dialogs_; }

    // Runs the script; an action that fails or an answer no dialog took fails the test. After
    // every action `afterEach` receives its script line, so a test can look at the files as
    // each command left them.
    void run(const std::string &script,
             const std::function<void(const std::string &line)> &afterEach = {}) {
        std::istringstream in(script);
        const std::vector<ScriptLine> lines = ParseScript(in);
        for (std::size_t i = 0; i < lines.size();) {
            const ScriptLine action = lines[i++];
            ASSERT_FALSE(action.isAnswer()) << "an answer without an action: " << action.text;
            for (; i < lines.size() && lines[i].isAnswer(); ++i) queueAnswer(lines[i]);
            try {
                if (!PerformWindowAction(app_, action)) FAIL() << "unknown verb: " << action.text;
            } catch (const ActionError &e) {
                FAIL() << action.text << ": " << e.what();
            }
            ASSERT_TRUE(dialogs_.allAnswersTaken()) << "an answer left after: " << action.text;
            if (afterEach) afterEach(action.text);
        }
    }

    // The titles and texts of the dialogs shown so far, "title|text" each.
    std::vector<std::string> shown() const {
        std::vector<std::string> out;
        for (const MessageRequest &m : dialogs_.messages()) out.push_back(m.title + "|" + m.text);
        return out;
    }

private:
    void queueAnswer(const ScriptLine &a) {
        if (a.verb == "input") dialogs_.input(a.argument);
        else if (a.verb == "input-cancel") dialogs_.cancelInput();
        else if (a.control == "Yes") dialogs_.answer(MessageAnswer::Yes);
        else dialogs_.answer(a.control == "No" ? MessageAnswer::No : MessageAnswer::Ok);
    }

    TestInstallation inst_;
    ScriptedDialogsFake dialogs_;
    Application app_;
};

} // namespace vandorix::testing
