// Reads zip archives: the directory and compressed bytes at once, each entry inflated on demand.
#include "store/ZipPackage.h"

#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vandorix {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The zip library's errors in the user's language; its own texts are English.
std::string zipErrorText(int code) {
    switch (code) {
    case ZIP_ER_NOZIP: return "nem zip-archívum";
    case ZIP_ER_INCONS: return "a zip-archívum tartalomjegyzéke ellentmondásos";
    case ZIP_ER_CRC: return "ellenőrzőösszeg-hiba";
    case ZIP_ER_EOF: return "váratlan fájlvég";
    case ZIP_ER_READ:
    case ZIP_ER_SEEK: return "olvasási hiba";
    case ZIP_ER_ZLIB: return "sérült tömörített adat";
    case ZIP_ER_COMPNOTSUPP: return "nem támogatott tömörítési mód";
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD: return "titkosított (jelszóval védett) fájl";
    case ZIP_ER_MEMORY: return "nincs elég memória";
    case ZIP_ER_MULTIDISK: return "több kötetre osztott zip-archívum";
    default: return "sérült zip-archívum (hibakód: " + std::to_string(code) + ")";
    }
}

[[noreturn]] void fail(zip_error_t *error) {
    int code = zip_error_code_zip(error);
    zip_error_fini(error);
    throw ZipError(zipErrorText(code));
}

struct ArchiveCloser {
    void operator()(zip_t *z) const { zip_discard(z); }
};

using Archive = std::unique_ptr<zip_t, ArchiveCloser>;

Archive openArchive(std::string_view bytes) {
    static const unsigned char kOldFormat[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (bytes.size() >= sizeof kOldFormat && std::memcmp(bytes.data(), kOldFormat, sizeof kOldFormat) == 0)
        throw ZipError("régi formátumú munkafüzet", true);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!src) fail(&error);
    Archive archive(zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_source_free(src);
        fail(&error);
    }
    zip_error_fini(&error);
    return archive;
}

// An entry this program can take: its directory record complete, not encrypted, stored or
// deflated, and not larger inflated than any part of a workbook may be.
void checkEntry(const zip_stat_t &st) {
    const zip_uint64_t need = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD |
                              ZIP_STAT_CRC | ZIP_STAT_INDEX;
    if ((st.valid & need) != need) throw ZipError("hiányos zip-tartalomjegyzék");
    if (st.size > kMaxZipPartBytes)
        throw ZipError("a(z) " + std::string(st.name) + " rész kibontva " + std::to_string(st.size >> 20) +
                       " MB lenne, legfeljebb " + std::to_string(kMaxZipPartBytes >> 20) + " MB fogadható el");
    if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
        throw ZipError(zipErrorText(ZIP_ER_ENCRNOTSUPP));
    if (st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE)
        throw ZipError(zipErrorText(ZIP_ER_COMPNOTSUPP) + ": " + st.name);
}

// The directory records of every entry, checked; `total`: their compressed bytes together.
std::vector<zip_stat_t> readDirectory(zip_t *archive, std::string_view bytes, std::uint64_t &total) {
    zip_int64_t n = zip_get_num_entries(archive, 0);
    std::vector<zip_stat_t> stats;
    total = 0;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive, i, 0, &st) != 0) continue;
        checkEntry(st);
        // The entries' compressed bytes lie within the file.
        if (st.comp_size > bytes.size() || total + st.comp_size > bytes.size())
            throw ZipError(zipErrorText(ZIP_ER_INCONS));
        total += st.comp_size;
        stats.push_back(st);
    }
    return stats;
}

} // namespace

