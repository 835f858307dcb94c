#include "store/Sheet.h"

#include "store/HostError.h"
#include "store/Workbook.h"

#include <algorithm>
#include <numeric>

namespace vandorix {
namespace {

// Sort order of the host: numbers (dates and amounts among them) ascending, then texts
// ignoring letter case, then empty cells.
int sortClass(const CellValue &v) {
    switch (v.kind()) {
    case CellKind::Number:
    case CellKind::Date:
    case CellKind::Currency: return 0;
    case CellKind::Text: return v.isBlank() ? 2 : 1;
    case CellKind::Empty: return 2;
    }
    return 2;
}

// Folds ASCII and the Hungarian accented letters to lower case so that "Ábel" sorts with
// "ábel"; accented vowels sort right after their plain letter.
std::string collationKey(const std::string &s) {
    std::string out;
    out.reserve(s.size() * 2);
    for (std::size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            out += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
            out += '\x01';
            continue;
        }
        // two-byte UTF-8 sequences of Latin-1 and Latin Extended-A
        if ((c & 0xE0) == 0xC0 && i + 1 < s.size()) {
            unsigned cp = ((c & 0x1F) << 6) | (static_cast<unsigned char>(s[i + 1]) & 0x3F);
            ++i;
            char base = 0;
            char rank = '\x02';
            switch (cp) {
            case 0xC1: case 0xE1: base = 'a'; break;
            case 0xC9: case 0xE9: base = 'e'; break;
            case 0xCD: case 0xED: base = 'i'; break;
            case 0xD3: case 0xF3: base = 'o'; break;
            case 0xD6: case 0xF6: base = 'o'; rank = '\x03'; break;
            case 0x150: case 0x151: base = 'o'; rank = '\x04'; break;
            case 0xDA: case 0xFA: base = 'u'; break;
            case 0xDC: case 0xFC: base = 'u'; rank = '\x03'; break;
            case 0x170: case 0x171: base = 'u'; rank = '\x04'; break;
            default: break;
            }
            if (base) {
                out += base;
                out += rank;
            } else {
                out += static_cast<char>(0x7F);
                out += static_cast<char>(cp >> 4);
            }
            continue;
        }
        out += static_cast<char>(c);
    }
    return out;
}

bool lessForSort(const CellValue &a, const CellValue &b) {
    int ca = sortClass(a), cb = sortClass(b);
    if (ca != cb) return ca < cb;
    if (ca == 0) return *a.number() < *b.number();
    if (ca == 1) return collationKey(*a.text()) < collationKey(*b.text());
    return false;
}

} // namespace

