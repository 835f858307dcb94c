// Writes one worksheet's XML. The cell loop is the hottest code of saving a workbook; it stays
// in this one file with its output buffer so that the appends inline.
#include "store/OoxmlWriteSupport.h"

#include <charconv>
#include <cstring>

namespace vandorix::ooxml_writer {
namespace {

// The XML of a part, written through a cursor into a buffer that goes to the zip writer (and
// so to the compressor) whenever it fills: a sheet's XML is never held whole. Room is made
// once per row, then cells are appended without a check per character.
class Output {
public:
    explicit Output(ZipWriter &zip) : zip_(zip), buf_(kSize, '\0') {}
    ~Output() = default;
    void room(std::size_t n) {
        if (at_ + n <= buf_.size()) return;
        flush();
        if (n > buf_.size()) buf_.resize(n);
    }
    void flush() {
        zip_.write(std::string_view(buf_.data(), at_));
        at_ = 0;
    }
    void put(std::string_view s) {
        std::memcpy(buf_.data() + at_, s.data(), s.size());
        at_ += s.size();
    }
    void put(char c) { buf_[at_++] = c; }
    void putInt(long long v) {
        auto res = std::to_chars(buf_.data() + at_, buf_.data() + at_ + 24, v);
        at_ = res.ptr - buf_.data();
    }
    void putDouble(double v) {
        auto res = std::to_chars(buf_.data() + at_, buf_.data() + at_ + 32, v);
        at_ = res.ptr - buf_.data();
    }
    void putCurrency(Currency c) {
        std::int64_t raw = c.raw();
        std::uint64_t mag = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
        if (raw < 0) put('-');
        auto res = std::to_chars(buf_.data() + at_, buf_.data() + at_ + 24, mag / Currency::Scale);
        at_ = res.ptr - buf_.data();
        unsigned frac = static_cast<unsigned>(mag % Currency::Scale);
        if (frac) {
            char digits[4] = {static_cast<char>('0' + frac / 1000), static_cast<char>('0' + frac / 100 % 10),
                              static_cast<char>('0' + frac / 10 % 10), static_cast<char>('0' + frac % 10)};
            int n = 4;
            while (digits[n - 1] == '0') --n;
            put('.');
            put(std::string_view(digits, n));
        }
    }
    void putString(const std::string &s) {
        room(s.size());
        put(s);
    }

private:
    static constexpr std::size_t kSize = 256 << 10;
    ZipWriter &zip_;
    std::string buf_;
    std::size_t at_ = 0;
};


std::string sheetHead(const Sheet &sheet, bool selected) {
    const int lastRow = sheet.rowCount();
    const int lastCol = sheet.columnCount();
    std::string head = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<worksheet xmlns=\"") +
                       kMainNs + "\" xmlns:r=\"" + kRelNs + "\">";
    head += "<dimension ref=\"A1";
    if (lastRow > 0 && lastCol > 0) head += ":" + columnName(lastCol) + std::to_string(lastRow);
    head += "\"/><sheetViews><sheetView workbookViewId=\"0\"";
    if (selected) head += " tabSelected=\"1\"";
    head += "/></sheetViews><sheetFormatPr defaultRowHeight=\"15\"/>";
    if (!sheet.columnWidths().empty()) {
        head += "<cols>";
        for (auto [col, width] : sheet.columnWidths()) {
            head += "<col min=\"" + std::to_string(col) + "\" max=\"" + std::to_string(col) + "\" width=\"";
            appendDouble(head, width);
            head += "\" customWidth=\"1\"/>";
        }
        head += "</cols>";
    }
    head += "<sheetData>";
    return head;
}

std::string sheetTail(const Sheet &sheet) {
    std::string tail = "</sheetData>";
    if (sheet.isProtected()) {
        tail += "<sheetProtection";
        if (sheet.protectionHash()) tail += " password=\"" + hashHex(sheet.protectionHash()) + "\"";
        tail += " sheet=\"1\" objects=\"1\" scenarios=\"1\"/>";
    }
    tail += "<pageMargins left=\"0.7\" right=\"0.7\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" "
            "footer=\"0.3\"/></worksheet>";
    return tail;
}

// The rows of one sheet, with what it keeps from row to row: the column names, and the style
// index of the format last seen in each column (a column mostly keeps one).
class RowWriter {
public:
    RowWriter(Output &x, int lastCol, StyleTable &styles, StringTable &strings)
        : x_(x), styles_(styles), strings_(strings), columnNames_(static_cast<std::size_t>(lastCol) + 1),
          columnStyle_(static_cast<std::size_t>(lastCol) + 1, {nullptr, 0}) {
        for (int c = 1; c <= lastCol; ++c) columnNames_[c] = columnName(c);
    }

