// Archiving a sold-out share with "Törlés" of the register window, driven through
// vandorix-replay in a fresh installation: the refusals, the archive rows worked out from the
// entered trades and prices, the numbered archive files, and the result report reading them.
// Then the archiving command killed at random moments: the installation is found either
// untouched or wholly archived.
#include "reports/ReportSession.h"

#include "app/Application.h"
#include "store/CommitJournal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

namespace vandorix::testing {
namespace {

namespace fs = std::filesystem;

const std::string kRegister = "menu Befektetés/Részvény/Alapadatok\n";

std::string ArchiveScript(const std::string &name) {
    return kRegister + "choose Combo1 " + name + "\nclick Command2\n";
}

// Every file of the four data folders, by its path below the root; the versions kept for
// undo are named by the time of their command, so they are left out.
std::map<std::string, std::string> DataFiles(const fs::path &root) {
    std::map<std::string, std::string> files;
    const fs::path kept = root / "Arhiv" / "Mentések";
    for (const char *folder : {"Torzs", "Termekek", "Seged", "Arhiv"})
        for (auto it = fs::recursive_directory_iterator(root / folder); it != fs::end(it); ++it) {
            if (it->path() == kept) it.disable_recursion_pending();
            else if (it->is_regular_file())
                files[fs::relative(it->path(), root).string()] = FileBytes(it->path());
        }
    return files;
}

// One share's entries, as script lines for the windows and in a model of their figures.
struct Share {
    explicit Share(std::string n) : name(std::move(n)) {}
    std::string name;
    ReportModel model;
    std::string script;

    void trade(bool buy, Date d, int quantity, const char *price, const char *commission, int code) {
        script += (buy ? OpenPurchase(name) : OpenSale("FIFO", name)) +
                  Fields({Typed(d), quantity, price, commission, code, code}) +
                  "click Command1\ninput " + price + "\n";
        model.trade({d, buy ? quantity : -quantity, Amount(price), Amount(commission)});
    }
    void close(Date d, const char *price) {
        script += ClosingPriceScript(Typed(d), price, name);
        model.close(d, Amount(price));
    }
    std::string take() { return std::exchange(script, {}); }
};

// What the archive row of a share must hold, from its model: the result on its last price
// day, the part of it earned since the year's start, the realised results of the year.
struct ArchiveRow {
    Date day;
    Currency total, year, realised;
};
ArchiveRow Expected(const ReportModel &m, Date lastPriceDay) {
    const Date startOfYear = Day(lastPriceDay.year(), 1, 1);
    ArchiveRow row{lastPriceDay, m.result(lastPriceDay), {}, m.realisedBetween(startOfYear, lastPriceDay)};
    row.year = row.total;
    if (m.priceDay(startOfYear.addDays(-1))) // priced before the year began
        row.year = row.total - m.result(*m.priceDay(startOfYear));
    return row;
}

class Installation {
public:
    TestInstallation inst;
    fs::path root() const { return inst.root(); }

