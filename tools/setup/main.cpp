// vandorix-setup ROOT: lays out a new installation. Creates the installation root, the program
// folder with the executables that lie beside this tool, the four data folders, and the
// workbooks that the program expects but never creates. An existing data file is never
// touched, so running the tool again changes nothing.

#include "store/AtomicFile.h"
#include "store/DataFolderLock.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <system_error>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace vandorix;

namespace {

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;

// "Vandorix", or "Vandorix" followed by one digit 1 to 9.
bool validRootName(const std::string &name) {
    const std::string word = "Vandorix";
    if (name == word) return true;
    return name.size() == word.size() + 1 && name.compare(0, word.size(), word) == 0 &&
           name.back() >= '1' && name.back() <= '9';
}

bool pathExists(const fs::path &p) {
    std::error_code ec;
    return fs::symlink_status(p, ec).type() != fs::file_type::not_found;
}

// Writes a data file that does not exist yet. The content goes to a flushed temporary file
// first and is then linked under its name, which fails rather than replaces when a file of
// that name has appeared meanwhile: an existing file is never overwritten, and a crash leaves
// either no file or the whole file. Returns false when the file already existed.
bool writeNewFile(const fs::path &path, const std::string &bytes) {
    fs::path temp = path.parent_path() / ("." + path.filename().string() + ".uj");
    writeFileDurably(temp, bytes);
    int rc = ::link(temp.c_str(), path.c_str());
    int err = errno;
    std::error_code ec;
    fs::remove(temp, ec);
    if (rc != 0) {
        if (err == EEXIST) return false;
        throw SaveError(path.string(), std::strerror(err));
    }
    syncFolder(path.parent_path());
    return true;
}

// Copies an executable into the program folder, replacing an older copy by a rename so that
// a copy that is running keeps working. An identical copy is left alone.
enum class CopyResult { Copied, Unchanged };
CopyResult installExecutable(const fs::path &source, const fs::path &target) {
    std::string bytes = readWholeFile(source);
    if (pathExists(target)) {
        std::error_code ec;
        if (fs::equivalent(source, target, ec)) return CopyResult::Unchanged;
        if (readWholeFile(target) == bytes) return CopyResult::Unchanged;
    }
    // An executable for everyone, writable by its owner (rwxr-xr-x).
    const fs::path temp = target.parent_path() / ("." + target.filename().string() + ".uj");
    replaceFileThrough(target, temp, bytes, 0755);
    return CopyResult::Copied;
}

fs::path ownFolder(const char *argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec || self.empty()) self = fs::absolute(argv0);
    return self.parent_path();
}

void makeFolder(const fs::path &folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder))
        throw HostError("A mappa nem hozható létre: " + folder.string() +
                        (ec ? " (" + ec.message() + ")" : std::string(" (nem mappa)")));
}

int run(const fs::path &root, const fs::path &toolFolder) {
    makeFolder(root);
    DataFolderLock lock(root);

    const fs::path program = root / install::kProgramFolder;
    makeFolder(program);
    for (const char *folder : {install::kMasterDataFolder, install::kProductsFolder,
                               install::kAuxiliaryFolder, install::kArchiveFolder})
        makeFolder(root / folder);

    for (const char *name : {"vandorix", "vandorix-replay", "vandorix-setup"}) {
        fs::path source = toolFolder / name;
        std::error_code ec;
        if (!fs::is_regular_file(source, ec)) continue;
        if (installExecutable(source, program / name) == CopyResult::Copied)
            std::cout << "Program másolva: " << (program / name).string() << "\n";
    }

    for (const InstallationWorkbook &entry : kInstallationWorkbooks) {
        fs::path path = root / entry.folder / entry.fileName;
        if (pathExists(path)) {
            std::cout << "Már megvan, változatlan: " << path.string() << "\n";
            continue;
        }
        std::unique_ptr<Workbook> wb = entry.make();
        if (writeNewFile(path, encodeWorkbook(*wb)))
            std::cout << "Létrehozva: " << path.string() << "\n";
        else
            std::cout << "Már megvan, változatlan: " << path.string() << "\n";
    }
    std::cout << "A telepítés kész: " << root.string() << "\n";
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2 || !*argv[1]) {
        std::cerr << "Használat: vandorix-setup TELEPÍTÉSI_MAPPA\n"
                     "A telepítési mappa neve \"Vandorix\" vagy \"Vandorix\" és egy számjegy "
                     "(1-9) lehet.\n";
        return kExitUsage;
    }
    fs::path root = fs::absolute(fs::path(argv[1])).lexically_normal();
    if (root.filename().empty()) root = root.parent_path(); // a trailing separator
    if (!validRootName(root.filename().string())) {
        std::cerr << "Hibás telepítési mappa: " << root.string() << "\n"
                  << "A mappa neve csak \"Vandorix\" vagy \"Vandorix\" és egy számjegy (1-9) "
                     "lehet, például \"Vandorix\" vagy \"Vandorix2\".\n";
        return kExitUsage;
    }
    try {
        return run(root, ownFolder(argv[0]));
    } catch (const std::exception &e) {
        std::cerr << "A telepítés nem sikerült: " << e.what() << "\n";
        return kExitFailure;
    }
}
