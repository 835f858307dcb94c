#include "store/XmlScanner.h"

#include <cstring>

namespace vandorix {
namespace {

inline bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// Character classes by table: 1 may start a name, 2 may continue one.
struct NameClasses {
    unsigned char of[256] = {};
    constexpr NameClasses() {
        for (int c = 0; c < 256; ++c) {
            bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
            bool rest = start || (c >= '0' && c <= '9') || c == '-' || c == '.';
            of[c] = static_cast<unsigned char>((start ? 1 : 0) | (rest ? 2 : 0));
        }
    }
};
constexpr NameClasses kNameClasses;

inline bool isNameStart(unsigned char c) { return kNameClasses.of[c] & 1; }
inline bool isNameChar(unsigned char c) { return kNameClasses.of[c] & 2; }

// Short scans (a tag, an attribute value) are faster inline than through memchr.
inline std::size_t findChar(const char *data, std::size_t from, std::size_t size, char c) {
    while (from < size && data[from] != c) ++from;
    return from;
}

inline bool same(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return false;
    return true;
}

inline std::string_view localPart(std::string_view qname) {
    for (std::size_t i = qname.size(); i > 0; --i)
        if (qname[i - 1] == ':') return qname.substr(i);
    return qname;
}

void appendUtf8(std::string &out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

void XmlScanner::fail(const std::string &what) const {
    throw std::runtime_error("hibás XML a(z) " + part_ + " részben (" +
                             std::to_string(consumed_ + pos_) + ". bájt): " + what);
}

void XmlScanner::feed(std::string_view data) {
    if (pos_ > 0) {
        buf_.erase(0, pos_);
        consumed_ += pos_;
        pos_ = 0;
    }
    if (!rootSeen_ && consumed_ == 0 && buf_.empty() && data.size() >= 3 &&
        std::memcmp(data.data(), "\xEF\xBB\xBF", 3) == 0) {
        data.remove_prefix(3); // byte order mark of UTF-8
        consumed_ = 3;
    }
    buf_.append(data);
}

XmlScanner::Token XmlScanner::needMore(const char *what) {
    if (final_) fail(what);
    return Token::NeedMore;
}

std::string_view XmlScanner::attribute(std::string_view localName, bool *found) const {
    for (const Attribute &a : attributes_)
        if (same(a.name, localName)) {
            if (found) *found = true;
            return a.raw;
        }
    if (found) *found = false;
    return {};
}

// The tokenizer's dispatch over what the buffer holds next, kept as one state machine: it runs
// for every element, text and comment of a part.
XmlScanner::Token XmlScanner::next() {
    if (pendingEnd_) {
        pendingEnd_ = false;
        std::uint32_t at = stackAt_.back();
        stackAt_.pop_back();
        stack_.resize(at);
        if (stackAt_.empty()) rootClosed_ = true;
        return Token::End;
    }
    for (;;) {
        const std::size_t size = buf_.size();
        if (pos_ >= size) {
            if (!final_) return Token::NeedMore;
            if (!rootSeen_) fail("üres dokumentum");
            if (!stackAt_.empty()) fail("lezáratlan elem a dokumentum végén");
            return Token::Done;
        }
        const char *data = buf_.data();
        if (data[pos_] != '<') {
            std::size_t end = findChar(data, pos_, size, '<');
            if (end == size && !final_) return Token::NeedMore;
            std::string_view text(data + pos_, end - pos_);
            if (stackAt_.empty()) {
                for (char c : text)
                    if (!isSpace(c)) fail("szöveg a gyökérelemen kívül");
                pos_ = end;
                continue;
            }
            pos_ = end;
            text_ = text;
            cdata_ = false;
            return Token::Text;
        }
        if (pos_ + 1 >= size) return needMore("csonka elem");
        char second = data[pos_ + 1];
        if (second == '/') {
            std::size_t end = findChar(data, pos_ + 2, size, '>');
            if (end == size) return needMore("csonka záróelem");
            std::size_t nameEnd = end;
            while (nameEnd > pos_ + 2 && isSpace(data[nameEnd - 1])) --nameEnd;
            std::string_view qname(data + pos_ + 2, nameEnd - pos_ - 2);
            if (stackAt_.empty()) fail("záróelem nyitóelem nélkül");
            std::uint32_t at = stackAt_.back();
            if (!same(qname, std::string_view(stack_).substr(at, stack_.size() - at - 1)))
                fail("a záróelem neve nem egyezik a nyitóelemével");
            stackAt_.pop_back();
            stack_.resize(at);
            if (stackAt_.empty()) rootClosed_ = true;
            name_ = localPart(qname);
            pos_ = end + 1;
            return Token::End;
        }
        if (second == '?') {
            std::size_t end = buf_.find("?>", pos_ + 2);
            if (end == std::string::npos) return needMore("csonka feldolgozási utasítás");
            pos_ = end + 2;
            continue;
        }
        if (second == '!') {
            std::string_view rest(data + pos_, size - pos_);
            if (rest.size() < 9 && !final_) return Token::NeedMore;
            if (rest.substr(0, 4) == "<!--") {
                std::size_t end = buf_.find("-->", pos_ + 4);
                if (end == std::string::npos) return needMore("csonka megjegyzés");
                pos_ = end + 3;
                continue;
            }
            if (rest.substr(0, 9) == "<![CDATA[") {
                std::size_t end = buf_.find("]]>", pos_ + 9);
                if (end == std::string::npos) return needMore("csonka CDATA-szakasz");
                if (stackAt_.empty()) fail("CDATA a gyökérelemen kívül");
                text_ = std::string_view(data + pos_ + 9, end - pos_ - 9);
                cdata_ = true;
                pos_ = end + 3;
                return Token::Text;
            }
            fail("dokumentumtípus-deklaráció vagy ismeretlen jelölés");
        }
        return startTag(pos_);
    }
}

// A start tag and its attributes read in one pass over the buffer, kept whole: it runs for every
// element of a part.
XmlScanner::Token XmlScanner::startTag(std::size_t start) {
    const char *data = buf_.data();
    const std::size_t size = buf_.size();
    std::size_t i = start + 1;
    if (!isNameStart(static_cast<unsigned char>(data[i]))) fail("érvénytelen elemnév");
    while (i < size && isNameChar(static_cast<unsigned char>(data[i]))) ++i;
    if (i >= size) return needMore("csonka elem");
    std::string_view qname(data + start + 1, i - start - 1);
    attributes_.clear();
    bool selfClosing = false;
    for (;;) {
        bool spaced = false;
        while (i < size && isSpace(data[i])) {
            ++i;
            spaced = true;
        }
        if (i >= size) return needMore("csonka elem");
        char c = data[i];
        if (c == '>') {
            ++i;
            break;
        }
        if (c == '/') {
            if (i + 1 >= size) return needMore("csonka elem");
            if (data[i + 1] != '>') fail("hibás elemzárás");
            i += 2;
            selfClosing = true;
            break;
        }
        if (!spaced || !isNameStart(static_cast<unsigned char>(c))) fail("hibás attribútum");
        std::size_t nameStart = i;
        while (i < size && isNameChar(static_cast<unsigned char>(data[i]))) ++i;
        std::string_view attrName(data + nameStart, i - nameStart);
        while (i < size && isSpace(data[i])) ++i;
        if (i >= size) return needMore("csonka elem");
        if (data[i] != '=') fail("hiányzó = az attribútum után");
        ++i;
        while (i < size && isSpace(data[i])) ++i;
        if (i >= size) return needMore("csonka elem");
        char quote = data[i];
        if (quote != '"' && quote != '\'') fail("idézőjel nélküli attribútumérték");
        std::size_t end = i + 1;
        while (end < size && data[end] != quote) {
            if (data[end] == '<') fail("< az attribútumértékben");
            ++end;
        }
        if (end == size) return needMore("csonka attribútumérték");
        std::string_view raw(data + i + 1, end - i - 1);
        attributes_.push_back({localPart(attrName), raw});
        i = end + 1;
    }
    if (rootClosed_) fail("második gyökérelem");
    rootSeen_ = true;
    stackAt_.push_back(static_cast<std::uint32_t>(stack_.size()));
    stack_.append(qname);
    stack_ += '\0';
    name_ = localPart(qname);
    pos_ = i;
    pendingEnd_ = selfClosing;
    return Token::Start;
}

// One loop over the text, kept whole: plain runs are copied in bulk between the references and
// line ends it decodes.
void XmlScanner::appendDecoded(std::string &out, std::string_view raw, bool attribute) const {
    std::size_t i = 0;
    while (i < raw.size()) {
        std::size_t special = i;
        while (special < raw.size()) {
            char c = raw[special];
            if (c == '&' || c == '\r' || (attribute && (c == '\n' || c == '\t'))) break;
            ++special;
        }
        if (special == raw.size()) {
            out.append(raw.substr(i));
            return;
        }
        out.append(raw.substr(i, special - i));
        char c = raw[special];
        if (c != '&') {
            if (c == '\r' && special + 1 < raw.size() && raw[special + 1] == '\n') ++special;
            out += attribute ? ' ' : '\n';
            i = special + 1;
            continue;
        }
        std::size_t semi = raw.find(';', special + 1);
        if (semi == std::string_view::npos || semi - special > 12) fail("hibás entitás");
        std::string_view entity = raw.substr(special + 1, semi - special - 1);
        if (entity == "lt") out += '<';
        else if (entity == "gt") out += '>';
        else if (entity == "amp") out += '&';
        else if (entity == "quot") out += '"';
        else if (entity == "apos") out += '\'';
        else if (entity.size() >= 2 && entity[0] == '#') {
            bool hex = entity[1] == 'x';
            std::string_view digits = entity.substr(hex ? 2 : 1);
            if (digits.empty()) fail("hibás karakterhivatkozás");
            unsigned cp = 0;
            for (char d : digits) {
                int v = d >= '0' && d <= '9' ? d - '0'
                      : hex && d >= 'a' && d <= 'f' ? d - 'a' + 10
                      : hex && d >= 'A' && d <= 'F' ? d - 'A' + 10
                      : -1;
                if (v < 0) fail("hibás karakterhivatkozás");
                cp = cp * (hex ? 16 : 10) + static_cast<unsigned>(v);
                if (cp > 0x10FFFF) fail("hibás karakterhivatkozás");
            }
            if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) fail("hibás karakterhivatkozás");
            appendUtf8(out, cp);
        } else {
            fail("ismeretlen entitás");
        }
        i = semi + 1;
    }
}

} // namespace vandorix
