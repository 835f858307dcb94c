#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace vandorix {

// A calendar day (proleptic Gregorian), without time of day.
class Date {
public:
    constexpr Date() = default;
    // nullopt when the day does not exist in the calendar.
    static std::optional<Date> fromYmd(int year, int month, int day);
    static Date fromDayNumber(int days) { Date d; d.days_ = days; return d; }
    // Spreadsheet serial of the 1900 system (serial 60 is the fictitious 1900-02-29).
    static std::optional<Date> fromSerial(double serial);
    // Accepts year, month and day separated by '.', '-', '/' or blanks, with an optional final
    // '.': "2026.12.06", "2026. 12. 06.", "2026-12-06".
    static std::optional<Date> parse(std::string_view text);
    static Date today();

    int year() const;
    int month() const;
    int day() const;
    int dayNumber() const { return days_; } // days since 1970-01-01
    int serial() const;
    Date addDays(int n) const { return fromDayNumber(days_ + n); }
    Date startOfYear() const;
    Date lastDayOfPreviousMonth() const;
    // Hungarian short form "2026. 12. 06.".
    std::string toString() const;
    // ISO form "2026-12-06".
    std::string toIso() const;

    constexpr auto operator<=>(const Date &) const = default;

private:
    int days_ = 0;
};

} // namespace vandorix
