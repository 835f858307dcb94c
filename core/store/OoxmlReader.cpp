// Reads an OOXML spreadsheet package into the workbook model. Anything that does not parse,
// or refers to a part that is missing, makes the whole file unreadable: a workbook is never
// half-loaded.
#include "store/OoxmlCodec.h"

#include "store/HostError.h"
#include "store/OoxmlShared.h"
#include "store/ZipPackage.h"

#include <pugixml.hpp>

#include <charconv>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <unordered_map>

namespace vandorix {
namespace {

struct Unreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

const char *localName(const pugi::xml_node &n) {
    const char *name = n.name();
    const char *colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

bool is(const pugi::xml_node &n, const char *name) { return std::strcmp(localName(n), name) == 0; }

pugi::xml_node child(const pugi::xml_node &parent, const char *name) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, name)) return c;
    return {};
}

template <class F> void forEach(const pugi::xml_node &parent, const char *name, F f) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, name)) f(c);
}

// An attribute by local name, so that prefixed attributes ("r:id") are found too.
pugi::xml_attribute attr(const pugi::xml_node &n, const char *name) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        const char *an = a.name();
        const char *colon = std::strrchr(an, ':');
        if (std::strcmp(colon ? colon + 1 : an, name) == 0) return a;
    }
    return {};
}

bool truthy(const pugi::xml_attribute &a) {
    if (!a) return false;
    std::string v = a.value();
    return v == "1" || v == "true" || v == "on";
}

std::string unescape(std::string_view s) {
    if (s.find("_x") == std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (looksLikeEscape(s.substr(i))) {
            unsigned cp = std::stoul(std::string(s.substr(i + 2, 4)), nullptr, 16);
            if (cp < 0x80) out += static_cast<char>(cp);
            else if (cp < 0x800) {
                out += static_cast<char>(0xC0 | (cp >> 6));
                out += static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                out += static_cast<char>(0xE0 | (cp >> 12));
                out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                out += static_cast<char>(0x80 | (cp & 0x3F));
            }
            i += 6;
        } else {
            out += s[i];
        }
    }
    return out;
}

// Text of a shared string or inline string: plain <t> or rich-text runs <r><t>.
std::string stringItemText(const pugi::xml_node &si) {
    std::string text;
    for (pugi::xml_node c = si.first_child(); c; c = c.next_sibling()) {
        if (is(c, "t")) text += c.text().get();
        else if (is(c, "r")) text += child(c, "t").text().get();
    }
    return unescape(text);
}

pugi::xml_document parseXml(const std::string &data, const std::string &part) {
    pugi::xml_document doc;
    // parse_ws_pcdata_single keeps a text made only of blanks (<t xml:space="preserve"> </t>),
    // which the default flags drop.
    auto result = doc.load_buffer(data.data(), data.size(),
                                  (pugi::parse_default & ~pugi::parse_wconv_attribute) |
                                      pugi::parse_ws_pcdata_single);
    if (!result) throw Unreadable(part + ": " + result.description());
    return doc;
}

