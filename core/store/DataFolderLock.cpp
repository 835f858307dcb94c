#include "store/DataFolderLock.h"

#include "store/HostError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vandorix {

DataFolderLock::DataFolderLock(const std::filesystem::path &root) {
    std::filesystem::path file = root / ".vandorix.lock";
    fd_ = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) throw HostError("A zárolófájl nem hozható létre: " + file.string() + " (" +
                                 std::strerror(errno) + ")");
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd_);
        fd_ = -1;
        throw DataLockedError(root.string());
    }
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0) ::close(fd_); // closing releases the lock
}

} // namespace vandorix
