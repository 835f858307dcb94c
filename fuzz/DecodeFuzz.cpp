// libFuzzer target for decodeWorkbook. The first input byte picks what the rest is: even, a
// whole workbook file; odd, the parts of kPartNames separated by kSeparator and zipped here, as
// a mutated zip almost never passes the entries' CRC check to reach the XML reader. Seeds: the
// files vandorix-setup lays out, in both forms.
// A refused file must be refused with DamagedFileError; anything else that escapes is a finding.
// An accepted file must save, reopen and keep its content, or opening and saving would lose data.
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "store/ZipPackage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {
using namespace vandorix;

constexpr std::string_view kSeparator = "\n--part--\n";
constexpr const char *kPartNames[] = {
    "_rels/.rels",              "xl/workbook.xml",          "xl/_rels/workbook.xml.rels",
    "xl/styles.xml",            "xl/sharedStrings.xml",     "xl/worksheets/sheet1.xml",
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

[[noreturn]] void finding(const std::string &what) {
    std::fprintf(stderr, "decode fuzz: %s\n", what.c_str());
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0) return 0;
    std::string_view rest(reinterpret_cast<const char *>(data) + 1, size - 1);
    std::unique_ptr<Workbook> wb;
    try {
        wb = decodeWorkbook((data[0] & 1) ? packageOf(rest) : std::string(rest), "fuzz.xls");
    } catch (const DamagedFileError &) {
        return 0;
    }
    // Chart sheets are drawn from their sources and not stored, so they do not come back.
    for (int i = 1; i <= wb->sheetCount(); ++i)
        if (wb->sheetAt(i).kind() == SheetKind::Chart) return 0;

    std::unique_ptr<Workbook> back;
    try {
        back = decodeWorkbook(encodeWorkbook(*wb), "fuzz.xls");
    } catch (const HostError &e) {
        finding(std::string("an accepted workbook does not save and reopen: ") + e.what());
    }
    if (!back->sameContent(*wb)) finding("a saved workbook reopens with other content");
    return 0;
}
