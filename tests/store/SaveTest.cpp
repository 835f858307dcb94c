#include "store/AtomicFile.h"
#include "store/CommitJournal.h"
#include "store/DataFolderLock.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "store/SpreadsheetHost.h"
#include "support/ProductFiles.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string>
#include <stdexcept>
#include <sys/resource.h>
#include <vector>

namespace vandorix {
namespace {
namespace fs = std::filesystem;

// A workbook whose A1 on sheet "Lap" carries `marker`, long enough that a save takes a while.
std::string workbookBytes(const std::string &path, int marker) {
    Workbook wb(path);
    Sheet &s = wb.addSheet("Lap");
    s.setValue(1, 1, marker);
    for (int r = 2; r <= 50; ++r) {
        s.setValue(r, 1, "sor " + std::to_string(r));
        s.setValue(r, 2, Currency::fromRaw(r * 12345));
    }
    return encodeWorkbook(wb);
}

int markerOf(const fs::path &path) {
    auto marker = testing::ReadWorkbookFile(path)->sheet("Lap").value(1, 1).integer();
    return marker ? static_cast<int>(*marker) : -1;
}

std::vector<std::string> folderEntries(const fs::path &folder) {
    std::vector<std::string> names;
    for (auto &e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const std::vector<std::string> kBoth = {"Alfa.xls", "Befszla.xls"};
const std::vector<std::string> kDataOnly = {"Torzs"}; // in the root: no journal, no temporary

// Two workbooks in "Torzs" of a fresh root that holds the journal, and a host to open them.
class SaveFolders : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "vandorix-save-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root_ = pattern;
        data_ = root_ / "Torzs";
        fs::create_directories(data_);
        a_ = data_ / "Befszla.xls";
        b_ = data_ / "Alfa.xls";
        writeFileAtomically(a_, workbookBytes(a_.string(), 0));
        writeFileAtomically(b_, workbookBytes(b_.string(), 0));
        host_.setJournalFolder(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path root_, data_, a_, b_;
    SpreadsheetHost host_;
};

TEST_F(SaveFolders, RecoveryThatCannotFinishACommitChangesNothingAndStrayFilesGo) {
    // A journal naming a file neither staged nor there, beside one it could finish; one cut short.
    writeFileDurably(CommitJournal::stagingPath(a_), workbookBytes(a_.string(), 3));
    for (const std::string &journal : {std::string("Torzs/Befszla.xls\nElveszett/Gamma.xls\nEND\n"),
                                      std::string("Torzs/Befszla.xls\n")}) {
        writeFileAtomically(CommitJournal::journalPath(root_), journal);
        try {
            CommitJournal::recover(root_, {data_});
            ADD_FAILURE() << "recovery reported success";
        } catch (const UnfinishedCommitError &e) {
            EXPECT_NE(std::string(e.what()).find("semmit sem változtatott"), std::string::npos)
                << e.what();
        }
        EXPECT_EQ(markerOf(a_), 0);
        EXPECT_EQ(readWholeFile(CommitJournal::journalPath(root_)), journal);
        EXPECT_EQ(markerOf(CommitJournal::stagingPath(a_)), 3) << "the staged file is kept";
    }

    // Without a journal, the staged file of a command that died before its journal and the
    // temporary file of a plain save that died before its rename are stray: removed.
    fs::remove(CommitJournal::journalPath(root_));
    const std::string before = readWholeFile(a_);
    fs::path temp = a_;
    temp += ".vdx-tmp-4242";
    writeFileDurably(temp, workbookBytes(a_.string(), 8).substr(0, 100));
    CommitJournal::recover(root_, {data_});
    EXPECT_EQ(readWholeFile(a_), before);
    EXPECT_EQ(folderEntries(data_), kBoth);
    EXPECT_EQ(folderEntries(root_), kDataOnly);
}

// A commit whose second rename fails is reported failed, yet its journal is written: the next
// command finishes it, and so does the start-up, also after the root folder was renamed.
TEST_F(SaveFolders, ACommitCutShortIsFinishedNotDroppedByTheFailedCommand) {
    const fs::path first = std::min(a_, b_), second = std::max(a_, b_);
    const std::string secondOld = readWholeFile(second);
    Workbook &a = host_.open(a_);
    Workbook &b = host_.open(b_);
    const auto failedCommand = [&](int marker) {
        fs::remove(second);
        fs::create_directories(second / "akadaly");
        host_.beginCommand();
        a.sheet("Lap").setValue(1, 1, marker);
        b.sheet("Lap").setValue(1, 1, marker);
        host_.save(a);
        host_.save(b);
        EXPECT_THROW(host_.endCommand(), SaveError);
        host_.abortCommand(); // what a failed command does
        fs::remove_all(second);
        writeFileAtomically(second, secondOld);
        EXPECT_EQ(markerOf(first), marker);
        EXPECT_EQ(markerOf(second), 0);
    };
    failedCommand(6);
    host_.beginCommand(); // the next command finishes the commit first
    host_.endCommand();
    EXPECT_EQ(markerOf(a_), 6);
    EXPECT_EQ(markerOf(b_), 6);
    EXPECT_FALSE(fs::exists(CommitJournal::journalPath(root_)));
    EXPECT_EQ(folderEntries(data_), kBoth);

    failedCommand(7);
    EXPECT_EQ(readWholeFile(CommitJournal::journalPath(root_)).find(root_.string()),
              std::string::npos)
        << "the journal names its files relative to the root";
    const fs::path moved = root_.string() + "1";
    fs::rename(root_, moved);
    root_ = moved; // removed at the end
    for (int startUp = 0; startUp < 2; ++startUp) { // the second finds nothing to do
        CommitJournal::recover(moved, {moved / "Torzs"});
        EXPECT_EQ(markerOf(moved / "Torzs" / a_.filename()), 7);
        EXPECT_EQ(markerOf(moved / "Torzs" / b_.filename()), 7);
        EXPECT_FALSE(fs::exists(CommitJournal::journalPath(moved)));
        EXPECT_EQ(folderEntries(moved / "Torzs"), kBoth);
    }
}

TEST_F(SaveFolders, ASaveCutShortByAFullDiskLeavesNoStagedFileAndASecondLockIsRefused) {
    // A command's second workbook hits the file size limit as on a full disk; status 0 if refused.
    testing::RunInChildKilledAfter(-1, [&](const std::function<void()> &started) {
        started();
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit{1 << 16, 1 << 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::mt19937 random(7);
        std::string noise(1 << 18, ' ');
        for (char &c : noise) c = static_cast<char>('a' + random() % 26);
        Workbook &a = host_.open(a_);
        Workbook &b = host_.open(b_);
        host_.beginCommand();
        try {
            a.sheet("Lap").setValue(1, 1, 9);
            host_.save(a);
            b.sheet("Lap").setValue(1, 1, noise);
            host_.save(b);
        } catch (const SaveError &) {
            host_.abortCommand();
            return;
        }
        throw std::logic_error("saved beyond the file size limit");
    });
    EXPECT_EQ(folderEntries(data_), kBoth);
    EXPECT_EQ(markerOf(a_), 0);

    // A second lock (in process, "másik példánya" is Startup.AMissingFolderAWrong...'s).
    {
        DataFolderLock first(root_);
        DataFolderLock other(data_); // another folder is not locked
        // The root itself is locked: deleting the lock file lets no second copy in either.
        fs::remove(root_ / ".vandorix.lock");
        EXPECT_THROW(DataFolderLock second(root_), DataLockedError);
    }
    DataFolderLock held(root_); // released with the first
    // Another process is refused with a message naming the folder (the child's status 0).
    testing::RunInChildKilledAfter(-1, [&](const std::function<void()> &started) {
        started();
        try {
            DataFolderLock second(root_);
        } catch (const DataLockedError &e) {
            if (std::string(e.what()).find(root_.string()) != std::string::npos) return;
        }
        throw std::logic_error("the child got the lock, or a message without the folder");
    });
}

TEST_F(SaveFolders, MoveIsRefusedWholeOrFinishedAtStartUpNeverLeftHalfDone) {
    const fs::path archive = root_ / "Arhiv";
    const std::string aOld = readWholeFile(a_), bOld = readWholeFile(b_);
    Workbook &a = host_.open(a_);
    a.sheet("Lap").setValue(1, 1, 9);

    // The destination folder does not exist: the move fails while the command runs.
    host_.beginCommand();
    host_.save(a);
    EXPECT_THROW(host_.moveFile(b_, archive / "Alfa1.xls"), SaveError);
    host_.abortCommand();
    EXPECT_EQ(readWholeFile(a_), aOld);
    // The file to move vanishes before the command ends: refused before the journal.
    fs::create_directories(archive);
    host_.beginCommand();
    host_.save(a);
    host_.moveFile(b_, archive / "Alfa1.xls");
    EXPECT_THROW(host_.open(b_), FileMissingError) << "a moved file is gone for its command";
    fs::rename(b_, root_ / "elteve.xls");
    EXPECT_THROW(host_.endCommand(), SaveError);
    host_.abortCommand();
    EXPECT_EQ(readWholeFile(a_), aOld);
    EXPECT_EQ(folderEntries(data_), std::vector<std::string>{"Befszla.xls"});
    EXPECT_TRUE(folderEntries(archive).empty());
    EXPECT_EQ(folderEntries(root_), (std::vector<std::string>{"Arhiv", "Torzs", "elteve.xls"}));
    // Put back; the new place is taken by a folder after the move was staged, so the commit
    // stops once the old place is gone: the staged copy stays for start-up, which finishes.
    fs::rename(root_ / "elteve.xls", b_);
    host_.beginCommand();
    host_.save(a);
    host_.moveFile(b_, archive / "Alfa1.xls");
    fs::create_directory(archive / "Alfa1.xls");
    EXPECT_THROW(host_.endCommand(), SaveError);
    host_.abortCommand();
    EXPECT_FALSE(fs::exists(b_));
    fs::remove(archive / "Alfa1.xls");
    CommitJournal::recover(root_, {data_, archive});
    EXPECT_EQ(markerOf(a_), 9);
    EXPECT_EQ(readWholeFile(archive / "Alfa1.xls"), bOld);
    EXPECT_EQ(folderEntries(data_), std::vector<std::string>{"Befszla.xls"});
    EXPECT_EQ(folderEntries(archive), std::vector<std::string>{"Alfa1.xls"});
    EXPECT_EQ(folderEntries(root_), (std::vector<std::string>{"Arhiv", "Torzs"}));
}

TEST_F(SaveFolders, KilledSaverLeavesBothWorkbooksOfOneCommandAfterRecovery) {
    // The child saves both workbooks in one command, over and over, each time with the next
    // marker; it may be killed once its first command has ended.
    const auto saveForever = [&](const std::function<void()> &firstEnded) {
        Workbook &wa = host_.open(a_);
        Workbook &wb = host_.open(b_);
        int marker = static_cast<int>(*wa.sheet("Lap").value(1, 1).integer());
        for (bool first = true;; first = false) {
            ++marker;
            host_.beginCommand();
            wa.sheet("Lap").setValue(1, 1, marker);
            host_.save(wa);
            wb.sheet("Lap").setValue(1, 1, marker);
            host_.save(wb);
            host_.endCommand();
            if (first) firstEnded();
        }
    };
    std::mt19937 random(20261206);
    std::uniform_int_distribution<long> delayUs(0, 20000);
    int committed = 0; // the marker of the last command known to have ended
    for (int iteration = 0; iteration < 40; ++iteration) {
        testing::RunInChildKilledAfter(delayUs(random), saveForever);
        ++committed;
        CommitJournal::recover(root_, {data_});
        int ma = markerOf(a_), mb = markerOf(b_);
        ASSERT_EQ(ma, mb) << "iteration " << iteration << ": the two files of one command differ";
        ASSERT_GE(ma, committed) << "iteration " << iteration << ": an ended command was lost";
        committed = ma;
        ASSERT_EQ(folderEntries(data_), kBoth) << "iteration " << iteration;
        ASSERT_EQ(folderEntries(root_), kDataOnly) << "iteration " << iteration;
    }
}

} // namespace
} // namespace vandorix
