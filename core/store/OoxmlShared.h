#pragma once

#include "store/CellFormat.h"
#include "store/CellValue.h"
#include "store/ZipPackage.h"

#include <string_view>
#include <vector>

namespace vandorix {

inline constexpr const char *kMainNs = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr const char *kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr const char *kPkgRelNs =
    "http://schemas.openxmlformats.org/package/2006/relationships";

// True when `s` starts with an escape of the form _xHHHH_.
inline bool looksLikeEscape(std::string_view s) {
    if (s.size() < 7 || s[0] != '_' || s[1] != 'x' || s[6] != '_') return false;
    for (int i = 2; i < 6; ++i) {
        char c = s[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    }
    return true;
}

// The file a workbook was read from, as the writer needs it to copy unchanged parts: the
// compressed parts, and the style and shared-string tables the stored sheets refer to by
// index. A save that adds formats or texts appends them to these tables, so every stored
// index keeps its meaning.
struct StoredWorkbookParts {
    explicit StoredWorkbookParts(std::string_view bytes) : zip(bytes) {}

    ZipReader zip;
    // Per stored worksheet: its part, and how many of its cells refer to a shared string.
    struct SheetPart {
        const StoredZipEntry *entry;
        long long stringUses;
    };
    std::vector<SheetPart> sheets;
    const StoredZipEntry *styles = nullptr;
    const StoredZipEntry *sharedStrings = nullptr;
    std::vector<FormatRef> xfs;        // xf index -> format; index 0 is the default
    std::vector<SharedText> strings;   // shared-string index -> text
};

} // namespace vandorix
