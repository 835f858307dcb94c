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

void put16(std::string &s, std::uint16_t v) {
    s += static_cast<char>(v & 0xFF);
    s += static_cast<char>(v >> 8);
}
void put32(std::string &s, std::uint32_t v) {
    put16(s, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(s, static_cast<std::uint16_t>(v >> 16));
}
void set32(std::string &s, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

constexpr std::uint16_t kDosDate = (0 << 9) | (1 << 5) | 2; // 1980-01-02, the earliest zip day
constexpr std::uint16_t kUtf8Names = 0x0800;
constexpr std::uint64_t kZip32Limit = 0xFFFFFFFFull;

} // namespace

void ZipWriter::header(std::string_view name, std::uint16_t method, std::uint32_t crc,
                       std::uint64_t compressedSize, std::uint64_t size, std::size_t at) {
    if (compressedSize >= kZip32Limit || size >= kZip32Limit || at >= kZip32Limit)
        throw ZipError("a munkafüzet túl nagy (4 GB fölött)");
    set32(out_, at + 14, crc);
    set32(out_, at + 18, static_cast<std::uint32_t>(compressedSize));
    set32(out_, at + 22, static_cast<std::uint32_t>(size));
    central_.push_back({std::string(name), method, crc, static_cast<std::uint32_t>(compressedSize),
                        static_cast<std::uint32_t>(size), static_cast<std::uint32_t>(at)});
}

namespace {

// The local header of an entry with its sizes still zero; returns where it starts.
std::size_t localHeader(std::string &out, std::string_view name, std::uint16_t method) {
    std::size_t at = out.size();
    put32(out, 0x04034b50);
    put16(out, 20);
    put16(out, kUtf8Names);
    put16(out, method);
    put16(out, 0); // time
    put16(out, kDosDate);
    put32(out, 0); // crc
    put32(out, 0); // compressed size
    put32(out, 0); // size
    put16(out, static_cast<std::uint16_t>(name.size()));
    put16(out, 0);
    out.append(name);
    return at;
}

} // namespace

struct ZipWriter::Deflater {
    z_stream z{};
    bool open = false;
    std::uint64_t size = 0;
    uLong crc = 0;
    std::string buffer = std::string(256 << 10, '\0');
    ~Deflater() {
        if (open) deflateEnd(&z);
    }
};

ZipWriter::ZipWriter() : deflater_(std::make_unique<Deflater>()) {}
ZipWriter::~ZipWriter() = default;

void ZipWriter::begin(std::string_view name) {
    Deflater &d = *deflater_;
    if (d.open) deflateEnd(&d.z);
    d.z = z_stream{};
    if (deflateInit2(&d.z, 1, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw ZipError("a tömörítés nem indítható");
    d.open = true;
    d.size = 0;
    d.crc = 0;
    entryName_ = name;
    entryAt_ = localHeader(out_, name, 8);
}

void ZipWriter::deflateInto(int flush) {
    Deflater &d = *deflater_;
    for (;;) {
        d.z.next_out = reinterpret_cast<Bytef *>(d.buffer.data());
        d.z.avail_out = static_cast<uInt>(d.buffer.size());
        int rc = ::deflate(&d.z, flush);
        if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR) throw ZipError("a tömörítés nem sikerült");
        out_.append(d.buffer.data(), d.buffer.size() - d.z.avail_out);
        if (flush == Z_FINISH ? rc == Z_STREAM_END : d.z.avail_out != 0) return;
    }
}

void ZipWriter::write(std::string_view data) {
    Deflater &d = *deflater_;
    while (!data.empty()) {
        std::size_t piece = std::min<std::size_t>(data.size(), 1u << 30);
        d.z.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
        d.z.avail_in = static_cast<uInt>(piece);
        d.crc = crc32_z(d.crc, reinterpret_cast<const Bytef *>(data.data()), piece);
        d.size += piece;
        deflateInto(Z_NO_FLUSH);
        data.remove_prefix(piece);
    }
}

void ZipWriter::end() {
    Deflater &d = *deflater_;
    d.z.next_in = nullptr;
    d.z.avail_in = 0;
    deflateInto(Z_FINISH);
    std::uint64_t compressed = d.z.total_out;
    deflateEnd(&d.z);
    d.open = false;
    header(entryName_, 8, static_cast<std::uint32_t>(d.crc), compressed, d.size, entryAt_);
}

void ZipWriter::addStored(std::string_view name, const StoredZipEntry &entry) {
    std::size_t at = localHeader(out_, name, entry.method);
    out_.append(entry.compressed);
    header(name, entry.method, entry.crc, entry.compressed.size(), entry.size, at);
}

std::string ZipWriter::finish() {
    std::size_t directoryAt = out_.size();
    for (const Central &c : central_) {
        put32(out_, 0x02014b50);
        put16(out_, 20);
        put16(out_, 20);
        put16(out_, kUtf8Names);
        put16(out_, c.method);
        put16(out_, 0);
        put16(out_, kDosDate);
        put32(out_, c.crc);
        put32(out_, c.compressedSize);
        put32(out_, c.size);
        put16(out_, static_cast<std::uint16_t>(c.name.size()));
        put16(out_, 0); // extra
        put16(out_, 0); // comment
        put16(out_, 0); // disk
        put16(out_, 0); // internal attributes
        put32(out_, 0); // external attributes
        put32(out_, c.offset);
        out_ += c.name;
    }
    std::size_t directorySize = out_.size() - directoryAt;
    if (central_.size() >= 0xFFFF || out_.size() >= kZip32Limit)
        throw ZipError("a munkafüzet túl nagy (4 GB fölött)");
    put32(out_, 0x06054b50);
    put16(out_, 0);
    put16(out_, 0);
    put16(out_, static_cast<std::uint16_t>(central_.size()));
    put16(out_, static_cast<std::uint16_t>(central_.size()));
    put32(out_, static_cast<std::uint32_t>(directorySize));
    put32(out_, static_cast<std::uint32_t>(directoryAt));
    put16(out_, 0);
    central_.clear();
    return std::move(out_);
}

std::string writeZip(const std::vector<ZipEntry> &entries) {
    ZipWriter writer;
    for (const ZipEntry &e : entries) writer.add(e.name, e.data);
    return writer.finish();
}

ZipReader::ZipReader(std::string_view bytes) {
    static const unsigned char kOldFormat[] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (bytes.size() >= sizeof kOldFormat && std::memcmp(bytes.data(), kOldFormat, sizeof kOldFormat) == 0)
        throw ZipError("régi formátumú munkafüzet", true);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!src) fail(&error);
    std::unique_ptr<zip_t, ArchiveCloser> archive(
        zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive) {
        zip_source_free(src);
        fail(&error);
    }
    zip_error_fini(&error);
    zip_int64_t n = zip_get_num_entries(archive.get(), 0);
    std::vector<zip_stat_t> stats;
    std::uint64_t total = 0;
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(archive.get(), i, 0, &st) != 0) continue;
        const zip_uint64_t need = ZIP_STAT_NAME | ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE |
                                  ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC | ZIP_STAT_INDEX;
        if ((st.valid & need) != need) throw ZipError("hiányos zip-tartalomjegyzék");
        if (st.size > kMaxZipPartBytes)
            throw ZipError("a(z) " + std::string(st.name) + " rész kibontva " +
                           std::to_string(st.size >> 20) + " MB lenne, legfeljebb " +
                           std::to_string(kMaxZipPartBytes >> 20) + " MB fogadható el");
        if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
            throw ZipError(zipErrorText(ZIP_ER_ENCRNOTSUPP));
        if (st.comp_method != ZIP_CM_STORE && st.comp_method != ZIP_CM_DEFLATE)
            throw ZipError(zipErrorText(ZIP_ER_COMPNOTSUPP) + ": " + st.name);
        // The entries' compressed bytes lie within the file.
        if (st.comp_size > bytes.size() || total + st.comp_size > bytes.size())
            throw ZipError(zipErrorText(ZIP_ER_INCONS));
        total += st.comp_size;
        stats.push_back(st);
    }
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

