#include "store/CellFormat.h"

#include <deque>
#include <unordered_map>

namespace vandorix {
namespace {

struct FormatHash {
    std::size_t operator()(const CellFormat &f) const {
        return std::hash<std::string>()(f.numberFormat) ^ (f.bold ? 0x9e37 : 0) ^
               (static_cast<std::size_t>(f.align) << 20) ^ (f.currency ? 0x5bd1e995 : 0);
    }
};

struct FormatPool {
    std::deque<CellFormat> formats; // stable addresses
    std::unordered_map<CellFormat, FormatRef, FormatHash> index;
};

FormatPool &pool() {
    static FormatPool p;
    return p;
}

} // namespace

bool CellFormat::isDateFormat() const { return isDateNumberFormat(numberFormat); }

FormatRef internFormat(const CellFormat &format) {
    if (format == CellFormat{}) return nullptr;
    auto &p = pool();
    auto it = p.index.find(format);
    if (it != p.index.end()) return it->second;
    p.formats.push_back(format);
    FormatRef ref = &p.formats.back();
    p.index.emplace(format, ref);
    return ref;
}

const CellFormat &formatOf(FormatRef ref) {
    static const CellFormat general;
    return ref ? *ref : general;
}

bool isDateNumberFormat(const std::string &code) {
    bool inQuote = false;
    int bracket = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        char c = code[i];
        if (inQuote) {
            if (c == '"') inQuote = false;
            continue;
        }
        if (c == '"') inQuote = true;
        else if (c == '[') ++bracket;
        else if (c == ']') bracket = bracket > 0 ? bracket - 1 : 0;
        else if (c == '\\' || c == '_' || c == '*') ++i;
        else if (bracket == 0 && (c == 'y' || c == 'Y' || c == 'd' || c == 'D' || c == 'm' ||
                                  c == 'M'))
            return true;
        else if (c == ';') break; // the positive section decides
    }
    return false;
}

} // namespace vandorix
