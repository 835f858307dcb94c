#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vandorix {

// A streaming XML tokenizer for the large parts of a workbook (sheets, shared strings): the
// text is fed piece by piece and read as start tags, end tags and texts, without building a
// tree. It checks that the document is well formed (names nest, one root, known entities,
// quoted attributes) and refuses document type declarations. Names are reported without
// their namespace prefix. Views handed out stay valid until the next `feed`.
class XmlScanner {
public:
    enum class Token { Start, End, Text, NeedMore, Done };

    struct Attribute {
        std::string_view name; // local name
        std::string_view raw;  // as written, entities not yet replaced
    };

    // `part` names the document in error messages.
    explicit XmlScanner(std::string part) : part_(std::move(part)) {}

    void feed(std::string_view data);
    // No more text follows: `next` reports `Done` at the end, or throws if the document is
    // not complete.
    void finish() { final_ = true; }

    Token next();

    // Of the last `Start` and `End`.
    std::string_view name() const { return name_; }
    // Of the last `Start`.
    const std::vector<Attribute> &attributes() const { return attributes_; }
    // The raw value of an attribute by local name; empty when absent (`found` tells).
    std::string_view attribute(std::string_view localName, bool *found = nullptr) const;
    // Of the last `Text`: its raw form and whether it came from a CDATA section.
    std::string_view text() const { return text_; }
    bool textIsCdata() const { return cdata_; }

    // Appends `raw` with entities replaced and line ends normalized; attribute values also
    // turn literal tabs and line breaks into blanks, as XML asks.
    void appendDecoded(std::string &out, std::string_view raw, bool attribute) const;
    void appendText(std::string &out) const {
        if (cdata_) out.append(text_);
        else appendDecoded(out, text_, false);
    }

    [[noreturn]] void fail(const std::string &what) const;

    // For a reader that recognises a whole element itself: the text not yet scanned (empty
    // while an element's end is still to be reported), and how much of it was taken. What is
    // taken must be complete elements, opened and closed.
    std::string_view pending() const {
        return pendingEnd_ || stackAt_.empty() ? std::string_view()
                                               : std::string_view(buf_.data() + pos_, buf_.size() - pos_);
    }
    void skip(std::size_t n) { pos_ += n; }

private:
    Token needMore(const char *what);
    Token startTag(std::size_t i);

    std::string part_;
    std::string buf_;
    std::size_t pos_ = 0;
    bool final_ = false;
    bool rootSeen_ = false;
    bool rootClosed_ = false;
    bool pendingEnd_ = false;
    std::string stack_;                  // open element names, each followed by '\0'
    std::vector<std::uint32_t> stackAt_; // where each starts in stack_
    std::string_view name_;
    std::vector<Attribute> attributes_;
    std::string_view text_;
    bool cdata_ = false;
    std::uint64_t consumed_ = 0; // bytes dropped before buf_, for positions in messages
};

} // namespace vandorix
