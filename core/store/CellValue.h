#pragma once

#include "store/Currency.h"
#include "store/Date.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vandorix {

enum class CellKind { Empty, Text, Number, Date, Currency };

// An immutable text held once and shared by every cell that shows it (a workbook's shared
// strings are read into one `SharedText` each). Copying costs a reference count, and a cell
// holding a text stays as small as one holding a number.
class SharedText {
public:
    SharedText() = default;
    explicit SharedText(std::string_view text);
    SharedText(const SharedText &o) noexcept : rep_(o.rep_) { retain(); }
    SharedText(SharedText &&o) noexcept : rep_(o.rep_) { o.rep_ = nullptr; }
    SharedText &operator=(const SharedText &o) noexcept;
    SharedText &operator=(SharedText &&o) noexcept;
    ~SharedText() { release(); }

    std::string_view view() const {
        return rep_ ? std::string_view(rep_->data, rep_->size) : std::string_view();
    }
    bool empty() const { return !rep_; }
    // Equal for copies of one text.
    const void *identity() const { return rep_; }
    bool operator==(const SharedText &o) const { return rep_ == o.rep_ || view() == o.view(); }

private:
    struct Rep {
        std::atomic<std::uint32_t> refs;
        std::uint32_t size;
        char data[1];
    };
    void retain() const noexcept {
        if (rep_) rep_->refs.fetch_add(1, std::memory_order_relaxed);
    }
    void release() noexcept;

    Rep *rep_ = nullptr; // nullptr: the empty text
};

// The value of one cell. An empty cell equals "".
class CellValue {
public:
    CellValue() = default;
    CellValue(const std::string &text) : v_(SharedText(text)) {}
    CellValue(const char *text) : v_(SharedText(text)) {}
    CellValue(SharedText text) : v_(std::move(text)) {}
    CellValue(double number) : v_(number) {}
    CellValue(int number) : v_(static_cast<double>(number)) {}
    CellValue(Date date) : v_(date) {}
    CellValue(Currency amount) : v_(amount) {}

    CellKind kind() const { return static_cast<CellKind>(v_.index()); }
    // True for an empty cell and for an empty text.
    bool isBlank() const;
    std::optional<std::string> text() const;
    // The text without a copy; empty for every other kind.
    std::string_view textView() const;
    // Numbers, amounts and dates (as their serial) read as numbers.
    std::optional<double> number() const;
    // Amounts, and numbers rounded to four decimals.
    std::optional<Currency> currency() const;
    std::optional<Date> date() const;
    // Whole numbers read from numbers and amounts, truncation refused.
    std::optional<long long> integer() const;
    // What a Hungarian reader sees: dates "2026. 12. 06.", amounts and numbers with a comma.
    std::string display() const;
    // For the file writer: the shared text itself.
    const SharedText *sharedText() const { return std::get_if<SharedText>(&v_); }

    bool operator==(const CellValue &) const = default;

private:
    std::variant<std::monostate, SharedText, double, Date, Currency> v_;
};

std::string formatNumber(double value);

} // namespace vandorix
