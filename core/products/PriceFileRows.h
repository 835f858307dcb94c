#pragma once
// Shared by the parts of the price-file reader: the lines of a file as rows of cells, before
// the columns are known. Not for use elsewhere.

#include "store/CellValue.h"

#include <string>
#include <string_view>
#include <vector>

namespace vandorix::price_file {

struct RawRow {
    int line = 0;
    std::vector<CellValue> cells;
};

bool isValidUtf8(std::string_view s);
// Control characters other than tab, line feed, form feed, carriage return and the old end of
// file mark do not occur in text.
bool looksBinary(std::string_view s);
// Blanks of every width (no-break, narrow no-break, thin) become plain blanks; the ends are
// trimmed.
std::string normalizeBlanks(std::string_view s);

// The lines of a text, split into fields at the delimiter the first non-empty line shows.
std::vector<RawRow> textRows(std::string_view text);

} // namespace vandorix::price_file
