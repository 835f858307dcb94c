#include "support/TestInstallation.h"

#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace vandorix::testing {

const char *const kDataFolders[] = {install::kMasterDataFolder, install::kProductsFolder,
                                    install::kAuxiliaryFolder, install::kArchiveFolder};

TestInstallation::TestInstallation(const std::string &rootName) {
    std::string pattern = (fs::temp_directory_path() / "vandorix-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    parent_ = pattern;
    root_ = parent_ / rootName;
    fs::create_directories(root_ / install::kProgramFolder);
    for (const char *folder : kDataFolders) fs::create_directories(root_ / folder);
    for (const InstallationWorkbook &entry : kInstallationWorkbooks)
        writeFileDurably(root_ / entry.folder / entry.fileName, encodeWorkbook(*entry.make()));
}

TestInstallation::~TestInstallation() {
    std::error_code ec;
    fs::remove_all(parent_, ec);
}

ReplayRun TestInstallation::replay(const std::string &script, const std::string &today) const {
    const fs::path tool = programFolder() / "vandorix-replay";
    fs::copy_file(fs::path(VANDORIX_BIN_DIR) / "vandorix-replay", tool,
                  fs::copy_options::overwrite_existing);
    const fs::path scriptPath = parent_ / "script.txt";
    std::ofstream(scriptPath) << script;
    const fs::path output = parent_ / "output.txt";
    std::ostringstream command;
    command << "'" << tool.string() << "' --today " << today << " '" << scriptPath.string()
            << "' >'" << output.string() << "' 2>&1";
    const int status = std::system(command.str().c_str());
    return ReplayRun{WIFEXITED(status) ? WEXITSTATUS(status) : -1, FileBytes(output)};
}

std::string FileBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> DataFiles(const fs::path &root, bool withKeptVersions) {
    std::map<std::string, std::string> files;
    const fs::path kept =
        withKeptVersions ? fs::path() : root / install::kArchiveFolder / "Mentések";
    for (const char *folder : kDataFolders)
        for (auto it = fs::recursive_directory_iterator(root / folder); it != fs::end(it); ++it) {
            if (it->path() == kept) it.disable_recursion_pending();
            else if (it->is_regular_file())
                files[fs::relative(it->path(), root).generic_string()] = FileBytes(it->path());
        }
    return files;
}

void RestoreDataFiles(const fs::path &root, const std::map<std::string, std::string> &files) {
    for (const char *folder : kDataFolders) {
        fs::remove_all(root / folder);
        fs::create_directory(root / folder);
    }
    for (const auto &[path, bytes] : files) {
        fs::create_directories((root / path).parent_path());
        std::ofstream(root / path, std::ios::binary) << bytes;
    }
}

std::chrono::microseconds RunInChildKilledAfter(
    long killAfterUs, const std::function<void(const std::function<void()> &moment)> &body) {
    int fds[2];
    if (::pipe(fds) != 0) throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        try {
            body([&] {
                if (::write(fds[1], "x", 1) != 1) ::_exit(3);
            });
        } catch (...) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    char c = 0;
    EXPECT_EQ(::read(fds[0], &c, 1), 1) << "the child died before its moment";
    ::close(fds[0]);
    const auto moment = std::chrono::steady_clock::now();
    if (killAfterUs >= 0) {
        ::usleep(static_cast<useconds_t>(killAfterUs));
        ::kill(child, SIGKILL);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0))
        << "status " << status;
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                                 moment);
}

} // namespace vandorix::testing
