// Reads an OOXML spreadsheet package into the workbook model. Anything that does not parse,
// or refers to a part that is missing, makes the whole file unreadable: a workbook is never
// half-loaded.
#include "store/OoxmlCodec.h"

#include "store/HostError.h"
#include "store/OoxmlShared.h"
#include "store/XmlScanner.h"
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

bool truthy(std::string_view v) { return v == "1" || v == "true" || v == "on"; }

bool truthy(const pugi::xml_attribute &a) { return a && truthy(std::string_view(a.value())); }

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

// A workbook may hold this many cells in all (stored cells and the empty ones before them in
// their row); more is no workbook of this program and would exhaust the memory.
constexpr long long kMaxCells = 5'000'000;

// Reads a large part piece by piece through the streaming scanner; `onToken` sees every token.
template <class F, class Fast>
void scanPart(const StoredZipEntry &entry, const std::string &part, F onToken, Fast fast) {
    XmlScanner xml(part);
    auto drain = [&] {
        for (;;) {
            if (fast(xml)) continue;
            XmlScanner::Token t = xml.next();
            if (t == XmlScanner::Token::NeedMore || t == XmlScanner::Token::Done) return;
            onToken(xml, t);
        }
    };
    ZipReader::inflate(entry, [&](std::string_view piece) {
        xml.feed(piece);
        drain();
    });
    xml.finish();
    drain();
}

template <class F> void scanPart(const StoredZipEntry &entry, const std::string &part, F onToken) {
    scanPart(entry, part, onToken, [](XmlScanner &) { return false; });
}

// A whole number written as digits only; `fallback` when the attribute is absent.
long long wholeNumber(const XmlScanner &xml, std::string_view raw, bool present, long long fallback,
                      const char *what) {
    if (!present) return fallback;
    long long n = 0;
    auto res = std::from_chars(raw.data(), raw.data() + raw.size(), n);
    if (res.ec != std::errc() || res.ptr != raw.data() + raw.size())
        xml.fail(std::string("hibás ") + what + ": \"" + std::string(raw.substr(0, 20)) + "\"");
    return n;
}

double decimalNumber(std::string_view raw) {
    double d = 0;
    auto res = std::from_chars(raw.data(), raw.data() + raw.size(), d);
    return res.ec == std::errc() ? d : 0;
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

// "AB12" -> column 28, row 12.
bool parseCellRef(std::string_view ref, int &row, int &col) {
    // Stops past the sheet's last column and row, before the arithmetic could overflow.
    int c = 0, r = 0;
    std::size_t i = 0;
    while (i < ref.size() && ref[i] >= 'A' && ref[i] <= 'Z' && c <= 16384) c = c * 26 + (ref[i++] - 'A' + 1);
    while (i < ref.size() && ref[i] >= 'a' && ref[i] <= 'z' && c <= 16384) c = c * 26 + (ref[i++] - 'a' + 1);
    if (c == 0 || c > 16384) return false;
    while (i < ref.size() && ref[i] == '$') ++i;
    while (i < ref.size() && ref[i] >= '0' && ref[i] <= '9' && r <= 1048576) r = r * 10 + (ref[i++] - '0');
    if (i != ref.size() || r == 0 || r > 1048576) return false;
    row = r;
    col = c;
    return true;
}

// The common form of a stored amount, "-1234.5678", read directly; nullopt for anything else.
std::optional<Currency> plainAmount(std::string_view s) {
    {
        std::size_t i = 0;
        bool negative = !s.empty() && s[0] == '-';
        if (negative) ++i;
        std::uint64_t units = 0;
        std::size_t digits = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && digits < 14) {
            units = units * 10 + static_cast<unsigned>(s[i++] - '0');
            ++digits;
        }
        std::uint64_t frac = 0;
        int fracDigits = 0;
        if (digits > 0 && i < s.size() && s[i] == '.') {
            ++i;
            while (i < s.size() && s[i] >= '0' && s[i] <= '9' && fracDigits < 4) {
                frac = frac * 10 + static_cast<unsigned>(s[i++] - '0');
                ++fracDigits;
            }
            if (fracDigits == 0) i = 0; // "12." goes the general way
        }
        if (digits > 0 && i == s.size()) {
            for (int k = fracDigits; k < 4; ++k) frac *= 10;
            auto raw = static_cast<std::int64_t>(units * Currency::Scale + frac);
            return Currency::fromRaw(negative ? -raw : raw);
        }
    }
    return std::nullopt;
}

