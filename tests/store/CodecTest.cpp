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

const std::string kPath = "/adat/Torzs/Befszla.xls";

Date ymd(int y, int m, int d) { return *Date::fromYmd(y, m, d); }

// The parts of an encoded workbook of two sheets.
constexpr const char *kParts[] = {"[Content_Types].xml", "_rels/.rels", "xl/workbook.xml",
                                  "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml",
                                  "xl/worksheets/sheet2.xml", "xl/styles.xml", "xl/sharedStrings.xml"};

std::unique_ptr<Workbook> roundTrip(const Workbook &wb) {
    return decodeWorkbook(encodeWorkbook(wb), wb.path());
}

// --- Values -------------------------------------------------------------------------------

TEST(CodecValues, AmountsNumbersDatesAndTextsComeBackExactly) {
    // Serials worked out by hand in the 1900 system: 1900-01-01 is 1, 1900-02-28 is 59,
    // serial 60 is the leap day that never was, so 1900-03-01 is 61.
    const std::pair<Date, int> serials[] = {
        {ymd(1900, 1, 1), 1},      {ymd(1900, 2, 28), 59},    {ymd(1900, 3, 1), 61},
        {ymd(1970, 1, 1), 25569},  {ymd(2024, 2, 29), 45351}, {ymd(2026, 12, 6), 46362},
        {ymd(9999, 12, 31), 2958465},
    };
    std::vector<CellValue> values = {
        Currency::fromRaw(12345678),  // 1234,5678
        Currency::fromRaw(-12345678), Currency::fromRaw(-1), Currency::fromRaw(-50000),
        Currency::fromRaw(0),
        Currency::fromRaw(9007199254740993), // beyond a double's exact range
        Currency::fromRaw(std::numeric_limits<std::int64_t>::max()),
        Currency::fromRaw(std::numeric_limits<std::int64_t>::min() + 1),
        1.0 / 3.0, -2.5e-7, 1e300, // plain doubles stay doubles
    };
    for (auto [date, serial] : serials) {
        EXPECT_EQ(date.serial(), serial) << date.toIso();
        values.push_back(date);
    }
    const std::vector<std::string> texts = {
        "őűÁÉ árvíztűrő tükörfúrógép ŐŰ", "  két vezető szóköz", "záró szóközök  ", " ", "   ",
        "első sor\r\nmásodik sor", "csak\nsoremelés", "tab\tközben", "\r\n",
        "_x000D_ betű szerint", "_x005F_", "<&> \"idézet\" 'aposztróf'",
        "0123", // a text of digits stays text
        "",
    };
    Workbook wb(kPath);
    Sheet &s = wb.addSheet("Befszla01");
    const int firstText = static_cast<int>(values.size()) + 1;
    for (std::size_t i = 0; i < values.size(); ++i) s.setValue(static_cast<int>(i) + 1, 1, values[i]);
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (int c : {1, 2}) // the same string shared twice
            s.setValue(firstText + static_cast<int>(i), c, texts[i]);
    // An amount cell rounds a number to four decimals.
    s.setCellFormat(1, 3, internFormat(CellFormat{"#,##0.00", false, HAlign::Right, true}));
    s.setValue(1, 3, 10.12345);

    auto back = roundTrip(wb);
    const Sheet &t = back->sheet("Befszla01");
    for (std::size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(t.value(static_cast<int>(i) + 1, 1), values[i]) << "row " << i + 1;
    for (std::size_t i = 0; i < texts.size(); ++i)
        for (int c : {1, 2})
            EXPECT_EQ(t.value(firstText + static_cast<int>(i), c).text(), texts[i])
                << "text " << i << " column " << c;
    EXPECT_EQ(t.value(1, 3), CellValue(Currency::fromRaw(101235)));
    EXPECT_EQ(t.value(firstText - 2, 1).display(), "2026. 12. 06.");
}

// --- Formats and layout -------------------------------------------------------------------

TEST(CodecLayout, RowAndCellFormatsColumnWidthsAndRowHeightsSurvive) {
    Workbook wb(kPath);
    Sheet &s = wb.addSheet("Befszla01");
    FormatRef heading = internFormat(CellFormat{"General", true, HAlign::Center, false});
    FormatRef dateRow = internFormat(CellFormat{"yyyy.mm.dd", false, HAlign::Left, false});
    FormatRef amountRow = internFormat(CellFormat{"#,##0.00 \"Ft\"", false, HAlign::Right, true});
    FormatRef whole = internFormat(CellFormat{"0", false, HAlign::General, false});
    FormatRef percent = internFormat(CellFormat{"0.00%", true, HAlign::Right, false});

    s.setRowFormat(4, heading);
    s.setValue(4, 1, "Dátum");
    s.setRowFormat(5, dateRow);
    s.setValue(5, 1, ymd(2026, 12, 6));
    s.setRowFormat(6, amountRow);
    s.setValue(6, 3, Currency::fromRaw(-25000));
    s.setCellFormat(6, 5, whole); // a cell that differs from its row
    s.setValue(6, 5, 42);
    s.setCellFormat(7, 2, percent);
    s.setValue(7, 2, 0.125);
    s.setRowHeight(4, 30.75);
    s.setColumnWidth(1, 12.5);
    s.setColumnWidth(2, 40);
    s.setColumnWidth(22, 8.43);

    auto back = roundTrip(wb);
    EXPECT_TRUE(back->sameContent(wb));
    const Sheet &t = back->sheet("Befszla01");
    EXPECT_EQ(t.rowFormat(4), heading);
    EXPECT_EQ(t.cellFormat(4, 1), heading);
    EXPECT_EQ(t.cellFormat(4, 200), heading) << "a row format covers cells beyond the stored ones";
    EXPECT_EQ(t.cellFormat(5, 1), dateRow);
    EXPECT_EQ(t.cellFormat(6, 3), amountRow);
    EXPECT_EQ(t.cellFormat(6, 4), amountRow);
    EXPECT_EQ(t.cellFormat(6, 5), whole);
    EXPECT_EQ(t.cellFormat(7, 2), percent);
    EXPECT_EQ(t.rowFormat(7), nullptr);
    EXPECT_EQ(t.rowHeight(4), 30.75);
    EXPECT_EQ(t.rowHeight(5), 0);
    EXPECT_EQ(t.columnWidth(1), 12.5);
    EXPECT_EQ(t.columnWidth(2), 40);
    EXPECT_EQ(t.columnWidth(22), 8.43);
    EXPECT_EQ(t.columnWidth(3), 0);
    EXPECT_EQ(t.value(6, 3), CellValue(Currency::fromRaw(-25000)));
    EXPECT_EQ(t.value(6, 5), CellValue(42));
    EXPECT_EQ(t.value(5, 1), CellValue(ymd(2026, 12, 6)));

    // A number later typed into the amount row becomes an amount, as in the original.
    back->sheet("Befszla01").setValue(6, 4, 1.5);
    EXPECT_EQ(t.value(6, 4), CellValue(Currency::fromRaw(15000)));
}

TEST(CodecLayout, EncodingIsReproducibleAndStableOverASecondRoundTrip) {
    Workbook wb(kPath);
    Sheet &s = wb.addSheet("Lap");
    s.setValue(1, 1, "őű");
    s.setValue(2, 2, Currency::fromRaw(12345678));
    s.setValue(3, 3, ymd(1900, 3, 1));
    std::string first = encodeWorkbook(wb);
    EXPECT_EQ(encodeWorkbook(wb), first);
    EXPECT_EQ(encodeWorkbook(*decodeWorkbook(first, kPath)), first);

    // An unprotected workbook stays unprotected and starts unchanged.
    auto back = decodeWorkbook(first, kPath);
    EXPECT_FALSE(back->structureProtected());
    EXPECT_FALSE(back->sheet("Lap").isProtected());
    EXPECT_TRUE(back->saved()) << "a decoded workbook starts unchanged";
    back->addSheet("Második");
    back->sheet("Lap").setValue(1, 1, "írható");
}

// --- Workbook state -----------------------------------------------------------------------

TEST(CodecState, SheetOrderVisibilityActiveSheetAndProtectionSurvive) {
    Workbook wb(kPath);
    for (const char *name : {"Alfa01", "Alfa02", "Szla", "Szla02", "Segéd01"}) wb.addSheet(name);
    wb.sheet("Szla").setVisible(false);
    wb.sheet("Szla02").setVisibility(SheetVisibility::VeryHidden);
    wb.sheet("Segéd01").setVisible(false);
    wb.activate(wb.sheet("Alfa02"));
    wb.sheet("Alfa01").setValue(5, 1, "zárolt");
    for (int i = 1; i <= wb.sheetCount(); ++i) wb.sheetAt(i).protect("r5Lw93Ze");
    wb.sheet("Alfa02").unprotect("r5Lw93Ze");
    wb.sheet("Alfa02").protect(""); // protection without a password
    wb.protect("Hx4m27Qb");

    auto back = roundTrip(wb);
    EXPECT_TRUE(back->sameContent(wb));
    EXPECT_EQ(back->activeSheet().name(), "Alfa02");
    EXPECT_EQ(back->sheet("Alfa01").visibility(), SheetVisibility::Visible);
    EXPECT_EQ(back->sheet("Szla").visibility(), SheetVisibility::Hidden);
    EXPECT_EQ(back->sheet("Szla02").visibility(), SheetVisibility::VeryHidden);
    EXPECT_EQ(back->sheet("Segéd01").visibility(), SheetVisibility::Hidden);

    // The stored protection still needs the right passwords.
    EXPECT_TRUE(back->structureProtected());
    EXPECT_THROW(back->addSheet("Új"), ProtectedError);
    EXPECT_THROW(back->sheet("Szla").setVisible(true), ProtectedError);
    EXPECT_THROW(back->unprotect("r5Lw93Ze"), WrongPasswordError);
    back->unprotect("Hx4m27Qb");
    Sheet &alfa = back->sheet("Alfa01");
    EXPECT_TRUE(alfa.isProtected());
    EXPECT_THROW(alfa.setValue(5, 1, "x"), ProtectedError);
    EXPECT_THROW(alfa.unprotect("Hx4m27Qb"), WrongPasswordError);
    alfa.unprotect("r5Lw93Ze");
    alfa.setValue(5, 1, "x");
    Sheet &open = back->sheet("Alfa02");
    EXPECT_TRUE(open.isProtected());
    EXPECT_THROW(open.unprotect("r5Lw93Ze"), WrongPasswordError);
    open.unprotect("");
}

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

TEST_F(DamagedWorkbook, TruncatedOrEmptyArchiveIsRefused) {
    for (std::size_t keep : {std::size_t{0}, std::size_t{4}, good_.size() / 2, good_.size() - 1})
        expectRefused(good_.substr(0, keep), "truncated to " + std::to_string(keep) + " bytes");
    expectRefused("PK\x03\x04 not really a zip", "zip signature only");
    std::string flipped = good_;
    flipped[flipped.size() / 3] ^= 0x5A; // inside the compressed data of an early part
    expectRefused(flipped, "corrupted compressed data");
}

TEST_F(DamagedWorkbook, CorruptXmlInAnyPartIsRefused) {
    const std::string sheet = part("xl/worksheets/sheet2.xml");
    expectRefused(with("xl/worksheets/sheet2.xml", sheet.substr(0, sheet.size() / 2)), "sheet cut in half");
    expectRefused(with("xl/worksheets/sheet2.xml", sheet + "<c>"), "trailing garbage after sheet");
    std::string unclosed = sheet;
    unclosed.replace(unclosed.find("</sheetData>"), 12, "<row>");
    expectRefused(with("xl/worksheets/sheet2.xml", unclosed), "unclosed row");
    expectRefused(with("xl/workbook.xml", "<workbook"), "broken workbook part");
    expectRefused(with("xl/sharedStrings.xml", "<sst><si><t>x</si></sst>"), "broken shared strings");
    expectRefused(with("xl/styles.xml", "<styleSheet>"), "broken styles");
}

TEST_F(DamagedWorkbook, MissingOrDanglingPartsAreRefused) {
    expectRefused(without("xl/worksheets/sheet2.xml"), "missing sheet part");
    expectRefused(without("xl/workbook.xml"), "missing workbook part");
    std::string rels = part("xl/_rels/workbook.xml.rels");
    rels.replace(rels.find("Id=\"rId1\""), 9, "Id=\"rId9\"");
    expectRefused(with("xl/_rels/workbook.xml.rels", rels), "sheet without a relationship");
    // A sheet cell pointing past the shared strings or the styles.
    std::string sheet = part("xl/worksheets/sheet1.xml");
    std::string badString = sheet;
    badString.replace(badString.find("<v>0</v>"), 8, "<v>7</v>");
    expectRefused(with("xl/worksheets/sheet1.xml", badString), "shared string out of range");
    std::string badStyle = sheet;
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
