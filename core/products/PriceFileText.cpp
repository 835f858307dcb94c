// The text forms of a price file: its encoding, its blanks and its delimited fields.
#include "products/PriceFile.h"
#include "products/PriceFileRows.h"

#include "store/Utf8.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace vandorix {
namespace price_file {
namespace {

// Characters 0x80 to 0xFF of Windows-1250; 0 where the code page has none.
constexpr std::array<std::uint16_t, 128> kWindows1250 = {
    0x20AC, 0, 0x201A, 0, 0x201E, 0x2026, 0x2020, 0x2021,
    0, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// Splits one line at `delimiter`; a field in double quotes may hold the delimiter, and a doubled
// quote inside it stands for one.
std::vector<CellValue> splitFields(std::string_view line, char delimiter) {
    std::vector<CellValue> cells;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"' && normalizeBlanks(field).empty()) {
            field.clear();
            quoted = true;
        } else if (c == delimiter) {
            cells.emplace_back(normalizeBlanks(field));
            field.clear();
        } else {
            field += c;
        }
    }
    cells.emplace_back(normalizeBlanks(field));
    return cells;
}

} // namespace

bool isValidUtf8(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 0x6 ? 1 : (c >> 4) == 0xE ? 2 : (c >> 3) == 0x1E ? 3 : -1;
        if (extra < 0 || (extra == 1 && c < 0xC2) || i + extra >= s.size()) return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += extra + 1;
    }
    return true;
}

bool looksBinary(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A;
    });
}

std::string normalizeBlanks(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == 0xC2 && i + 1 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0xA0) {
            out += ' ';
            ++i;
        } else if (c == 0xE2 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
                   (static_cast<unsigned char>(s[i + 2]) == 0xAF ||
                    static_cast<unsigned char>(s[i + 2]) == 0x89)) {
            out += ' ';
            i += 2;
        } else {
            out += c == '\t' || c == '\f' ? ' ' : static_cast<char>(c);
        }
    }
    const std::size_t b = out.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return out.substr(b, out.find_last_not_of(' ') - b + 1);
}

std::vector<RawRow> textRows(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '\n' || text[i] == '\r') {
            lines.push_back(text.substr(start, i - start));
            if (i + 1 < text.size() && text[i] == '\r' && text[i + 1] == '\n') ++i;
            start = i + 1;
        }
    }
    // The field delimiter is the first of tab, ";" and "," that the first non-empty line holds.
    char delimiter = ',';
    for (std::string_view l : lines) {
        if (normalizeBlanks(l).empty()) continue;
        if (l.find('\t') != std::string_view::npos) delimiter = '\t';
        else if (l.find(';') != std::string_view::npos) delimiter = ';';
        break;
    }
    std::vector<RawRow> rows;
    for (std::size_t i = 0; i < lines.size(); ++i)
        rows.push_back({static_cast<int>(i + 1), splitFields(lines[i], delimiter)});
    return rows;
}

} // namespace price_file

using namespace price_file;

std::optional<std::string> Windows1250ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80) {
            out += ch;
            continue;
        }
        const std::uint16_t cp = kWindows1250[c - 0x80];
        if (cp == 0) return std::nullopt;
        appendUtf8(out, cp);
    }
    return out;
}

std::optional<Date> ParsePriceFileDate(std::string_view text) {
    std::string s = normalizeBlanks(text);
    // A time of day after the date ("2026-12-07 00:00:00", "2026-12-07T00:00").
    if (const std::size_t colon = s.find(':'); colon != std::string::npos) {
        const std::size_t cut = s.find_last_of(" T", colon);
        if (cut == std::string::npos) return std::nullopt;
        s = normalizeBlanks(s.substr(0, cut));
    }
    if (std::optional<Date> d = Date::parse(s)) return d;
    // Day first, with dots: "07.12.2026", "7. 12. 2026.".
    int parts[3] = {0, 0, 0};
    int lengths[3] = {0, 0, 0};
    std::size_t i = 0;
    for (int n = 0; n < 3; ++n) {
        while (i < s.size() && s[i] == ' ') ++i;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && lengths[n] < 5) {
            parts[n] = parts[n] * 10 + (s[i] - '0');
            ++lengths[n];
            ++i;
        }
        if (lengths[n] == 0) return std::nullopt;
        if (n < 2) {
            if (i >= s.size() || s[i] != '.') return std::nullopt;
            ++i;
        }
    }
    if (i < s.size() && s[i] == '.') ++i;
    if (i != s.size()) return std::nullopt;
    if (lengths[0] > 2 || lengths[1] > 2 || lengths[2] != 4) return std::nullopt;
    return Date::fromYmd(parts[2], parts[1], parts[0]);
}

} // namespace vandorix
