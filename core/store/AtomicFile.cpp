#include "store/AtomicFile.h"

#include "store/HostError.h"

#include <cerrno>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vandorix {
namespace fs = std::filesystem;

std::string ErrnoText(int error) {
    switch (error) {
    case ENOSPC: return "nincs elég hely a lemezen";
    case EDQUOT: return "elfogyott a lemezkvóta";
    case EFBIG: return "a fájl nagyobb a megengedettnél";
    case EACCES:
    case EPERM: return "nincs írási jogosultság";
    case EROFS: return "a lemez csak olvasható";
    case ENOENT: return "a mappa nem található";
    case EISDIR: return "ezen a néven mappa áll";
    case EIO: return "lemezhiba";
    case EMFILE:
    case ENFILE: return "túl sok nyitott fájl";
    default: return "rendszerhiba, kód: " + std::to_string(error);
    }
}

std::string readWholeFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FileMissingError(path.string());
    std::ostringstream s;
    s << in.rdbuf();
    if (in.bad()) throw DamagedFileError(path.string(), "olvasási hiba");
    return std::move(s).str();
}

std::optional<unsigned> ModeToKeep(const fs::path &target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<unsigned>(st.st_mode & 07777);
}

void CheckWorkbookReplaceable(const fs::path &target) {
    // The owner's write bit is what a user clears to protect a file; the superuser could
    // write anyway, so access() would not tell.
    std::optional<unsigned> mode = ModeToKeep(target);
    if (mode && (*mode & S_IWUSR) == 0) throw ReadOnlyWorkbookError(target.string());
    const std::string name = target.filename().string();
    for (const std::string &lock : {".~lock." + name + "#", "~$" + name}) {
        std::error_code ec;
        if (fs::exists(fs::symlink_status(target.parent_path() / lock, ec)))
            throw WorkbookOpenElsewhereError(target.string(), lock);
    }
}

void writeFileDurably(const fs::path &path, std::string_view bytes, std::optional<unsigned> mode) {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) throw SaveError(path.string(), ErrnoText(errno));
    auto fail = [&](int err) {
        ::close(fd);
        throw SaveError(path.string(), ErrnoText(err));
    };
    // Exactly the bits asked for, whatever the process's umask.
    if (mode && ::fchmod(fd, static_cast<mode_t>(*mode)) != 0) fail(errno);
    std::size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            fail(errno);
        }
        done += static_cast<std::size_t>(n);
    }
    if (::fsync(fd) != 0) fail(errno);
    if (::close(fd) != 0) throw SaveError(path.string(), ErrnoText(errno));
}

void syncFolder(const fs::path &folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void replaceFileThrough(const fs::path &path, const fs::path &temp, std::string_view bytes,
                        std::optional<unsigned> mode) {
    try {
        writeFileDurably(temp, bytes, mode);
    } catch (...) {
        std::error_code ec;
        fs::remove(temp, ec);
        throw;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        int err = errno;
        std::error_code ec;
        fs::remove(temp, ec);
        throw SaveError(path.string(), ErrnoText(err));
    }
    syncFolder(path.parent_path());
}

void writeFileAtomically(const fs::path &path, std::string_view bytes) {
    fs::path temp = path;
    temp += ".vdx-tmp-" + std::to_string(::getpid());
    replaceFileThrough(path, temp, bytes, ModeToKeep(path));
}

} // namespace vandorix