std::optional<Currency> exactCurrency(std::string_view s) {
    if (s.find_first_of("eE") == std::string_view::npos) return Currency::parse(s);
    double d = 0;
    auto res = std::from_chars(s.data(), s.data() + s.size(), d);
    if (res.ec != std::errc()) return std::nullopt;
    return Currency::fromDouble(d);
}

// Name comparison kept inline: it runs for every element of a sheet.
template <std::size_t N> inline bool startsAt(std::string_view s, std::size_t at, const char (&literal)[N]) {
    if (s.size() < at + N - 1) return false;
    for (std::size_t i = 0; i + 1 < N; ++i)
        if (s[at + i] != literal[i]) return false;
    return true;
}

template <std::size_t N> inline bool is(std::string_view name, const char (&literal)[N]) {
    if (name.size() != N - 1) return false;
    for (std::size_t i = 0; i + 1 < N; ++i)
        if (name[i] != literal[i]) return false;
    return true;
}

// Reads one worksheet part straight into the sheet's rows, without a document tree.
class SheetReader {
public:
    SheetReader(Sheet &sheet, const std::vector<FormatRef> &xfs,
                const std::vector<SharedText> &strings, long long &cellBudget)
        : sheet_(sheet), rows_(sheet.rowsForReader()), xfs_(xfs), strings_(strings),
          cellBudget_(cellBudget) {
        // What a number means by its style, worked out once per style rather than per cell.
        numberKinds_.reserve(xfs.size());
        for (FormatRef ref : xfs) {
            const CellFormat &f = formatOf(ref);
            numberKinds_.push_back(f.isDateFormat() ? 'd' : f.currency ? 'c' : 'n');
        }
    }

    void token(XmlScanner &xml, XmlScanner::Token t) {
        if (t == XmlScanner::Token::Start) start(xml);
        else if (t == XmlScanner::Token::End) end(xml);
        else if (!stack_.empty() && (stack_.back() == Value ? type_ != 'i' : stack_.back() == InlineText && type_ == 'i'))
            xml.appendText(text_);
    }

    bool selected() const { return selected_; }
    long long stringUses() const { return stringUses_; }

private:
    enum Ctx : std::uint8_t { Other, Root, Data, RowCtx, CellCtx, Value, Inline, InlineRun, InlineText, Cols, Views };

    FormatRef xfAt(const XmlScanner &xml, long long s) const { return xfs_[checkedStyle(xml, s)]; }
    std::size_t checkedStyle(const XmlScanner &xml, long long s) const {
        if (s <= 0) return 0;
        if (s >= static_cast<long long>(xfs_.size()))
            xml.fail("nem létező cellastílus: " + std::to_string(s));
        return static_cast<std::size_t>(s);
    }

