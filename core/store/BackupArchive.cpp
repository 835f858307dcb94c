#include "store/BackupArchive.h"

#include "store/AtomicFile.h"
#include "store/HostError.h"
#include "store/UndoStore.h"

#include <zip.h>

#include <algorithm>
#include <memory>

namespace vandorix {
namespace fs = std::filesystem;

namespace {

constexpr const char *kDataFolders[] = {"Torzs", "Termekek", "Seged", "Arhiv"};

bool isCommitLeftover(const std::string &name) {
    const std::string staged = ".vdx-new";
    return name.find(".vdx-tmp-") != std::string::npos ||
           (name.size() > staged.size() &&
            name.compare(name.size() - staged.size(), staged.size(), staged) == 0);
}

struct ArchiveCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};
struct EntryCloser {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};

std::string openError(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

// Every member reads back as the bytes of its file.
void verify(const fs::path &root, const fs::path &archive, const std::vector<std::string> &members) {
    int code = 0;
    std::unique_ptr<zip_t, ArchiveCloser> z(zip_open(archive.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!z) throw SaveError(archive.string(), openError(code));
    if (zip_get_num_entries(z.get(), 0) != static_cast<zip_int64_t>(members.size()))
        throw SaveError(archive.string(), "a mentés tagjainak száma eltér");
    for (const auto &name : members) {
        const std::string expected = readWholeFile(root / fs::path(name));
        std::unique_ptr<zip_file_t, EntryCloser> f(zip_fopen(z.get(), name.c_str(), 0));
        if (!f) throw SaveError(archive.string(), "hiányzik belőle: " + name);
        std::string got(expected.size() + 1, '\0');
        zip_int64_t n = 0, total = 0;
        while ((n = zip_fread(f.get(), got.data() + total, got.size() - static_cast<std::size_t>(total))) > 0) {
            total += n;
            if (static_cast<std::size_t>(total) == got.size()) break;
        }
        got.resize(static_cast<std::size_t>(std::max<zip_int64_t>(total, 0)));
        if (n < 0 || got != expected)
            throw SaveError(archive.string(), "visszaolvasva eltér: " + name);
    }
}

} // namespace

std::vector<std::string> BackupMembers(const fs::path &root) {
    const fs::path undo = UndoStore::folderOf(root).lexically_normal();
    std::vector<std::string> members;
    for (const char *folder : kDataFolders) {
        std::error_code ec;
        if (!fs::is_directory(root / folder, ec)) continue;
        for (auto it = fs::recursive_directory_iterator(root / folder); it != fs::end(it); ++it) {
            if (it->path().lexically_normal() == undo) {
                it.disable_recursion_pending();
                continue;
            }
            if (!it->is_regular_file() || isCommitLeftover(it->path().filename().string()))
                continue;
            members.push_back(it->path().lexically_relative(root).generic_string());
        }
    }
    std::sort(members.begin(), members.end());
    return members;
}

std::size_t WriteBackupArchive(const fs::path &root, const fs::path &archive) {
    const std::vector<std::string> members = BackupMembers(root);
    int code = 0;
    zip_t *raw = zip_open(archive.c_str(), ZIP_CREATE | ZIP_EXCL, &code);
    if (!raw) throw SaveError(archive.string(), openError(code));
    std::unique_ptr<zip_t, ArchiveCloser> z(raw);
    for (const auto &name : members) {
        const fs::path file = root / fs::path(name);
        zip_source_t *source = zip_source_file(z.get(), file.c_str(), 0, -1);
        zip_int64_t index = source ? zip_file_add(z.get(), name.c_str(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            if (source) zip_source_free(source);
            throw SaveError(archive.string(), zip_strerror(z.get()));
        }
        // The workbooks are compressed archives themselves: stored as they are.
        zip_set_file_compression(z.get(), static_cast<zip_uint64_t>(index), ZIP_CM_STORE, 0);
    }
    if (zip_close(z.get()) != 0) throw SaveError(archive.string(), zip_strerror(z.get()));
    z.release();
    try {
        verify(root, archive, members);
    } catch (const HostError &) {
        std::error_code ec;
        fs::remove(archive, ec);
        throw;
    }
    return members.size();
}

} // namespace vandorix
