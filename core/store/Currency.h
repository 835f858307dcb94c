#pragma once

#include <climits>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vandorix {

// Exact money amount: a 64-bit integer count of ten-thousandths. Arithmetic never wraps: a
// result outside the range throws `AmountOverflowError` (a `HostError`), which ends the
// command that computed it before anything of it is written.
class Currency {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Currency() = default;
    static constexpr Currency fromRaw(std::int64_t raw) { return checked({raw, raw < -MaxRaw}); }
    static constexpr Currency fromUnits(std::int64_t units) { return checked(mul(units, Scale)); }
    // Rounds half away from zero to four decimals; throws `AmountOverflowError` out of range.
    static Currency fromDouble(double value);
    // Accepts "1234,5678", "-12.5", "1 234,50"; nullopt when the text is no amount or lies
    // outside the range.
    static std::optional<Currency> parse(std::string_view text);

    constexpr std::int64_t raw() const { return raw_; }
    double toDouble() const { return static_cast<double>(raw_) / Scale; }
    // Hungarian short form: decimal comma, no thousands separator, trailing zeros dropped
    // ("1234,5", "-0,0001", "12").
    std::string toString() const;
    // Fixed two decimals with a decimal comma, rounded half away from zero ("1234,57").
    std::string toString2() const;

    // The range is symmetric: the lowest 64-bit value is left out, so negation never wraps.
    static constexpr std::int64_t MaxRaw = INT64_MAX;

    constexpr Currency operator-() const { return Currency(-raw_); }
    constexpr Currency operator+(Currency o) const { return checked(add(raw_, o.raw_)); }
    constexpr Currency operator-(Currency o) const { return checked(add(raw_, -o.raw_)); }
    constexpr Currency operator*(std::int64_t n) const { return checked(mul(raw_, n)); }
    Currency &operator+=(Currency o) { return *this = *this + o; }
    Currency &operator-=(Currency o) { return *this = *this - o; }
    constexpr auto operator<=>(const Currency &) const = default;

private:
    struct Result {
        std::int64_t value;
        bool overflow;
    };
    static constexpr Result add(std::int64_t a, std::int64_t b) {
        std::int64_t r = 0;
        bool o = __builtin_add_overflow(a, b, &r);
        return {r, o || r < -MaxRaw};
    }
    static constexpr Result mul(std::int64_t a, std::int64_t b) {
        std::int64_t r = 0;
        bool o = __builtin_mul_overflow(a, b, &r);
        return {r, o || r < -MaxRaw};
    }
    static constexpr Currency checked(Result r) {
        if (r.overflow) throwOverflow();
        return Currency(r.value);
    }
    [[noreturn]] static void throwOverflow();

    constexpr explicit Currency(std::int64_t raw) : raw_(raw) {}
    std::int64_t raw_ = 0;
};

} // namespace vandorix
