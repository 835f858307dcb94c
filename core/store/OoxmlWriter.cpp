// Writes a workbook as an OOXML spreadsheet package.
#include "store/OoxmlCodec.h"

#include "store/HostError.h"
#include "store/OoxmlShared.h"
#include "store/ZipPackage.h"

#include <charconv>
#include <cstdio>
#include <unordered_map>

namespace vandorix {
namespace {

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
            } else if (c == '_' && !attribute && looksLikeEscape(s.substr(i))) {
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

void appendCurrency(std::string &out, Currency c) {
    std::int64_t raw = c.raw();
    if (raw < 0) {
        out += '-';
        raw = -raw;
    }
    out += std::to_string(raw / Currency::Scale);
    std::int64_t frac = raw % Currency::Scale;
    if (frac) {
        std::string f = std::to_string(frac + Currency::Scale).substr(1);
        while (f.back() == '0') f.pop_back();
        out += '.';
        out += f;
    }
}

std::string hashHex(std::uint16_t h) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04X", h);
    return buf;
}

// Cell formats in order of first use; index 0 is the default format.
class StyleTable {
public:
    StyleTable() { refs_.push_back(nullptr); index_[nullptr] = 0; }
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
};

class StringTable {
public:
    int indexOf(const std::string &s) {
        auto [it, inserted] = index_.try_emplace(s, static_cast<int>(strings_.size()));
        if (inserted) strings_.push_back(&it->first);
        ++uses_;
        return it->second;
    }
    std::string xml() const {
        std::string x = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                        "<sst xmlns=\"" + std::string(kMainNs) + "\" count=\"" +
                        std::to_string(uses_) + "\" uniqueCount=\"" +
                        std::to_string(strings_.size()) + "\">";
        for (const std::string *s : strings_) {
            x += "<si><t xml:space=\"preserve\">";
            appendEscaped(x, *s, false);
            x += "</t></si>";
        }
        x += "</sst>";
        return x;
    }

private:
    std::unordered_map<std::string, int> index_;
    std::vector<const std::string *> strings_;
    int uses_ = 0;
};

std::string sheetXml(const Sheet &sheet, bool selected, StyleTable &styles, StringTable &strings) {
    std::string x;
    x.reserve(static_cast<std::size_t>(sheet.rowCount()) * 400 + 1024);
    x += "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"";
    x += kMainNs;
    x += "\" xmlns:r=\"";
    x += kRelNs;
    x += "\">";
    int lastRow = sheet.rowCount();
    int lastCol = sheet.columnCount();
    x += "<dimension ref=\"A1";
    if (lastRow > 0 && lastCol > 0) x += ":" + columnName(lastCol) + std::to_string(lastRow);
    x += "\"/><sheetViews><sheetView workbookViewId=\"0\"";
    if (selected) x += " tabSelected=\"1\"";
    x += "/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!sheet.columnWidths().empty()) {
        x += "<cols>";
        for (auto [col, width] : sheet.columnWidths()) {
            x += "<col min=\"" + std::to_string(col) + "\" max=\"" + std::to_string(col) +
                 "\" width=\"";
            appendDouble(x, width);
            x += "\" customWidth=\"1\"/>";
        }
        x += "</cols>";
    }
    x += "<sheetData>";
    for (int r = 1; r <= lastRow; ++r) {
        const Row &row = *sheet.row(r);
        if (row.cells.empty() && !row.format && row.height == 0) continue;
        std::string rowNumber = std::to_string(r);
        x += "<row r=\"" + rowNumber + "\"";
        if (row.format) x += " s=\"" + std::to_string(styles.indexOf(row.format)) + "\" customFormat=\"1\"";
        if (row.height > 0) {
            x += " ht=\"";
            appendDouble(x, row.height);
            x += "\" customHeight=\"1\"";
        }
        x += ">";
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const Cell &cell = row.cells[c];
            if (cell.value.kind() == CellKind::Empty && cell.format == row.format) continue;
            x += "<c r=\"";
            x += columnName(static_cast<int>(c) + 1);
            x += rowNumber;
            x += "\"";
            if (cell.format) x += " s=\"" + std::to_string(styles.indexOf(cell.format)) + "\"";
            const CellValue &v = cell.value;
            switch (v.kind()) {
            case CellKind::Empty: x += "/>"; break;
            case CellKind::Text:
                x += " t=\"s\"><v>" + std::to_string(strings.indexOf(*v.text())) + "</v></c>";
                break;
            case CellKind::Number:
                x += "><v>";
                appendDouble(x, *v.number());
                x += "</v></c>";
                break;
            case CellKind::Date:
                x += "><v>" + std::to_string(v.date()->serial()) + "</v></c>";
                break;
            case CellKind::Currency:
                x += "><v>";
                appendCurrency(x, *v.currency());
                x += "</v></c>";
                break;
            }
        }
        x += "</row>";
    }
    x += "</sheetData>";
    if (sheet.isProtected()) {
        x += "<sheetProtection";
        if (sheet.protectionHash()) x += " password=\"" + hashHex(sheet.protectionHash()) + "\"";
        x += " sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
    }
    x += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
         "footer=\"0.3\"/></worksheet>";
    return x;
}

} // namespace

std::string encodeWorkbook(const Workbook &wb) {
    StyleTable styles;
    StringTable strings;
    std::vector<ZipEntry> sheetParts;
    std::string sheetsXml, relsXml, overrides;
    int activeIndex = 0;
    int written = 0;
    const Sheet *active = nullptr;
    if (wb.sheetCount() > 0) active = &const_cast<Workbook &>(wb).activeSheet();
    for (int i = 1; i <= wb.sheetCount(); ++i) {
        const Sheet &s = wb.sheetAt(i);
        // Chart sheets are views drawn from their source ranges; they are not stored.
        if (s.kind() == SheetKind::Chart) continue;
        ++written;
        if (&s == active) activeIndex = written - 1;
        std::string n = std::to_string(written);
        sheetParts.push_back({"xl/worksheets/sheet" + n + ".xml",
                              sheetXml(s, &s == active, styles, strings)});
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

    std::vector<ZipEntry> entries;
    entries.push_back({"[Content_Types].xml",
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
                           overrides + "</Types>"});
    entries.push_back({"_rels/.rels",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                       "<Relationships xmlns=\"" + std::string(kPkgRelNs) +
                           "\"><Relationship Id=\"rId1\" Type=\"" + std::string(kRelNs) +
                           "/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>"});
    entries.push_back({"xl/workbook.xml", workbookXml});
    entries.push_back({"xl/_rels/workbook.xml.rels",
                       "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                       "<Relationships xmlns=\"" + std::string(kPkgRelNs) + "\">" + relsXml +
                           "</Relationships>"});
    for (auto &p : sheetParts) entries.push_back(std::move(p));
    entries.push_back({"xl/styles.xml", styles.xml()});
    entries.push_back({"xl/sharedStrings.xml", strings.xml()});
    return writeZip(entries);
}

} // namespace vandorix
