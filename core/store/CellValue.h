#pragma once

#include "store/Currency.h"
#include "store/Date.h"

#include <optional>
#include <string>
#include <variant>

namespace vandorix {

enum class CellKind { Empty, Text, Number, Date, Currency };

// The value of one cell. An empty cell equals "".
class CellValue {
public:
    CellValue() = default;
    CellValue(std::string text) : v_(std::move(text)) {}
    CellValue(const char *text) : v_(std::string(text)) {}
    CellValue(double number) : v_(number) {}
    CellValue(int number) : v_(static_cast<double>(number)) {}
    CellValue(Date date) : v_(date) {}
    CellValue(Currency amount) : v_(amount) {}

    CellKind kind() const { return static_cast<CellKind>(v_.index()); }
    // True for an empty cell and for an empty text.
    bool isBlank() const;
    std::optional<std::string> text() const;
    // Numbers, amounts and dates (as their serial) read as numbers.
    std::optional<double> number() const;
    // Amounts, and numbers rounded to four decimals.
    std::optional<Currency> currency() const;
    std::optional<Date> date() const;
    // Whole numbers read from numbers and amounts, truncation refused.
    std::optional<long long> integer() const;
    // What a Hungarian reader sees: dates "2026. 12. 06.", amounts and numbers with a comma.
    std::string display() const;

    bool operator==(const CellValue &) const = default;

private:
    std::variant<std::monostate, std::string, double, Date, Currency> v_;
};

std::string formatNumber(double value);

} // namespace vandorix
