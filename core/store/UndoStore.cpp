#include "store/UndoStore.h"

#include "store/AtomicFile.h"
#include "store/HostError.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <utility>

namespace vandorix {
namespace fs = std::filesystem;

namespace {

constexpr const char *kStoreFolder = "Arhiv/Mentések";
// The manifest of a kept command, of one whose commit is in progress, and of one being undone.
constexpr const char *kManifest = "Leírás.txt";
constexpr const char *kPendingManifest = "Leírás.függő";
constexpr const char *kUndoingManifest = "Leírás.visszavonás";

constexpr const char *kWhen = "Időpont: ";
constexpr const char *kWindow = "Ablak: ";
constexpr const char *kWhat = "Művelet: ";
// The last line of a whole manifest: one cut short by a crash is no manifest.
constexpr const char *kEnd = "VÉGE";

const char *changeWord(UndoStore::FileChange c) {
    switch (c) {
    case UndoStore::FileChange::Replaced: return "lecserélt";
    case UndoStore::FileChange::Created: return "létrehozott";
    case UndoStore::FileChange::Removed: return "eltávolított";
    }
    return "";
}

std::uint32_t checksum(std::string_view bytes) {
    uLong crc = crc32(0L, Z_NULL, 0);
    // zlib takes at most 4 GiB at a time.
    while (!bytes.empty()) {
        const std::size_t n = std::min<std::size_t>(bytes.size(), 1u << 30);
        crc = crc32(crc, reinterpret_cast<const Bytef *>(bytes.data()), static_cast<uInt>(n));
        bytes.remove_prefix(n);
    }
    return static_cast<std::uint32_t>(crc);
}

std::tm localNow() {
    std::time_t t = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm tm{};
    localtime_r(&t, &tm);
    return tm;
}

std::string formatTime(const std::tm &tm, const char *format) {
    char buf[64];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}

// Entry folders are "<date>_<time>_<sequence>"; the sequence orders them.
long sequenceOf(const fs::path &folder) {
    const std::string name = folder.filename().string();
    const auto pos = name.rfind('_');
    if (pos == std::string::npos) return -1;
    try {
        return std::stol(name.substr(pos + 1));
    } catch (const std::logic_error &) {
        return -1;
    }
}

bool isFile(const fs::path &p) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(p, ec));
}

std::string manifestText(const UndoStore::Entry &e) {
    std::string text = std::string(kWhen) + e.when + "\n" + kWindow + e.window + "\n" + kWhat +
                       e.what + "\n";
    for (const auto &f : e.files) {
        text += changeWord(f.change);
        if (f.change == UndoStore::FileChange::Removed) {
            text += "\t-\t-\t";
        } else {
            char crc[16];
            std::snprintf(crc, sizeof crc, "%08x", f.crc);
            text += "\t" + std::to_string(f.size) + "\t" + crc + "\t";
        }
        text += f.path + "\n";
    }
    return text + kEnd + "\n";
}

// Not flushed to disk: should the machine stop, the backup of this one command may be lost,
// and start-up drops what is left of it; the command itself is the journal's business.
void writeManifest(const fs::path &file, const std::string &text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) throw SaveError(file.string(), "a leírás nem írható");
}

} // namespace

UndoStore::UndoStore(fs::path root, std::size_t kept)
    : root_(root.lexically_normal()), kept_(kept) {
    if (root_.filename().empty()) root_ = root_.parent_path();
    store_ = folderOf(root_);
}

fs::path UndoStore::folderOf(const fs::path &root) { return root / fs::path(kStoreFolder); }

void UndoStore::describeNext(std::string window, std::string what) {
    window_ = std::move(window);
    what_ = std::move(what);
}

std::optional<std::string> UndoStore::takeFailure() { return std::exchange(failure_, std::nullopt); }

fs::path UndoStore::absolute(const std::string &relative) const {
    return root_ / fs::path(relative);
}

std::vector<fs::path> UndoStore::entryFolders() const {
    std::vector<fs::path> out;
    std::error_code ec;
    for (const auto &e : fs::directory_iterator(store_, ec))
        if (e.is_directory(ec) && sequenceOf(e.path()) >= 0) out.push_back(e.path());
    std::sort(out.begin(), out.end(),
              [](const fs::path &a, const fs::path &b) { return sequenceOf(a) < sequenceOf(b); });
    return out;
}