    void run(const std::string &script, const char *today) {
        ReplayRun r = inst.replay(script, today);
        ASSERT_EQ(r.exitCode, 0) << r.output;
    }
    // An archiving that succeeds shows nothing.
    void archive(const std::string &name, const char *today) {
        ReplayRun r = inst.replay(ArchiveScript(name), today);
        ASSERT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(r.output, "");
    }
    // The script shows `shown` and changes no file; the main window is reached afterwards.
    void expectRefused(const std::string &script, const std::string &shown, const char *today) {
        const auto before = DataFiles(root());
        ReplayRun r = inst.replay(script + kRegister + "click Command4\n", today);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        EXPECT_EQ(r.output, shown);
        EXPECT_EQ(DataFiles(root()), before);
    }
    std::vector<std::string> names(const char *sheet) const {
        auto wb = ReadWorkbookFile(inst.accountWorkbook());
        std::vector<std::string> out;
        for (int r = 6; !wb->sheet(sheet).value(r, 1).isBlank(); ++r)
            out.push_back(Text(wb->sheet(sheet), r, 1));
        return out;
    }
};

void ExpectArchiveRow(const Sheet &s, int row, const ArchiveRow &e, const std::string &name,
                      Currency cumulative) {
    SCOPED_TRACE("ARHIV01 row " + std::to_string(row));
    EXPECT_EQ(s.value(row, 1).date(), e.day);
    EXPECT_EQ(Cur(s, row, 2), cumulative);
    EXPECT_EQ(Cur(s, row, 3), e.total);
    EXPECT_EQ(Cur(s, row, 4), e.realised);
    EXPECT_EQ(Text(s, row, 5), name);
    EXPECT_EQ(Cur(s, row, 7), e.year);
}

TEST(ProductArchive, SoldOutSharesMoveToTheArchiveWithTheirResultsAndRefusalsChangeNothing) {
    Installation t;
    const fs::path arhiv = t.root() / "Arhiv", termekek = t.root() / "Termekek";
    Share alfa{"Alfa"}, beta{"Béta"};
    // Alfa bought last year, sold in two parts this year; Béta bought this year.
    alfa.trade(true, Day(2025, 11, 3), 100, "1000", "500", 101);
    alfa.close(Day(2025, 12, 31), "1100");
    alfa.trade(false, Day(2026, 1, 15), 60, "1200", "300", 102);
    alfa.close(Day(2026, 1, 30), "1150");
    alfa.trade(false, Day(2026, 2, 10), 40, "900", "200", 103);
    beta.trade(true, Day(2026, 1, 20), 10, "5000", "100", 201);
    t.run(RegisterScript("Alfa", "A1") + RegisterScript("Béta", "B1") +
              RegisterScript("Gamma", "G1") + DepositScript("2025.11.01", "1000000", 1) +
              alfa.take() + beta.take(),
          "2026-02-10");

    // Each refusal in its order, then back at the main window with every file as it was.
    const std::string refused = "Kilépés\nA termékből még van darabszám.\nNem lehet arhiválni !\n";
    const std::string tooEarly = "Kilépés\nCsak az utolsó eladás napja \nután lehet arhiválni.\n";
    t.expectRefused(ArchiveScript("Gamma") + "answer OK\n",
                    "Kilépés\nÜres fájlt nem lehet arhiválni. \n", "2026-02-10");
    t.expectRefused(ArchiveScript("Béta") + "answer OK\n", refused, "2026-02-10");
    t.expectRefused(ArchiveScript("Alfa") + "answer OK\n", tooEarly, "2026-02-10");

    // The day after the last sale Alfa goes, stored as it was, to "Arhiv" as "Alfa1".
    const std::string alfaBytes = FileBytes(termekek / "Alfa.xls");
    t.archive("Alfa", "2026-02-11");
    EXPECT_FALSE(fs::exists(termekek / "Alfa.xls"));
    EXPECT_EQ(FileBytes(arhiv / "Alfa1.xls"), alfaBytes);
    const ArchiveRow alfa1 = Expected(alfa.model, Day(2026, 2, 10));
    EXPECT_EQ(alfa1.total, Amount("7000"));  // 71700 + 35800 − 100500
    EXPECT_EQ(alfa1.year, Amount("-2500"));   // 7000 − (110000 − 100500) at the year's start
    EXPECT_EQ(t.names("Ertek01"), (std::vector<std::string>{"Béta", "Gamma"}));
    EXPECT_EQ(t.names("Eredmeny01"), (std::vector<std::string>{"Béta", "Gamma"}));
    // Gone from the lists read from "Ertek01", still offered by the register, whose "Törlés"
    // now finds no active workbook and keeps the window.
    ReplayRun closing = t.inst.replay("menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 Alfa\n",
                                      "2026-02-11");
    EXPECT_EQ(closing.exitCode, 1);
    EXPECT_NE(closing.output.find("A listában nincs ilyen elem: Alfa"), std::string::npos);
    t.expectRefused(ArchiveScript("Alfa") + "answer OK\nclick Command4\n",
                    "Kiléptetés\nNincs ilyen aktív termék.\nVisszatérés a főmenübe.\n",
                    "2026-02-11");

    // Béta partly sold: both reasons are told.
    beta.trade(false, Day(2026, 2, 20), 4, "5600", "50", 202);
    t.run(beta.take(), "2026-02-20");
    t.expectRefused(ArchiveScript("Béta") + "answer OK\nanswer OK\n", refused + tooEarly,
                    "2026-02-20");
    beta.trade(false, Day(2026, 2, 20), 6, "5600", "70", 203);
    t.run(beta.take(), "2026-02-20");
    // Every numbered name taken ("Béta1.xls" a folder): refused, nothing written.
    fs::create_directory(arhiv / "Béta1.xls");
    for (int n = 2; n <= 100; ++n) std::ofstream(arhiv / ("Béta" + std::to_string(n) + ".xls"));
    t.expectRefused(ArchiveScript("Béta") + "answer OK\n",
                    "Kilépés\nNincs szabad archív fájlnév:\nBéta1 … Béta100 mind foglalt.\n"
                    "Nem lehet arhiválni !\n",
                    "2026-02-21");
    for (int n = 2; n <= 100; ++n) fs::remove(arhiv / ("Béta" + std::to_string(n) + ".xls"));
    t.archive("Béta", "2026-02-21");
    EXPECT_TRUE(fs::is_directory(arhiv / "Béta1.xls"));
    EXPECT_TRUE(fs::is_regular_file(arhiv / "Béta2.xls"));
    const ArchiveRow beta1 = Expected(beta.model, Day(2026, 2, 20));

    // Alfa registered, traded and sold out again: archived as "Alfa2".
    Share alfaAgain{"Alfa"};
    alfaAgain.trade(true, Day(2026, 3, 2), 20, "800", "50", 301);
    alfaAgain.trade(false, Day(2026, 3, 3), 20, "850", "60", 302);
    t.run(kRegister + "choose Combo1 Alfa\nclick Command1\nclick Command4\n" + alfaAgain.take(),
          "2026-03-03");
    t.archive("Alfa", "2026-03-04");
    EXPECT_TRUE(fs::is_regular_file(arhiv / "Alfa2.xls"));
    EXPECT_FALSE(fs::exists(termekek / "Alfa.xls"));
    const ArchiveRow alfa2 = Expected(alfaAgain.model, Day(2026, 3, 3));

    {
        auto wb = ReadWorkbookFile(t.inst.accountWorkbook());
        const Sheet &a = wb->sheet("ARHIV01");
        ExpectArchiveRow(a, 5, alfa1, "Alfa", alfa1.total);
        ExpectArchiveRow(a, 6, beta1, "Béta", alfa1.total + beta1.total);
        ExpectArchiveRow(a, 7, alfa2, "Alfa", alfa1.total + beta1.total + alfa2.total);
        EXPECT_TRUE(a.value(8, 1).isBlank());
        EXPECT_EQ(Text(a, 2, 1), "2026. 02. 10. től 2026. 03. 03. -ig");
        EXPECT_EQ(Int(a, 2, 8), 7);
    }
    EXPECT_EQ(t.names("Ertek01"), std::vector<std::string>{"Gamma"});

    // The result report over a period holding the last two archive rows.
    t.run("menu Befektetés/Információ/Eredmény\ntype Text1 2026.02.15\ntype Text2 2026.03.04\n"
          "click Command1\nclick Command4\n",
          "2026-03-04");
    auto wb = ReadWorkbookFile(t.inst.accountWorkbook());
    const Sheet &r = wb->sheet("Eredmeny01");
    const Currency all = alfa1.total + beta1.total + alfa2.total;
    EXPECT_EQ(Cur(r, 5, 4), all);
    EXPECT_EQ(Cur(r, 5, 7), alfa1.total);
    EXPECT_EQ(Cur(r, 5, 8), all - alfa1.total);
    EXPECT_EQ(Cur(r, 5, 9), beta1.year + alfa2.year);
    EXPECT_EQ(Cur(r, 5, 10), beta1.realised + alfa2.realised);
    EXPECT_EQ(Text(r, 6, 1), "Gamma");
}

// The archiving of one sold-out share, run in a child process that is killed at a random
// moment; each round starts again from the same installation.
class ArchiveKill : public ::testing::Test {
protected:
    Installation t;
    std::map<std::string, std::string> active; // the files before the archiving

