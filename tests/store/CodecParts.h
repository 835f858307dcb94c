#pragma once

#include <string>

namespace vandorix::codec_test {

// Where the workbooks of the codec tests say they come from.
inline const std::string kPath = "/adat/Torzs/Befszla.xls";

// The parts of an encoded workbook of two sheets.
constexpr const char *kParts[] = {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml",
                                  "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml",
                                  "xl/worksheets/sheet2.xml", "xl/styles.xml", "xl/sharedStrings.xml"};

} // namespace vandorix::codec_test
