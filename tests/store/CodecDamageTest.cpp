// Damaged and odd workbook files: what a crash, another program or an attacker may leave in a
// data folder is refused with a Hungarian message and leaves nothing half open.
#include "store/AtomicFile.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "store/SpreadsheetHost.h"
#include "store/ZipPackage.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vandorix {
namespace {

const std::string kPath = "/adat/Torzs/Befszla.xls";
const std::string kSheet1 = "xl/worksheets/sheet1.xml";

// What decoding `bytes` says: it must be refused with the file's own error, naming the file.
std::string refusal(const std::string &bytes, const std::string &why) {
    try {
        decodeWorkbook(bytes, kPath);
    } catch (const DamagedFileError &e) {
        EXPECT_EQ(e.path(), kPath) << why;
        EXPECT_NE(std::string(e.what()).find(kPath), std::string::npos) << why << ": " << e.what();
        return e.what();
    }
    ADD_FAILURE() << why << ": accepted";
    return {};
}

// `text` with the first `from` in it replaced by `to`.
std::string replaced(std::string text, const std::string &from, const std::string &to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

// A sheet of 60,000 rows, each with one number in `column`: r times `factor` in row r.
std::string tallSheet(const std::string &column, int factor) {
    std::string xml = "<worksheet><sheetData>";
    for (int r = 1; r <= 60000; ++r)
        xml += "<row r=\"" + std::to_string(r) + "\"><c r=\"" + column + std::to_string(r) +
               "\"><v>" + std::to_string(r * factor) + "</v></c></row>";
    return xml + "</sheetData></worksheet>";
}

// Sets the declared inflated size of an entry in both its local and its central header.
void declareSize(std::string &zip, const std::string &name, std::uint32_t size) {
    auto put = [&](std::size_t at) {
        for (int i = 0; i < 4; ++i) zip[at + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    };
    for (std::size_t at = 0; (at = zip.find("PK\x03\x04", at)) != std::string::npos; ++at)
        if (zip.compare(at + 30, name.size(), name) == 0) put(at + 22);
    for (std::size_t at = 0; (at = zip.find("PK\x01\x02", at)) != std::string::npos; ++at)
        if (zip.compare(at + 46, name.size(), name) == 0) put(at + 24);
}

// The package parts of an encoded two-sheet workbook, to be damaged or replaced one at a time.
class DamagedWorkbook : public ::testing::Test {
protected:
    void SetUp() override {
        Workbook wb(kPath);
        wb.addSheet("Befszla01").setValue(1, 1, "első");
        wb.addSheet("Befszla02").setValue(1, 1, Currency::fromUnits(5));
        wb.activate(wb.sheet("Befszla01"));
        good_ = encodeWorkbook(wb);
        ZipReader zip(good_);
        for (const char *name :
             {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml", "xl/_rels/workbook.xml.rels",
              "xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/styles.xml",
              "xl/sharedStrings.xml"})
            parts_.push_back({name, zip.read(name).value()});
        ASSERT_EQ(writeZip(parts_), good_) << "the parts listed are the whole package";
    }

    // The package with part `name` replaced by `data` as its last entry, or left out.
    std::string with(const std::string &name, const std::optional<std::string> &data) const {
        std::vector<ZipEntry> parts;
        for (const ZipEntry &p : parts_)
            if (p.name != name) parts.push_back(p);
        if (data) parts.push_back({name, *data});
        return writeZip(parts);
    }
    std::string part(const std::string &name) const { return *ZipReader(good_).read(name); }

    std::string good_;
    std::vector<ZipEntry> parts_;
};

TEST_F(DamagedWorkbook, DamagedAndOddFilesAreRefusedInHungarianAndNothingStaysOpen) {
    for (std::size_t keep : {std::size_t{0}, std::size_t{4}, good_.size() / 2, good_.size() - 1})
        refusal(good_.substr(0, keep), "truncated to " + std::to_string(keep) + " bytes");
    refusal("PK\x03\x04 not really a zip", "zip signature only");
    std::string flipped = good_;
    flipped[flipped.size() / 3] ^= 0x5A; // inside the compressed data of an early part
    refusal(flipped, "corrupted compressed data");
    // Corrupt XML in any part.
    const std::string sheet = part("xl/worksheets/sheet2.xml");
    refusal(with("xl/worksheets/sheet2.xml", sheet.substr(0, sheet.size() / 2)), "sheet cut");
    refusal(with("xl/worksheets/sheet2.xml", sheet + "<c>"), "trailing garbage after sheet");
    refusal(with("xl/worksheets/sheet2.xml", replaced(sheet, "</sheetData>", "<row>")), "open row");
    refusal(with("xl/workbook.xml", "<workbook"), "broken workbook part");
    refusal(with("xl/sharedStrings.xml", "<sst><si><t>x</si></sst>"), "broken shared strings");
    refusal(with("xl/styles.xml", "<styleSheet>"), "broken styles");
    // Missing or dangling parts.
    refusal(with("xl/worksheets/sheet2.xml", std::nullopt), "missing sheet part");
    refusal(with("xl/workbook.xml", std::nullopt), "missing workbook part");
    const std::string rels = "xl/_rels/workbook.xml.rels";
    refusal(with(rels, replaced(part(rels), "\"rId1\"", "\"rId9\"")), "sheet without relationship");
    // A sheet cell pointing past the shared strings or the styles.
    refusal(with(kSheet1, replaced(part(kSheet1), "<v>0</v>", "<v>7</v>")), "string out of range");
    refusal(with(kSheet1, replaced(part(kSheet1), "t=\"s\"", "s=\"99\" t=\"s\"")), "bad style");

    // Odd files are refused in Hungarian, in bounded time and memory.
    std::string oldBinary("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    oldBinary.resize(4096, '\0');
    std::string oldFormat = refusal(oldBinary, "old binary format");
    for (const char *says : {"régi", "Office Open XML (.xlsx)", "ugyanezen a néven"})
        EXPECT_NE(oldFormat.find(says), std::string::npos) << oldFormat;
    // A part that inflates far beyond what it declares, and one that declares a gigabyte.
    std::string lying = with(kSheet1, "<worksheet>" + std::string(4 << 20, ' ') + "</worksheet>");
    declareSize(lying, kSheet1, 1000);
    std::string huge = with(kSheet1, "<worksheet/>");
    declareSize(huge, kSheet1, 1u << 30);

    const std::pair<std::string, const char *> cases[] = {
        {"ez nem munkafüzet", "nem zip-archívum"},
        // 60,000 cells in the last column: a 16,384-cell row each once held densely.
        {with(kSheet1, tallSheet("XFD", 1)), "túl sok cella"},
        {lying, "sérült tömörített adat"},
        {huge, "MB lenne"},
        {with(kSheet1, "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><worksheet/>"), "dokumentumtípus"},
    };
    for (const auto &[bytes, says] : cases) {
        std::string message = refusal(bytes, says);
        EXPECT_NE(message.find(says), std::string::npos) << message;
        for (const char *english : {"Not a zip", "archive", "error", "invalid", "entry"})
            EXPECT_EQ(message.find(english), std::string::npos) << message;
    }

    // Opened by the host, a damaged file leaves nothing open.
    testing::TestInstallation inst;
    const std::filesystem::path file = inst.accountWorkbook();
    writeFileAtomically(file, good_.substr(0, good_.size() - 10));
    SpreadsheetHost host;
    try {
        host.open(file);
        ADD_FAILURE() << "a truncated file opened";
    } catch (const DamagedFileError &e) {
        EXPECT_EQ(e.path(), file.string());
    }
    EXPECT_TRUE(host.workbooks().empty());
    EXPECT_EQ(host.activeWorkbook(), nullptr);
    EXPECT_THROW(host.open(inst.root() / "nincs.xls"), FileMissingError);
}

// A sheet of megabytes is inflated on a second thread while it is parsed: it reads back whole,
// and damage found by either side, early or late, is refused as in a small part.
TEST_F(DamagedWorkbook, LargeSheetAndSheetNamesReadBackWholeAndDamageIsRefused) {
    const std::string xml = tallSheet("A", 7);
    ASSERT_GT(xml.size(), 2u << 20);
    const std::string good = with(kSheet1, xml);
    const std::unique_ptr<Workbook> wb = decodeWorkbook(good, kPath);
    const Sheet &read = wb->sheet("Befszla01");
    for (int r : {1, 29999, 60000})
        EXPECT_EQ(read.value(r, 1).integer(), std::optional<long long>(7LL * r)) << r;
    EXPECT_TRUE(read.value(60001, 1).isBlank());

    const std::uint32_t size = static_cast<std::uint32_t>(xml.size());
    for (std::uint32_t declared : {size / 2, size + 1}) {
        std::string bytes = good;
        declareSize(bytes, kSheet1, declared);
        EXPECT_NE(refusal(bytes, "size").find("sérült tömörített adat"), std::string::npos);
    }
    std::string lateFlip = good; // the sheet is the last part: near the end of its bytes
    lateFlip[lateFlip.find("PK\x01\x02") - 200] ^= 0x5A;
    refusal(lateFlip, "flipped byte near the end");
    refusal(with(kSheet1, replaced(xml, "</sheetData>", "<row>")), "XML broken near the end");
    // Refused while the inflating is pieces ahead.
    refusal(with(kSheet1, replaced(xml, "<row r=\"2\">", "<row r=\"2x\">")), "broken at the start");

    // A fuzz finding: a tab in a sheet name was written back as the text "_x0009_". Each name
    // as stored, and as read where the reading is unambiguous.
    const std::pair<std::string, const char *> names[] = {
        {"Lap&#9;egy", "Lap\tegy"},
        {"két&#10;sor", "két\nsor"},
        {"kocsi&#13;vissza", "kocsi\rvissza"},
        {"_x0041_ betű szerint", nullptr},
        {"al_x_vonás", "al_x_vonás"},
    };
    for (const auto &[name, read] : names) {
        const std::string listing = replaced(part("xl/workbook.xml"), "Befszla01", name);
        std::unique_ptr<Workbook> first = decodeWorkbook(with("xl/workbook.xml", listing), kPath);
        if (read) {
            EXPECT_EQ(first->sheetAt(1).name(), read) << name;
        }
        std::string saved = encodeWorkbook(*first);
        std::unique_ptr<Workbook> back = decodeWorkbook(saved, kPath);
        EXPECT_EQ(back->sheetAt(1).name(), first->sheetAt(1).name()) << name;
        EXPECT_TRUE(back->sameContent(*first)) << name;
        EXPECT_EQ(encodeWorkbook(*back), saved) << name;
    }

    // The first sheet as another program wrote it: a save that changes only the second sheet
    // keeps its bytes, comment included.
    const std::string sheet1 =
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\">"
        "<!-- kézzel írt --><sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/>"
        "</sheetViews><sheetData><row r=\"1\"><c r=\"A1\"><v>7</v></c></row></sheetData>"
        "</worksheet>";
    std::unique_ptr<Workbook> opened = decodeWorkbook(with(kSheet1, sheet1), kPath);
    opened->sheet("Befszla02").setValue(2, 1, *Date::fromYmd(2026, 11, 1));

    ZipReader saved(encodeWorkbook(*opened));
    EXPECT_EQ(saved.read(kSheet1), sheet1);
    EXPECT_NE(saved.read("xl/worksheets/sheet2.xml")->find("<v>46327</v>"), std::string::npos);
    EXPECT_NE(saved.read("xl/styles.xml")->find("formatCode=\"yyyy. mm. dd.\""), std::string::npos)
        << "spreadsheets show 2026. 11. 01.";
}

} // namespace
} // namespace vandorix
