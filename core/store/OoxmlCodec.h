#pragma once

#include "store/Workbook.h"

#include <memory>
#include <string>
#include <string_view>

namespace vandorix {

// The workbook file format: an OOXML spreadsheet package. Both directions work on memory
// buffers; `encodeWorkbook(decodeWorkbook(x))` keeps every value, format and state.
std::string encodeWorkbook(const Workbook &workbook);
// Throws `DamagedFileError` naming `path` when the buffer is no readable workbook.
std::unique_ptr<Workbook> decodeWorkbook(std::string_view bytes, const std::string &path);

} // namespace vandorix