std::string resolveTarget(const std::string &base, std::string target) {
    if (!target.empty() && target[0] == '/') return target.substr(1);
    std::string dir = base.substr(0, base.find_last_of('/') + 1);
    std::string path = dir + target;
    // collapse "x/../"
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t slash = path.find('/', start);
        std::string part = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        if (slash == std::string::npos) break;
        start = slash + 1;
    }
    std::string out;
    for (auto &p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

std::string relsPathOf(const std::string &part) {
    std::size_t slash = part.find_last_of('/');
    std::string dir = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return dir + "_rels/" + file + ".rels";
}

std::unordered_map<std::string, std::pair<std::string, std::string>>
readRels(const ZipReader &zip, const std::string &part) {
    std::unordered_map<std::string, std::pair<std::string, std::string>> rels; // id -> type, target
    auto data = zip.read(relsPathOf(part));
    if (!data) return rels;
    auto doc = parseXml(*data, relsPathOf(part));
    forEach(doc.document_element(), "Relationship", [&](pugi::xml_node r) {
        rels[r.attribute("Id").value()] = {r.attribute("Type").value(),
                                           resolveTarget(part, r.attribute("Target").value())};
    });
    return rels;
}

bool endsWith(const std::string &s, const char *suffix) {
    std::size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string builtinFormatCode(int id) {
    switch (id) {
    case 0: return "General";
    case 1: return "0";
    case 2: return "0.00";
    case 3: return "#,##0";
    case 4: return "#,##0.00";
    case 9: return "0%";
    case 10: return "0.00%";
    case 11: return "0.00E+00";
    case 14: return "yyyy.mm.dd";
    case 15: return "d-mmm-yy";
    case 16: return "d-mmm";
    case 17: return "mmm-yy";
    case 18: return "h:mm AM/PM";
    case 19: return "h:mm:ss AM/PM";
    case 20: return "h:mm";
    case 21: return "h:mm:ss";
    case 22: return "yyyy.mm.dd hh:mm";
    case 37: return "#,##0 ;(#,##0)";
    case 38: return "#,##0 ;[Red](#,##0)";
    case 39: return "#,##0.00;(#,##0.00)";
    case 40: return "#,##0.00;[Red](#,##0.00)";
    case 45: return "mm:ss";
    case 46: return "[h]:mm:ss";
    case 47: return "mmss.0";
    case 49: return "@";
    default: return "General";
    }
}

bool looksLikeCurrencyCode(const std::string &code) {
    return code.find("Ft") != std::string::npos || code.find("[$") != std::string::npos ||
           code.find("\xE2\x82\xAC") != std::string::npos; // euro sign
}

std::vector<FormatRef> readStyles(const ZipReader &zip, const std::string &part) {
    std::vector<FormatRef> xfs;
    auto data = zip.read(part);
    if (!data) return xfs;
    auto doc = parseXml(*data, part);
    pugi::xml_node root = doc.document_element();
    std::unordered_map<int, std::string> codes;
    forEach(child(root, "numFmts"), "numFmt", [&](pugi::xml_node n) {
        codes[n.attribute("numFmtId").as_int()] = n.attribute("formatCode").value();
    });
    std::vector<bool> boldFonts;
    forEach(child(root, "fonts"), "font", [&](pugi::xml_node f) {
        pugi::xml_node b = child(f, "b");
        boldFonts.push_back(b && (!b.attribute("val") || truthy(b.attribute("val"))));
    });
    // Named style entries that stand for the amount ("Currency") style.
    std::vector<bool> currencyStyleXf;
    forEach(child(root, "cellStyleXfs"), "xf", [&](pugi::xml_node) { currencyStyleXf.push_back(false); });
    forEach(child(root, "cellStyles"), "cellStyle", [&](pugi::xml_node s) {
        int xfId = s.attribute("xfId").as_int(-1);
        bool isCurrency = s.attribute("builtinId").as_int(-1) == 4 ||
                          std::string(s.attribute("name").value()) == "Currency";
        if (isCurrency && xfId >= 0 && xfId < static_cast<int>(currencyStyleXf.size()))
            currencyStyleXf[xfId] = true;
    });
    forEach(child(root, "cellXfs"), "xf", [&](pugi::xml_node x) {
        CellFormat f;
        int numFmtId = x.attribute("numFmtId").as_int(0);
        auto it = codes.find(numFmtId);
        f.numberFormat = it != codes.end() ? it->second : builtinFormatCode(numFmtId);
        int fontId = x.attribute("fontId").as_int(0);
        f.bold = fontId >= 0 && fontId < static_cast<int>(boldFonts.size()) && boldFonts[fontId];
        int xfId = x.attribute("xfId").as_int(0);
        f.currency = (xfId >= 0 && xfId < static_cast<int>(currencyStyleXf.size()) &&
                      currencyStyleXf[xfId]) ||
                     looksLikeCurrencyCode(f.numberFormat);
        std::string h = child(x, "alignment").attribute("horizontal").value();
        f.align = h == "left" ? HAlign::Left : h == "center" ? HAlign::Center
                : h == "right" ? HAlign::Right : HAlign::General;
        xfs.push_back(internFormat(f));
    });
    return xfs;
}

std::vector<std::string> readSharedStrings(const ZipReader &zip, const std::string &part) {
    std::vector<std::string> strings;
    auto data = zip.read(part);
    if (!data) return strings;
    auto doc = parseXml(*data, part);
    forEach(doc.document_element(), "si", [&](pugi::xml_node si) { strings.push_back(stringItemText(si)); });
    return strings;
}

// "AB12" -> column 28, row 12.
bool parseCellRef(const char *ref, int &row, int &col) {
    // Stops past the sheet's last column and row, before the arithmetic could overflow.
    int c = 0, r = 0;
    const char *p = ref;
    while (*p >= 'A' && *p <= 'Z' && c <= 16384) c = c * 26 + (*p++ - 'A' + 1);
    while (*p >= 'a' && *p <= 'z' && c <= 16384) c = c * 26 + (*p++ - 'a' + 1);
    if (c == 0 || c > 16384) return false;
    while (*p == '$') ++p;
    while (*p >= '0' && *p <= '9' && r <= 1048576) r = r * 10 + (*p++ - '0');
    if (*p != 0 || r == 0 || r > 1048576) return false;
    row = r;
    col = c;
    return true;
}

std::optional<Currency> exactCurrency(const char *text) {
    std::string_view s(text);
    if (s.find_first_of("eE") == std::string_view::npos) return Currency::parse(s);
    double d = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), d);
    if (res.ec != std::errc()) return std::nullopt;
    return Currency::fromDouble(d);
}