ZipReader::ZipReader(std::string_view bytes) {
    Archive archive = openArchive(bytes);
    std::uint64_t total = 0;
    std::vector<zip_stat_t> stats = readDirectory(archive.get(), bytes, total);
    storage_.reset(new char[total ? total : 1]); // filled below: no need to clear it first
    char *at = storage_.get();
    for (const zip_stat_t &st : stats) {
        std::string name = st.name;
        StoredZipEntry entry;
        entry.name = name;
        entry.method = static_cast<std::uint16_t>(st.comp_method);
        entry.crc = st.crc;
        entry.size = st.size;
        zip_file_t *f = zip_fopen_index(archive.get(), st.index, ZIP_FL_COMPRESSED);
        if (!f) throw ZipError(zipErrorText(zip_error_code_zip(zip_get_error(archive.get()))));
        zip_int64_t got = st.comp_size ? zip_fread(f, at, st.comp_size) : 0;
        zip_fclose(f);
        if (got < 0 || static_cast<zip_uint64_t>(got) != st.comp_size)
            throw ZipError("sérült rész: " + name);
        entry.compressed = std::string_view(at, st.comp_size);
        at += st.comp_size;
        entries_[lower(name)] = std::move(entry);
    }
}

const StoredZipEntry *ZipReader::find(std::string_view name) const {
    auto it = entries_.find(lower(name));
    return it == entries_.end() ? nullptr : &it->second;
}

namespace {

// Inflated parts at least this large are inflated on a second thread while the caller parses
// the pieces already inflated: parsing and inflating then overlap instead of adding up.
constexpr std::uint64_t kOverlappedPartBytes = 1u << 20;
constexpr std::size_t kChunk = 128 << 10; // stays in the cache between inflate and parse

// One deflated entry inflated piece by piece, its size and checksum checked as it goes.
class EntryInflater {
public:
    EntryInflater(const StoredZipEntry &e, const std::string &damaged) : e_(e), damaged_(damaged) {
        if (inflateInit2(&z_, -15) != Z_OK) throw ZipError(zipErrorText(ZIP_ER_MEMORY));
        z_.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(e.compressed.data()));
        z_.avail_in = static_cast<uInt>(e.compressed.size());
    }
    ~EntryInflater() { inflateEnd(&z_); }
    EntryInflater(const EntryInflater &) = delete;
    EntryInflater &operator=(const EntryInflater &) = delete;

    bool done() const { return done_; }
    // Inflates the next piece into `buffer`; returns its length.
    std::size_t next(char *buffer, std::size_t size) {
        z_.next_out = reinterpret_cast<Bytef *>(buffer);
        z_.avail_out = static_cast<uInt>(size);
        const int rc = ::inflate(&z_, Z_NO_FLUSH);
        if (rc != Z_OK && rc != Z_STREAM_END) throw ZipError(damaged_);
        const std::size_t produced = size - z_.avail_out;
        total_ += produced;
        // The declared size bounds what is inflated: a part that would grow past it is damaged
        // (or a bomb), and is never inflated further.
        if (total_ > e_.size) throw ZipError(damaged_);
        crc_ = crc32_z(crc_, reinterpret_cast<const Bytef *>(buffer), produced);
        done_ = rc == Z_STREAM_END;
        return produced;
    }
    // After the last piece was handed on: the part is whole.
    void check() const {
        if (total_ != e_.size || crc_ != e_.crc) throw ZipError(damaged_);
    }

private:
    const StoredZipEntry &e_;
    const std::string &damaged_;
    z_stream z_{};
    std::uint64_t total_ = 0;
    uLong crc_ = 0;
    bool done_ = false;
};

void inflateInTurn(EntryInflater &inflater, std::size_t bufferSize,
                   const std::function<void(std::string_view)> &sink) {
    std::string buffer(bufferSize, '\0');
    while (!inflater.done()) {
        const std::size_t produced = inflater.next(buffer.data(), buffer.size());
        if (produced) sink(std::string_view(buffer.data(), produced));
    }
    inflater.check();
}

// The pieces inflated ahead of the caller, shared by the inflating thread and the caller:
// piece i lies in slot i % kSlots. Enough pieces ahead (4 MiB) that a busy machine's
// scheduling delays rarely stall either side; the inflating thread, once stopped by a full
// queue, resumes when half of it is free again.
class PieceQueue {
public:
    PieceQueue() {
        // Left uninitialised: a part shorter than the queue touches only the slots it fills.
        for (auto &b : buffers_) b = std::make_unique_for_overwrite<char[]>(kChunk);
    }