std::uint16_t passwordHash(const std::string &password) {
    std::uint16_t hash = 0;
    for (auto it = password.rbegin(); it != password.rend(); ++it) {
        hash = static_cast<std::uint16_t>(((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF));
        hash ^= static_cast<unsigned char>(*it);
    }
    hash = static_cast<std::uint16_t>(((hash >> 14) & 0x01) | ((hash << 1) & 0x7FFF));
    hash ^= static_cast<std::uint16_t>(password.size());
    hash ^= 0xCE4B;
    return hash;
}

Sheet::Sheet(Workbook &owner, std::string name, SheetKind kind)
    : owner_(&owner), name_(std::move(name)), kind_(kind) {
    if (kind_ == SheetKind::Chart) chart_ = std::make_unique<Chart>();
}

void Sheet::touch() {
    contentChanged_ = true;
    owner_->markChanged();
}

void Sheet::checkWritable() const {
    if (protected_) throw ProtectedError(name_ + " (" + owner_->fileName() + ")");
}

Row &Sheet::rowAt(int r) {
    if (r < 1 || r > 1048576) throw HostError("Érvénytelen sorszám: " + std::to_string(r));
    if (r > rowCount()) rows_.resize(r);
    return rows_[r - 1];
}

Cell &Sheet::cellAt(int r, int c) {
    if (c < 1 || c > 16384) throw HostError("Érvénytelen oszlopszám: " + std::to_string(c));
    Row &row = rowAt(r);
    if (c > static_cast<int>(row.cells.size())) row.cells.resize(c, Cell{{}, row.format});
    return row.cells[c - 1];
}

const CellValue &Sheet::value(int r, int c) const {
    static const CellValue empty;
    const Row *rw = row(r);
    if (!rw || c < 1 || c > static_cast<int>(rw->cells.size())) return empty;
    return rw->cells[c - 1].value;
}

void Sheet::setValue(int r, int c, CellValue v) {
    checkWritable();
    Cell &cell = cellAt(r, c);
    const CellFormat &f = formatOf(cell.format);
    switch (v.kind()) {
    case CellKind::Date:
        if (!f.isDateFormat() || f.currency) {
            CellFormat nf = f;
            nf.numberFormat = kDefaultDateFormat;
            nf.currency = false;
            cell.format = internFormat(nf);
        }
        break;
    case CellKind::Currency:
        if (!f.currency || f.isDateFormat()) {
            CellFormat nf = f;
            nf.currency = true;
            if (nf.numberFormat == "General" || f.isDateFormat()) nf.numberFormat = kDefaultAmountFormat;
            cell.format = internFormat(nf);
        }
        break;
    case CellKind::Number:
        if (f.currency) {
            if (auto amount = v.currency()) v = *amount;
        } else if (f.isDateFormat()) {
            double n = *v.number();
            if (auto d = Date::fromSerial(n); d && static_cast<double>(d->serial()) == n) v = *d;
        }
        break;
    default: break;
    }
    cell.value = std::move(v);
    touch();
}

FormatRef Sheet::cellFormat(int r, int c) const {
    const Row *rw = row(r);
    if (!rw) return nullptr;
    if (c >= 1 && c <= static_cast<int>(rw->cells.size())) return rw->cells[c - 1].format;
    return rw->format;
}

void Sheet::setCellFormat(int r, int c, FormatRef format) {
    checkWritable();
    cellAt(r, c).format = format;
    touch();
}

FormatRef Sheet::rowFormat(int r) const {
    const Row *rw = row(r);
    return rw ? rw->format : nullptr;
}

void Sheet::setRowFormat(int r, FormatRef format) {
    checkWritable();
    Row &rw = rowAt(r);
    rw.format = format;
    for (Cell &c : rw.cells) c.format = format;
    touch();
}

double Sheet::rowHeight(int r) const {
    const Row *rw = row(r);
    return rw ? rw->height : 0;
}

void Sheet::setRowHeight(int r, double height) {
    checkWritable();
    rowAt(r).height = height;
    touch();
}

int Sheet::columnCount() const {
    int n = 0;
    for (const Row &r : rows_) n = std::max(n, static_cast<int>(r.cells.size()));
    return n;
}

void Sheet::insertRow(int r) {
    checkWritable();
    if (r < 1) throw HostError("Érvénytelen sorszám: " + std::to_string(r));
    Row fresh;
    if (const Row *above = row(r - 1)) {
        fresh.format = above->format;
        fresh.height = above->height;
        fresh.cells.reserve(above->cells.size());
        for (const Cell &c : above->cells) fresh.cells.push_back(Cell{{}, c.format});
    }
    if (r > rowCount()) {
        rowAt(r) = std::move(fresh);
    } else {
        rows_.insert(rows_.begin() + (r - 1), std::move(fresh));
    }
    touch();
}

void Sheet::deleteRow(int r) {
    checkWritable();
    if (r >= 1 && r <= rowCount()) rows_.erase(rows_.begin() + (r - 1));
    touch();
}

void Sheet::copyRowFormat(int from, int to) {
    checkWritable();
    Row source = row(from) ? *row(from) : Row{};
    Row &target = rowAt(to);
    target.format = source.format;
    target.height = source.height;
    std::size_t width = std::max(source.cells.size(), target.cells.size());
    target.cells.resize(width, Cell{{}, target.format});
    for (std::size_t i = 0; i < width; ++i)
        target.cells[i].format = i < source.cells.size() ? source.cells[i].format : source.format;
    touch();
}

void Sheet::clearRange(int firstRow, int firstColumn, int lastRow, int lastColumn) {
    checkWritable();
    for (int r = firstRow; r <= std::min(lastRow, rowCount()); ++r) {
        Row &rw = rows_[r - 1];
        for (int c = firstColumn; c <= std::min(lastColumn, static_cast<int>(rw.cells.size())); ++c)
            rw.cells[c - 1].value = CellValue();
    }
    touch();
}

void Sheet::sortRange(int firstRow, int firstColumn, int lastRow, int lastColumn, int keyColumn) {
    checkWritable();
    if (lastRow < firstRow || keyColumn < firstColumn || keyColumn > lastColumn) return;
    int n = lastRow - firstRow + 1;
    std::vector<std::vector<Cell>> block(n);
    for (int i = 0; i < n; ++i)
        for (int c = firstColumn; c <= lastColumn; ++c)
            block[i].push_back(Cell{value(firstRow + i, c), cellFormat(firstRow + i, c)});
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    int k = keyColumn - firstColumn;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return lessForSort(block[a][k].value, block[b][k].value); });
    for (int i = 0; i < n; ++i)
        for (int c = firstColumn; c <= lastColumn; ++c) {
            Cell &dst = cellAt(firstRow + i, c);
            dst = block[order[i]][c - firstColumn];
        }
    touch();
}

