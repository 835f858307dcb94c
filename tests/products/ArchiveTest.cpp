// Archiving a sold-out share with "Törlés" of the register window through vandorix-replay: the
// refusals, the archive rows worked out from the entered trades and prices, the numbered
// archive files; then the archiving killed at random moments.
#include "ProductInstallation.h"
#include "reports/ReportSession.h"

#include "app/Application.h"
#include "store/CommitJournal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>

namespace vandorix::testing {
namespace {

namespace fs = std::filesystem;

const std::string kRegister = "menu Befektetés/Részvény/Alapadatok\n";

std::string ArchiveScript(const std::string &name) {
    return kRegister + "choose Combo1 " + name + "\nclick Command2\n";
}

// One share's entries, as script lines for the windows and in a model of their figures.
struct Share {
    explicit Share(std::string n) : name(std::move(n)) {}
    std::string name;
    ReportModel model;
    std::string script;

    void trade(bool buy, Date d, int quantity, const char *price, const char *commission,
               int code) {
        const TradeEntry entry{Typed(d), quantity, price, commission, code, code};
        script += buy ? Purchase(entry, "", name) : Sale(entry, "FIFO", "", name);
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
    ArchiveRow row{
        lastPriceDay, m.result(lastPriceDay), {}, m.realisedBetween(startOfYear, lastPriceDay)};
    row.year = row.total;
    if (m.priceDay(startOfYear.addDays(-1))) // priced before the year began
        row.year = row.total - m.result(*m.priceDay(startOfYear));
    return row;
}

struct Installation : ProductInstallation {
    // An archiving that succeeds shows nothing.
    void archiveShare(const std::string &name, const char *today) {
        EXPECT_EQ(run(ArchiveScript(name), today), "");
    }
    // The script shows `shown` and changes no file; the main window is reached afterwards.
    void expectRefused(const std::string &script, const std::string &shown, const char *today) {
        const auto before = DataFiles(root());
        EXPECT_EQ(run(script + kRegister + "click Command4\n", today), shown);
        EXPECT_EQ(DataFiles(root()), before);
    }
    // The names in the value and the result sheets are `listed`.
    void expectListed(const std::vector<std::string> &listed) const {
        for (const char *sheet : {"Ertek01", "Eredmeny01"})
            EXPECT_EQ(Column(inst.accountWorkbook(), sheet, 1, 6), listed) << sheet;
    }
};

void ExpectArchiveRow(const Sheet &s, int r, const ArchiveRow &e, const std::string &name,
                      Currency cumulative) {
    SCOPED_TRACE("ARHIV01 row " + std::to_string(r));
    ExpectCells(s, {{r, 1, e.day},
                    {r, 2, cumulative},
                    {r, 3, e.total},
                    {r, 4, e.realised},
                    {r, 5, name},
                    {r, 7, e.year}});
}

TEST(ProductArchive, SoldOutSharesMoveToTheArchiveWithTheirResultsAndRefusalsChangeNothing) {
    Installation t;
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
    t.expectRefused(ArchiveScript("Béta") + "answer OK\n", refused, "2026-02-10");
    // Sold out by its totals row, yet without a sale row to date it: refused as well.
    const std::string betaBytes = FileBytes(t.product("Béta"));
    EditWorkbookFile(t.product("Béta"), [](Workbook &wb) {
        Sheet &trades = wb.sheet("Szla");
        trades.setValue(static_cast<int>(*trades.value(2, 19).integer()), 18, 0);
    });
    t.expectRefused(ArchiveScript("Béta") + "answer OK\n",
                    "Kilépés\nA termékről nincs eladás rögzítve.\nNem lehet arhiválni !\n",
                    "2026-02-10");
    std::ofstream(t.product("Béta"), std::ios::binary) << betaBytes;
    t.expectRefused(ArchiveScript("Alfa") + "answer OK\n", tooEarly, "2026-02-10");

    // The archive file cannot be written (its staging name is taken by a folder): the command
    // fails as a whole with the failure notice, every file as it was.
    fs::create_directories(t.archive("Alfa1.xls.vdx-new") / "akadály");
    const auto before = DataFiles(t.root());
    const std::string failed =
        t.run(ArchiveScript("Alfa") + "answer OK\n" + kRegister + "click Command4\n", "2026-02-11");
    EXPECT_NE(failed.find("Alfa1.xls.vdx-new"), std::string::npos) << failed;
    EXPECT_NE(failed.find("a fájlokba ebből a műveletből semmi sem került"), std::string::npos);
    EXPECT_EQ(DataFiles(t.root()), before);
    fs::remove_all(t.archive("Alfa1.xls.vdx-new"));

    // The day after the last sale Alfa goes, stored as it was, to "Arhiv" as "Alfa1".
    const std::string alfaBytes = FileBytes(t.product());
    t.archiveShare("Alfa", "2026-02-11");
    EXPECT_FALSE(fs::exists(t.product()));
    EXPECT_EQ(FileBytes(t.archive("Alfa1.xls")), alfaBytes);
    const ArchiveRow alfa1 = Expected(alfa.model, Day(2026, 2, 10));
    EXPECT_EQ(alfa1.total, Amount("7000")); // 71700 + 35800 − 100500
    EXPECT_EQ(alfa1.year, Amount("-2500")); // 7000 − (110000 − 100500) at the year's start
    t.expectListed({"Béta", "Gamma"});
    // Gone from the lists read from "Ertek01", still offered by the register, whose "Törlés"
    // now finds no active workbook and keeps the window for another choice.
    ReplayRun closing =
        t.inst.replay("menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 Alfa\n", "2026-02-11");
    EXPECT_EQ(closing.exitCode, 1);
    EXPECT_NE(closing.output.find("A listában nincs ilyen elem: Alfa"), std::string::npos);
    t.expectRefused(ArchiveScript("Alfa") + "answer OK\nchoose Combo1 Gamma\nclick Command2\n"
                                            "answer OK\n",
                    "Kiléptetés\nNincs ilyen aktív termék.\nVisszatérés a főmenübe.\n"
                    "Kilépés\nÜres fájlt nem lehet arhiválni. \n",
                    "2026-02-11");

    // Béta partly sold: both reasons are told.
    beta.trade(false, Day(2026, 2, 20), 4, "5600", "50", 202);
    t.run(beta.take(), "2026-02-20");
    t.expectRefused(ArchiveScript("Béta") + "answer OK\nanswer OK\n", refused + tooEarly,
                    "2026-02-20");
    beta.trade(false, Day(2026, 2, 20), 6, "5600", "70", 203);
    t.run(beta.take(), "2026-02-20");
    // Every numbered name taken ("Béta1.xls" a folder): refused, nothing written.
    fs::create_directory(t.archive("Béta1.xls"));
    for (int n = 2; n <= 100; ++n)
        std::ofstream(t.archive("Béta" + std::to_string(n) + ".xls"));
    t.expectRefused(ArchiveScript("Béta") + "answer OK\n",
                    "Kilépés\nNincs szabad archív fájlnév:\nBéta1 … Béta100 mind foglalt.\n"
                    "Nem lehet arhiválni !\n",
                    "2026-02-21");
    for (int n = 2; n <= 100; ++n)
        fs::remove(t.archive("Béta" + std::to_string(n) + ".xls"));
    t.archiveShare("Béta", "2026-02-21");
    EXPECT_TRUE(fs::is_directory(t.archive("Béta1.xls")));
    EXPECT_TRUE(fs::is_regular_file(t.archive("Béta2.xls")));
    const ArchiveRow beta1 = Expected(beta.model, Day(2026, 2, 20));

    // Alfa registered, traded and sold out again: archived as "Alfa2".
    Share alfaAgain{"Alfa"};
    alfaAgain.trade(true, Day(2026, 3, 2), 20, "800", "50", 301);
    alfaAgain.trade(false, Day(2026, 3, 3), 20, "850", "60", 302);
    t.run(kRegister + "choose Combo1 Alfa\nclick Command1\nclick Command4\n" + alfaAgain.take(),
          "2026-03-03");
    t.archiveShare("Alfa", "2026-03-04");
    EXPECT_TRUE(fs::is_regular_file(t.archive("Alfa2.xls")));
    EXPECT_FALSE(fs::exists(t.product()));
    const ArchiveRow alfa2 = Expected(alfaAgain.model, Day(2026, 3, 3));

    auto wb = ReadWorkbookFile(t.inst.accountWorkbook());
    const Sheet &a = wb->sheet("ARHIV01");
    ExpectArchiveRow(a, 5, alfa1, "Alfa", alfa1.total);
    ExpectArchiveRow(a, 6, beta1, "Béta", alfa1.total + beta1.total);
    ExpectArchiveRow(a, 7, alfa2, "Alfa", alfa1.total + beta1.total + alfa2.total);
    EXPECT_TRUE(a.value(8, 1).isBlank());
    EXPECT_EQ(Text(a, 2, 1), "2026. 02. 10. től 2026. 03. 03. -ig");
    EXPECT_EQ(Int(a, 2, 8), 7);
    t.expectListed({"Gamma"});
}

// Archives the sold-out "Alfa" in a child process that is killed `delayUs` after "Törlés" is
// pressed (never when negative); returns how long the child ran after the press.
std::chrono::microseconds ArchiveInChild(const fs::path &program, long delayUs) {
    return RunInChildKilledAfter(delayUs, [&](const std::function<void()> &pressed) {
        struct : Dialogs {
            MessageAnswer showMessage(const MessageRequest &) override { ::_exit(4); }
            std::optional<std::string> showInput(const InputRequest &) override { ::_exit(4); }
        } silent;
        Application app(silent, StartupEnvironment{program, Day(2026, 2, 4)});
        app.start();
        app.clickMenu({"Befektetés", "Részvény", "Alapadatok"});
        app.choose("Combo1", "Alfa");
        pressed();
        app.click("Command2");
    });
}

TEST(ProductArchive, KilledAtAnyMomentTheShareIsFoundStillActiveOrWhollyArchived) {
    Installation t;
    Share alfa("Alfa");
    alfa.trade(true, Day(2026, 2, 2), 100, "1000", "500", 101);
    alfa.trade(false, Day(2026, 2, 3), 100, "1100", "500", 102);
    t.run(RegisterScript("Alfa", "A1") + RegisterScript("Béta", "B1") + alfa.take(), "2026-02-03");
    const auto active = DataFiles(t.root());
    const auto taken = ArchiveInChild(t.inst.programFolder(), -1);
    const auto archived = DataFiles(t.root());
    ASSERT_EQ(archived.count("Termekek/Alfa.xls"), 0u);
    ASSERT_EQ(archived.at("Arhiv/Alfa1.xls"), active.at("Termekek/Alfa.xls"));

    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delayUs(0, taken.count() * 3 / 2);
    for (int round = 0; round < 40; ++round) {
        RestoreDataFiles(t.root(), active);
        ArchiveInChild(t.inst.programFolder(), delayUs(random));
        // The next start finishes or drops the interrupted command.
        ReplayRun start = t.inst.replay("", "2026-02-04");
        ASSERT_EQ(start.exitCode, 0) << start.output;
        const auto now = DataFiles(t.root());
        ASSERT_TRUE(now == active || now == archived) << "round " << round << ": a state between";
        ASSERT_FALSE(fs::exists(CommitJournal::journalPath(t.root()))) << "round " << round;
    }
}

} // namespace
} // namespace vandorix::testing