    void write(const Row &row, int r) {
        std::size_t rowDigits = std::to_chars(rowNumber_, rowNumber_ + sizeof rowNumber_, r).ptr - rowNumber_;
        std::string_view number(rowNumber_, rowDigits);
        x_.room(96 + row.cells.size() * (96 + rowDigits));
        x_.put("<row r=\"");
        x_.put(number);
        x_.put('"');
        if (row.format) {
            x_.put(" s=\"");
            x_.putInt(styles_.indexOf(row.format));
            x_.put("\" customFormat=\"1\"");
        }
        if (row.height > 0) {
            x_.put(" ht=\"");
            x_.putDouble(row.height);
            x_.put("\" customHeight=\"1\"");
        }
        x_.put('>');
        for (std::size_t c = 0; c < row.cells.size(); ++c) {
            const Cell &cell = row.cells[c];
            if (cell.value.kind() == CellKind::Empty && cell.format == row.format) continue;
            writeCell(cell, c + 1, number);
        }
        x_.put("</row>");
    }

private:
    void writeCell(const Cell &cell, std::size_t col, std::string_view number) {
        const CellValue &v = cell.value;
        x_.put("<c r=\"");
        x_.put(columnNames_[col]);
        x_.put(number);
        x_.put('"');
        if (cell.format) {
            auto &cached = columnStyle_[col];
            if (cached.first != cell.format) cached = {cell.format, styles_.indexOf(cell.format)};
            x_.put(" s=\"");
            x_.putInt(cached.second);
            x_.put('"');
        }
        if (v.kind() == CellKind::Empty) {
            x_.put("/>");
            return;
        }
        x_.put(v.kind() == CellKind::Text ? " t=\"s\"><v>" : "><v>");
        switch (v.kind()) {
        case CellKind::Text: x_.putInt(strings_.indexOf(*v.sharedText())); break;
        case CellKind::Number: x_.putDouble(*v.number()); break;
        case CellKind::Date: x_.putInt(v.date()->serial()); break;
        case CellKind::Currency: x_.putCurrency(*v.currency()); break;
        case CellKind::Empty: break;
        }
        x_.put("</v></c>");
    }

    Output &x_;
    StyleTable &styles_;
    StringTable &strings_;
    std::vector<std::string> columnNames_;
    std::vector<std::pair<FormatRef, int>> columnStyle_;
    char rowNumber_[16];
};

} // namespace

void writeSheetXml(ZipWriter &zip, const Sheet &sheet, bool selected, StyleTable &styles,
                   StringTable &strings) {
    Output x(zip);
    x.putString(sheetHead(sheet, selected));
    RowWriter rows(x, sheet.columnCount(), styles, strings);
    for (int r = 1; r <= sheet.rowCount(); ++r) {
        const Row &row = *sheet.row(r);
        if (row.cells.empty() && !row.format && row.height == 0) continue;
        rows.write(row, r);
    }
    x.putString(sheetTail(sheet));
    x.flush();
}

} // namespace vandorix::ooxml_writer
