// Undoing the last commands and the one-click backup, driven from the main menu.
#include "store/CommitJournal.h"
#include "trading/TradeWindowSession.h"

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <unistd.h>

namespace vandorix::testing {
namespace {

namespace fs = std::filesystem;

const std::string kUndo = "menu Befektetés/Karbantartás/Utolsó művelet visszavonása\n";
const std::string kBackup = "menu Befektetés/Karbantartás/Biztonsági mentés\n";

fs::path UndoFolder(const fs::path &root) { return root / "Arhiv" / fs::path("Mentések"); }

std::vector<std::string> KeptCommands(const fs::path &root) {
    std::vector<std::string> names;
    for (const auto &e : fs::directory_iterator(UndoFolder(root)))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(Undo, PurchaseSaleAndDepositUndoneInReverseOrderLeaveEveryFileAsBeforeUnlessEditedByHand) {
    TradeSession t;
    const fs::path root = t.installation().root();
    t.play(DepositScript("2026.11.01", "1000000", 1));
    struct Step {
        std::string script, words;
        std::map<std::string, std::string> before = {};
    };
    std::vector<Step> steps = {
        {Purchase({"2026.11.03", 100, "1000", "500", 11, 11}),
         "Vétel: Alfa, 100 db, 2026. 11. 03."},
        {Sale({"2026.11.05", 40, "1200", "300", 12, 12}), "Eladás: Alfa, 40 db, 2026. 11. 05."},
        {DepositScript("2026.11.06", "5000", 13), "Befizetés: 5000 Ft, 2026. 11. 06."},
    };
    for (auto &s : steps) {
        s.before = DataFiles(root);
        t.play(s.script);
        if (&s != &steps.front()) continue;
        // The purchase's file edited by hand (same size, one byte different) refuses the undo,
        // naming the file; as the command left it, the file can be undone again below.
        const fs::path product = t.productFile();
        const std::string stored = FileBytes(product);
        std::string edited = stored;
        edited[edited.size() / 2] ^= 1;
        std::ofstream(product, std::ios::binary | std::ios::trunc) << edited;
        const auto files = DataFiles(root, true);
        t.run(kUndo + "answer OK\n"); // the edited file is no sound workbook any more
        EXPECT_EQ(t.shown().back(), "Felhívás|Az utolsó művelet nem vonható vissza:\r\n"
                                    "Vétel: Alfa, 100 db, 2026. 11. 03.\r\nA(z) Termekek/Alfa.xls "
                                    "fájl azóta megváltozott.\r\nSemmi sem változott.");
        EXPECT_EQ(DataFiles(root, true), files) << "the kept versions included";
        std::ofstream(product, std::ios::binary | std::ios::trunc) << stored;
    }
    // Declining changes nothing.
    const auto after = DataFiles(root);
    t.play(kUndo + "answer No\n");
    EXPECT_EQ(DataFiles(root), after);
    for (auto s = steps.rbegin(); s != steps.rend(); ++s) {
        SCOPED_TRACE(s->words);
        t.play(kUndo + "answer Yes\nanswer OK\n");
        const auto shown = t.shown();
        const std::string question = "Kérdés|Az utolsó művelet:\r\n" + s->words + "\r\n(";
        EXPECT_EQ(shown.end()[-2].rfind(question, 0), 0u) << shown.end()[-2];
        EXPECT_EQ(shown.back(), "Felhívás|Visszavonva:\r\n" + s->words);
        EXPECT_EQ(DataFiles(root), s->before);
        EXPECT_TRUE(t.atMainWindow());
    }

    // A backup offered beside the root, cancelled: nothing is written.
    const auto beside = std::distance(fs::directory_iterator(root.parent_path()), {});
    t.play(kBackup + "input-cancel\n");
    const std::string offered = t.dialogs().inputs().back().defaultText;
    EXPECT_EQ(fs::path(offered).parent_path(), root.parent_path());
    EXPECT_EQ(fs::path(offered).filename().string().rfind("Vandorix mentés 2", 0), 0u);
    EXPECT_EQ(fs::path(offered).extension(), ".zip");
    EXPECT_EQ(std::distance(fs::directory_iterator(root.parent_path()), {}), beside);
}

TEST(Undo, OnlyTheNewestFiftyCommandsAreKept) {
    InProcessSession t;
    const fs::path root = t.installation().root();
    int code = 1;
    while (!fs::exists(UndoFolder(root)) || KeptCommands(root).size() < 50)
        t.run(DepositScript("2026.11.01", "100", code++));
    ASSERT_EQ(code, 51); // one kept command per deposit
    const auto fifty = KeptCommands(root);
    t.run(DepositScript("2026.11.01", "100", code++));
    const auto kept = KeptCommands(root);
    ASSERT_EQ(kept.size(), 50u);
    EXPECT_EQ(std::vector(kept.begin(), kept.end() - 1),
              std::vector(fifty.begin() + 1, fifty.end()));

    // Where nothing can be kept, the command commits all the same and says so.
    fs::remove_all(UndoFolder(root));
    std::ofstream(UndoFolder(root)) << "nem mappa";
    const std::string ledger = FileBytes(t.installation().accountWorkbook());
    t.run(DepositScript("2026.11.01", "100", code++));
    EXPECT_NE(FileBytes(t.installation().accountWorkbook()), ledger);
    EXPECT_NE(t.app().statusLine().find(" A művelet megtörtént, de nem lesz visszavonható"),
              std::string::npos)
        << t.app().statusLine();
}

// Every member of a zip by name, read with libzip.
std::map<std::string, std::string> ZipMembers(const fs::path &file) {
    std::map<std::string, std::string> out;
    zip_t *z = zip_open(file.c_str(), ZIP_RDONLY, nullptr);
    for (zip_uint64_t i = 0; z && i < static_cast<zip_uint64_t>(zip_get_num_entries(z, 0)); ++i) {
        zip_stat_t st;
        zip_stat_index(z, i, 0, &st);
        std::string &bytes = out[st.name] = std::string(st.size, '\0');
        zip_file_t *f = zip_fopen_index(z, i, 0);
        zip_fread(f, bytes.data(), bytes.size());
        zip_fclose(f);
    }
    if (z) zip_discard(z);
    return out;
}

// Through vandorix-replay, each run a new start of the program: the undo list outlives it.
TEST(Undo, UndoneArchivingBringsTheShareBackThroughTheDriverAndTheBackupZipHoldsEveryFile) {
    TestInstallation inst;
    const fs::path root = inst.root();
    auto run = [&](const std::string &script, const char *today) {
        ReplayRun r = inst.replay(script, today);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return r.output;
    };
    EXPECT_EQ(run(kUndo + "answer OK\n", "2026-02-10"), "Felhívás\nNincs visszavonható művelet.\n");
    run(RegisterScript("Alfa", "A1") + DepositScript("2026.01.05", "1000000", 1) +
            Purchase({"2026.02.02", 100, "1000", "500", 101, 101}) +
            Sale({"2026.02.09", 100, "1100", "500", 102, 102}),
        "2026-02-09");
    const auto before = DataFiles(root);
    const std::string archive =
        "menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Alfa\nclick Command2\n";
    run(archive, "2026-02-10");
    ASSERT_TRUE(fs::exists(root / "Arhiv" / "Alfa1.xls"));
    ASSERT_FALSE(fs::exists(root / "Termekek" / "Alfa.xls"));

    const std::string shown = run(kUndo + "answer Yes\nanswer OK\n", "2026-02-10");
    EXPECT_EQ(shown.rfind("Kérdés\nAz utolsó művelet:\nArhiválás: Alfa\n(Részvény alapadatok, ",
                          0),
              0u)
        << shown;
    EXPECT_NE(shown.find("Visszavonj"), std::string::npos);
    EXPECT_NE(shown.find("Felhívás\nVisszavonva:\nArhiválás: Alfa\n"), std::string::npos) << shown;
    // The share is back in "Termekek", "ARHIV01" and every other file as before.
    EXPECT_EQ(DataFiles(root), before);
    // Archived again, it takes the same numbered name.
    run(archive, "2026-02-10");
    EXPECT_TRUE(fs::exists(root / "Arhiv" / "Alfa1.xls"));
    EXPECT_FALSE(fs::exists(root / "Arhiv" / "Alfa2.xls"));

    // The backup holds every data file byte for byte, not the kept versions.
    ASSERT_TRUE(fs::exists(UndoFolder(root)));
    const fs::path zip = root.parent_path() / fs::path("mentés 1.zip");
    const std::string backup = kBackup + "input " + zip.string() + "\nanswer OK\n";
    const std::string output = run(backup + backup, "2026-02-10");
    const auto files = DataFiles(root);
    EXPECT_EQ(output, "Biztonsági mentés\nA biztonsági mentés fájlja:\nBiztonsági mentés\n"
                      "A biztonsági mentés elkészült (" + std::to_string(files.size()) +
                      " fájl):\n" + zip.string() +
                      "\nVisszaállítás: a fájlt egy Vandorix telepítés mappájába kell "
                      "kibontani;\na Torzs, Termekek, Seged és Arhiv mappák fájljai "
                      "felülíródnak.\n"
                      // The same name again is refused and leaves the first backup alone.
                      "Biztonsági mentés\nA biztonsági mentés fájlja:\nFelhívás\nEzen a néven "
                      "már van fájl:\n" + zip.string() + "\nMentés nem készült.\n");
    EXPECT_EQ(ZipMembers(zip), files);
    EXPECT_TRUE(files.count("Torzs/Befszla.xls"));
}

// An undo run in a child process killed at a random moment after "Yes": after the next start
// the installation is as before the undo, with the command still undoable, or as after it.
TEST(Undo, KilledUndoLeavesTheFilesBeforeOrAfterIt) {
    TestInstallation inst;
    const fs::path root = inst.root();
    const ReplayRun setup =
        inst.replay(RegisterScript("Alfa", "A1") + DepositScript("2026.11.01", "1000000", 1));
    ASSERT_EQ(setup.exitCode, 0) << setup.output;
    const auto undone = DataFiles(root);
    ASSERT_EQ(inst.replay(Purchase({"2026.11.03", 100, "1000", "500", 11, 11})).exitCode, 0);
    const auto committed = DataFiles(root);
    // The whole data folders, kept versions included, to start each round from.
    const auto snapshot = DataFiles(root, true);
    // The undo in a child killed `delayUs` after its "Yes" (never when negative).
    auto undoKilledAfter = [&](long delayUs) {
        return RunInChildKilledAfter(delayUs, [&](const std::function<void()> &answered) {
            struct Answering : Dialogs {
                std::function<void()> answered;
                MessageAnswer showMessage(const MessageRequest &r) override {
                    if (r.buttons != MessageButtons::YesNo) ::_exit(0);
                    answered();
                    return MessageAnswer::Yes;
                }
                std::optional<std::string> showInput(const InputRequest &) override { ::_exit(4); }
            } dialogs;
            dialogs.answered = answered;
            Application app(dialogs, StartupEnvironment{inst.programFolder(), Day(2026, 12, 6)});
            app.start();
            app.clickMenu({"Befektetés", "Karbantartás", "Utolsó művelet visszavonása"});
            ::_exit(5);
        }).count();
    };
    const long taken = undoKilledAfter(-1);
    ASSERT_EQ(DataFiles(root), undone);
    std::mt19937 random(20261207);
    std::uniform_int_distribution<long> delay(0, taken * 3 / 2);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE(round);
        RestoreDataFiles(root, snapshot);
        fs::remove(CommitJournal::journalPath(root));
        undoKilledAfter(delay(random));
        EXPECT_EQ(inst.replay("").exitCode, 0); // the next start recovers
        EXPECT_FALSE(fs::exists(CommitJournal::journalPath(root)));
        const auto now = DataFiles(root);
        if (now == committed) { // still undoable
            ReplayRun r = inst.replay(kUndo + "answer Yes\nanswer OK\n");
            EXPECT_NE(r.output.find("Visszavonva:\nVétel: Alfa, 100 db, 2026. 11. 03."),
                      std::string::npos)
                << r.output;
            EXPECT_TRUE(DataFiles(root) == undone);
        } else {
            EXPECT_TRUE(now == undone) << "a state between the two";
        }
    }
}

} // namespace
} // namespace vandorix::testing
