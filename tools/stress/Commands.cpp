// The commands vandorix-stress runs: vandorix-replay started on a script, killed when asked.
#include "Stress.h"

#include "store/AtomicFile.h"

#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace stress {
namespace {

std::string twoDigits(unsigned v) {
    return (v < 10 ? "0" : "") + std::to_string(v);
}

} // namespace

const char *kindName(Kind k) {
    // In the order of `Kind`.
    static constexpr const char *kNames[] = {"vétel",     "eladás",    "befizetés",
                                             "sortörlés", "arhiválás", "visszavonás"};
    return kNames[static_cast<int>(k)];
}

fs::path ownFolder() {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::current_path() : self.parent_path();
}

Run replay(const fs::path &root, const fs::path &work, const std::string &script,
           std::optional<std::chrono::microseconds> killAfter) {
    const fs::path scriptPath = work / "script.txt";
    const fs::path outPath = work / "output.txt";
    std::ofstream(scriptPath) << script;
    const fs::path tool = root / vandorix::install::kProgramFolder / "vandorix-replay";
    auto start = std::chrono::steady_clock::now();
    pid_t child = ::fork();
    if (child < 0)
        throw std::runtime_error("fork");
    if (child == 0) {
        int fd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd >= 0) {
            ::dup2(fd, 1);
            ::dup2(fd, 2);
        }
        ::execl(tool.c_str(), "vandorix-replay", "--today", kToday, scriptPath.c_str(),
                static_cast<char *>(nullptr));
        ::_exit(127);
    }
    Run run;
    int status = 0;
    if (killAfter) {
        ::usleep(static_cast<useconds_t>(killAfter->count()));
        if (::waitpid(child, &status, WNOHANG) == 0) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            run.killed = true;
        }
    } else {
        ::waitpid(child, &status, 0);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!run.killed)
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.output = vandorix::readWholeFile(outPath);
    return run;
}

std::string dateOfRound(int round) {
    using namespace std::chrono;
    year_month_day d{sys_days(year{2025} / January / 1) + days(round / 2)};
    return std::to_string(static_cast<int>(d.year())) + "." +
           twoDigits(static_cast<unsigned>(d.month())) + "." +
           twoDigits(static_cast<unsigned>(d.day()));
}

std::string tradeFields(const std::string &date, int quantity, int price, int code) {
    return "type Text1 " + date + "\ntype Text2 " + std::to_string(quantity) + "\ntype Text3 " +
           std::to_string(price) + "\ntype Text4 0\ntype Text5 " + std::to_string(code) +
           "\ntype Text6 " + std::to_string(code) + "\nclick Command1\ninput " +
           std::to_string(price) + "\n";
}

std::string purchaseScript(const std::string &share, const std::string &date, int quantity, int price,
                           long long code) {
    return "menu Befektetés/Részvény/Vétel\nchoose Combo1 " + share + "\n" +
           tradeFields(date, quantity, price, static_cast<int>(code));
}

std::string saleScript(const std::string &share, const std::string &date, int quantity, int price,
                       long long code) {
    return "menu Befektetés/Részvény/Eladás\nchoose Combo1 FIFO.Legkorábbiak\nchoose Combo2 " + share +
           "\n" + tradeFields(date, quantity, price, static_cast<int>(code));
}

std::string depositScript(const std::string &date, long long amount, long long code) {
    return "menu Befektetés/Befektetési számla/Befizetés\ntype Text1 " + date + "\ntype Text2 " +
           std::to_string(amount) + "\ntype Text3 " + std::to_string(code) + "\nclick Command1\n";
}

std::string deletionScript(long long code) {
    return "menu Befektetés/Karbantartás/Adatsor törlés\ntype Text1 " + std::to_string(code) +
           "\nanswer Yes\nclick Command1\n";
}

std::string registerScript(const std::string &share, const std::string &isin) {
    return "menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\ntype Text1 " + share +
           "\ntype Text2 " + isin + "\nclick Command1\nclick Command4\n";
}

std::string archiveScript(const std::string &share) {
    return "menu Befektetés/Részvény/Alapadatok\nchoose Combo1 " + share + "\nclick Command2\n";
}

std::string undoScript() {
    return "menu Befektetés/Karbantartás/Utolsó művelet visszavonása\nanswer Yes\nanswer OK\n";
}

} // namespace stress
