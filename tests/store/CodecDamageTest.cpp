// Damaged and odd workbook files: what a crash, another program or an attacker may leave in a
// data folder is refused with a Hungarian message and leaves nothing half open.
#include "CodecParts.h"

#include "store/AtomicFile.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "store/SpreadsheetHost.h"
#include "store/ZipPackage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

namespace vandorix {
namespace {
using namespace codec_test;

Date ymd(int y, int m, int d) { return *Date::fromYmd(y, m, d); }

// --- Damaged files ------------------------------------------------------------------------

// The package parts of an encoded two-sheet workbook, to be damaged one at a time.
class DamagedWorkbook : public ::testing::Test {
protected:
    void SetUp() override {
        Workbook wb(kPath);
        wb.addSheet("Befszla01").setValue(1, 1, "első");
        wb.addSheet("Befszla02").setValue(1, 1, Currency::fromUnits(5));
        good_ = encodeWorkbook(wb);
        ZipReader zip(good_);
        for (const char *name : kParts) {
            auto data = zip.read(name);
            ASSERT_TRUE(data) << name;
            parts_.push_back({name, *data});
        }
        ASSERT_EQ(writeZip(parts_), good_) << "the parts listed are the whole package";
    }

    std::string with(const std::string &name, const std::string &data) const {
        auto parts = parts_;
        for (auto &p : parts)
            if (p.name == name) p.data = data;
        return writeZip(parts);
    }
    std::string without(const std::string &name) const {
        std::vector<ZipEntry> parts;
        for (auto &p : parts_)
            if (p.name != name) parts.push_back(p);
        return writeZip(parts);
    }
    const std::string &part(const std::string &name) const {
        for (auto &p : parts_)
            if (p.name == name) return p.data;
        throw std::logic_error(name);
    }

    // Decoding fails with the file's own error, naming the file.
    static void expectRefused(const std::string &bytes, const std::string &why) {
        try {
            decodeWorkbook(bytes, kPath);
            ADD_FAILURE() << why << ": accepted";
        } catch (const DamagedFileError &e) {
            EXPECT_EQ(e.path(), kPath) << why;
            EXPECT_NE(std::string(e.what()).find(kPath), std::string::npos) << why << ": " << e.what();
        }
    }

