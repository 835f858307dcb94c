// Writes a workbook as an OOXML spreadsheet package.
#include "store/OoxmlCodec.h"

#include "store/HostError.h"
#include "store/OoxmlShared.h"
#include "store/ZipPackage.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <deque>
#include <unordered_map>

namespace vandorix {
namespace {

// Control characters become _xHHHH_ escapes (in attributes also tab and line feed), and an
// underscore that would read as such an escape becomes _x005F_, so every text and sheet name
// reads back exactly.
void appendEscaped(std::string &out, std::string_view s, bool attribute) {
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"':
            if (attribute) out += "&quot;";
            else out += '"';
            break;
        default:
            if ((c < 0x20 && c != '\t' && c != '\n') || (c == '\n' && attribute) ||
                (c == '\t' && attribute)) {
                char buf[10];
                std::snprintf(buf, sizeof buf, "_x%04X_", c);
                out += buf;
            } else if (c == '_' && looksLikeEscape(s.substr(i))) {
                out += "_x005F_";
            } else {
                out += static_cast<char>(c);
            }
        }
    }
}

std::string escaped(std::string_view s, bool attribute = true) {
    std::string out;
    appendEscaped(out, s, attribute);
    return out;
}

std::string columnName(int column) {
    std::string name;
    while (column > 0) {
        int rem = (column - 1) % 26;
        name.insert(name.begin(), static_cast<char>('A' + rem));
        column = (column - 1) / 26;
    }
    return name;
}

void appendDouble(std::string &out, double v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, res.ptr);
}

std::string hashHex(std::uint16_t h) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", h);
    return buf;
}

// Cell formats in order of first use; index 0 is the default format.
class StyleTable {
public:
    // `base`: the stored file's styles, whose indexes the stored sheets use.
    explicit StyleTable(const std::vector<FormatRef> &base) {
        refs_.push_back(nullptr);
        index_[nullptr] = 0;
        for (std::size_t i = 1; i < base.size(); ++i) {
            refs_.push_back(base[i]);
            index_.try_emplace(base[i], static_cast<int>(i));
        }
        baseSize_ = refs_.size();
    }
    bool grown() const { return refs_.size() != baseSize_; }
    int indexOf(FormatRef ref) {
        auto it = index_.find(ref);
        if (it != index_.end()) return it->second;
        int id = static_cast<int>(refs_.size());
        refs_.push_back(ref);
        index_[ref] = id;
        return id;
    }
    std::string xml() const {
        std::unordered_map<std::string, int> numFmtIds;
        std::string numFmts;
        for (FormatRef ref : refs_) {
            const std::string &code = formatOf(ref).numberFormat;
            if (code == "General" || numFmtIds.count(code)) continue;
            int id = 164 + static_cast<int>(numFmtIds.size());
            numFmtIds[code] = id;
            numFmts += "<numFmt numFmtId=\"" + std::to_string(id) + "\" formatCode=\"" +
                       escaped(code) + "\"/>";
        }
        std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                        "<styleSheet xmlns=\"" + std::string(kMainNs) + "\">";
        if (!numFmtIds.empty())
            x += "<numFmts count=\"" + std::to_string(numFmtIds.size()) + "\">" + numFmts +
                 "</numFmts>";
        x += "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/>"
             "</font><font><b/><sz val=\"11\"/><name val=\"Calibri\"/><family val=\"2\"/></font>"
             "</fonts>"
             "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill><fill>"
             "<patternFill patternType=\"gray125\"/></fill></fills>"
             "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border>"
             "</borders>"
             "<cellStyleXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" "
             "borderId=\"0\"/><xf numFmtId=\"4\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
             "</cellStyleXfs>";
        x += "<cellXfs count=\"" + std::to_string(refs_.size()) + "\">";
        for (FormatRef ref : refs_) {
            const CellFormat &f = formatOf(ref);
            int numFmtId = f.numberFormat == "General" ? 0 : numFmtIds.at(f.numberFormat);
            x += "<xf numFmtId=\"" + std::to_string(numFmtId) + "\" fontId=\"" +
                 (f.bold ? "1" : "0") + "\" fillId=\"0\" borderId=\"0\" xfId=\"" +
                 (f.currency ? "1" : "0") + "\"";
            if (numFmtId) x += " applyNumberFormat=\"1\"";
            if (f.bold) x += " applyFont=\"1\"";
            if (f.align != HAlign::General) {
                x += " applyAlignment=\"1\"><alignment horizontal=\"";
                x += f.align == HAlign::Left ? "left" : f.align == HAlign::Center ? "center" : "right";
                x += "\"/></xf>";
            } else {
                x += "/>";
            }
        }
        x += "</cellXfs><cellStyles count=\"2\"><cellStyle name=\"Normal\" xfId=\"0\" "
             "builtinId=\"0\"/><cellStyle name=\"Currency\" xfId=\"1\" builtinId=\"4\"/>"
             "</cellStyles></styleSheet>";
        return x;
    }

private:
    std::vector<FormatRef> refs_;
    std::unordered_map<FormatRef, int> index_;
    std::size_t baseSize_ = 1;
};

