#include "store/Currency.h"

#include "store/HostError.h"

#include <cmath>
#include <cstdlib>

namespace vandorix {

void Currency::throwOverflow() { throw AmountOverflowError(); }

Currency Currency::fromDouble(double value) {
    const double scaled = std::round(value * Scale);
    // 2^63 is exactly representable; anything at or beyond it (or not finite) has no raw value.
    if (!(scaled > -9223372036854775808.0 && scaled < 9223372036854775808.0)) throwOverflow();
    return Currency(static_cast<std::int64_t>(scaled));
}

namespace {

// The digits after a decimal sign, in ten-thousandths: the first four are kept and the fifth
// rounds them; `digits` counts at most five.
struct Fraction {
    std::int64_t units = 0;
    int digits = 0;
    bool roundUp = false;
};

Fraction readFraction(std::string_view text, std::size_t &i) {
    Fraction f;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (f.digits < 4) {
            f.units = f.units * 10 + (text[i] - '0');
            ++f.digits;
        } else if (f.digits == 4) {
            f.roundUp = text[i] >= '5';
            ++f.digits;
        }
    }
    for (int k = std::min(f.digits, 4); k < 4; ++k) f.units *= 10;
    return f;
}

} // namespace

std::optional<Currency> Currency::parse(std::string_view text) {
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    };
    skipBlanks();
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
        skipBlanks();
    }
    std::int64_t whole = 0;
    int digits = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            if (whole > 99'999'999'999'999LL) return std::nullopt;
            whole = whole * 10 + (c - '0');
            ++digits;
        } else if (c == ' ' && digits > 0 && i + 1 < text.size() && text[i + 1] >= '0' &&
                   text[i + 1] <= '9') {
            continue; // thousands separator
        } else {
            break;
        }
    }
    Fraction frac;
    if (i < text.size() && (text[i] == ',' || text[i] == '.')) {
        frac = readFraction(text, ++i);
        digits += frac.digits;
    }
    skipBlanks();
    if (digits == 0 || i != text.size()) return std::nullopt;
    std::int64_t raw = 0;
    if (__builtin_mul_overflow(whole, Scale, &raw) ||
        __builtin_add_overflow(raw, frac.units + (frac.roundUp ? 1 : 0), &raw))
        return std::nullopt; // beyond what any amount can hold
    return Currency(negative ? -raw : raw);
}

std::string Currency::toString() const {
    std::int64_t a = std::llabs(raw_);
    std::string s = (raw_ < 0 ? "-" : "") + std::to_string(a / Scale);
    std::int64_t frac = a % Scale;
    if (frac != 0) {
        std::string f = std::to_string(frac + Scale).substr(1);
        while (!f.empty() && f.back() == '0') f.pop_back();
        s += "," + f;
    }
    return s;
}

std::string Currency::toString2() const {
    std::int64_t a = std::llabs(raw_);
    std::int64_t cents = (a + 50) / 100;
    std::string s = (raw_ < 0 && cents != 0 ? "-" : "") + std::to_string(cents / 100);
    s += "," + std::to_string(cents % 100 + 100).substr(1);
    return s;
}

} // namespace vandorix