    void start(XmlScanner &xml) {
        Ctx parent = stack_.empty() ? Other : stack_.back();
        std::string_view n = xml.name();
        Ctx c = Other;
        switch (parent) {
        case RowCtx:
            if (is(n, "c")) {
                c = CellCtx;
                startCell(xml);
            }
            break;
        case CellCtx:
            if (is(n, "v") && !valueSeen_) {
                c = Value;
                valueSeen_ = true;
            } else if (is(n, "is") && !inlineSeen_) {
                c = Inline;
                inlineSeen_ = true;
            }
            break;
        case Data:
            if (is(n, "row")) {
                c = RowCtx;
                startRow(xml);
            }
            break;
        case Inline:
            if (is(n, "t")) c = InlineText;
            else if (is(n, "r")) c = InlineRun;
            break;
        case InlineRun:
            if (is(n, "t") && !runTextSeen_) {
                c = InlineText;
                runTextSeen_ = true;
            }
            break;
        case Root:
            if (is(n, "sheetData") && !dataSeen_) c = Data, dataSeen_ = true;
            else if (is(n, "cols") && !colsSeen_) c = Cols, colsSeen_ = true;
            else if (is(n, "sheetViews") && !viewsSeen_) c = Views, viewsSeen_ = true;
            else if (is(n, "sheetProtection") && !protectionSeen_) {
                protectionSeen_ = true;
                if (truthy(xml.attribute("sheet"))) {
                    std::string_view hex = xml.attribute("password");
                    unsigned hash = 0;
                    std::from_chars(hex.data(), hex.data() + hex.size(), hash, 16);
                    sheet_.setStoredProtection(true, static_cast<std::uint16_t>(hash));
                }
            }
            break;
        case Views:
            if (is(n, "sheetView") && truthy(xml.attribute("tabSelected"))) selected_ = true;
            break;
        case Cols:
            if (is(n, "col")) column(xml);
            break;
        default:
            if (stack_.empty()) c = Root;
        }
        stack_.push_back(c);
    }

    void end(XmlScanner &xml) {
        Ctx c = stack_.back();
        stack_.pop_back();
        if (c == CellCtx) endCell(xml);
        else if (c == RowCtx) endRow();
        else if (c == InlineRun) runTextSeen_ = false;
    }

    void column(XmlScanner &xml) {
        bool hasMin, hasMax;
        std::string_view minRaw = xml.attribute("min", &hasMin), maxRaw = xml.attribute("max", &hasMax);
        long long min = wholeNumber(xml, minRaw, hasMin, 0, "oszlopszám");
        long long max = wholeNumber(xml, maxRaw, hasMax, 0, "oszlopszám");
        double width = decimalNumber(xml.attribute("width"));
        if (min < 1 || max < min || max > 16384) xml.fail("hibás oszlopszélesség-tartomány");
        if (width > 0)
            for (long long k = min; k <= std::min(max, min + 255); ++k)
                sheet_.columnWidthsForReader()[static_cast<int>(k)] = width;
    }

    void startRow(XmlScanner &xml) {
        bool has;
        std::string_view raw = xml.attribute("r", &has);
        long long r = wholeNumber(xml, raw, has, nextRow_, "sorszám");
        if (r < 1 || r > 1048576 || r < nextRow_) xml.fail("hibás sorszám: " + std::to_string(r));
        row_ = static_cast<int>(r);
        nextRow_ = row_ + 1;
        if (static_cast<int>(rows_.size()) < row_) rows_.resize(row_);
        Row &row = rows_[row_ - 1];
        current_ = &row;
        if (truthy(xml.attribute("customFormat"))) {
            bool hasS;
            std::string_view s = xml.attribute("s", &hasS);
            row.format = xfAt(xml, wholeNumber(xml, s, hasS, 0, "stílusszám"));
        }
        if (truthy(xml.attribute("customHeight"))) row.height = decimalNumber(xml.attribute("ht"));
        nextCol_ = 1;
        // Rows of a sheet are mostly alike: room for as many cells as the row before had.
        row.cells.reserve(lastWidth_);
    }