// Shared strings in order of first use. A workbook read from a file starts from that file's
// table, so the stored sheets' indexes stay valid; new texts are appended.
class StringTable {
public:
    explicit StringTable(const std::vector<SharedText> &base) {
        for (const SharedText &t : base) add(t);
        baseSize_ = strings_.size();
    }
    bool grown() const { return strings_.size() != baseSize_; }
    void countUses(long long n) { uses_ += n; }

    int indexOf(const SharedText &text) {
        ++uses_;
        // Texts read from a file are one shared object per string: found by identity, mostly.
        auto same = byIdentity_.find(text.identity());
        if (same != byIdentity_.end()) return same->second;
        auto equal = byContent_.find(text.view());
        if (equal != byContent_.end()) return equal->second;
        return add(text);
    }

    std::string xml() const {
        std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                        "<sst xmlns=\"" + std::string(kMainNs) + "\" count=\"" +
                        std::to_string(uses_) + "\" uniqueCount=\"" +
                        std::to_string(strings_.size()) + "\">";
        for (const SharedText &s : strings_) {
            x += "<si><t xml:space=\"preserve\">";
            appendEscaped(x, s.view(), false);
            x += "</t></si>";
        }
        x += "</sst>";
        return x;
    }

private:
    int add(const SharedText &text) {
        int id = static_cast<int>(strings_.size());
        strings_.push_back(text);
        byIdentity_.try_emplace(text.identity(), id);
        byContent_.try_emplace(strings_.back().view(), id);
        return id;
    }

    std::deque<SharedText> strings_; // stable: the maps hold views into them
    std::unordered_map<const void *, int> byIdentity_;
    std::unordered_map<std::string_view, int> byContent_;
    std::size_t baseSize_ = 0;
    long long uses_ = 0;
};

