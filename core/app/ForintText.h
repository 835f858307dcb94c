#pragma once

#include "store/Currency.h"

#include <string>

namespace vandorix {

// "1 234 567,89 Ft": two decimals, thousands grouped by a blank, the currency sign after it.
std::string FormatForint(Currency amount);

} // namespace vandorix