// The same, with the inflating on a second thread a few pieces ahead of `sink`. The pieces,
// and any failure, reach the caller in the order `inflateInTurn` gives them; a failing sink
// stops the inflating thread before its exception goes on. False, with nothing inflated, when
// no second thread can be had.
bool inflateAhead(EntryInflater &inflater, const std::function<void(std::string_view)> &sink) {
    // Enough pieces ahead (4 MiB) that a busy machine's scheduling delays rarely stall either side;
    // the inflating thread, once stopped by a full queue, resumes when half of it is free again.
    constexpr std::size_t kSlots = 32;
    // Left uninitialised: a part shorter than the queue touches only the slots it fills.
    std::array<std::unique_ptr<char[]>, kSlots> buffers;
    for (auto &b : buffers) b = std::make_unique_for_overwrite<char[]>(kChunk);
    std::array<std::size_t, kSlots> lengths{};
    std::mutex m;
    std::condition_variable cv;
    std::size_t filled = 0, handedOn = 0; // pieces so far; piece i lies in slot i % kSlots
    bool finished = false, stop = false;
    std::exception_ptr failure;

    std::thread worker;
    auto inflating = [&] {
        try {
            while (!inflater.done()) {
                std::size_t slot;
                {
                    std::unique_lock<std::mutex> lock(m);
                    if (filled - handedOn == kSlots)
                        cv.wait(lock, [&] { return stop || filled - handedOn <= kSlots / 2; });
                    if (stop) break;
                    slot = filled % kSlots;
                }
                const std::size_t n = inflater.next(buffers[slot].get(), kChunk);
                {
                    std::lock_guard<std::mutex> lock(m);
                    lengths[slot] = n;
                    ++filled;
                }
                cv.notify_all();
            }
            if (inflater.done()) inflater.check();
        } catch (...) {
            std::lock_guard<std::mutex> lock(m);
            failure = std::current_exception();
        }
        {
            std::lock_guard<std::mutex> lock(m);
            finished = true;
        }
        cv.notify_all();
    };
    try {
        worker = std::thread(inflating);
    } catch (const std::system_error &) {
        return false;
    }

    try {
        for (;;) {
            std::size_t slot, n;
            {
                std::unique_lock<std::mutex> lock(m);
                cv.wait(lock, [&] { return handedOn < filled || finished; });
                if (handedOn == filled) break; // finished, every piece handed on
                slot = handedOn % kSlots;
                n = lengths[slot];
            }
            if (n) sink(std::string_view(buffers[slot].get(), n));
            {
                std::lock_guard<std::mutex> lock(m);
                ++handedOn;
            }
            cv.notify_all();
        }
    } catch (...) {
        {
            std::lock_guard<std::mutex> lock(m);
            stop = true;
        }
        cv.notify_all();
        worker.join();
        throw;
    }
    worker.join();
    if (failure) std::rethrow_exception(failure);
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