    void endRow() {
        std::vector<Cell> &cells = current_->cells;
        lastWidth_ = cells.size();
        if (cells.capacity() > cells.size() + cells.size() / 4 + 4) cells.shrink_to_fit();
    }

public:
    // A cell written the plain way, <c r=".." s=".." t=".."><v>..</v></c> or <c .../>, read
    // in one step; anything else (entities, other attributes or children, a cell cut by the
    // end of the text read so far) is left to the general path.
    bool fastCell(XmlScanner &xml) {
        if (stack_.empty() || stack_.back() != RowCtx) return false;
        std::string_view p = xml.pending();
        const std::size_t n = p.size();
        if (n < 4 || p[0] != '<' || p[1] != 'c' || (p[2] != ' ' && p[2] != '>' && p[2] != '/')) return false;
        std::string_view attrs[3]; // r, s, t
        bool present[3] = {false, false, false};
        std::size_t i = 2;
        bool selfClosing = false;
        for (;;) {
            while (i < n && p[i] == ' ') ++i;
            if (i + 1 >= n) return false;
            if (p[i] == '/') {
                if (p[i + 1] != '>') return false;
                i += 2;
                selfClosing = true;
                break;
            }
            if (p[i] == '>') {
                ++i;
                break;
            }
            int which = p[i] == 'r' ? 0 : p[i] == 's' ? 1 : p[i] == 't' ? 2 : -1;
            if (which < 0 || p[i - 1] != ' ' || present[which] || i + 2 >= n || p[i + 1] != '=' || p[i + 2] != '"')
                return false;
            std::size_t v = i + 3, e = v;
            while (e < n && p[e] != '"' && p[e] != '<' && p[e] != '&') ++e;
            if (e >= n || p[e] != '"') return false;
            attrs[which] = p.substr(v, e - v);
            present[which] = true;
            i = e + 1;
        }
        std::string_view value;
        bool hasValue = false;
        if (!selfClosing) {
            if (startsAt(p, i, "</c>")) {
                i += 4;
            } else if (startsAt(p, i, "<v>")) {
                std::size_t e = i + 3;
                while (e < n && p[e] != '<' && p[e] != '&' && p[e] != '\r' && p[e] != ']') ++e;
                if (e >= n || !startsAt(p, e, "</v></c>")) return false;
                value = p.substr(i + 3, e - i - 3);
                hasValue = true;
                i = e + 8;
            } else {
                return false;
            }
        }
        beginCell(xml, attrs[0], present[0], attrs[1], present[1], attrs[2]);
        valueSeen_ = hasValue;
        endCell(xml, value);
        xml.skip(i);
        return true;
    }

private:

    void startCell(XmlScanner &xml) {
        bool hasRef, hasStyle;
        std::string_view ref = xml.attribute("r", &hasRef);
        std::string_view style = xml.attribute("s", &hasStyle);
        beginCell(xml, ref, hasRef, style, hasStyle, xml.attribute("t"));
    }

    void beginCell(const XmlScanner &xml, std::string_view ref, bool has, std::string_view s,
                   bool hasStyle, std::string_view t) {
        int col = nextCol_, rr = row_;
        if (has && (!parseCellRef(ref, rr, col) || rr != row_)) xml.fail("hibás cellahivatkozás");
        if (col < nextCol_) xml.fail("a cellák sorrendje hibás");
        nextCol_ = col + 1;
        long long grow = col - static_cast<long long>(current_->cells.size());
        if (grow > 0) {
            cellBudget_ -= grow;
            if (cellBudget_ < 0)
                xml.fail("túl sok cella (legfeljebb " + std::to_string(kMaxCells) +
                         " fogadható el); a(z) " + std::to_string(row_) + ". sorban túllépve");
            std::vector<Cell> &cells = current_->cells;
            if (grow == 1) cells.push_back(Cell{{}, current_->format});
            else cells.resize(col, Cell{{}, current_->format});
        }
        col_ = col;
        styleIndex_ = checkedStyle(xml, wholeNumber(xml, s, hasStyle, 0, "stílusszám"));
        type_ = t.empty() ? 'n'
              : is(t, "s") ? 's'
              : is(t, "inlineStr") ? 'i'
              : is(t, "str") ? 'S'
              : is(t, "b") ? 'b'
              : is(t, "e") ? 'e'
                           : 'n';
        valueSeen_ = inlineSeen_ = runTextSeen_ = false;
        text_.clear();
    }

    void endCell(const XmlScanner &xml) { endCell(xml, text_); }