void UndoStore::beforeCommit(const std::map<fs::path, std::string> &staged,
                             const std::set<fs::path> &removals) noexcept {
    failure_ = std::string();
    std::error_code ec;
    // A commit of this session refused after its backup was laid down leaves it behind.
    if (!pending_.empty()) fs::remove_all(pending_, ec);
    pending_.clear();
    try {
        const auto existing = entryFolders();
        const long next = existing.empty() ? 1 : sequenceOf(existing.back()) + 1;
        const std::tm now = localNow();
        char seq[24];
        std::snprintf(seq, sizeof seq, "%06ld", next);
        const fs::path entry =
            store_ / (formatTime(now, "%Y-%m-%d_%H-%M-%S") + "_" + seq);
        fs::create_directories(entry);
        pending_ = entry;

        Entry e{entry, formatTime(now, "%Y-%m-%d %H:%M:%S"), window_, what_, {}};
        auto relativeName = [&](const fs::path &target) {
            fs::path p = target.lexically_normal();
            fs::path rel = p.is_absolute() ? p.lexically_relative(root_) : p;
            if (rel.empty() || *rel.begin() == "..")
                throw SaveError(p.string(), "a fájl nincs a telepítés mappájában");
            return rel;
        };
        // The previous version keeps its data under a second name: the commit's rename only
        // takes the target's name away from it.
        auto keep = [&](const fs::path &target, const fs::path &rel) {
            const fs::path copy = entry / rel;
            fs::create_directories(copy.parent_path());
            fs::create_hard_link(target, copy);
        };
        for (const auto &[target, bytes] : staged) {
            const fs::path rel = relativeName(target);
            const fs::path abs = absolute(rel.generic_string());
            FileRecord f{FileChange::Created, rel.generic_string(), bytes.size(),
                         checksum(bytes)};
            if (isFile(abs)) {
                keep(abs, rel);
                f.change = FileChange::Replaced;
            }
            e.files.push_back(std::move(f));
        }
        for (const auto &target : removals) {
            const fs::path rel = relativeName(target);
            keep(absolute(rel.generic_string()), rel);
            e.files.push_back({FileChange::Removed, rel.generic_string(), 0, 0});
        }
        writeManifest(entry / fs::path(kPendingManifest), manifestText(e));
    } catch (const std::exception &ex) {
        failure_ = ex.what();
        if (!pending_.empty()) fs::remove_all(pending_, ec);
        pending_.clear();
    }
    window_.clear();
    what_.clear();
}

void UndoStore::afterCommit() noexcept {
    if (pending_.empty()) return;
    const fs::path entry = std::exchange(pending_, {});
    std::error_code ec;
    // Should the rename not reach the disk, start-up finds the files as the command left them
    // and keeps the backup all the same.
    fs::rename(entry / fs::path(kPendingManifest), entry / fs::path(kManifest), ec);
    if (ec) {
        failure_ = ec.message();
        fs::remove_all(entry, ec);
        return;
    }
    prune();
}

void UndoStore::prune() const {
    auto folders = entryFolders();
    std::error_code ec;
    for (std::size_t i = 0; i + kept_ < folders.size(); ++i) fs::remove_all(folders[i], ec);
}

std::size_t UndoStore::count() const { return entryFolders().size(); }