    void SetUp() override {
        Share alfa{"Alfa"};
        alfa.trade(true, Day(2026, 2, 2), 100, "1000", "500", 101);
        alfa.trade(false, Day(2026, 2, 3), 100, "1100", "500", 102);
        t.run(RegisterScript("Alfa", "A1") + RegisterScript("Béta", "B1") + alfa.take(),
              "2026-02-03");
        active = DataFiles(t.root());
    }
    void restore() {
        for (const char *folder : {"Torzs", "Termekek", "Seged", "Arhiv"}) {
            fs::remove_all(t.root() / folder);
            fs::create_directory(t.root() / folder);
        }
        for (const auto &[path, bytes] : active) std::ofstream(t.root() / path, std::ios::binary) << bytes;
        std::error_code ec;
        fs::remove(CommitJournal::journalPath(t.root()), ec);
    }

    // Starts the program, chooses Alfa in the register and tells `ready` just before
    // "Törlés"; exits 0 when the archiving ended.
    [[noreturn]] void archiveInChild(int ready) {
        struct Silent : Dialogs {
            MessageAnswer showMessage(const MessageRequest &) override { ::_exit(4); }
            std::optional<std::string> showInput(const InputRequest &) override { ::_exit(4); }
        } dialogs;
        try {
            Application app(dialogs, StartupEnvironment{t.inst.programFolder(), Day(2026, 2, 4)});
            app.start();
            app.clickMenu({"Befektetés", "Részvény", "Alapadatok"});
            app.choose("Combo1", "Alfa");
            char c = 1;
            if (::write(ready, &c, 1) != 1) ::_exit(3);
            app.click("Command2");
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(0);
    }

    // Runs one archiving, killed `delay` after "Törlés" was pressed unless it ended before;
    // returns how long it ran.
    std::chrono::microseconds archiveKilledAfter(std::chrono::microseconds delay) {
        int fds[2];
        EXPECT_EQ(::pipe(fds), 0);
        pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            archiveInChild(fds[1]);
        }
        ::close(fds[1]);
        char c = 0;
        EXPECT_EQ(::read(fds[0], &c, 1), 1) << "the child died before the archiving";
        ::close(fds[0]);
        const auto pressed = std::chrono::steady_clock::now();
        if (delay.count() >= 0) {
            ::usleep(static_cast<useconds_t>(delay.count()));
            ::kill(child, SIGKILL);
        }
        int status = 0;
        EXPECT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
            << "status " << status;
        return std::chrono::duration_cast<std::chrono::microseconds>(
            std::chrono::steady_clock::now() - pressed);
    }

