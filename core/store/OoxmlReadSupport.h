#pragma once
// Shared by the parts of the OOXML reader: the package-level tables (relationships, styles,
// shared strings), the worksheet reader and the workbook assembly. Not for use elsewhere.

#include "store/OoxmlShared.h"
#include "store/XmlScanner.h"
#include "store/ZipPackage.h"

#include <pugixml.hpp>

#include <charconv>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vandorix {
class Sheet;
}

namespace vandorix::ooxml_reader {

struct Unreadable : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Element and attribute look-ups by local name, so that prefixed names ("r:id") are found too.
bool is(const pugi::xml_node &n, const char *name);
pugi::xml_node child(const pugi::xml_node &parent, const char *name);
pugi::xml_attribute attr(const pugi::xml_node &n, const char *name);

template <class F> void forEach(const pugi::xml_node &parent, const char *name, F f) {
    for (pugi::xml_node c = parent.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && is(c, name)) f(c);
}

bool truthy(std::string_view v);
bool truthy(const pugi::xml_attribute &a);
bool endsWith(const std::string &s, const char *suffix);

// Undoes the _xHHHH_ escapes that stand for control characters.
std::string unescape(std::string_view s);

pugi::xml_document parseXml(const std::string &data, const std::string &part);

// The relationships part that belongs to `part` ("xl/_rels/workbook.xml.rels").
std::string relsPathOf(const std::string &part);
// Relationship id -> (type, target resolved against `part`).
using Relationships = std::unordered_map<std::string, std::pair<std::string, std::string>>;
Relationships readRels(const ZipReader &zip, const std::string &part);

// The cell formats of the styles part, by xf index.
std::vector<FormatRef> readStyles(const ZipReader &zip, const std::string &part);
// The texts of the shared-strings part, by index.
std::vector<SharedText> readSharedStrings(const StoredZipEntry &entry, const std::string &part);

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
inline long long wholeNumber(const XmlScanner &xml, std::string_view raw, bool present, long long fallback,
                      const char *what) {
    if (!present) return fallback;
    long long n = 0;
    auto res = std::from_chars(raw.data(), raw.data() + raw.size(), n);
    if (res.ec != std::errc() || res.ptr != raw.data() + raw.size())
        xml.fail(std::string("hibás ") + what + ": \"" + std::string(raw.substr(0, 20)) + "\"");
    return n;
}

inline double decimalNumber(std::string_view raw) {
    double d = 0;
    auto res = std::from_chars(raw.data(), raw.data() + raw.size(), d);
    return res.ec == std::errc() ? d : 0;
}

// An amount written in any form a number may take, exponents included.
std::optional<Currency> exactCurrency(std::string_view s);
// A <col> element of a worksheet: the width of its columns.
void readColumnWidth(XmlScanner &xml, Sheet &sheet);

// Reads one worksheet part straight into the sheet's rows. `cellBudget` is what the workbook
// may still hold and is reduced by what this sheet takes.
struct WorksheetRead {
    bool selected = false;    // the sheet's view is the selected tab
    long long stringUses = 0; // cells that refer to a shared string
};
WorksheetRead readWorksheet(const StoredZipEntry &entry, const std::string &part, Sheet &sheet,
                            const std::vector<FormatRef> &xfs, const std::vector<SharedText> &strings,
                            long long &cellBudget);

} // namespace vandorix::ooxml_reader
