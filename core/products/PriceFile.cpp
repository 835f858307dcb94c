#include "products/PriceFile.h"

#include "app/Validation.h"
#include "store/CellValue.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <iterator>

namespace vandorix {
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

// Headings of the two columns, lower case.
const char *const kDateHeadings[] = {"dátum", "datum", "date", "nap", "kereskedési nap",
                                     "trade date"};
const char *const kCloseHeadings[] = {"záró", "záróár", "záró ár", "close", "utolsó ár",
                                      "záró darab ár", "záró darabár", "closing price",
                                      "záróárfolyam", "záró árfolyam", "last", "utolsó"};

void appendUtf8(std::string &out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

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

// Control characters other than tab, line feed, form feed, carriage return and the old end of
// file mark do not occur in text.
bool looksBinary(std::string_view s) {
    return std::any_of(s.begin(), s.end(), [](char ch) {
        const auto c = static_cast<unsigned char>(ch);
        return c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != 0x1A;
    });
}

// Blanks of every width (no-break, narrow no-break, thin) become plain blanks; the ends are
// trimmed.
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

// Lower case for comparing headings: ASCII and the accented letters of Hungarian.
std::string lowerCase(std::string s) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c >= 'A' && c <= 'Z') {
            s[i] = static_cast<char>(c + 32);
        } else if (i + 1 < s.size()) {
            auto &next = reinterpret_cast<unsigned char &>(s[i + 1]);
            if (c == 0xC3 && next >= 0x80 && next <= 0x9E && next != 0x97) next += 0x20;
            else if (c == 0xC5 && (next == 0x90 || next == 0xB0)) next += 1;
        }
    }
    return s;
}

bool oneOf(const std::string &heading, const char *const *names, std::size_t count) {
    return std::find(names, names + count, heading) != names + count;
}

struct RawRow {
    int line = 0;
    std::vector<CellValue> cells;
};

bool blankRow(const RawRow &row) {
    return std::all_of(row.cells.begin(), row.cells.end(), [](const CellValue &v) { return v.isBlank(); });
}

std::string cellText(const CellValue &v) { return v.kind() == CellKind::Text ? *v.text() : std::string(); }

std::optional<Date> dateOf(const CellValue &v, bool numbersAreSerials) {
    switch (v.kind()) {
    case CellKind::Date: return v.date();
    case CellKind::Text: return ParsePriceFileDate(*v.text());
    case CellKind::Number:
        if (numbersAreSerials) {
            const double n = *v.number();
            if (n >= 1 && n == static_cast<double>(static_cast<std::int64_t>(n))) return Date::fromSerial(n);
        }
        return std::nullopt;
    default: return std::nullopt;
    }
}

std::optional<Currency> priceOf(const CellValue &v) {
    switch (v.kind()) {
    case CellKind::Currency:
    case CellKind::Number: return v.currency();
    case CellKind::Text: return ParseNumberText(*v.text());
    default: return std::nullopt;
    }
}

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

