// The package-level tables of the OOXML reader: relationships, cell styles and shared strings,
// and the small XML helpers the reader shares.
#include "store/OoxmlReadSupport.h"

#include "store/Sheet.h"
#include "store/Utf8.h"

#include <algorithm>
#include <cstring>

namespace vandorix::ooxml_reader {
namespace {

const char *localName(const pugi::xml_node &n) {
    const char *name = n.name();
    const char *colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
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
    case 14: return kDefaultDateFormat;
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

} // namespace

bool is(const pugi::xml_node &n, const char *name) { return std::strcmp(localName(n), name) == 0; }

pugi::xml_node child(const pugi::xml_node &parent, const char *name) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, name)) return c;
    return {};
}

pugi::xml_attribute attr(const pugi::xml_node &n, const char *name) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
        const char *an = a.name();
        const char *colon = std::strrchr(an, ':');
        if (std::strcmp(colon ? colon + 1 : an, name) == 0) return a;
    }
    return {};
}

bool truthy(std::string_view v) { return v == "1" || v == "true" || v == "on"; }

bool truthy(const pugi::xml_attribute &a) { return a && truthy(std::string_view(a.value())); }

bool endsWith(const std::string &s, const char *suffix) {
    std::size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string unescape(std::string_view s) {
    if (s.find("_x") == std::string_view::npos) return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (looksLikeEscape(s.substr(i))) {
            const unsigned long cp = std::stoul(std::string(s.substr(i + 2, 4)), nullptr, 16);
            appendUtf8(out, static_cast<std::uint32_t>(cp));
            i += 6;
        } else {
            out += s[i];
        }
    }
    return out;
}

pugi::xml_document parseXml(const std::string &data, const std::string &part) {
    pugi::xml_document doc;
    // parse_ws_pcdata_single keeps a text made only of blanks (<t xml:space="preserve"> </t>),
    // which the default flags drop.
    auto result = doc.load_buffer(data.data(), data.size(),
                                  (pugi::parse_default & ~pugi::parse_wconv_attribute) |
                                      pugi::parse_ws_pcdata_single);
    if (!result)
        throw Unreadable("hibás XML a(z) " + part + " részben (" + std::to_string(result.offset + 1) +
                         ". bájt)");
    return doc;
}

std::string relsPathOf(const std::string &part) {
    std::size_t slash = part.find_last_of('/');
    std::string dir = slash == std::string::npos ? "" : part.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? part : part.substr(slash + 1);
    return dir + "_rels/" + file + ".rels";
}

Relationships readRels(const ZipReader &zip, const std::string &part) {
    Relationships rels;
    auto data = zip.read(relsPathOf(part));
    if (!data) return rels;
    auto doc = parseXml(*data, relsPathOf(part));
    forEach(doc.document_element(), "Relationship", [&](pugi::xml_node r) {
        rels[r.attribute("Id").value()] = {r.attribute("Type").value(),
                                           resolveTarget(part, r.attribute("Target").value())};
    });
    return rels;
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

std::vector<SharedText> readSharedStrings(const StoredZipEntry &entry, const std::string &part) {
    std::vector<SharedText> strings;
    enum Ctx : std::uint8_t { Other, Root, Item, ItemText, Run, RunText };
    std::vector<Ctx> stack;
    std::string text;
    scanPart(entry, part, [&](XmlScanner &xml, XmlScanner::Token t) {
        if (t == XmlScanner::Token::Start) {
            Ctx parent = stack.empty() ? Other : stack.back();
            std::string_view n = xml.name();
            Ctx c = stack.empty()                      ? Root
                  : parent == Root && n == "si"        ? Item
                  : parent == Item && n == "t"         ? ItemText
                  : parent == Item && n == "r"         ? Run
                  : parent == Run && n == "t"          ? RunText
                                                       : Other;
            if (c == Item) text.clear();
            stack.push_back(c);
        } else if (t == XmlScanner::Token::End) {
            if (stack.back() == Item) strings.emplace_back(unescape(text));
            stack.pop_back();
        } else if (!stack.empty() && (stack.back() == ItemText || stack.back() == RunText)) {
            xml.appendText(text);
        }
    });
    return strings;
}

std::optional<Currency> exactCurrency(std::string_view s) {
    if (s.find_first_of("eE") == std::string_view::npos) return Currency::parse(s);
    double d = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), d);
    if (res.ec != std::errc()) return std::nullopt;
    return Currency::fromDouble(d);
}

void readColumnWidth(XmlScanner &xml, Sheet &sheet) {
    bool hasMin, hasMax;
    std::string_view minRaw = xml.attribute("min", &hasMin), maxRaw = xml.attribute("max", &hasMax);
    long long min = wholeNumber(xml, minRaw, hasMin, 0, "oszlopszám");
    long long max = wholeNumber(xml, maxRaw, hasMax, 0, "oszlopszám");
    double width = decimalNumber(xml.attribute("width"));
    if (min < 1 || max < min || max > 16384) xml.fail("hibás oszlopszélesség-tartomány");
    if (width > 0)
        for (long long k = min; k <= std::min(max, min + 255); ++k)
            sheet.columnWidthsForReader()[static_cast<int>(k)] = width;
}

} // namespace vandorix::ooxml_reader
