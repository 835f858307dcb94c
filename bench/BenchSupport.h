#pragma once

// What the benchmarks share to lay out their data: temporary folders, a fresh installation,
// workbooks opened for writing and stored protected as the program stores them.
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "store/Workbook.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

namespace vandorix::bench {

namespace fs = std::filesystem;

// A new empty folder under the system's temporary folder, named from `prefix`.
inline fs::path NewTempFolder(const std::string &prefix) {
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) std::abort();
    return pattern;
}

// One folder per size, laid out by `fill` the first time that size is asked for.
class FoldersBySize {
public:
    explicit FoldersBySize(std::string prefix) : prefix_(std::move(prefix)) {}
    template <class Fill> const fs::path &get(int size, Fill fill) {
        auto it = folders_.find(size);
        if (it != folders_.end()) return it->second;
        fs::path folder = NewTempFolder(prefix_);
        fill(folder);
        return folders_.emplace(size, folder).first->second;
    }

private:
    std::string prefix_;
    std::map<int, fs::path> folders_;
};

// The program folder, the data folders and the workbooks of a new installation under `root`.
inline void LayOutInstallation(const fs::path &root) {
    fs::create_directories(root / install::kProgramFolder);
    for (const char *folder : {install::kMasterDataFolder, install::kProductsFolder,
                               install::kAuxiliaryFolder, install::kArchiveFolder})
        fs::create_directories(root / folder);
    for (const InstallationWorkbook &entry : kInstallationWorkbooks)
        writeFileDurably(root / entry.folder / entry.fileName, encodeWorkbook(*entry.make()));
}

inline void UnprotectAll(Workbook &wb) {
    wb.unprotect(install::kWorkbookPassword);
    for (int i = 1; i <= wb.sheetCount(); ++i) wb.sheetAt(i).unprotect(install::kSheetPassword);
}

inline void ProtectAll(Workbook &wb) {
    for (int i = 1; i <= wb.sheetCount(); ++i) wb.sheetAt(i).protect(install::kSheetPassword);
    wb.protect(install::kWorkbookPassword);
}

inline std::unique_ptr<Workbook> OpenForWriting(const fs::path &p) {
    std::unique_ptr<Workbook> wb = decodeWorkbook(readWholeFile(p), p.string());
    UnprotectAll(*wb);
    return wb;
}

inline void StoreProtected(Workbook &wb, const fs::path &p) {
    ProtectAll(wb);
    writeFileDurably(p, encodeWorkbook(wb));
}

} // namespace vandorix::bench
