#include "store/AtomicFile.h"

#include "store/HostError.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace vandorix {
namespace fs = std::filesystem;

std::string readWholeFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileMissingError(path.string());
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) throw DamagedFileError(path.string(), "olvasási hiba");
    return std::move(s).str();
}

void writeFileDurably(const fs::path &path, std::string_view bytes) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw SaveError(path.string(), std::strerror(errno));
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            ::close(fd);
            throw SaveError(path.string(), std::strerror(err));
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) {
        int err = errno;
        ::close(fd);
        throw SaveError(path.string(), std::strerror(err));
    }
    if (::close(fd) != 0) throw SaveError(path.string(), std::strerror(errno));
}

void syncFolder(const fs::path &folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void writeFileAtomically(const fs::path &path, std::string_view bytes) {
    fs::path temp = path;
    temp += ".vdx-tmp-" + std::to_string(::getpid());
    try {
        writeFileDurably(temp, bytes);
    } catch (...) {
        std::error_code ec;
        fs::remove(temp, ec);
        throw;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        std::error_code ec;
        fs::remove(temp, ec);
        throw SaveError(path.string(), std::strerror(err));
    }
    syncFolder(path.parent_path());
}

} // namespace vandorix
