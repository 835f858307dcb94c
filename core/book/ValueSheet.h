#pragma once

#include "store/Sheet.h"

#include <string>
#include <vector>

namespace vandorix {

// The product names of "Ertek01" from row 6 down to the first empty name: the products the
// windows offer (archived ones are no longer listed there).
std::vector<std::string> ReadValueSheetProducts(const Sheet &values);

} // namespace vandorix