    std::string good_;
    std::vector<ZipEntry> parts_;
};

TEST_F(DamagedWorkbook, TruncatedCorruptOrIncompleteArchivesAreRefused) {
    for (std::size_t keep : {std::size_t{0}, std::size_t{4}, good_.size() / 2, good_.size() - 1})
        expectRefused(good_.substr(0, keep), "truncated to " + std::to_string(keep) + " bytes");
    expectRefused("PK\x03\x04 not really a zip", "zip signature only");
    std::string flipped = good_;
    flipped[flipped.size() / 3] ^= 0x5A; // inside the compressed data of an early part
    expectRefused(flipped, "corrupted compressed data");
    // Corrupt XML in any part.
    const std::string sheet = part("xl/worksheets/sheet2.xml");
    expectRefused(with("xl/worksheets/sheet2.xml", sheet.substr(0, sheet.size() / 2)), "sheet cut in half");
    expectRefused(with("xl/worksheets/sheet2.xml", sheet + "<c>"), "trailing garbage after sheet");
    std::string unclosed = sheet;
    unclosed.replace(unclosed.find("</sheetData>"), 12, "<row>");
    expectRefused(with("xl/worksheets/sheet2.xml", unclosed), "unclosed row");
    expectRefused(with("xl/workbook.xml", "<workbook"), "broken workbook part");
    expectRefused(with("xl/sharedStrings.xml", "<sst><si><t>x</si></sst>"), "broken shared strings");
    expectRefused(with("xl/styles.xml", "<styleSheet>"), "broken styles");
    // Missing or dangling parts.
    expectRefused(without("xl/worksheets/sheet2.xml"), "missing sheet part");
    expectRefused(without("xl/workbook.xml"), "missing workbook part");
    std::string rels = part("xl/_rels/workbook.xml.rels");
    rels.replace(rels.find("Id=\"rId1\""), 9, "Id=\"rId9\"");
    expectRefused(with("xl/_rels/workbook.xml.rels", rels), "sheet without a relationship");
    // A sheet cell pointing past the shared strings or the styles.
    std::string sheet1 = part("xl/worksheets/sheet1.xml");
    std::string badString = sheet1;
    badString.replace(badString.find("<v>0</v>"), 8, "<v>7</v>");
    expectRefused(with("xl/worksheets/sheet1.xml", badString), "shared string out of range");
    std::string badStyle = sheet1;
    badStyle.replace(badStyle.find("t=\"s\""), 5, "s=\"99\" t=\"s\"");
    expectRefused(with("xl/worksheets/sheet1.xml", badStyle), "style out of range");
}

TEST_F(DamagedWorkbook, HostOpenRefusesADamagedFileAndKeepsNothingOpen) {
    std::string pattern = (std::filesystem::temp_directory_path() / "vandorix-codec-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::filesystem::path dir(pattern);
    const std::filesystem::path file = dir / "Befszla.xls";
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
    EXPECT_THROW(host.open(dir / "nincs.xls"), FileMissingError);
    std::filesystem::remove_all(dir);
}

// --- Odd files: what an attacker or another program may leave in a data folder -------------

// A package of hand-made parts with one sheet; `sheetXml` and `sheetName` vary.
std::string handMadePackage(const std::string &sheetName, const std::string &sheetXml) {
    const std::string ns = "http://schemas.openxmlformats.org/";
    return writeZip({
        {"_rels/.rels", "<Relationships xmlns=\"" + ns + "package/2006/relationships\"><Relationship "
                        "Id=\"rId1\" Type=\"" + ns + "officeDocument/2006/relationships/officeDocument\" "
                        "Target=\"xl/workbook.xml\"/></Relationships>"},
        {"xl/workbook.xml", "<workbook xmlns=\"" + ns + "spreadsheetml/2006/main\" xmlns:r=\"" + ns +
                                "officeDocument/2006/relationships\"><sheets><sheet name=\"" + sheetName +
                                "\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>"},
        {"xl/_rels/workbook.xml.rels", "<Relationships xmlns=\"" + ns + "package/2006/relationships\">"
                                       "<Relationship Id=\"rId1\" Type=\"" + ns + "officeDocument/2006/"
                                       "relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>"
                                       "</Relationships>"},
        {"xl/worksheets/sheet1.xml", sheetXml},
    });
}

std::string refusal(const std::string &bytes) {
    try {
        decodeWorkbook(bytes, kPath);
    } catch (const DamagedFileError &e) {
        EXPECT_EQ(e.path(), kPath);
        return e.what();
    }
    ADD_FAILURE() << "accepted";
    return {};
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

TEST(OddFiles, RefusedInHungarianInBoundedTimeAndMemory) {
    std::string oldBinary("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    oldBinary.resize(4096, '\0');
    std::string oldFormat = refusal(oldBinary);
    EXPECT_NE(oldFormat.find("régi"), std::string::npos) << oldFormat;
    EXPECT_NE(oldFormat.find("Office Open XML (.xlsx)"), std::string::npos) << oldFormat;
    EXPECT_NE(oldFormat.find("ugyanezen a néven"), std::string::npos) << oldFormat;

    // 60,000 cells in the last column: a 16,384-cell row each once held densely.
    std::string farRight = "<worksheet><sheetData>";
    for (int r = 1; r <= 60000; ++r)
        farRight += "<row r=\"" + std::to_string(r) + "\"><c r=\"XFD" + std::to_string(r) + "\"><v>1</v></c></row>";
    farRight += "</sheetData></worksheet>";
    // A part that inflates far beyond what it declares, and one that declares a gigabyte.
    std::string lying = handMadePackage("Lap", "<worksheet><sheetData>" + std::string(4 << 20, ' ') +
                                                   "</sheetData></worksheet>");
    declareSize(lying, "xl/worksheets/sheet1.xml", 1000);
    std::string huge = handMadePackage("Lap", "<worksheet/>");
    declareSize(huge, "xl/worksheets/sheet1.xml", 1u << 30);

    struct Case {
        const char *what;
        std::string bytes;
        const char *says;
    } cases[] = {
        {"not a zip", "ez nem munkafüzet", "nem zip-archívum"},
        {"cells far right", handMadePackage("Lap", farRight), "túl sok cella"},
        {"inflates past its size", lying, "sérült tömörített adat"},
        {"declares a gigabyte", huge, "MB lenne"},
        {"document type", handMadePackage("Lap", "<!DOCTYPE x [<!ENTITY a \"aaaa\">]><worksheet/>"),
         "dokumentumtípus"},
    };
    for (const Case &c : cases) {
        std::string message = refusal(c.bytes);
        EXPECT_NE(message.find(c.says), std::string::npos) << c.what << ": " << message;
        for (const char *english : {"Not a zip", "archive", "error", "invalid", "entry"})
            EXPECT_EQ(message.find(english), std::string::npos) << c.what << ": " << message;
    }
}

// A sheet of megabytes is inflated on a second thread while it is parsed: it reads back whole,
// and damage found by either side, early or late, is refused as in a small part.
TEST(OddFiles, LargeSheetReadsWholeAndItsDamageIsRefused) {
    std::string xml = "<worksheet><sheetData>";
    for (int r = 1; r <= 60000; ++r)
        xml += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
               std::to_string(r * 7) + "</v></c></row>";
    xml += "</sheetData></worksheet>";
    ASSERT_GT(xml.size(), 2u << 20);
    const std::string good = handMadePackage("Lap", xml);
    const std::unique_ptr<Workbook> wb = decodeWorkbook(good, kPath);
    for (int r : {1, 29999, 60000})
        EXPECT_EQ(wb->sheet("Lap").value(r, 1).integer(), std::optional<long long>(7LL * r)) << r;
    EXPECT_TRUE(wb->sheet("Lap").value(60001, 1).isBlank());

    const auto sized = [&](std::uint32_t size) {
        std::string bytes = good;
        declareSize(bytes, "xl/worksheets/sheet1.xml", size);
        return bytes;
    };
    std::string lateFlip = good; // inside the sheet's compressed bytes, near their end
    lateFlip[lateFlip.find("PK\x01\x02") - 200] ^= 0x5A;
    std::string brokenEnd = xml;
    brokenEnd.replace(brokenEnd.find("</sheetData>"), 12, "<row>");
    std::string brokenStart = xml; // refused while the inflating is pieces ahead
    brokenStart.replace(brokenStart.find("<row r=\"2\">"), 11, "<row r=\"2x\">");
    const std::uint32_t size = static_cast<std::uint32_t>(xml.size());
    struct Case {
        const char *what;
        std::string bytes;
        const char *says; // empty: any refusal
    } cases[] = {
        {"declares half its size", sized(size / 2), "sérült tömörített adat"},
        {"declares a byte too many", sized(size + 1), "sérült tömörített adat"},
        {"flipped byte near the end", lateFlip, ""},
        {"XML broken near the end", handMadePackage("Lap", brokenEnd), ""},
        {"XML broken at the start", handMadePackage("Lap", brokenStart), ""},
    };
    for (const Case &c : cases) {
        const std::string message = refusal(c.bytes);
        EXPECT_NE(message.find(c.says), std::string::npos) << c.what << ": " << message;
    }
}

TEST(OddFiles, SheetNamesWithControlCharactersComeBackExactly) {
    // A fuzz finding: a tab in a sheet name was written back as the text "_x0009_".
    for (const char *name : {"Lap&#9;egy", "két&#10;sor", "kocsi&#13;vissza", "_x0041_ betű szerint",
                             "al_x_vonás"}) {
        std::unique_ptr<Workbook> first = decodeWorkbook(handMadePackage(name, "<worksheet/>"), kPath);
        std::string saved = encodeWorkbook(*first);
        std::unique_ptr<Workbook> back = decodeWorkbook(saved, kPath);
        EXPECT_EQ(back->sheetAt(1).name(), first->sheetAt(1).name()) << name;
        EXPECT_TRUE(back->sameContent(*first)) << name;
        EXPECT_EQ(encodeWorkbook(*back), saved) << name;
    }
    EXPECT_EQ(decodeWorkbook(handMadePackage("Lap&#9;egy", "<worksheet/>"), kPath)->sheetAt(1).name(),
              "Lap\tegy");
}

TEST(OddFiles, UnchangedSheetsGoBackAsStoredAndDatesShowTheHungarianWay) {
    // The first sheet as another program wrote it: a save that changes only the second sheet
    // keeps its bytes, comment included.
    const std::string ns = "http://schemas.openxmlformats.org/";
    std::string sheet1 = "<worksheet xmlns=\"" + ns + "spreadsheetml/2006/main\"><!-- kézzel írt -->"
                         "<sheetViews><sheetView tabSelected=\"1\" workbookViewId=\"0\"/></sheetViews><sheetData><row r=\"1\"><c r=\"A1\"><v>7</v></c></row></sheetData></worksheet>";
    Workbook wb(kPath);
    wb.addSheet("Befszla01");
    wb.addSheet("Befszla02");
    wb.activate(wb.sheet("Befszla01"));
    ZipReader parts(encodeWorkbook(wb));
    std::vector<ZipEntry> entries;
    for (const char *name : kParts)
        entries.push_back({name, std::string(name) == "xl/worksheets/sheet1.xml" ? sheet1 : *parts.read(name)});
    std::unique_ptr<Workbook> opened = decodeWorkbook(writeZip(entries), kPath);
    opened->sheet("Befszla02").setValue(2, 1, ymd(2026, 11, 1));

    ZipReader saved(encodeWorkbook(*opened));
    EXPECT_EQ(saved.read("xl/worksheets/sheet1.xml"), sheet1);
    EXPECT_NE(saved.read("xl/worksheets/sheet2.xml")->find("<v>46327</v>"), std::string::npos);
    EXPECT_NE(saved.read("xl/styles.xml")->find("formatCode=\"yyyy. mm. dd.\""), std::string::npos)
        << "spreadsheets show 2026. 11. 01.";
}

} // namespace
} // namespace vandorix
