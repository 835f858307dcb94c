#include "store/Date.h"

#include <chrono>
#include <cmath>
#include <cstdio>

namespace vandorix {
namespace {

constexpr int kSerialOfEpoch = 25569; // serial of 1970-01-01

std::chrono::year_month_day ymdOf(int days) {
    return std::chrono::year_month_day(std::chrono::sys_days(std::chrono::days(days)));
}

} // namespace

std::optional<Date> Date::fromYmd(int year, int month, int day) {
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31) return {};
    std::chrono::year_month_day ymd{std::chrono::year(year), std::chrono::month(month),
                                    std::chrono::day(day)};
    if (!ymd.ok()) return {};
    return fromDayNumber(std::chrono::sys_days(ymd).time_since_epoch().count());
}

std::optional<Date> Date::fromSerial(double serial) {
    if (!std::isfinite(serial) || serial < 1 || serial > 2958465) return {};
    int s = static_cast<int>(std::floor(serial));
    if (s == 60) return {}; // 1900-02-29 does not exist
    if (s < 60) ++s;        // serials before the fictitious leap day are one day off
    return fromDayNumber(s - kSerialOfEpoch);
}

int Date::serial() const {
    int s = days_ + kSerialOfEpoch;
    return s <= 60 ? s - 1 : s;
}

std::optional<Date> Date::parse(std::string_view text) {
    int parts[3] = {0, 0, 0};
    int lengths[3] = {0, 0, 0};
    int n = 0;
    std::size_t i = 0;
    auto isSep = [](char c) { return c == '.' || c == '-' || c == '/' || c == ' '; };
    while (i < text.size() && text[i] == ' ') ++i;
    while (i < text.size() && n < 3) {
        if (text[i] < '0' || text[i] > '9') return {};
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
            if (lengths[n] >= 4) return {};
            parts[n] = parts[n] * 10 + (text[i] - '0');
            ++lengths[n];
            ++i;
        }
        ++n;
        if (n == 3) break;
        // one separator, optionally followed by blanks ("2026. 12. 06.")
        if (i >= text.size() || !isSep(text[i])) return {};
        char sep = text[i++];
        while (sep != ' ' && i < text.size() && text[i] == ' ') ++i;
    }
    if (n != 3) return {};
    if (i < text.size() && text[i] == '.') ++i;
    while (i < text.size() && text[i] == ' ') ++i;
    if (i != text.size()) return {};
    if (lengths[0] != 4 || lengths[1] > 2 || lengths[2] > 2) return {};
    return fromYmd(parts[0], parts[1], parts[2]);
}

Date Date::today() {
    auto now = std::chrono::system_clock::now();
    std::time_t t = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&t, &local);
    return *fromYmd(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
}

int Date::year() const { return static_cast<int>(ymdOf(days_).year()); }
int Date::month() const { return static_cast<int>(static_cast<unsigned>(ymdOf(days_).month())); }
int Date::day() const { return static_cast<int>(static_cast<unsigned>(ymdOf(days_).day())); }

Date Date::startOfYear() const { return *fromYmd(year(), 1, 1); }

Date Date::lastDayOfPreviousMonth() const { return fromYmd(year(), month(), 1)->addDays(-1); }

std::string Date::toString() const {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04d. %02d. %02d.", year(), month(), day());
    return buf;
}

std::string Date::toIso() const {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d", year(), month(), day());
    return buf;
}

} // namespace vandorix
