#pragma once

#include "store/CellValue.h"

#include <optional>
#include <string>

namespace vandorix {

class Sheet;

// The text of a cell as a Hungarian reader expects it under the cell's number format: dates
// "2026. 12. 06.", numbers with a decimal comma and blanks between thousands ("1 234 567,89").
std::string CellDisplayText(const Sheet &sheet, int row, int column);

// A value typed into a cell, read the way the cell shows its value: a date in a date cell, an
// amount in an amount cell, a number or text otherwise; an empty text empties the cell.
// nullopt when the text does not fit the cell (a non-date in a date cell, a non-amount in an
// amount cell).
std::optional<CellValue> ParseCellInput(const Sheet &sheet, int row, int column,
                                        const std::string &text);

} // namespace vandorix
