#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace vandorix {

class Application;

// One line of a script that drives the windows: an action ("menu", "click", "type", …) or an
// answer to a dialog ("answer", "input", "input-cancel").
struct ScriptLine {
    int number = 0;
    std::string text;     // the line as written, without its surrounding blanks
    std::string verb;
    std::string control;  // the control of an action, the answer of "answer"
    std::string argument; // the rest of the line

    bool isAnswer() const { return verb == "answer" || verb == "input" || verb == "input-cancel"; }
};

// A line that is no script line; the message names the line in Hungarian.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Splits a script into lines, skipping blank lines and "#" comments; throws `ScriptError` on
// an unknown verb or an action without its control.
std::vector<ScriptLine> ParseScript(std::istream &in);

// "Befektetés/Részvény/Vétel" as the captions of the menu path.
std::vector<std::string> SplitMenuPath(const std::string &path);

// Carries out a window action of a script on the application: "menu", "click", "type", "set",
// "leave" or "choose". Returns false, touching nothing, for any other verb, so a driver can
// add actions of its own.
bool PerformWindowAction(Application &app, const ScriptLine &line);

} // namespace vandorix
