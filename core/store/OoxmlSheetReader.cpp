// Reads one worksheet part straight into the sheet's rows, without a document tree. The cell
// loop is the hottest code of opening a workbook; it stays in this one file so that the
// scanner callbacks inline.
#include "store/OoxmlReadSupport.h"

#include "store/Sheet.h"

#include <cmath>

namespace vandorix::ooxml_reader {
namespace {

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
        case Root: c = startInRoot(xml, n); break;
        case Views:
            if (is(n, "sheetView") && truthy(xml.attribute("tabSelected"))) selected_ = true;
            break;
        case Cols:
            if (is(n, "col")) readColumnWidth(xml, sheet_);
            break;
        default:
            if (stack_.empty()) c = Root;
        }
        stack_.push_back(c);
    }

    // The children of <worksheet> this reader takes, each read once.
    Ctx startInRoot(XmlScanner &xml, std::string_view n) {
        if (is(n, "sheetData") && !dataSeen_) {
            dataSeen_ = true;
            return Data;
        }
        if (is(n, "cols") && !colsSeen_) {
            colsSeen_ = true;
            return Cols;
        }
        if (is(n, "sheetViews") && !viewsSeen_) {
            viewsSeen_ = true;
            return Views;
        }
        if (is(n, "sheetProtection") && !protectionSeen_) {
            protectionSeen_ = true;
            if (truthy(xml.attribute("sheet"))) {
                std::string_view hex = xml.attribute("password");
                unsigned hash = 0;
                std::from_chars(hex.data(), hex.data() + hex.size(), hash, 16);
                sheet_.setStoredProtection(true, static_cast<std::uint16_t>(hash));
            }
        }
        return Other;
    }

    void end(XmlScanner &xml) {
        Ctx c = stack_.back();
        stack_.pop_back();
        if (c == CellCtx) endCell(xml);
        else if (c == RowCtx) endRow();
        else if (c == InlineRun) runTextSeen_ = false;
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
    // end of the text read so far) is left to the general path. Kept as one loop: it runs for
    // every cell and is the reader's hot path.
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

} // namespace

WorksheetRead readWorksheet(const StoredZipEntry &entry, const std::string &part, Sheet &sheet,
                            const std::vector<FormatRef> &xfs, const std::vector<SharedText> &strings,
                            long long &cellBudget) {
    SheetReader reader(sheet, xfs, strings, cellBudget);
    scanPart(
        entry, part, [&](XmlScanner &xml, XmlScanner::Token t) { reader.token(xml, t); },
        [&](XmlScanner &xml) { return reader.fastCell(xml); });
    return {reader.selected(), reader.stringUses()};
}

} // namespace vandorix::ooxml_reader