    // `text`: what the cell's value element holds.
    void endCell(const XmlScanner &xml, std::string_view text) {
        Cell &cell = current_->cells[col_ - 1];
        cell.format = xfs_[styleIndex_];
        switch (type_) {
        case 's': {
            long long idx = valueSeen_ ? wholeNumber(xml, text, true, -1, "szövegszám") : -1;
            if (idx < 0 || idx >= static_cast<long long>(strings_.size()))
                xml.fail("nem létező közös szöveg: " + std::to_string(idx));
            cell.value = strings_[idx];
            ++stringUses_;
            break;
        }
        case 'i':
        case 'S': cell.value = CellValue(SharedText(unescape(text))); break;
        case 'b': cell.value = wholeNumber(xml, text, true, 0, "logikai érték") ? 1.0 : 0.0; break;
        case 'e': cell.value = CellValue(SharedText(text)); break;
        default:
            if (valueSeen_) cell.value = number(xml, numberKinds_[styleIndex_], text);
        }
    }

    CellValue number(const XmlScanner &xml, char kind, std::string_view text) const {
        if (kind == 'c')
            if (auto amount = plainAmount(text)) return *amount;
        double d = 0;
        auto res = std::from_chars(text.data(), text.data() + text.size(), d);
        if (res.ec != std::errc() || res.ptr != text.data() + text.size())
            xml.fail("hibás szám: \"" + std::string(text.substr(0, 20)) + "\"");
        if (kind == 'd') {
            auto date = Date::fromSerial(d);
            if (date && std::floor(d) == d) return *date;
            return d;
        }
        if (kind == 'c') {
            auto amount = exactCurrency(text);
            if (!amount) xml.fail("hibás összeg: \"" + std::string(text.substr(0, 20)) + "\"");
            return *amount;
        }
        return d;
    }

    Sheet &sheet_;
    std::vector<Row> &rows_;
    const std::vector<FormatRef> &xfs_;
    const std::vector<SharedText> &strings_;
    long long &cellBudget_;
    std::vector<Ctx> stack_;
    bool dataSeen_ = false, colsSeen_ = false, viewsSeen_ = false, protectionSeen_ = false;
    bool selected_ = false;
    long long stringUses_ = 0;
    int nextRow_ = 1, row_ = 0, nextCol_ = 1, col_ = 0;
    Row *current_ = nullptr;
    std::size_t lastWidth_ = 0;
    std::size_t styleIndex_ = 0;
    std::vector<char> numberKinds_;
    char type_ = 'n';
    bool valueSeen_ = false, inlineSeen_ = false, runTextSeen_ = false;
    std::string text_;
};

