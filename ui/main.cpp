// vandorix [--today YYYY-MM-DD]: the program's windows. The date option fixes the current
// date, for repeatable runs.

#include "AppWindows.h"
#include "QtDialogs.h"
#include "app/Application.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <optional>

using namespace vandorix;

namespace {

constexpr int kExitUsage = 2;

struct Options {
    std::optional<Date> today;
    bool valid = true;
};

Options readOptions(const QStringList &args) {
    Options options;
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--today") && i + 1 < args.size()) {
            const std::string text = args[++i].toStdString();
            options.today = Date::parse(text);
            if (!options.today || options.today->toIso() != text) options.valid = false;
        } else {
            options.valid = false;
        }
    }
    return options;
}

} // namespace

int main(int argc, char **argv) {
    QApplication qtApp(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vandorix"));
    // The program ends when its state says so, not when its last window is hidden.
    QApplication::setQuitOnLastWindowClosed(false);

    const Options options = readOptions(QApplication::arguments());
    if (!options.valid) {
        std::fprintf(stderr, "Használat: vandorix [--today ÉÉÉÉ-HH-NN]\n");
        return kExitUsage;
    }

    QtDialogs dialogs;
    Application app(dialogs, StartupEnvironment{RunningProgramFolder(), options.today});
    dialogs.watch(app.state());
    AppWindows windows(app);
    QObject::connect(&windows, &AppWindows::programEnded, &qtApp, &QApplication::quit,
                     Qt::QueuedConnection);
    app.start();
    if (app.ended()) return 0;
    return qtApp.exec();
}