FormatRef xfAt(const std::vector<FormatRef> &xfs, int s) {
    if (s <= 0) return nullptr;
    if (s >= static_cast<int>(xfs.size())) throw Unreadable("style index " + std::to_string(s));
    return xfs[s];
}

void readSheet(Sheet &sheet, const pugi::xml_node &root, const std::vector<FormatRef> &xfs,
               const std::vector<std::string> &strings) {
    auto &rows = sheet.rowsForReader();
    forEach(child(root, "cols"), "col", [&](pugi::xml_node c) {
        int min = c.attribute("min").as_int(0), max = c.attribute("max").as_int(0);
        double width = c.attribute("width").as_double(0);
        if (min < 1 || max < min || max > 16384) throw Unreadable("cols");
        if (width > 0 && (truthy(c.attribute("customWidth")) || true))
            for (int k = min; k <= std::min(max, min + 255); ++k) sheet.columnWidthsForReader()[k] = width;
    });
    int nextRow = 1;
    forEach(child(root, "sheetData"), "row", [&](pugi::xml_node rowNode) {
        int r = rowNode.attribute("r").as_int(nextRow);
        if (r < 1 || r > 1048576 || r < nextRow) throw Unreadable("row " + std::to_string(r));
        nextRow = r + 1;
        if (static_cast<int>(rows.size()) < r) rows.resize(r);
        Row &row = rows[r - 1];
        if (truthy(rowNode.attribute("customFormat"))) row.format = xfAt(xfs, rowNode.attribute("s").as_int(0));
        if (truthy(rowNode.attribute("customHeight"))) row.height = rowNode.attribute("ht").as_double(0);
        int nextCol = 1;
        forEach(rowNode, "c", [&](pugi::xml_node c) {
            int col = nextCol, rr = r;
            if (auto ra = c.attribute("r")) {
                if (!parseCellRef(ra.value(), rr, col) || rr != r) throw Unreadable("cell reference");
            }
            if (col < nextCol || col > 16384) throw Unreadable("cell order");
            nextCol = col + 1;
            if (static_cast<int>(row.cells.size()) < col) row.cells.resize(col, Cell{{}, row.format});
            Cell &cell = row.cells[col - 1];
            cell.format = xfAt(xfs, c.attribute("s").as_int(0));
            std::string type = c.attribute("t").value();
            pugi::xml_node v = child(c, "v");
            const CellFormat &f = formatOf(cell.format);
            if (type == "s") {
                int idx = v.text().as_int(-1);
                if (idx < 0 || idx >= static_cast<int>(strings.size())) throw Unreadable("shared string");
                cell.value = strings[idx];
            } else if (type == "inlineStr") {
                cell.value = stringItemText(child(c, "is"));
            } else if (type == "str") {
                cell.value = unescape(v.text().get());
            } else if (type == "b") {
                cell.value = v.text().as_int() ? 1.0 : 0.0;
            } else if (type == "e") {
                cell.value = std::string(v.text().get());
            } else if (v) {
                const char *text = v.text().get();
                double d = 0;
                auto res = std::from_chars(text, text + std::strlen(text), d);
                if (res.ec != std::errc() || *res.ptr != 0) throw Unreadable("number");
                if (f.isDateFormat()) {
                    auto date = Date::fromSerial(d);
                    if (date && std::floor(d) == d) cell.value = *date;
                    else cell.value = d;
                } else if (f.currency) {
                    auto amount = exactCurrency(text);
                    if (!amount) throw Unreadable("amount");
                    cell.value = *amount;
                } else {
                    cell.value = d;
                }
            }
        });
    });
    pugi::xml_node prot = child(root, "sheetProtection");
    if (prot && truthy(prot.attribute("sheet"))) {
        std::uint16_t hash = static_cast<std::uint16_t>(
            std::strtoul(prot.attribute("password").value(), nullptr, 16));
        sheet.setStoredProtection(true, hash);
    }
}

