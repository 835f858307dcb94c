#pragma once

#include <filesystem>

namespace vandorix {

// Holds an exclusive lock on an installation's data for the lifetime of the object, so a
// second copy of the program cannot work on the same folders. Throws `DataLockedError`.
class DataFolderLock {
public:
    explicit DataFolderLock(const std::filesystem::path &root);
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock &) = delete;
    DataFolderLock &operator=(const DataFolderLock &) = delete;

private:
    int fd_ = -1;
    int folderFd_ = -1;
};

} // namespace vandorix
