// Writes zip archives: entries deflated as they come, or copied compressed from another archive.
#include "store/ZipPackage.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

namespace vandorix {
namespace {

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

} // namespace vandorix