std::unique_ptr<Workbook> decode(const ZipReader &zip, const std::string &path) {
    std::string workbookPart = "xl/workbook.xml";
    for (auto &[id, rel] : readRels(zip, "")) {
        if (endsWith(rel.first, "/officeDocument")) workbookPart = rel.second;
    }
    auto wbData = zip.read(workbookPart);
    if (!wbData) throw Unreadable("workbook part missing");
    auto wbDoc = parseXml(*wbData, workbookPart);
    pugi::xml_node root = wbDoc.document_element();
    if (!is(root, "workbook")) throw Unreadable("not a workbook");
    auto rels = readRels(zip, workbookPart);
    std::string stylesPart, stringsPart;
    for (auto &[id, rel] : rels) {
        if (endsWith(rel.first, "/styles")) stylesPart = rel.second;
        if (endsWith(rel.first, "/sharedStrings")) stringsPart = rel.second;
    }
    auto xfs = stylesPart.empty() ? std::vector<FormatRef>{} : readStyles(zip, stylesPart);
    auto strings = stringsPart.empty() ? std::vector<std::string>{} : readSharedStrings(zip, stringsPart);

    auto wb = std::make_unique<Workbook>(path);
    int activeTab = child(child(root, "bookViews"), "workbookView").attribute("activeTab").as_int(0);
    int index = 0;
    Sheet *active = nullptr;
    forEach(child(root, "sheets"), "sheet", [&](pugi::xml_node s) {
        std::string name = s.attribute("name").value();
        auto rel = rels.find(attr(s, "id").value());
        if (rel == rels.end()) throw Unreadable("sheet " + name + " has no part");
        bool isChart = endsWith(rel->second.first, "/chartsheet");
        if (!isChart && !endsWith(rel->second.first, "/worksheet")) {
            ++index;
            return; // dialog or macro sheets are not ours
        }
        if (wb->findSheet(name)) throw Unreadable("duplicate sheet " + name);
        auto data = zip.read(rel->second.second);
        if (!data) throw Unreadable("sheet part missing: " + name);
        Sheet &sheet = wb->addSheet(name, nullptr, isChart ? SheetKind::Chart : SheetKind::Worksheet);
        if (!isChart) {
            auto doc = parseXml(*data, rel->second.second);
            readSheet(sheet, doc.document_element(), xfs, strings);
        }
        std::string state = s.attribute("state").value();
        sheet.setStoredVisibility(state == "hidden"       ? SheetVisibility::Hidden
                            : state == "veryHidden" ? SheetVisibility::VeryHidden
                                                    : SheetVisibility::Visible);
        if (index == activeTab) active = &sheet;
        ++index;
    });
    if (wb->sheetCount() == 0) throw Unreadable("no sheets");
    if (active) wb->activate(*active);
    pugi::xml_node prot = child(root, "workbookProtection");
    if (prot && truthy(prot.attribute("lockStructure"))) {
        std::uint16_t hash = static_cast<std::uint16_t>(
            std::strtoul(prot.attribute("workbookPassword").value(), nullptr, 16));
        wb->setStoredProtection(true, hash);
    }
    wb->markSaved();
    return wb;
}

} // namespace

std::unique_ptr<Workbook> decodeWorkbook(std::string_view bytes, const std::string &path) {
    try {
        ZipReader zip(bytes);
        return decode(zip, path);
    } catch (const HostError &e) {
        throw DamagedFileError(path, e.what());
    } catch (const std::exception &e) {
        throw DamagedFileError(path, e.what());
    }
}

} // namespace vandorix