// The XML of a part, written through a cursor into a buffer that goes to the zip writer (and
// so to the compressor) whenever it fills: a sheet's XML is never held whole. Room is made
// once per row, then cells are appended without a check per character.
class Output {
public:
    explicit Output(ZipWriter &zip) : zip_(zip), buf_(kSize, '\0') {}
    ~Output() = default;
    void room(std::size_t n) {
        if (at_ + n <= buf_.size()) return;
        flush();
        if (n > buf_.size()) buf_.resize(n);
    }
    void flush() {
        zip_.write(std::string_view(buf_.data(), at_));
        at_ = 0;
    }
    void put(std::string_view s) {
        std::memcpy(buf_.data() + at_, s.data(), s.size());
        at_ += s.size();
    }
    void put(char c) { buf_[at_++] = c; }
    void putInt(long long v) {
        auto res = std::to_chars(buf_.data() + at_, buf_.data() + at_ + 24, v);
        at_ = res.ptr - buf_.data();
    }
    void putDouble(double v) {
        auto res = std::to_chars(buf_.data() + at_, buf_.data() + at_ + 32, v);
        at_ = res.ptr - buf_.data();
    }
    void putCurrency(Currency c) {
        std::int64_t raw = c.raw();
        std::uint64_t mag = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
        if (raw < 0) put('-');
        auto res = std::to_chars(buf_.data() + at_, buf_.data() + at_ + 24, mag / Currency::Scale);
        at_ = res.ptr - buf_.data();
        unsigned frac = static_cast<unsigned>(mag % Currency::Scale);
        if (frac) {
            char digits[4] = {static_cast<char>('0' + frac / 1000), static_cast<char>('0' + frac / 100 % 10),
                              static_cast<char>('0' + frac / 10 % 10), static_cast<char>('0' + frac % 10)};
            int n = 4;
            while (digits[n - 1] == '0') --n;
            put('.');
            put(std::string_view(digits, n));
        }
    }
    void putString(const std::string &s) {
        room(s.size());
        put(s);
    }

private:
    static constexpr std::size_t kSize = 256 << 10;
    ZipWriter &zip_;
    std::string buf_;
    std::size_t at_ = 0;
};

void writeSheetXml(ZipWriter &zip, const Sheet &sheet, bool selected, StyleTable &styles,
                   StringTable &strings) {
    const int lastRow = sheet.rowCount();
    const int lastCol = sheet.columnCount();
    Output x(zip);
    x.putString(std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"") +
                kMainNs + "\" xmlns:r=\"" + kRelNs + "\">");
    std::string head = "<dimension ref=\"A1";
    if (lastRow > 0 && lastCol > 0) head += ":" + columnName(lastCol) + std::to_string(lastRow);
    head += "\"/><sheetViews><sheetView workbookViewId=\"0\"";
    if (selected) head += " tabSelected=\"1\"";
    head += "/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!sheet.columnWidths().empty()) {
        head += "<cols>";
        for (auto [col, width] : sheet.columnWidths()) {
            head += "<col min=\"" + std::to_string(col) + "\" max=\"" + std::to_string(col) + "\" width=\"";
            appendDouble(head, width);
            head += "\" customWidth=\"1\"/>";
        }
        head += "</cols>";
    }
    head += "<sheetData>";
    x.putString(head);

    std::vector<std::string> columnNames(static_cast<std::size_t>(lastCol) + 1);
    for (int c = 1; c <= lastCol; ++c) columnNames[c] = columnName(c);
    // The style index of the format last seen in each column: a column mostly keeps one.
    std::vector<std::pair<FormatRef, int>> columnStyle(static_cast<std::size_t>(lastCol) + 1, {nullptr, 0});
    char rowNumber[16];
    for (int r = 1; r <= lastRow; ++r) {
        const Row &row = *sheet.row(r);
        if (row.cells.empty() && !row.format && row.height == 0) continue;
        std::size_t rowDigits = std::to_chars(rowNumber, rowNumber + sizeof rowNumber, r).ptr - rowNumber;
        std::string_view number(rowNumber, rowDigits);
        x.room(96 + row.cells.size() * (96 + rowDigits));
        x.put("<row r=\"");
        x.put(number);
        x.put('"');
        if (row.format) {
            x.put(" s=\"");
            x.putInt(styles.indexOf(row.format));
            x.put("\" customFormat=\"1\"");
        }
        if (row.height > 0) {
            x.put(" ht=\"");
            x.putDouble(row.height);
            x.put("\" customHeight=\"1\"");
        }
        x.put('>');
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const Cell &cell = row.cells[c];
            const CellValue &v = cell.value;
            if (v.kind() == CellKind::Empty && cell.format == row.format) continue;
            x.put("<c r=\"");
            x.put(columnNames[c + 1]);
            x.put(number);
            x.put('"');
            if (cell.format) {
                auto &cached = columnStyle[c + 1];
                if (cached.first != cell.format) cached = {cell.format, styles.indexOf(cell.format)};
                x.put(" s=\"");
                x.putInt(cached.second);
                x.put('"');
            }
            switch (v.kind()) {
            case CellKind::Empty: x.put("/>"); break;
            case CellKind::Text:
                x.put(" t=\"s\"><v>");
                x.putInt(strings.indexOf(*v.sharedText()));
                x.put("</v></c>");
                break;
            case CellKind::Number:
                x.put("><v>");
                x.putDouble(*v.number());
                x.put("</v></c>");
                break;
            case CellKind::Date:
                x.put("><v>");
                x.putInt(v.date()->serial());
                x.put("</v></c>");
                break;
            case CellKind::Currency:
                x.put("><v>");
                x.putCurrency(*v.currency());
                x.put("</v></c>");
                break;
            }
        }
        x.put("</row>");
    }
    std::string tail = "</sheetData>";
    if (sheet.isProtected()) {
        tail += "<sheetProtection";
        if (sheet.protectionHash()) tail += " password=\"" + hashHex(sheet.protectionHash()) + "\"";
        tail += " sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
    }
    tail += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
            "footer=\"0.3\"/></worksheet>";
    x.putString(tail);
    x.flush();
}

