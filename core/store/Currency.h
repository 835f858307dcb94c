#pragma once

#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vandorix {

// Exact money amount: a 64-bit integer count of ten-thousandths.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t raw) { return Currency(raw); }
    static constexpr Currency fromUnits(std::int64_t units) { return Currency(units * Scale); }
    // Rounds half away from zero to four decimals.
    static Currency fromDouble(double value);
    // Accepts "1234,5678", "-12.5", "1 234,50"; nullopt when the text is no amount.
    static std::optional<Currency> parse(std::string_view text);

    constexpr std::int64_t raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / Scale; }
    // Hungarian short form: decimal comma, no thousands separator, trailing zeros dropped
    // ("1234,5", "-0,0001", "12").
    std::string toString() const;
    // Fixed two decimals with a decimal comma, rounded half away from zero ("1234,57").
    std::string toString2() const;

    constexpr Currency operator-() const { return Currency(-raw_); }
    constexpr Currency operator+(Currency o) const { return Currency(raw_ + o.raw_); }
    constexpr Currency operator-(Currency o) const { return Currency(raw_ - o.raw_); }
    constexpr Currency operator*(std::int64_t n) const { return Currency(raw_ * n); }
    Currency &operator+=(Currency o) { raw_ += o.raw_; return *this; }
    Currency &operator-=(Currency o) { raw_ -= o.raw_; return *this; }
    constexpr auto operator<=>(const Currency &) const = default;

private:
    constexpr explicit Currency(std::int64_t raw) : raw_(raw) {}
    std::int64_t raw_ = 0;
};

} // namespace vandorix
