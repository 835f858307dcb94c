#include "store/CellValue.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>

namespace vandorix {

SharedText::SharedText(std::string_view text) {
    if (text.empty()) return;
    if (text.size() > 0x7FFFFFFF) throw std::length_error("túl hosszú szöveg");
    void *mem = std::malloc(offsetof(Rep, data) + text.size());
    if (!mem) throw std::bad_alloc();
    rep_ = static_cast<Rep *>(mem);
    new (&rep_->refs) std::atomic<std::uint32_t>(1);
    rep_->size = static_cast<std::uint32_t>(text.size());
    std::memcpy(rep_->data, text.data(), text.size());
}

SharedText &SharedText::operator=(const SharedText &o) noexcept {
    if (rep_ != o.rep_) {
        o.retain();
        release();
        rep_ = o.rep_;
    }
    return *this;
}

SharedText &SharedText::operator=(SharedText &&o) noexcept {
    if (this != &o) {
        release();
        rep_ = o.rep_;
        o.rep_ = nullptr;
    }
    return *this;
}

void SharedText::release() noexcept {
    if (rep_ && rep_->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        rep_->refs.~atomic();
        std::free(rep_);
    }
    rep_ = nullptr;
}

bool CellValue::isBlank() const {
    if (kind() == CellKind::Empty) return true;
    auto *s = std::get_if<SharedText>(&v_);
    return s && s->empty();
}

std::optional<std::string> CellValue::text() const {
    if (auto *s = std::get_if<SharedText>(&v_)) return std::string(s->view());
    return std::nullopt;
}

std::string_view CellValue::textView() const {
    if (auto *s = std::get_if<SharedText>(&v_)) return s->view();
    return {};
}

std::optional<double> CellValue::number() const {
    switch (kind()) {
    case CellKind::Number: return std::get<double>(v_);
    case CellKind::Currency: return std::get<Currency>(v_).toDouble();
    case CellKind::Date: return static_cast<double>(std::get<Date>(v_).serial());
    default: return std::nullopt;
    }
}

std::optional<Currency> CellValue::currency() const {
    if (auto *c = std::get_if<Currency>(&v_)) return *c;
    if (auto *d = std::get_if<double>(&v_)) {
        if (!std::isfinite(*d) || std::fabs(*d) > 9.0e14) return std::nullopt;
        return Currency::fromDouble(*d);
    }
    return std::nullopt;
}

std::optional<Date> CellValue::date() const {
    if (auto *d = std::get_if<Date>(&v_)) return *d;
    return std::nullopt;
}

std::optional<long long> CellValue::integer() const {
    if (auto *c = std::get_if<Currency>(&v_)) {
        if (c->raw() % Currency::Scale != 0) return std::nullopt;
        return c->raw() / Currency::Scale;
    }
    if (auto *d = std::get_if<double>(&v_)) {
        if (!std::isfinite(*d) || std::floor(*d) != *d || std::fabs(*d) > 9.0e15) return std::nullopt;
        return static_cast<long long>(*d);
    }
    return std::nullopt;
}

std::string formatNumber(double value) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", value);
    std::string s = buf;
    for (char &c : s)
        if (c == '.') c = ',';
    return s;
}

std::string CellValue::display() const {
    switch (kind()) {
    case CellKind::Empty: return {};
    case CellKind::Text: return std::string(std::get<SharedText>(v_).view());
    case CellKind::Number: return formatNumber(std::get<double>(v_));
    case CellKind::Date: return std::get<Date>(v_).toString();
    case CellKind::Currency: return std::get<Currency>(v_).toString();
    }
    return {};
}

} // namespace vandorix
