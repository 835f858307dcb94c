#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>

namespace vandorix::testing {

// The result of one run of vandorix-replay.
struct ReplayRun {
    int exitCode = -1;
    std::string output; // standard output and standard error together
};

// A new installation in a temporary folder, removed at the end of the test: PARENT/<rootName>/
// with the program folder "Program", the four data folders and the new workbooks.
class TestInstallation {
public:
    explicit TestInstallation(const std::string &rootName = "Vandorix");
    ~TestInstallation();
    TestInstallation(const TestInstallation &) = delete;
    TestInstallation &operator=(const TestInstallation &) = delete;

    const std::filesystem::path &root() const { return root_; }
    std::filesystem::path programFolder() const { return root_ / "Program"; }
    std::filesystem::path accountWorkbook() const { return root_ / "Torzs" / "Befszla.xls"; }
    // Runs a script through vandorix-replay copied into the program folder, with a fixed date.
    ReplayRun replay(const std::string &script, const std::string &today = "2026-12-06") const;

private:
    std::filesystem::path parent_;
    std::filesystem::path root_;
};

// The whole content of a file, or "" when it cannot be read.
std::string FileBytes(const std::filesystem::path &path);

// Every file of the four data folders below `root` with its bytes, by its path below the root;
// the versions kept for undo (Arhiv/Mentések), named by the time of their command, left out.
std::map<std::string, std::string> DataFiles(const std::filesystem::path &root,
                                             bool withKeptVersions = false);
// Puts the four data folders back to `files` exactly (as DataFiles gave them).
void RestoreDataFiles(const std::filesystem::path &root,
                      const std::map<std::string, std::string> &files);

// Runs `body` in a child process. The child calls the function it is given at the moment from
// which it may be killed; the parent waits for that moment, kills the child `killAfterUs`
// microseconds later (never when negative) and waits for its end, which must be the kill or a
// status of 0. Returns how long the child ran from that moment.
std::chrono::microseconds RunInChildKilledAfter(
    long killAfterUs, const std::function<void(const std::function<void()> &moment)> &body);

} // namespace vandorix::testing
