#include "app/Validation.h"

#include "app/Dialogs.h"
#include "app/Form.h"

#include <string>

namespace vandorix {

namespace {

void reject(Dialogs &dialogs, Form &form, Control &field, const std::string &text,
            const std::string &title, MessageIcon icon, bool emptyField) {
    dialogs.showMessage({text, title, icon, MessageButtons::Ok, MessageAnswer::Ok, false});
    if (emptyField) field.text.clear();
    field.enabled = true;
    form.SetFocus(field.name);
}

void rejectFormat(Dialogs &dialogs, Form &form, Control &field, const std::string &text,
                  bool emptyField = true) {
    reject(dialogs, form, field, text, "Felhívás", MessageIcon::Exclamation, emptyField);
}

// A whole number in [low, high], or nothing.
std::optional<std::int64_t> wholeNumberIn(std::string_view text, std::int64_t low,
                                          std::int64_t high) {
    std::optional<Currency> value = ParseNumberText(text);
    if (!value || value->raw() % Currency::Scale != 0) return std::nullopt;
    std::int64_t whole = value->raw() / Currency::Scale;
    if (whole < low || whole > high) return std::nullopt;
    return whole;
}

} // namespace

std::optional<Date> ParseDateText(std::string_view text) {
    std::optional<Date> d = Date::parse(text);
    if (d && *d < kFirstStorableDate) return std::nullopt;
    return d;
}

std::string MaxAmountText() {
    std::string digits = std::to_string(kMaxAmountUnits), out;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
        out += digits[i];
    }
    return out;
}

std::string AmountOutOfRangeText() {
    return "Itt csak -" + MaxAmountText() + " és " + MaxAmountText() +
           " Ft közötti számérték lehet.";
}

std::optional<Currency> ParseNumberText(std::string_view text) {
    std::optional<Currency> value = Currency::parse(text);
    if (value && (*value > kMaxAmount || *value < -kMaxAmount)) return std::nullopt;
    return value;
}

bool IsAmountOutOfRange(std::string_view text) {
    if (IsNumberText(text)) return false;
    // The same text with every digit a zero reads as a number exactly when the text is one in
    // form and only its size is refused.
    std::string zeroed(text);
    for (char &c : zeroed)
        if (c >= '0' && c <= '9') c = '0';
    return Currency::parse(zeroed).has_value();
}

std::optional<int> ParseQuantityText(std::string_view text) {
    auto v = wholeNumberIn(text, 1, kMaxQuantity);
    if (!v) return std::nullopt;
    return static_cast<int>(*v);
}

std::optional<std::int32_t> ParseCodeText(std::string_view text) {
    auto v = wholeNumberIn(text, 1, kMaxCode);
    if (!v) return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

bool CheckDateNotAfterToday(Dialogs &dialogs, Form &form, Control &field, Date today) {
    std::optional<Date> date = ParseDateText(field.text);
    if (!date) {
        rejectFormat(dialogs, form, field, "Itt csak dátum lehet.");
        return false;
    }
    if (*date > today) {
        reject(dialogs, form, field,
               std::string("A dátum nagyobb a rendszerdátumnál.") + kCrLf +
                   "Előre bevitel nem lehetséges",
               "Dátum hiba", MessageIcon::None, true);
        return false;
    }
    return true;
}

bool CheckDateFormat(Dialogs &dialogs, Form &form, Control &field, DateFieldVariant variant) {
    if (ParseDateText(field.text)) return true;
    if (variant == DateFieldVariant::EmptyOnReject)
        rejectFormat(dialogs, form, field, "Itt csak dátum lehet.");
    else
        rejectFormat(dialogs, form, field, "Itt csak dátum lehet, javítson.", false);
    return false;
}

bool CheckNumberField(Dialogs &dialogs, Form &form, Control &field) {
    if (IsNumberText(field.text)) return true;
    rejectFormat(dialogs, form, field,
                 IsAmountOutOfRange(field.text) ? AmountOutOfRangeText()
                                                : std::string("Itt csak számérték lehet."));
    return false;
}

// A field that must hold a whole number of a range: a number first, then `whole` or the
// refusal.
static bool checkWholeField(Dialogs &dialogs, Form &form, Control &field, bool whole,
                            const std::string &refusal) {
    if (!CheckNumberField(dialogs, form, field)) return false;
    if (whole) return true;
    rejectFormat(dialogs, form, field, refusal);
    return false;
}

bool CheckQuantityField(Dialogs &dialogs, Form &form, Control &field) {
    return checkWholeField(dialogs, form, field, ParseQuantityText(field.text).has_value(),
                           "Itt csak 1 és " + std::to_string(kMaxQuantity) +
                               " közötti egész szám (darabszám) lehet.");
}

bool CheckCodeField(Dialogs &dialogs, Form &form, Control &field) {
    return checkWholeField(dialogs, form, field, ParseCodeText(field.text).has_value(),
                           "Itt csak 1 és " + std::to_string(kMaxCode) +
                               " közötti egész kódszám lehet.");
}

} // namespace vandorix
