#include "CellText.h"

#include "store/Sheet.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace vandorix {

namespace {

// The parts of a number format code that decide how a number reads.
struct NumberLayout {
    int decimals = 0;
    bool grouping = false;
    bool percent = false;
    std::string prefix;
    std::string suffix;
};

// Reads the positive section of a code such as `#,##0.00`, `0`, `0.0%` or `#,##0 "Ft"`.
// Colour and condition brackets, fill and padding characters are left out.
NumberLayout layoutOf(const std::string &code) {
    NumberLayout layout;
    bool seenDigit = false;
    bool afterPoint = false;
    std::string *literal = &layout.prefix;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == ';') break;
        if (c == '"') {
            std::size_t end = code.find('"', i + 1);
            if (end == std::string::npos) end = code.size();
            *literal += code.substr(i + 1, end - i - 1);
            i = end;
        } else if (c == '[') {
            std::size_t end = code.find(']', i + 1);
            i = end == std::string::npos ? code.size() : end;
        } else if (c == '\\') {
            if (i + 1 < code.size()) *literal += code[++i];
        } else if (c == '_') {
            ++i;
            *literal += ' ';
        } else if (c == '*') {
            ++i;
        } else if (c == '0' || c == '#' || c == '?') {
            seenDigit = true;
            literal = &layout.suffix;
            if (afterPoint) ++layout.decimals;
        } else if (c == '.' && seenDigit) {
            afterPoint = true;
        } else if (c == ',' && seenDigit && !afterPoint) {
            layout.grouping = true;
        } else if (c == '%') {
            layout.percent = true;
            *literal += '%';
        } else {
            *literal += c;
        }
    }
    return layout;
}

std::string groupThousands(const std::string &digits) {
    std::string out;
    const std::size_t n = digits.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

// A fixed-point amount (ten-thousandths) rounded half away from zero to `decimals` places.
std::string fixedFromRaw(std::int64_t raw, int decimals, bool grouping) {
    std::int64_t divisor = 1;
    for (int k = decimals; k < 4; ++k) divisor *= 10;
    std::int64_t places = 1;
    for (int k = 0; k < decimals; ++k) places *= 10;
    const std::int64_t magnitude = raw < 0 ? -raw : raw;
    const std::int64_t rounded = (magnitude + divisor / 2) / divisor;
    const std::string whole = std::to_string(rounded / places);
    std::string text;
    if (raw < 0 && rounded != 0) text.push_back('-');
    text.append(grouping ? groupThousands(whole) : whole);
    if (decimals > 0) {
        text.push_back(',');
        text.append(std::to_string(rounded % places + places), 1);
    }
    return text;
}

std::string fixedFromDouble(double value, int decimals, bool grouping) {
    if (decimals <= 4 && std::isfinite(value) && std::fabs(value) < 9.0e14)
        return fixedFromRaw(Currency::fromDouble(value).raw(), decimals, grouping);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string text = buf;
    for (char &c : text)
        if (c == '.') c = ',';
    return text;
}

bool isGeneral(const std::string &code) { return code.empty() || code == "General" || code == "@"; }

std::optional<double> parseNumber(std::string text) {
    std::string plain;
    for (char c : text) {
        if (c == ' ') continue;
        plain += c == ',' ? '.' : c;
    }
    if (plain.empty()) return std::nullopt;
    char *end = nullptr;
    const double value = std::strtod(plain.c_str(), &end);
    if (end != plain.c_str() + plain.size() || !std::isfinite(value)) return std::nullopt;
    return value;
}

} // namespace

std::string CellDisplayText(const Sheet &sheet, int row, int column) {
    const CellValue &value = sheet.value(row, column);
    const CellFormat &format = formatOf(sheet.cellFormat(row, column));
    switch (value.kind()) {
    case CellKind::Empty:
    case CellKind::Text: return value.display();
    case CellKind::Date: return value.date()->toString();
    case CellKind::Number:
        if (format.isDateFormat())
            if (auto date = Date::fromSerial(*value.number())) return date->toString();
        break;
    case CellKind::Currency: break;
    }
    if (isGeneral(format.numberFormat)) return value.display();
    const NumberLayout layout = layoutOf(format.numberFormat);
    std::string digits;
    if (layout.percent)
        digits = fixedFromDouble(*value.number() * 100, layout.decimals, layout.grouping);
    else if (auto amount = value.kind() == CellKind::Currency ? value.currency() : std::nullopt)
        digits = fixedFromRaw(amount->raw(), layout.decimals, layout.grouping);
    else
        digits = fixedFromDouble(*value.number(), layout.decimals, layout.grouping);
    return layout.prefix + digits + layout.suffix;
}

std::optional<CellValue> ParseCellInput(const Sheet &sheet, int row, int column,
                                        const std::string &text) {
    const CellValue &current = sheet.value(row, column);
    const CellFormat &format = formatOf(sheet.cellFormat(row, column));
    bool blank = true;
    for (char c : text) blank = blank && c == ' ';
    if (blank) return CellValue();

    if (current.kind() == CellKind::Date || (format.isDateFormat() && !format.currency)) {
        if (auto date = Date::parse(text)) return CellValue(*date);
        return std::nullopt;
    }
    if (current.kind() == CellKind::Currency || format.currency) {
        if (auto amount = Currency::parse(text)) return CellValue(*amount);
        return std::nullopt;
    }
    if (auto number = parseNumber(text)) return CellValue(*number);
    if (current.kind() != CellKind::Text)
        if (auto date = Date::parse(text)) return CellValue(*date);
    return CellValue(text);
}

} // namespace vandorix
