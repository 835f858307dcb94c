#include "book/Rows.h"

namespace vandorix {

std::string book::PeriodCaption(std::string_view first, std::string_view last) {
    std::string caption(first);
    caption += kCaptionFrom;
    caption += last;
    caption += kCaptionTo;
    return caption;
}

} // namespace vandorix