std::unique_ptr<Workbook> decode(std::shared_ptr<StoredWorkbookParts> stored, const std::string &path) {
    const ZipReader &zip = stored->zip;
    std::string workbookPart = "xl/workbook.xml";
    for (auto &[id, rel] : readRels(zip, "")) {
        if (endsWith(rel.first, "/officeDocument")) workbookPart = rel.second;
    }
    auto wbData = zip.read(workbookPart);
    if (!wbData) throw Unreadable("hiányzik a munkafüzet része (" + workbookPart + ")");
    auto wbDoc = parseXml(*wbData, workbookPart);
    pugi::xml_node root = wbDoc.document_element();
    if (!is(root, "workbook")) throw Unreadable("nem munkafüzet: " + workbookPart);
    auto rels = readRels(zip, workbookPart);
    std::string stylesPart, stringsPart;
    for (auto &[id, rel] : rels) {
        if (endsWith(rel.first, "/styles")) stylesPart = rel.second;
        if (endsWith(rel.first, "/sharedStrings")) stringsPart = rel.second;
    }
    if (!stylesPart.empty()) {
        stored->styles = zip.find(stylesPart);
        stored->xfs = readStyles(zip, stylesPart);
    }
    if (!stringsPart.empty()) {
        stored->sharedStrings = zip.find(stringsPart);
        if (stored->sharedStrings) stored->strings = readSharedStrings(*stored->sharedStrings, stringsPart);
    }
    // Index 0 is the default format, whatever the file says of it: cells without a style
    // read as General.
    if (stored->xfs.empty()) stored->xfs.push_back(nullptr);
    stored->xfs[0] = nullptr;

    auto wb = std::make_unique<Workbook>(path);
    int activeTab = child(child(root, "bookViews"), "workbookView").attribute("activeTab").as_int(0);
    int index = 0;
    long long cellBudget = kMaxCells;
    Sheet *active = nullptr;
    forEach(child(root, "sheets"), "sheet", [&](pugi::xml_node s) {
        // Control characters in names are written as _xHHHH_ escapes.
        std::string name = unescape(s.attribute("name").value());
        auto rel = rels.find(attr(s, "id").value());
        if (rel == rels.end()) throw Unreadable("a(z) " + name + " munkalaphoz nem tartozik rész");
        bool isChart = endsWith(rel->second.first, "/chartsheet");
        if (!isChart && !endsWith(rel->second.first, "/worksheet")) {
            ++index;
            return; // dialog or macro sheets are not ours
        }
        if (name.empty()) throw Unreadable("névtelen munkalap");
        if (wb->findSheet(name)) throw Unreadable("kétszer szereplő munkalapnév: " + name);
        const std::string &partName = rel->second.second;
        const StoredZipEntry *entry = zip.find(partName);
        if (!entry) throw Unreadable("hiányzik a(z) " + name + " munkalap része (" + partName + ")");
        Sheet &sheet = wb->addSheet(name, nullptr, isChart ? SheetKind::Chart : SheetKind::Worksheet);
        if (!isChart) {
            SheetReader reader(sheet, stored->xfs, stored->strings, cellBudget);
            scanPart(
                *entry, partName, [&](XmlScanner &xml, XmlScanner::Token t) { reader.token(xml, t); },
                [&](XmlScanner &xml) { return reader.fastCell(xml); });
            // A part with relationships of its own (drawings, comments) is written anew, never
            // copied without them.
            if (!zip.find(relsPathOf(partName))) {
                sheet.setStoredPart(static_cast<int>(stored->sheets.size()), reader.selected());
                stored->sheets.push_back({entry, reader.stringUses()});
            }
        }
        std::string state = s.attribute("state").value();
        sheet.setStoredVisibility(state == "hidden"       ? SheetVisibility::Hidden
                                  : state == "veryHidden" ? SheetVisibility::VeryHidden
                                                          : SheetVisibility::Visible);
        if (index == activeTab) active = &sheet;
        ++index;
    });
    if (wb->sheetCount() == 0) throw Unreadable("nincs benne munkalap");
    if (active) wb->activate(*active);
    pugi::xml_node prot = child(root, "workbookProtection");
    if (prot && truthy(prot.attribute("lockStructure"))) {
        std::uint16_t hash = static_cast<std::uint16_t>(
            std::strtoul(prot.attribute("workbookPassword").value(), nullptr, 16));
        wb->setStoredProtection(true, hash);
    }
    wb->setStoredParts(std::move(stored));
    wb->markSaved();
    return wb;
}

} // namespace

std::unique_ptr<Workbook> decodeWorkbook(std::string_view bytes, const std::string &path) {
    try {
        return decode(std::make_shared<StoredWorkbookParts>(bytes), path);
    } catch (const ZipError &e) {
        if (e.oldFormat()) throw OldFormatFileError(path);
        throw DamagedFileError(path, e.what());
    } catch (const HostError &e) {
        throw DamagedFileError(path, e.what());
    } catch (const std::bad_alloc &) {
        throw DamagedFileError(path, "nincs elég memória a beolvasásához");
    } catch (const std::runtime_error &e) {
        // The reader's own reasons, in Hungarian.
        throw DamagedFileError(path, e.what());
    } catch (const std::exception &) {
        // The standard library's reasons are English: said in the user's language instead.
        throw DamagedFileError(path, "a fájl szerkezete hibás");
    }
}

} // namespace vandorix
