#pragma once

#include "store/Currency.h"
#include "store/Date.h"
#include "store/Sheet.h"

namespace vandorix {

// The complaint about a cell that must hold a value of the type `expected` names ("dátum",
// "számérték", "egész szám") and holds something else. It throws the reader's own error.
using WrongCellType = void (*)(const Sheet &s, int row, int column, const char *expected);

// The date in a cell; anything else, a blank included, goes to `wrongType`.
Date DateCell(const Sheet &s, int row, int column, WrongCellType wrongType);
// The amount in a cell, an empty cell counting as zero as in the host's arithmetic; anything
// else goes to `wrongType`.
Currency AmountCell(const Sheet &s, int row, int column, WrongCellType wrongType);

} // namespace vandorix
