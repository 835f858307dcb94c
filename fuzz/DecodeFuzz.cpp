// libFuzzer target for decodeWorkbook.
//
// The first input byte picks what the rest is:
//   even: a whole workbook file, as read from disk;
//   odd:  the package parts themselves, separated by the line "\n--part--\n", in the order
//         of kPartNames below; they are zipped here. A mutated zip almost never gets past the
//         entries' CRC check, so this form is what reaches the XML reader.
// Seeds: files laid out by vandorix-setup (form 0) and their parts (form 1).
//
// A refused file must be refused with the host's own error (HostError); anything else that
// escapes is a finding. A file that is accepted must save and reopen, and keep its content
// through that save: otherwise opening and saving a workbook would lose data.
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "store/ZipPackage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace vandorix;

constexpr std::string_view kSeparator = "\n--part--\n";
constexpr const char *kPartNames[] = {
    "_rels/.rels",           "xl/workbook.xml",          "xl/_rels/workbook.xml.rels",
    "xl/styles.xml",         "xl/sharedStrings.xml",     "xl/worksheets/sheet1.xml",
    "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml", "xl/worksheets/sheet4.xml",
    "xl/worksheets/sheet5.xml",
};

std::string packageOf(std::string_view parts) {
    std::vector<ZipEntry> entries;
    for (const char *name : kPartNames) {
        std::size_t end = parts.find(kSeparator);
        entries.push_back({name, std::string(parts.substr(0, end))});
        if (end == std::string_view::npos) break;
        parts.remove_prefix(end + kSeparator.size());
    }
    return writeZip(entries);
}

bool hasChartSheet(const Workbook &wb) {
    for (int i = 1; i <= wb.sheetCount(); ++i)
        if (wb.sheetAt(i).kind() == SheetKind::Chart) return true;
    return false;
}

[[noreturn]] void finding(const char *what) {
    std::fprintf(stderr, "decode fuzz: %s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view rest(reinterpret_cast<const char *>(data) + 1, size - 1);
    std::string bytes = (data[0] & 1) ? packageOf(rest) : std::string(rest);

    std::unique_ptr<Workbook> wb;
    try {
        wb = decodeWorkbook(bytes, "fuzz.xls");
    } catch (const DamagedFileError &) {
        return 0;
    }
    // Chart sheets are drawn from their sources and not stored, so a workbook holding one
    // does not come back sheet for sheet.
    if (hasChartSheet(*wb)) return 0;

    std::string saved;
    try {
        saved = encodeWorkbook(*wb);
    } catch (const HostError &) {
        finding("an accepted workbook cannot be saved");
    }
    std::unique_ptr<Workbook> back;
    try {
        back = decodeWorkbook(saved, "fuzz.xls");
    } catch (const DamagedFileError &) {
        finding("a saved workbook cannot be reopened");
    }
    if (!back->sameContent(*wb)) finding("a saved workbook reopens with other content");
    return 0;
}
