#include "store/TypedCells.h"

#include <optional>
#include <stdexcept>

namespace vandorix {

namespace {

[[noreturn]] void complain(WrongCellType wrongType, const Sheet &s, int row, int column,
                           const char *expected) {
    wrongType(s, row, column, expected);
    // A complaint that returns is a programming error: no value may be made up for the cell.
    throw std::logic_error("WrongCellType returned");
}

} // namespace

Date DateCell(const Sheet &s, int row, int column, WrongCellType wrongType) {
    std::optional<Date> d = s.value(row, column).date();
    if (!d) complain(wrongType, s, row, column, "dátum");
    return *d;
}

Currency AmountCell(const Sheet &s, int row, int column, WrongCellType wrongType) {
    const CellValue &v = s.value(row, column);
    if (v.isBlank()) return Currency();
    std::optional<Currency> amount = v.currency();
    if (!amount) complain(wrongType, s, row, column, "számérték");
    return *amount;
}

} // namespace vandorix
