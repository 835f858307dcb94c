#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vandorix {

// The zip container of a workbook file, held in memory.
struct ZipEntry {
    std::string name;
    std::string data;
};

// Builds a zip archive with deflated entries and fixed timestamps, so equal content gives
// equal bytes.
std::string writeZip(const std::vector<ZipEntry> &entries);

// Reads every entry of a zip archive; entry names are looked up case-insensitively.
// Throws std::runtime_error with a short reason when the archive is damaged.
class ZipReader {
public:
    explicit ZipReader(std::string_view bytes);
    std::optional<std::string> read(std::string_view name) const;

private:
    std::map<std::string, std::string> entries_; // key: lower-case name
};

} // namespace vandorix