// The sheet a spreadsheet application opens the file on: the active one, or the first visible
// worksheet when the active one is hidden (an application would show a hidden sheet and save
// it back visible).
const Sheet *storedActiveSheet(const Workbook &wb) {
    const Sheet *active = wb.sheetCount() > 0 ? &const_cast<Workbook &>(wb).activeSheet() : nullptr;
    if (active && active->visible() && active->kind() == SheetKind::Worksheet) return active;
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        const Sheet &s = wb.sheetAt(i);
        if (s.visible() && s.kind() == SheetKind::Worksheet) return &s;
    }
    return active;
}

} // namespace

std::string encodeWorkbook(const Workbook &wb) {
    static const std::vector<FormatRef> noStyles;
    static const std::vector<SharedText> noStrings;
    const StoredWorkbookParts *stored = wb.storedParts().get();
    StyleTable styles(stored ? stored->xfs : noStyles);
    StringTable strings(stored ? stored->strings : noStrings);

    // A sheet part is either copied as stored (compressed bytes and all) or encoded anew.
    struct SheetPart {
        const Sheet *sheet;
        bool selected;
        const StoredZipEntry *stored;
    };
    std::vector<SheetPart> sheetParts;
    std::string sheetsXml, relsXml, overrides;
    int activeIndex = 0;
    int written = 0;
    const Sheet *active = storedActiveSheet(wb);
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        const Sheet &s = wb.sheetAt(i);
        // Chart sheets are views drawn from their source ranges; they are not stored.
        if (s.kind() == SheetKind::Chart) continue;
        ++written;
        const bool selected = &s == active;
        if (selected) activeIndex = written - 1;
        int part = stored ? s.unchangedStoredPart() : -1;
        if (part >= 0 && part < static_cast<int>(stored->sheets.size()) && s.storedSelected() == selected) {
            sheetParts.push_back({&s, selected, stored->sheets[part].entry});
            strings.countUses(stored->sheets[part].stringUses);
        } else {
            sheetParts.push_back({&s, selected, nullptr});
        }
        std::string n = std::to_string(written);
        sheetsXml += "<sheet name=\"" + escaped(s.name()) + "\" sheetId=\"" + n + "\"";
        if (s.visibility() == SheetVisibility::Hidden) sheetsXml += " state=\"hidden\"";
        if (s.visibility() == SheetVisibility::VeryHidden) sheetsXml += " state=\"veryHidden\"";
        sheetsXml += " r:id=\"rId" + n + "\"/>";
        relsXml += "<Relationship Id=\"rId" + n + "\" Type=\"" + std::string(kRelNs) +
                   "/worksheet\" Target=\"worksheets/sheet" + n + ".xml\"/>";
        overrides += "<Override PartName=\"/xl/worksheets/sheet" + n +
                     ".xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                     "spreadsheetml.worksheet+xml\"/>";
    }
    if (written == 0) throw HostError("Munkalap nélküli munkafüzet nem menthető: " + wb.fileName());
    std::string n = std::to_string(written + 1);
    relsXml += "<Relationship Id=\"rId" + n + "\" Type=\"" + std::string(kRelNs) +
               "/styles\" Target=\"styles.xml\"/>";
    n = std::to_string(written + 2);
    relsXml += "<Relationship Id=\"rId" + n + "\" Type=\"" + std::string(kRelNs) +
               "/sharedStrings\" Target=\"sharedStrings.xml\"/>";

    std::string workbookXml = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                              "<workbook xmlns=\"" + std::string(kMainNs) + "\" xmlns:r=\"" +
                              std::string(kRelNs) + "\"><workbookPr/>";
    if (wb.structureProtected()) {
        workbookXml += "<workbookProtection";
        if (wb.structureHash()) workbookXml += " workbookPassword=\"" + hashHex(wb.structureHash()) + "\"";
        workbookXml += " lockStructure=\"1\"/>";
    }
    workbookXml += "<bookViews><workbookView activeTab=\"" + std::to_string(activeIndex) +
                   "\"/></bookViews><sheets>" + sheetsXml + "</sheets></workbook>";

    ZipWriter zip;
    std::size_t copied = 0;
    for (const SheetPart &p : sheetParts)
        if (p.stored) copied += p.stored->compressed.size();
    zip.reserve(copied + (64 << 10));
    try {
        zip.add("[Content_Types].xml",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
                "<Default Extension=\"rels\" ContentType=\"application/vnd.openxmlformats-"
                "package.relationships+xml\"/><Default Extension=\"xml\" ContentType="
                "\"application/xml\"/><Override PartName=\"/xl/workbook.xml\" ContentType="
                "\"application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
                "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/vnd."
                "openxmlformats-officedocument.spreadsheetml.styles+xml\"/><Override "
                "PartName=\"/xl/sharedStrings.xml\" ContentType=\"application/vnd."
                "openxmlformats-officedocument.spreadsheetml.sharedStrings+xml\"/>" +
                    overrides + "</Types>");
        zip.add("_rels/.rels", "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                               "<Relationships xmlns=\"" + std::string(kPkgRelNs) +
                                   "\"><Relationship Id=\"rId1\" Type=\"" + std::string(kRelNs) +
                                   "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
        zip.add("xl/workbook.xml", workbookXml);
        zip.add("xl/_rels/workbook.xml.rels",
                "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                "<Relationships xmlns=\"" + std::string(kPkgRelNs) + "\">" + relsXml + "</Relationships>");
        for (std::size_t i = 0; i < sheetParts.size(); ++i) {
            std::string name = "xl/worksheets/sheet" + std::to_string(i + 1) + ".xml";
            if (sheetParts[i].stored) {
                zip.addStored(name, *sheetParts[i].stored);
            } else {
                zip.begin(name);
                writeSheetXml(zip, *sheetParts[i].sheet, sheetParts[i].selected, styles, strings);
                zip.end();
            }
        }
        if (stored && stored->styles && !styles.grown()) zip.addStored("xl/styles.xml", *stored->styles);
        else zip.add("xl/styles.xml", styles.xml());
        if (stored && stored->sharedStrings && !strings.grown())
            zip.addStored("xl/sharedStrings.xml", *stored->sharedStrings);
        else zip.add("xl/sharedStrings.xml", strings.xml());
    } catch (const ZipError &e) {
        throw HostError(std::string("A munkafüzet nem menthető: ") + wb.fileName() + " (" + e.what() + ")");
    }
    return zip.finish();
}

} // namespace vandorix