double Sheet::columnWidth(int column) const {
    auto it = columnWidths_.find(column);
    return it == columnWidths_.end() ? 0 : it->second;
}

void Sheet::setColumnWidth(int column, double width) {
    checkWritable();
    if (width <= 0) columnWidths_.erase(column);
    else columnWidths_[column] = width;
    touch();
}

void Sheet::setVisible(bool visible) {
    setVisibility(visible ? SheetVisibility::Visible : SheetVisibility::Hidden);
}

void Sheet::setVisibility(SheetVisibility v) {
    if (v == visibility_) return;
    if (owner_->structureProtected())
        throw ProtectedError(owner_->fileName() + " (munkafüzet szerkezete)");
    if (v != SheetVisibility::Visible) {
        int visibleCount = 0;
        for (int i = 1; i <= owner_->sheetCount(); ++i)
            if (owner_->sheetAt(i).visible()) ++visibleCount;
        if (visible() && visibleCount <= 1)
            throw HostError("Egy munkafüzet utolsó látható munkalapja nem rejthető el: " + name_);
    }
    visibility_ = v;
    owner_->markChanged();
}

void Sheet::protect(const std::string &password) {
    if (protected_) return;
    protected_ = true;
    protectionHash_ = password.empty() ? 0 : passwordHash(password);
    owner_->markChanged();
}

void Sheet::unprotect(const std::string &password) {
    if (!protected_) return;
    std::uint16_t given = password.empty() ? 0 : passwordHash(password);
    if (given != protectionHash_) throw WrongPasswordError(name_ + " (" + owner_->fileName() + ")");
    protected_ = false;
    owner_->markChanged();
}

void Sheet::setStoredProtection(bool isProtected, std::uint16_t hash) {
    protected_ = isProtected;
    protectionHash_ = isProtected ? hash : 0;
}

void Sheet::rename(std::string name) { name_ = std::move(name); }

bool Sheet::sameContent(const Sheet &o) const {
    if (name_ != o.name_ || kind_ != o.kind_ || visibility_ != o.visibility_ ||
        protected_ != o.protected_ || protectionHash_ != o.protectionHash_ ||
        columnWidths_ != o.columnWidths_)
        return false;
    int n = std::max(rowCount(), o.rowCount());
    for (int r = 1; r <= n; ++r) {
        int w = std::max(row(r) ? static_cast<int>(row(r)->cells.size()) : 0,
                         o.row(r) ? static_cast<int>(o.row(r)->cells.size()) : 0);
        if (rowFormat(r) != o.rowFormat(r) || rowHeight(r) != o.rowHeight(r)) return false;
        for (int c = 1; c <= w; ++c)
            if (!(value(r, c) == o.value(r, c)) || cellFormat(r, c) != o.cellFormat(r, c))
                return false;
    }
    return true;
}

} // namespace vandorix
