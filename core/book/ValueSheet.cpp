#include "book/ValueSheet.h"

namespace vandorix {

std::vector<std::string> ReadValueSheetProducts(const Sheet &values) {
    std::vector<std::string> names;
    for (int r = 6; !values.value(r, 1).isBlank(); ++r) {
        const CellValue &name = values.value(r, 1);
        names.push_back(name.text().value_or(name.display()));
    }
    return names;
}

} // namespace vandorix
