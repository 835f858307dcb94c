#pragma once

#include "app/Application.h"
#include "support/ScriptedDialogsFake.h"
#include "support/TestInstallation.h"

#include <functional>
#include <string>

namespace vandorix::testing {

// A fresh installation with the program running in this process, driven by scripts in the
// language of vandorix-replay (menu, type, set, leave, click, choose; answer, input and
// input-cancel lines answer the dialogs of the action above them). After every action the
// given check runs, so a test can look at the files as each command left them.
class InProcessSession {
public:
    explicit InProcessSession(Date today = *Date::fromYmd(2026, 12, 6));

    TestInstallation &installation() { return inst_; }
    Application &app() { return app_; }
    ScriptedDialogsFake &dialogs() { return dialogs_; }

    // Runs the script; an action that fails or an answer no dialog took fails the test.
    // `afterEach` receives the script line of the action just run.
    void run(const std::string &script,
             const std::function<void(const std::string &line)> &afterEach = {});

    // The titles and texts of the dialogs shown so far, "title|text" each.
    std::vector<std::string> shown() const;

private:
    TestInstallation inst_;
    ScriptedDialogsFake dialogs_;
    Application app_;
};

} // namespace vandorix::testing
