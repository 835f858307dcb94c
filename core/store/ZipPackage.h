#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vandorix {

// The zip container of a workbook file, held in memory.
struct ZipEntry {
    std::string name;
    std::string data;
};

// An entry as it lies in an archive: its compressed bytes with the method, checksum and size
// needed to inflate them or to copy them into another archive unchanged.
struct StoredZipEntry {
    std::string name;
    std::uint16_t method = 0; // 0: stored, 8: deflated
    std::uint32_t crc = 0;
    std::uint64_t size = 0;
    std::string_view compressed; // held by the reader (or whoever made the entry)
};

// Why an archive cannot be read, in Hungarian. `oldFormat` marks a binary workbook of the
// spreadsheet programs before 2007, which is no zip at all.
class ZipError : public std::runtime_error {
public:
    explicit ZipError(const std::string &what, bool oldFormat = false)
        : std::runtime_error(what), oldFormat_(oldFormat) {}
    bool oldFormat() const { return oldFormat_; }

private:
    bool oldFormat_;
};

// Largest inflated part accepted (2.5 times the sheet of a 120,000-row ledger); a larger one
// (a zip bomb, or no workbook of this program) is refused before it is inflated.
inline constexpr std::uint64_t kMaxZipPartBytes = 256ull << 20;

// Builds a zip archive; deflated entries at level 1 and fixed timestamps, so equal content
// gives equal bytes.
class ZipWriter {
public:
    ZipWriter();
    ~ZipWriter();
    ZipWriter(const ZipWriter &) = delete;
    ZipWriter &operator=(const ZipWriter &) = delete;

    void add(std::string_view name, std::string_view data) {
        begin(name);
        write(data);
        end();
    }
    // An entry written piece by piece, compressed as it comes: `begin`, any number of
    // `write`, `end`.
    void begin(std::string_view name);
    void write(std::string_view data);
    void end();
    // Copies an entry's compressed bytes unchanged under `name`.
    void addStored(std::string_view name, const StoredZipEntry &entry);
    std::string finish();
    // Room for an archive of about `bytes`, so that copying stored parts does not regrow it.
    void reserve(std::size_t bytes) { out_.reserve(bytes); }

private:
    struct Deflater;
    void header(std::string_view name, std::uint16_t method, std::uint32_t crc,
                std::uint64_t compressedSize, std::uint64_t size, std::size_t headerAt);
    void deflateInto(int flush);

    std::unique_ptr<Deflater> deflater_;
    std::string entryName_;
    std::size_t entryAt_ = 0;

    struct Central {
        std::string name;
        std::uint16_t method;
        std::uint32_t crc;
        std::uint32_t compressedSize;
        std::uint32_t size;
        std::uint32_t offset;
    };
    std::string out_;
    std::vector<Central> central_;
};

std::string writeZip(const std::vector<ZipEntry> &entries);

// Reads the directory of a zip archive and the compressed bytes of every entry; entries are
// looked up case-insensitively and inflated on demand, their checksum verified. Throws
// `ZipError` when the archive is damaged.
class ZipReader {
public:
    explicit ZipReader(std::string_view bytes);
    std::optional<std::string> read(std::string_view name) const;
    const StoredZipEntry *find(std::string_view name) const;
    // Inflates an entry piece by piece into `sink`, so a large part never needs to be held
    // whole; throws `ZipError` on damaged data.
    static void inflate(const StoredZipEntry &entry,
                        const std::function<void(std::string_view)> &sink);

private:
    std::map<std::string, StoredZipEntry> entries_; // key: lower-case name
    std::unique_ptr<char[]> storage_;               // every entry's compressed bytes
};

} // namespace vandorix