    // The inflating thread: fills slots until the entry is done, the caller stops it, or it
    // fails; a failure is kept for the caller.
    void fill(EntryInflater &inflater) {
        try {
            while (!inflater.done()) {
                std::size_t slot;
                {
                    std::unique_lock<std::mutex> lock(m_);
                    if (filled_ - handedOn_ == kSlots)
                        cv_.wait(lock, [&] { return stop_ || filled_ - handedOn_ <= kSlots / 2; });
                    if (stop_) break;
                    slot = filled_ % kSlots;
                }
                const std::size_t n = inflater.next(buffers_[slot].get(), kChunk);
                {
                    std::lock_guard<std::mutex> lock(m_);
                    lengths_[slot] = n;
                    ++filled_;
                }
                cv_.notify_all();
            }
            if (inflater.done()) inflater.check();
        } catch (...) {
            std::lock_guard<std::mutex> lock(m_);
            failure_ = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(m_);
            finished_ = true;
        }
        cv_.notify_all();
    }

    // The caller: hands every piece on to `sink` in order, until the inflating thread is done.
    void drain(const std::function<void(std::string_view)> &sink) {
        for (;;) {
            std::size_t slot, n;
            {
                std::unique_lock<std::mutex> lock(m_);
                cv_.wait(lock, [&] { return handedOn_ < filled_ || finished_; });
                if (handedOn_ == filled_) break; // finished, every piece handed on
                slot = handedOn_ % kSlots;
                n = lengths_[slot];
            }
            if (n) sink(std::string_view(buffers_[slot].get(), n));
            {
                std::lock_guard<std::mutex> lock(m_);
                ++handedOn_;
            }
            cv_.notify_all();
        }
    }

    void stop() {
        {
            std::lock_guard<std::mutex> lock(m_);
            stop_ = true;
        }
        cv_.notify_all();
    }

    void rethrowFailure() const {
        if (failure_) std::rethrow_exception(failure_);
    }

private:
    static constexpr std::size_t kSlots = 32;
    std::array<std::unique_ptr<char[]>, kSlots> buffers_;
    std::array<std::size_t, kSlots> lengths_{};
    std::mutex m_;
    std::condition_variable cv_;
    std::size_t filled_ = 0, handedOn_ = 0; // pieces so far
    bool finished_ = false, stop_ = false;
    std::exception_ptr failure_;
};

// The same, with the inflating on a second thread a few pieces ahead of `sink`. The pieces,
// and any failure, reach the caller in the order `inflateInTurn` gives them; a failing sink
// stops the inflating thread before its exception goes on. False, with nothing inflated, when
// no second thread can be had.
bool inflateAhead(EntryInflater &inflater, const std::function<void(std::string_view)> &sink) {
    PieceQueue queue;
    std::thread worker;
    try {
        worker = std::thread([&] { queue.fill(inflater); });
    } catch (const std::system_error &) {
        return false;
    }
    try {
        queue.drain(sink);
    } catch (...) {
        queue.stop();
        worker.join();
        throw;
    }
    worker.join();
    queue.rethrowFailure();
    return true;
}

} // namespace

void ZipReader::inflate(const StoredZipEntry &e, const std::function<void(std::string_view)> &sink) {
    const std::string damaged = "sérült tömörített adat: " + e.name;
    if (e.method == ZIP_CM_STORE) {
        if (e.compressed.size() != e.size ||
            crc32_z(0, reinterpret_cast<const Bytef *>(e.compressed.data()), e.compressed.size()) != e.crc)
            throw ZipError(damaged);
        if (!e.compressed.empty()) sink(e.compressed);
        return;
    }
    EntryInflater inflater(e, damaged);
    if (e.size >= kOverlappedPartBytes && std::thread::hardware_concurrency() > 1 &&
        inflateAhead(inflater, sink))
        return;
    inflateInTurn(inflater, std::min<std::uint64_t>(kChunk, e.size + 1), sink);
}

std::optional<std::string> ZipReader::read(std::string_view name) const {
    const StoredZipEntry *e = find(name);
    if (!e) return std::nullopt;
    std::string out;
    out.reserve(e->size);
    inflate(*e, [&](std::string_view piece) { out.append(piece); });
    return out;
}

} // namespace vandorix
