// Reads a price file: finds its date and closing-price columns and checks each line.
#include "products/PriceFile.h"
#include "products/PriceFileRows.h"

#include "app/Validation.h"
#include "store/CellValue.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <variant>

namespace vandorix {
namespace {

using namespace price_file;

// Headings of the two columns, lower case.
const char *const kDateHeadings[] = {"dátum", "datum", "date", "nap", "kereskedési nap",
                                     "trade date"};
const char *const kCloseHeadings[] = {"záró", "záróár", "záró ár", "close", "utolsó ár",
                                      "záró darab ár", "záró darabár", "closing price",
                                      "záróárfolyam", "záró árfolyam", "last", "utolsó"};

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

// The columns a heading line names; true when the first line is a heading (a first line of
// texts alone is a heading of other names).
bool readHeading(const RawRow &first, Columns &cols) {
    for (std::size_t c = 0; c < first.cells.size(); ++c) {
        // A unit after the name ("Záró ár (HUF)") is no part of it.
        std::string heading = lowerCase(cellText(first.cells[c]));
        heading = normalizeBlanks(heading.substr(0, heading.find('(')));
        if (!cols.date && oneOf(heading, kDateHeadings, std::size(kDateHeadings))) cols.date = c;
        else if (!cols.close && oneOf(heading, kCloseHeadings, std::size(kCloseHeadings))) cols.close = c;
    }
    return cols.date || cols.close ||
           std::none_of(first.cells.begin(), first.cells.end(),
                        [](const CellValue &v) { return dateLike(v) || numberLike(v); });
}

// Columns no heading names: the first date-like one and the next number-like one after it, in
// the first row that has both.
void guessColumns(const std::vector<const RawRow *> &data, Columns &cols) {
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

// One line's day and price, or the reason it is refused.
std::variant<PriceFileDay, std::string> readLine(const RawRow &row, const Columns &cols,
                                                 std::size_t headingWidth, Date today) {
    const auto at = [&](std::optional<std::size_t> c) -> const CellValue * {
        return c && *c < row.cells.size() ? &row.cells[*c] : nullptr;
    };
    if (headingWidth > 0) {
        std::size_t used = row.cells.size();
        while (used > 0 && row.cells[used - 1].isBlank()) --used;
        if (used > headingWidth) return "több mező van benne, mint a fejlécben";
    }
    const CellValue *dayCell = at(cols.date);
    std::optional<Date> day = dayCell ? dateOf(*dayCell, cols.fromHeading) : std::nullopt;
    if (!day) return "hiányzó vagy hibás dátum";
    if (*day > today) return "a dátum a mai nap utáni (" + day->toString() + ")";
    const CellValue *priceCell = at(cols.close);
    std::optional<Currency> price = priceCell ? priceOf(*priceCell) : std::nullopt;
    if (!price) return "hiányzó vagy hibás záró ár";
    if (*price <= Currency()) return "a záró ár nem nagyobb nullánál";
    return PriceFileDay{row.line, *day, *price};
}

// The days read, ascending; a day given on several lines is refused on each of them: which
// price holds is unknown.
void takeSingleDays(std::vector<PriceFileDay> read, PriceFileContent &content) {
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
                content.refused.push_back(
                    {read[k].line, "a nap (" + read[k].day.toString() + ") több sorban szerepel: " + lines + " sor"});
        }
        i = j;
    }
}

PriceFileContent readRows(const std::vector<RawRow> &rows, Date today) {
    PriceFileContent content;
    std::vector<const RawRow *> data;
    for (const RawRow &row : rows)
        if (!blankRow(row)) data.push_back(&row);
    if (data.empty()) return content;

    Columns cols;
    std::size_t headingWidth = 0;
    if (readHeading(*data.front(), cols)) {
        cols.fromHeading = cols.date.has_value();
        headingWidth = data.front()->cells.size();
        data.erase(data.begin());
    }
    if (!cols.date || !cols.close) guessColumns(data, cols);

    std::vector<PriceFileDay> read;
    for (const RawRow *row : data) {
        auto line = readLine(*row, cols, headingWidth, today);
        if (auto *day = std::get_if<PriceFileDay>(&line)) read.push_back(*day);
        else content.refused.push_back({row->line, std::move(std::get<std::string>(line))});
    }
    takeSingleDays(std::move(read), content);
    std::stable_sort(content.refused.begin(), content.refused.end(),
                     [](const RefusedPriceLine &a, const RefusedPriceLine &b) { return a.line < b.line; });
    return content;
}

bool isSpreadsheetPackage(std::string_view bytes) { return bytes.substr(0, 4) == std::string_view("PK\x03\x04", 4); }

} // namespace

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
