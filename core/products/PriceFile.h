#pragma once

#include "store/Currency.h"
#include "store/Date.h"

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vandorix {

// A price history as exchanges and brokers hand it out: CSV or plain text (";", "," or tab
// between fields, a heading line or none, UTF-8 or Windows-1250), or the first sheet of an
// OOXML spreadsheet. Each line gives a day and its closing price; the lines are checked by
// the rules of the closing-price window.

struct PriceFileDay {
    int line = 0; // line of the text, row of the sheet (from 1)
    Date day;
    Currency price;
};

struct RefusedPriceLine {
    int line = 0;
    std::string reason; // Hungarian, for the user
};

struct PriceFileContent {
    std::vector<PriceFileDay> days;        // the readable lines, ascending by day, each day once
    std::vector<RefusedPriceLine> refused; // ascending by line number
};

// A file that cannot be read as a price history at all; the message is Hungarian and names
// the file.
class PriceFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the file. A day after `today`, a price of 0 or less, a line without a readable date or
// price are refused lines; a day given on several lines refuses all of them. Throws
// `PriceFileError` when the file is missing, is neither text nor an OOXML spreadsheet, or is a
// damaged spreadsheet. A file without a readable line is no error here: its content is empty.
PriceFileContent ReadPriceFile(const std::filesystem::path &path, Date today);

// The same on the file's bytes; `name` names the file in messages.
PriceFileContent ParsePriceFileBytes(std::string_view bytes, Date today, const std::string &name);

// Windows-1250 text as UTF-8; nullopt when a byte has no character in that code page.
std::optional<std::string> Windows1250ToUtf8(std::string_view text);

// A day as price files write it: year first ("2026.12.07", "2026. 12. 07.", "2026-12-07") or
// day first with dots ("07.12.2026"), a time of day after it ignored.
std::optional<Date> ParsePriceFileDate(std::string_view text);

} // namespace vandorix
