// vandorix-replay [--today YYYY-MM-DD] SCRIPT: runs the program's windows without a window
// system, from a script of user actions, one a line. Every dialog is printed as it appears.
// The line "overview" prints the investor's overview as the main window shows it: one line
// per product (name, quantity, average cost, last price, its date, value, unrealised result,
// this year's realised result, share in %), then "Befektetési számla", balance and date, then
// "Összesen", portfolio value, unrealised and this year's realised result; fields are
// separated by a tab, amounts written with a decimal comma.
// The exit code is 0 when the script ran to its end, 1 when it failed, 2 on wrong usage.

#include "ReplayScript.h"
#include "app/Application.h"
#include "reports/Overview.h"
#include "store/HostError.h"

#include <fstream>
#include <iostream>
#include <sstream>

using namespace vandorix;
using namespace vandorix::replay;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

int usage() {
    std::cerr << "Használat: vandorix-replay [--today ÉÉÉÉ-HH-NN] SZKRIPT   (- : standard bemenet)\n";
    return kExitUsage;
}

std::string dateText(const std::optional<Date> &d) { return d ? d->toString() : std::string(); }

// The investor's overview as the main window shows it: one line per product with nine
// tab-separated fields, then the cash account, then the totals.
void printOverview(Application &app) {
    Overview o;
    try {
        o = ComputeOverview(app.state());
    } catch (const HostError &e) {
        std::cout << "Az áttekintés nem készíthető el: " << e.what() << "\n";
        return;
    }
    for (const OverviewProduct &p : o.products)
        std::cout << p.name << '\t' << p.quantity << '\t' << p.averageCost.toString() << '\t'
                  << p.lastPrice.value_or(Currency()).toString() << '\t'
                  << dateText(p.lastPriceDate) << '\t' << p.value.toString() << '\t'
                  << p.unrealised.toString() << '\t' << p.realisedThisYear.toString() << '\t'
                  << p.sharePercent.toString2() << "\n";
    std::cout << "Befektetési számla\t" << o.cashBalance.toString() << '\t'
              << dateText(o.cashDate) << "\n";
    std::cout << "Összesen\t" << o.portfolioValue.toString() << '\t' << o.unrealised.toString()
              << '\t' << o.realisedThisYear.toString() << "\n";
    std::cout.flush();
}

void perform(Application &app, const ScriptLine &line) {
    if (!PerformWindowAction(app, line) && line.verb == "overview") printOverview(app);
}

int run(std::istream &script, std::optional<Date> today) {
    std::vector<ScriptLine> lines = replay::ParseScript(script);
    ScriptedDialogs dialogs(std::cout);
    Application app(dialogs, StartupEnvironment{RunningProgramFolder(), today});

    std::size_t i = 0;
    auto takeAnswers = [&] {
        std::deque<ScriptLine> answers;
        while (i < lines.size() && lines[i].isAnswer()) answers.push_back(lines[i++]);
        return answers;
    };
    auto checkNoLeftover = [&] {
        if (auto left = dialogs.leftover())
            throw ReplayFailure{"ezt a választ egy ablak sem kérte (" +
                                std::to_string(left->number) + ". sor)"};
    };

    dialogs.queue(takeAnswers(), lines.empty() ? 0 : 1);
    app.start();
    checkNoLeftover();
    while (i < lines.size()) {
        const ScriptLine &action = lines[i++];
        if (app.ended())
            throw ReplayFailure{"a program már véget ért, a szkript mégis folytatódik (" +
                                std::to_string(action.number) + ". sor)"};
        dialogs.queue(takeAnswers(), action.number);
        try {
            perform(app, action);
        } catch (const ActionError &e) {
            throw ReplayFailure{std::string(e.what()) + " (" + std::to_string(action.number) +
                                ". sor)"};
        }
        checkNoLeftover();
    }
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    std::optional<Date> today;
    std::string scriptPath;
    for (int a = 1; a < argc; ++a) {
        std::string arg = argv[a];
        if (arg == "--today" && a + 1 < argc) {
            today = Date::parse(argv[++a]);
            if (!today) return usage();
        } else if (scriptPath.empty()) {
            scriptPath = arg;
        } else {
            return usage();
        }
    }
    if (scriptPath.empty()) return usage();
    try {
        if (scriptPath == "-") return run(std::cin, today);
        std::ifstream file(scriptPath);
        if (!file) {
            std::cerr << "A szkript nem olvasható: " << scriptPath << "\n";
            return kExitFailure;
        }
        return run(file, today);
    } catch (const ReplayFailure &f) {
        std::cout.flush();
        std::cerr << "vandorix-replay: " << f.message << "\n";
        return kExitFailure;
    }
}