UndoStore::Entry ReadUndoManifest(const fs::path &folder) {
    fs::path file = folder / fs::path(kManifest);
    if (!isFile(file)) file = folder / fs::path(kPendingManifest);
    if (!isFile(file)) file = folder / fs::path(kUndoingManifest);
    std::istringstream in(readWholeFile(file));
    UndoStore::Entry e;
    e.folder = folder;
    std::string line;
    bool whole = false;
    auto value = [&](const char *key, std::string &out) {
        if (line.rfind(key, 0) != 0) return false;
        out = line.substr(std::string(key).size());
        return true;
    };
    while (std::getline(in, line)) {
        if (line == kEnd) {
            whole = true;
            break;
        }
        if (line.empty() || value(kWhen, e.when) || value(kWindow, e.window) ||
            value(kWhat, e.what))
            continue;
        std::istringstream fields(line);
        std::string kind, size, crc, path;
        if (!std::getline(fields, kind, '\t') || !std::getline(fields, size, '\t') ||
            !std::getline(fields, crc, '\t') || !std::getline(fields, path) || path.empty())
            throw DamagedFileError(file.string(), "hibás sor: " + line);
        UndoStore::FileRecord f;
        f.path = path;
        if (kind == changeWord(UndoStore::FileChange::Removed)) {
            f.change = UndoStore::FileChange::Removed;
        } else {
            f.change = kind == changeWord(UndoStore::FileChange::Replaced)
                           ? UndoStore::FileChange::Replaced
                           : UndoStore::FileChange::Created;
            if (kind != changeWord(f.change)) throw DamagedFileError(file.string(), "hibás sor: " + line);
            try {
                f.size = std::stoull(size);
                f.crc = static_cast<std::uint32_t>(std::stoul(crc, nullptr, 16));
            } catch (const std::logic_error &) {
                throw DamagedFileError(file.string(), "hibás sor: " + line);
            }
        }
        e.files.push_back(std::move(f));
    }
    if (!whole) throw DamagedFileError(file.string(), "a leírás csonka");
    return e;
}

std::optional<UndoStore::Entry> UndoStore::newest() const {
    auto folders = entryFolders();
    for (auto it = folders.rbegin(); it != folders.rend(); ++it)
        if (isFile(*it / fs::path(kManifest))) return ReadUndoManifest(*it);
    return std::nullopt;
}

std::optional<std::string> UndoStore::changedFile(const Entry &entry) const {
    for (const auto &f : entry.files) {
        const fs::path abs = absolute(f.path);
        if (f.change != FileChange::Created && !isFile(entry.folder / fs::path(f.path)))
            return f.path;
        if (f.change == FileChange::Removed) {
            std::error_code ec;
            if (fs::exists(fs::symlink_status(abs, ec))) return f.path;
            continue;
        }
        std::error_code ec;
        if (!isFile(abs) || fs::file_size(abs, ec) != f.size || ec) return f.path;
        if (checksum(readWholeFile(abs)) != f.crc) return f.path;
    }
    return std::nullopt;
}

bool UndoStore::inCommittedState(const Entry &entry) const {
    return !changedFile(entry).has_value();
}

void UndoStore::undo(const Entry &entry) {
    const fs::path manifest = entry.folder / fs::path(kManifest);
    const fs::path undoing = entry.folder / fs::path(kUndoingManifest);
    CommitJournal journal(root_);
    for (const auto &f : entry.files) {
        const fs::path abs = absolute(f.path);
        if (f.change == FileChange::Created) journal.stageRemoval(abs);
        else journal.stage(abs, readWholeFile(entry.folder / fs::path(f.path)));
    }
    // Marked first, so that start-up can tell an undo cut short from a finished one.
    std::error_code ec;
    fs::rename(manifest, undoing, ec);
    if (ec) {
        journal.discard();
        throw SaveError(manifest.string(), ec.message());
    }
    try {
        journal.commit();
    } catch (const HostError &) {
        fs::rename(undoing, manifest, ec);
        throw;
    }
    fs::remove_all(entry.folder, ec);
}

void UndoStore::recover() {
    std::error_code ec;
    for (const auto &folder : entryFolders()) {
        if (isFile(folder / fs::path(kManifest))) {
            // A manifest cut short by a crash: that command's backup is lost.
            try {
                ReadUndoManifest(folder);
            } catch (const HostError &) {
                fs::remove_all(folder, ec);
            }
            continue;
        }
        const bool undoing = isFile(folder / fs::path(kUndoingManifest));
        const fs::path marker = folder / fs::path(undoing ? kUndoingManifest : kPendingManifest);
        // Files as the command left them: its backup is kept (a commit finished by the
        // journal's recovery, or an undo that never reached its journal).
        bool keep = false;
        if (isFile(marker)) {
            try {
                keep = inCommittedState(ReadUndoManifest(folder));
            } catch (const HostError &) {
                keep = false;
            }
        }
        if (keep) fs::rename(marker, folder / fs::path(kManifest), ec);
        if (!keep || ec) fs::remove_all(folder, ec);
    }
    prune();
}

} // namespace vandorix
