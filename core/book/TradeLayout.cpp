#include "book/TradeLayout.h"

#include <cmath>

namespace vandorix {

long long CellInteger(const Sheet &sheet, int row, int column) {
    const CellValue &v = sheet.value(row, column);
    if (auto i = v.integer()) return *i;
    if (auto n = v.number()) return std::llround(*n);
    return 0;
}

Currency CellCurrency(const Sheet &sheet, int row, int column) {
    return sheet.value(row, column).currency().value_or(Currency());
}

std::string CellText(const Sheet &sheet, int row, int column) {
    return sheet.value(row, column).text().value_or(std::string());
}

std::optional<Date> CellDate(const Sheet &sheet, int row, int column) {
    return sheet.value(row, column).date();
}

bool IsOpenLot(const Sheet &sheet, int row) {
    return CellText(sheet, row, szla::LotCode) == kOpenLot;
}

bool IsPurchaseRow(const Sheet &sheet, int row) {
    std::string code = CellText(sheet, row, szla::LotCode);
    return code == kOpenLot || code == kClosedLot;
}

int LastTradeRow(const Sheet &sheet) {
    int r = szla::FirstDataRow;
    while (!sheet.value(r, szla::Day).isBlank()) ++r;
    return r - 1;
}

int LastTradeRowFromHeader(const Sheet &sheet) {
    auto s2 = sheet.value(szla::TotalsPointerRow, szla::TotalsPointerColumn).integer();
    if (!s2 || *s2 < szla::FirstDataRow + 2) return LastTradeRow(sheet);
    return static_cast<int>(*s2) - book::kTotalsOffset;
}

} // namespace vandorix
