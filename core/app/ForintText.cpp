#include "app/ForintText.h"

namespace vandorix {

std::string FormatForint(Currency amount) {
    std::string digits = amount.toString2(); // "-1234567,89"
    const bool negative = !digits.empty() && digits.front() == '-';
    if (negative)
        digits.erase(0, 1);
    const std::size_t comma = digits.find(',');
    std::string whole = digits.substr(0, comma);
    const std::string fraction = comma == std::string::npos ? ",00" : digits.substr(comma);
    std::string grouped;
    for (std::size_t i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += ' ';
        grouped += whole[i];
    }
    return (negative ? "-" : "") + grouped + fraction + " Ft";
}

} // namespace vandorix
