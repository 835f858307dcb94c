#pragma once

#include "store/Currency.h"
#include "store/Date.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vandorix {

class Dialogs;
class Form;
struct Control;

// The first day the workbook files can hold as a date: the 1900 date system has no day 0 and
// a fictitious 1900-02-29, so earlier serials are not the days they claim to be.
inline const Date kFirstStorableDate = *Date::fromYmd(1900, 3, 1);
// What a Hungarian user types: a date as year, month and day with ".", "-", "/" or blanks
// between them and an optional final "." ("2026.12.06", "2026. 12. 06.", "2026-12-06"), from
// `kFirstStorableDate` on.
std::optional<Date> ParseDateText(std::string_view text);

// The largest amount a field takes, either sign: with it the ledger's running balances and
// totals of thousands of rows stay far inside the currency's range; a product beyond it (a
// quantity times a price) ends its command as an overflow.
inline constexpr std::int64_t kMaxAmountUnits = 1'000'000'000'000;
inline constexpr Currency kMaxAmount = Currency::fromUnits(kMaxAmountUnits);
// "1 000 000 000 000": the bound as the messages show it.
std::string MaxAmountText();
// "Itt csak -1 000 000 000 000 és 1 000 000 000 000 Ft közötti számérték lehet."
std::string AmountOutOfRangeText();
// A number with a decimal comma or point, an optional sign and blanks between thousands, no
// larger than `kMaxAmount` either way.
std::optional<Currency> ParseNumberText(std::string_view text);
inline bool IsNumberText(std::string_view text) { return ParseNumberText(text).has_value(); }
// A number in form whose size alone `ParseNumberText` refuses.
bool IsAmountOutOfRange(std::string_view text);

inline constexpr int kMaxQuantity = 32767;
inline constexpr std::int64_t kMaxCode = 2147483647;
// A whole number from 1 to 32767.
std::optional<int> ParseQuantityText(std::string_view text);
// A whole number from 1 that fits 32 bits.
std::optional<std::int32_t> ParseCodeText(std::string_view text);

// How a format-only date field treats a rejected text.
enum class DateFieldVariant {
    EmptyOnReject, // "Itt csak dátum lehet.", the field is emptied
    KeepOnReject,  // "Itt csak dátum lehet, javítson.", the text stays for correction
};

// The checks run when Enter is pressed in a field. On rejection each shows its message, and
// the field keeps the focus (emptied unless the variant keeps the text); the caller moves on
// to the next field only when the check returns true.
bool CheckDateNotAfterToday(Dialogs &dialogs, Form &form, Control &field, Date today);
bool CheckDateFormat(Dialogs &dialogs, Form &form, Control &field, DateFieldVariant variant);
bool CheckNumberField(Dialogs &dialogs, Form &form, Control &field);
bool CheckQuantityField(Dialogs &dialogs, Form &form, Control &field);
bool CheckCodeField(Dialogs &dialogs, Form &form, Control &field);

} // namespace vandorix
