#include "support/TestInstallation.h"

#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "store/Templates.h"

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace fs = std::filesystem;

namespace vandorix::testing {

TestInstallation::TestInstallation(const std::string &rootName) {
    std::string pattern = (fs::temp_directory_path() / "vandorix-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    parent_ = pattern;
    root_ = parent_ / rootName;
    fs::create_directories(root_ / install::kProgramFolder);
    for (const char *folder : {install::kMasterDataFolder, install::kProductsFolder,
                               install::kAuxiliaryFolder, install::kArchiveFolder})
        fs::create_directories(root_ / folder);
    for (const InstallationWorkbook &entry : kInstallationWorkbooks)
        writeFileDurably(root_ / entry.folder / entry.fileName, encodeWorkbook(*entry.make()));
}

TestInstallation::~TestInstallation() {
    std::error_code ec;
    fs::remove_all(parent_, ec);
}

fs::path TestInstallation::installTool(const std::string &name) const {
    fs::path target = programFolder() / name;
    fs::copy_file(fs::path(VANDORIX_BIN_DIR) / name, target,
                  fs::copy_options::overwrite_existing);
    return target;
}

ReplayRun TestInstallation::replay(const std::string &script, const std::string &today) const {
    const fs::path tool = installTool("vandorix-replay");
    const fs::path scriptPath = parent_ / "script.txt";
    std::ofstream(scriptPath) << script;
    std::string command = "'" + tool.string() + "' --today " + today + " '" +
                          scriptPath.string() + "' 2>&1";
    ReplayRun run;
    FILE *pipe = ::popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    int status = ::pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string FileBytes(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::map<std::string, std::string> DataFiles(const fs::path &root) {
    std::map<std::string, std::string> files;
    const fs::path kept = root / install::kArchiveFolder / "Mentések";
    for (const char *folder : {install::kMasterDataFolder, install::kProductsFolder,
                               install::kAuxiliaryFolder, install::kArchiveFolder})
        for (auto it = fs::recursive_directory_iterator(root / folder); it != fs::end(it); ++it) {
            if (it->path() == kept) it.disable_recursion_pending();
            else if (it->is_regular_file())
                files[fs::relative(it->path(), root).generic_string()] = FileBytes(it->path());
        }
    return files;
}

} // namespace vandorix::testing