    // Start-up, which finishes or drops an interrupted command.
    void startProgram() {
        ScriptedDialogsFake dialogs;
        Application app(dialogs, StartupEnvironment{t.inst.programFolder(), Day(2026, 2, 4)});
        app.start();
        EXPECT_FALSE(app.ended());
        EXPECT_TRUE(dialogs.messages().empty());
    }
};

TEST_F(ArchiveKill, KilledArchivingLeavesTheShareEitherActiveOrWhollyArchived) {
    // The archived state, from one run that is not interrupted.
    const auto taken = archiveKilledAfter(std::chrono::microseconds(-1));
    const auto archived = DataFiles(t.root());
    ASSERT_EQ(archived.count("Arhiv/Alfa1.xls"), 1u);
    ASSERT_EQ(archived.at("Arhiv/Alfa1.xls"), active.at("Termekek/Alfa.xls"));
    ASSERT_EQ(archived.count("Termekek/Alfa.xls"), 0u);
    ASSERT_NE(archived.at("Torzs/Befszla.xls"), active.at("Torzs/Befszla.xls"));

    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delayUs(0, taken.count() * 3 / 2);
    int untouched = 0, done = 0;
    for (int round = 0; round < 40; ++round) {
        restore();
        archiveKilledAfter(std::chrono::microseconds(delayUs(random)));
        startProgram();
        const auto now = DataFiles(t.root());
        if (now == active) ++untouched;
        else if (now == archived) ++done;
        else ADD_FAILURE() << "round " << round << ": a state between the two";
        EXPECT_FALSE(fs::exists(CommitJournal::journalPath(t.root()))) << "round " << round;
    }
    RecordProperty("untouched", untouched);
    RecordProperty("archived", done);
    EXPECT_EQ(untouched + done, 40);
}

} // namespace
} // namespace vandorix::testing
