#include "app/Script.h"
#include "app/Application.h"

#include <istream>
#include <set>
#include <sstream>

namespace vandorix {

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
        line.text = rest.substr(start);
        line.verb = firstWord(rest);
        if (!kVerbs.count(line.verb))
            throw ScriptError("ismeretlen utasítás: " + line.verb + " (" +
                              std::to_string(number) + ". sor)");
        if (kActionsWithControl.count(line.verb) || line.verb == "answer") {
            line.control = firstWord(rest);
            if (line.control.empty())
                throw ScriptError("hiányzik a vezérlő vagy a válasz (" + std::to_string(number) +
                                  ". sor)");
        }
        line.argument = rest;
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> SplitMenuPath(const std::string &path) {
    std::vector<std::string> parts;
    std::stringstream in(path);
    std::string part;
    while (std::getline(in, part, '/')) parts.push_back(part);
    return parts;
}

bool PerformWindowAction(Application &app, const ScriptLine &line) {
    if (line.verb == "menu") app.clickMenu(SplitMenuPath(line.argument));
    else if (line.verb == "click") app.click(line.control);
    else if (line.verb == "type") app.type(line.control, line.argument);
    else if (line.verb == "set") app.setText(line.control, line.argument);
    else if (line.verb == "leave") app.leave(line.control);
    else if (line.verb == "choose") app.choose(line.control, line.argument);
    else return false;
    return true;
}

} // namespace vandorix
