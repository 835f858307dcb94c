#pragma once
// Shared by the parts of the OOXML writer: the style and shared-string tables, text escaping,
// and the worksheet writer. Not for use elsewhere.

#include "store/OoxmlShared.h"
#include "store/Workbook.h"
#include "store/ZipPackage.h"

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vandorix::ooxml_writer {

// Control characters become _xHHHH_ escapes (in attributes also tab and line feed), and an
// underscore that would read as such an escape becomes _x005F_, so every text and sheet name
// reads back exactly.
void appendEscaped(std::string &out, std::string_view s, bool attribute);
std::string escaped(std::string_view s, bool attribute = true);

// 1 -> "A", 28 -> "AB".
std::string columnName(int column);
void appendDouble(std::string &out, double v);
// A protection hash as the file writes it, four hex digits.
std::string hashHex(std::uint16_t h);

// Cell formats in order of first use; index 0 is the default format.
class StyleTable {
public:
    // `base`: the stored file's styles, whose indexes the stored sheets use.
    explicit StyleTable(const std::vector<FormatRef> &base);
    bool grown() const { return refs_.size() != baseSize_; }
    int indexOf(FormatRef ref) {
        auto it = index_.find(ref);
        if (it != index_.end()) return it->second;
        int id = static_cast<int>(refs_.size());
        refs_.push_back(ref);
        index_[ref] = id;
        return id;
    }
    std::string xml() const;

private:
    std::vector<FormatRef> refs_;
    std::unordered_map<FormatRef, int> index_;
    std::size_t baseSize_ = 1;
};

// Shared strings in order of first use. A workbook read from a file starts from that file's
// table, so the stored sheets' indexes stay valid; new texts are appended.
class StringTable {
public:
    explicit StringTable(const std::vector<SharedText> &base);
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

    std::string xml() const;

private:
    int add(const SharedText &text);

    std::deque<SharedText> strings_; // stable: the maps hold views into them
    std::unordered_map<const void *, int> byIdentity_;
    std::unordered_map<std::string_view, int> byContent_;
    std::size_t baseSize_ = 0;
    long long uses_ = 0;
};

// Writes a worksheet's XML into the zip entry begun last.
void writeSheetXml(ZipWriter &zip, const Sheet &sheet, bool selected, StyleTable &styles,
                   StringTable &strings);

} // namespace vandorix::ooxml_writer