std::vector<RawRow> sheetRows(std::string_view bytes, const std::string &name) {
    std::unique_ptr<Workbook> workbook;
    try {
        workbook = decodeWorkbook(bytes, name);
    } catch (const HostError &) {
        throw PriceFileError(std::string("A táblázat sérült, nem olvasható:") + "\r\n" + name);
    }
    const Sheet *sheet = nullptr;
    for (int i = 1; i <= workbook->sheetCount() && !sheet; ++i)
        if (workbook->sheetAt(i).kind() == SheetKind::Worksheet) sheet = &workbook->sheetAt(i);
    std::vector<RawRow> rows;
    if (!sheet) return rows;
    for (int r = 1; r <= sheet->rowCount(); ++r) {
        RawRow row{r, {}};
        const int width = static_cast<int>(sheet->row(r)->cells.size());
        for (int c = 1; c <= width; ++c) {
            const CellValue &v = sheet->value(r, c);
            row.cells.push_back(v.kind() == CellKind::Text ? CellValue(normalizeBlanks(*v.text())) : v);
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

struct Columns {
    std::optional<std::size_t> date, close;
    bool fromHeading = false;
};

bool dateLike(const CellValue &v) { return dateOf(v, false).has_value(); }
bool numberLike(const CellValue &v) { return v.kind() != CellKind::Date && priceOf(v).has_value(); }

PriceFileContent readRows(const std::vector<RawRow> &rows, Date today) {
    PriceFileContent content;
    std::vector<const RawRow *> data;
    for (const RawRow &row : rows)
        if (!blankRow(row)) data.push_back(&row);
    if (data.empty()) return content;

    // A heading names the columns; a first line of texts alone is a heading of other names.
    Columns cols;
    std::size_t headingWidth = 0;
    const RawRow &first = *data.front();
    for (std::size_t c = 0; c < first.cells.size(); ++c) {
        // A unit after the name ("Záró ár (HUF)") is no part of it.
        std::string heading = lowerCase(cellText(first.cells[c]));
        heading = normalizeBlanks(heading.substr(0, heading.find('(')));
        if (!cols.date && oneOf(heading, kDateHeadings, std::size(kDateHeadings))) cols.date = c;
        else if (!cols.close && oneOf(heading, kCloseHeadings, std::size(kCloseHeadings))) cols.close = c;
    }
    const bool heading =
        cols.date || cols.close ||
        std::none_of(first.cells.begin(), first.cells.end(),
                     [](const CellValue &v) { return dateLike(v) || numberLike(v); });
    if (heading) {
        cols.fromHeading = cols.date.has_value();
        headingWidth = first.cells.size();
        data.erase(data.begin());
    }
    // Columns no heading names: the first date-like one and the next number-like one after it.
    if (!cols.date || !cols.close) {
        for (const RawRow *row : data) {
            std::optional<std::size_t> d = cols.date;
            if (!d)
                for (std::size_t c = 0; c < row->cells.size() && !d; ++c)
                    if (dateLike(row->cells[c])) d = c;
            if (!d) continue;
            std::optional<std::size_t> p = cols.close;
            if (!p)
                for (std::size_t c = *d + 1; c < row->cells.size() && !p; ++c)
                    if (numberLike(row->cells[c])) p = c;
            if (!p) continue;
            cols.date = d;
            cols.close = p;
            break;
        }
    }

    std::vector<PriceFileDay> read;
    auto refuse = [&](int line, std::string reason) { content.refused.push_back({line, std::move(reason)}); };
    for (const RawRow *row : data) {
        const auto at = [&](std::optional<std::size_t> c) -> const CellValue * {
            return c && *c < row->cells.size() ? &row->cells[*c] : nullptr;
        };
        if (headingWidth > 0) {
            std::size_t used = row->cells.size();
            while (used > 0 && row->cells[used - 1].isBlank()) --used;
            if (used > headingWidth) {
                refuse(row->line, "több mező van benne, mint a fejlécben");
                continue;
            }
        }
        const CellValue *dayCell = at(cols.date);
        std::optional<Date> day = dayCell ? dateOf(*dayCell, cols.fromHeading) : std::nullopt;
        if (!day) {
            refuse(row->line, "hiányzó vagy hibás dátum");
            continue;
        }
        if (*day > today) {
            refuse(row->line, "a dátum a mai nap utáni (" + day->toString() + ")");
            continue;
        }
        const CellValue *priceCell = at(cols.close);
        std::optional<Currency> price = priceCell ? priceOf(*priceCell) : std::nullopt;
        if (!price) {
            refuse(row->line, "hiányzó vagy hibás záró ár");
            continue;
        }
        if (*price <= Currency()) {
            refuse(row->line, "a záró ár nem nagyobb nullánál");
            continue;
        }
        read.push_back({row->line, *day, *price});
    }

    // A day given on several lines is refused on each of them: which price holds is unknown.
    std::stable_sort(read.begin(), read.end(),
                     [](const PriceFileDay &a, const PriceFileDay &b) { return a.day < b.day; });
    for (std::size_t i = 0; i < read.size();) {
        std::size_t j = i + 1;
        while (j < read.size() && read[j].day == read[i].day) ++j;
        if (j - i == 1) {
            content.days.push_back(read[i]);
        } else {
            std::string lines;
            for (std::size_t k = i; k < j; ++k) lines += (k > i ? ", " : "") + std::to_string(read[k].line) + ".";
            for (std::size_t k = i; k < j; ++k)
                refuse(read[k].line, "a nap (" + read[k].day.toString() + ") több sorban szerepel: " + lines + " sor");
        }
        i = j;
    }
    std::stable_sort(content.refused.begin(), content.refused.end(),
                     [](const RefusedPriceLine &a, const RefusedPriceLine &b) { return a.line < b.line; });
    return content;
}

bool isSpreadsheetPackage(std::string_view bytes) { return bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4); }

} // namespace

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

PriceFileContent ParsePriceFileBytes(std::string_view bytes, Date today, const std::string &name) {
    if (isSpreadsheetPackage(bytes)) return readRows(sheetRows(bytes, name), today);
    const std::string notText =
        std::string("A fájl nem szöveg és nem xlsx táblázat, nem olvasható:") + "\r\n" + name;
    if (looksBinary(bytes)) throw PriceFileError(notText);
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    if (isValidUtf8(bytes)) return readRows(textRows(bytes), today);
    std::optional<std::string> text = Windows1250ToUtf8(bytes);
    if (!text) throw PriceFileError(notText);
    return readRows(textRows(*text), today);
}

PriceFileContent ReadPriceFile(const std::filesystem::path &path, Date today) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw PriceFileError(std::string("A fájl nem található:") + "\r\n" + path.string());
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PriceFileError(std::string("A fájl nem olvasható:") + "\r\n" + path.string());
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) throw PriceFileError(std::string("A fájl nem olvasható:") + "\r\n" + path.string());
    return ParsePriceFileBytes(bytes, today, path.string());
}

} // namespace vandorix
