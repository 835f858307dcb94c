#include "store/DataFolderLock.h"

#include "store/AtomicFile.h"
#include "store/HostError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vandorix {

namespace {

void closeIfOpen(int &fd) {
    if (fd >= 0) ::close(fd); // closing releases the lock
    fd = -1;
}

} // namespace

DataFolderLock::DataFolderLock(const std::filesystem::path &root) {
    // The root folder itself is locked: unlike the lock file it cannot be deleted from under
    // the running program, and it stays the same folder when renamed.
    folderFd_ = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folderFd_ < 0)
        throw HostError("A telepítés mappája nem zárolható: " + root.string() + " (" +
                        ErrnoText(errno) + ")");
    if (::flock(folderFd_, LOCK_EX | LOCK_NB) != 0) {
        closeIfOpen(folderFd_);
        throw DataLockedError(root.string());
    }
    // The lock file stays as well, for copies of the program that look only at it.
    std::filesystem::path file = root / ".vandorix.lock";
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
        const int err = errno;
        closeIfOpen(folderFd_);
        throw HostError("A zárolófájl nem hozható létre: " + file.string() + " (" +
                        ErrnoText(err) + ")");
    }
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        closeIfOpen(fd_);
        closeIfOpen(folderFd_);
        throw DataLockedError(root.string());
    }
}

DataFolderLock::~DataFolderLock() {
    closeIfOpen(fd_);
    closeIfOpen(folderFd_);
}

} // namespace vandorix
