// The style and shared-string tables of the OOXML writer, and how it escapes text.
#include "store/OoxmlWriteSupport.h"

#include <charconv>
#include <cstdio>

namespace vandorix::ooxml_writer {

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

std::string escaped(std::string_view s, bool attribute) {
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

StyleTable::StyleTable(const std::vector<FormatRef> &base) {
    refs_.push_back(nullptr);
    index_[nullptr] = 0;
    for (std::size_t i = 1; i < base.size(); ++i) {
        refs_.push_back(base[i]);
        index_.try_emplace(base[i], static_cast<int>(i));
    }
    baseSize_ = refs_.size();
}

std::string StyleTable::xml() const {
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

StringTable::StringTable(const std::vector<SharedText> &base) {
    for (const SharedText &t : base) add(t);
    baseSize_ = strings_.size();
}

std::string StringTable::xml() const {
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

int StringTable::add(const SharedText &text) {
    int id = static_cast<int>(strings_.size());
    strings_.push_back(text);
    byIdentity_.try_emplace(text.identity(), id);
    byContent_.try_emplace(strings_.back().view(), id);
    return id;
}

} // namespace vandorix::ooxml_writer
