// Cell values, sheets and workbooks in memory and through the file format.
#include "store/Currency.h"
#include "store/Date.h"
#include "store/HostError.h"
#include "store/OoxmlCodec.h"
#include "store/Workbook.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace vandorix {
namespace {

const std::string kPath = "/adat/Torzs/Befszla.xls";

Date ymd(int y, int m, int d) { return *Date::fromYmd(y, m, d); }

TEST(Currency, ComputesExactlyThrowsInsteadOfWrappingAndReadsAndPrintsTheHungarianWay) {
    Currency sum;
    for (int i = 0; i < 1000; ++i) sum += *Currency::parse("0,1");
    EXPECT_EQ(sum, Currency::fromUnits(100));
    EXPECT_EQ(*Currency::parse("1234,5678") * 3, *Currency::parse("3703,7034"));
    EXPECT_EQ(*Currency::parse("10") - *Currency::parse("10,0001"), *Currency::parse("-0,0001"));
    // Doubles round half away from zero to four decimals.
    EXPECT_EQ(Currency::fromDouble(1.23455).raw(), 12346);
    EXPECT_EQ(Currency::fromDouble(-1.23455).raw(), -12346);
    EXPECT_EQ(Currency::fromDouble(0.1 + 0.2).raw(), 3000);

    const Currency max = Currency::fromRaw(Currency::MaxRaw);
    EXPECT_THROW(max + Currency::fromRaw(1), AmountOverflowError);
    EXPECT_THROW(-max - Currency::fromRaw(1), AmountOverflowError) << "the lowest raw value too";
    EXPECT_THROW(*Currency::parse("900000000000000") * 100, AmountOverflowError);
    EXPECT_THROW(Currency::fromDouble(1e300), AmountOverflowError);
    Currency balance = max;
    EXPECT_THROW(balance += Currency::fromRaw(1), AmountOverflowError);
    EXPECT_EQ(balance, max) << "a failed sum leaves its operand";

    const std::pair<const char *, std::int64_t> amounts[] = {
        {"12,5", 125000},        {"12.5", 125000}, {"-3", -30000}, {"+7,25", 72500},
        {"1 234 567,1", 12345671000}, {" 42 ", 420000}, {"0,00005", 1},
        // 922337203685477,5807 is the largest amount; one ten-thousandth more is none.
        {"922337203685477,5807", Currency::MaxRaw},
    };
    for (auto [text, raw] : amounts)
        EXPECT_EQ(Currency::parse(text), Currency::fromRaw(raw)) << text;
    for (const char *bad : {"", " ", "abc", "12a", "1,2,3", "--1", ",", "1 2 3x", "1e5",
                            "922337203685477,5808", "-922337203685477,5808"})
        EXPECT_FALSE(Currency::parse(bad)) << bad;

    EXPECT_EQ(Currency::parse("1234,5")->toString(), "1234,5");
    EXPECT_EQ(Currency::parse("-0,0001")->toString(), "-0,0001");
    EXPECT_EQ(Currency::fromUnits(12).toString(), "12");
    EXPECT_EQ(Currency::parse("1234,565")->toString2(), "1234,57");
    EXPECT_EQ(Currency::parse("-0,004")->toString2(), "0,00");
}

TEST(Date, ReadsWhatAHungarianUserTypesAndPrintsTheShortFormAndCalendarSteps) {
    const std::pair<const char *, Date> dates[] = {
        {"2026.12.06", ymd(2026, 12, 6)}, {"2026. 12. 06.", ymd(2026, 12, 6)},
        {"2026-12-06", ymd(2026, 12, 6)}, {"2026/1/2", ymd(2026, 1, 2)},
        {"2026 12 06", ymd(2026, 12, 6)}, {"2024.02.29.", ymd(2024, 2, 29)},
    };
    for (auto [text, date] : dates) EXPECT_EQ(Date::parse(text), date) << text;
    for (const char *bad : {"", "2026.02.29", "2026.13.01", "2026.00.10", "2026.12.32", "26.12.06",
                            "2026.12", "2026.12.06.x", "abc", "2026..12.06"})
        EXPECT_FALSE(Date::parse(bad)) << bad;

    EXPECT_EQ(ymd(2026, 3, 1).toString(), "2026. 03. 01.");
    EXPECT_EQ(ymd(2026, 3, 1).lastDayOfPreviousMonth(), ymd(2026, 2, 28));
    EXPECT_EQ(ymd(2026, 12, 31).startOfYear(), ymd(2026, 1, 1));
    EXPECT_EQ(ymd(2024, 1, 15).lastDayOfPreviousMonth(), ymd(2023, 12, 31));
    EXPECT_EQ(ymd(2028, 3, 1).lastDayOfPreviousMonth(), ymd(2028, 2, 29));
}

TEST(Sheets, FoundByExactNameAfterRenameMoveAndDeleteTheirRowsFormatsAndSorting) {
    Workbook wb("Termékminta.xls");
    wb.addSheet("Termékminta01");
    wb.addSheet("Szla");
    wb.addSheet("Segéd01");
    wb.renameSheet("Termékminta01", "Alfa01");
    EXPECT_EQ(wb.findSheet("Termékminta01"), nullptr);
    EXPECT_EQ(wb.indexOf(wb.sheet("Alfa01")), 1);
    wb.moveSheet("Segéd01", "Szla");
    EXPECT_EQ(wb.sheetAt(2).name(), "Segéd01");
    wb.deleteSheet("Szla");
    EXPECT_EQ(wb.sheetCount(), 2);
    try {
        wb.sheet("szla");
        ADD_FAILURE() << "found in another case";
    } catch (const SheetMissingError &e) {
        EXPECT_EQ(e.sheet(), "szla");
    }
    EXPECT_THROW(wb.addSheet("Alfa01"), HostError);

    // An inserted row takes the formats of the row above, a format copy pastes formats only.
    Sheet &s = wb.sheet("Alfa01");
    FormatRef amount = internFormat(CellFormat{"#,##0.00", false, HAlign::Right, true});
    for (int r : {5, 6}) {
        s.setCellFormat(r, 3, amount);
        s.setValue(r, 3, Currency::fromUnits(r));
    }
    s.insertRow(6);
    EXPECT_EQ(s.cellFormat(6, 3), s.cellFormat(5, 3));
    EXPECT_TRUE(s.value(6, 3).isBlank());
    FormatRef bold = internFormat(CellFormat{"0", true, HAlign::Center, false});
    s.setCellFormat(5, 1, bold);
    s.setValue(20, 1, "marad");
    s.copyRowFormat(5, 20);
    EXPECT_EQ(s.cellFormat(20, 1), bold);
    EXPECT_EQ(s.cellFormat(20, 3), s.cellFormat(5, 3));
    EXPECT_EQ(s.value(20, 1), CellValue("marad"));
    EXPECT_TRUE(s.value(20, 3).isBlank());

    // Sorting orders numbers, then texts the Hungarian way, then empties.
    const char *names[] = {"Zeta", "ábel", "Alfa", "", "Öböl", "béla"};
    for (int i = 0; i < 6; ++i) {
        s.setValue(30 + i, 1, names[i]);
        s.setValue(30 + i, 2, i);
    }
    s.setValue(36, 1, 3.5);
    s.setValue(36, 2, 99);
    s.setValue(37, 1, "kívül"); // outside the range: stays
    s.sortRange(30, 1, 36, 2, 1);
    const std::pair<CellValue, CellValue> want[] = {
        {3.5, 99}, {"Alfa", 2}, {"ábel", 1}, {"béla", 5}, {"Öböl", 4}, {"Zeta", 0}, {"", 3}};
    for (int r = 30; r <= 36; ++r)
        EXPECT_EQ(std::make_pair(s.value(r, 1), s.value(r, 2)), want[r - 30]) << r;
    EXPECT_EQ(s.value(37, 1), CellValue("kívül"));
}

TEST(CodecValues, AmountsNumbersDatesAndTextsComeBackExactly) {
    // Serials worked out by hand in the 1900 system: 1900-01-01 is 1, 1900-02-28 is 59,
    // serial 60 is the leap day that never was, so 1900-03-01 is 61.
    const std::pair<Date, int> serials[] = {
        {ymd(1900, 1, 1), 1},      {ymd(1900, 2, 28), 59},    {ymd(1900, 3, 1), 61},
        {ymd(1970, 1, 1), 25569},  {ymd(2024, 2, 29), 45351}, {ymd(2026, 12, 6), 46362},
        {ymd(9999, 12, 31), 2958465},
    };
    std::vector<CellValue> values = {
        Currency::fromRaw(12345678), Currency::fromRaw(-12345678), Currency::fromRaw(-1),
        Currency::fromRaw(-50000), Currency::fromRaw(0),
        Currency::fromRaw(9007199254740993), // beyond a double's exact range
        Currency::fromRaw(std::numeric_limits<std::int64_t>::max()),
        Currency::fromRaw(std::numeric_limits<std::int64_t>::min() + 1),
        1.0 / 3.0, -2.5e-7, 1e300, // plain doubles stay doubles
        "őűÁÉ árvíztűrő tükörfúrógép ŐŰ", "  két vezető szóköz", "záró szóközök  ", " ", "   ",
        "első sor\r\nmásodik sor", "csak\nsoremelés", "tab\tközben", "\r\n",
        "_x000D_ betű szerint", "_x005F_", "<&> \"idézet\" 'aposztróf'",
        "0123", // a text of digits stays text
        "",
    };
    for (auto [date, serial] : serials) {
        EXPECT_EQ(date.serial(), serial) << date.toIso();
        EXPECT_EQ(Date::fromSerial(serial), date) << serial;
        values.push_back(date);
    }
    EXPECT_FALSE(Date::fromSerial(60));
    Workbook wb(kPath);
    Sheet &s = wb.addSheet("Befszla01");
    const int rows = static_cast<int>(values.size());
    for (int r = 1; r <= rows; ++r)
        for (int c : {1, 2}) // each text a shared string used twice
            s.setValue(r, c, values[r - 1]);
    // An amount cell rounds a number to four decimals.
    s.setCellFormat(1, 3, internFormat(CellFormat{"#,##0.00", false, HAlign::Right, true}));
    s.setValue(1, 3, 10.12345);

    auto back = decodeWorkbook(encodeWorkbook(wb), kPath);
    const Sheet &t = back->sheet("Befszla01");
    for (int r = 1; r <= rows; ++r)
        for (int c : {1, 2}) EXPECT_EQ(t.value(r, c), values[r - 1]) << "row " << r << " col " << c;
    EXPECT_EQ(t.value(1, 3), CellValue(Currency::fromRaw(101235)));
    EXPECT_EQ(t.value(rows - 1, 1).display(), "2026. 12. 06.");
}

TEST(CodecLayoutAndState, FormatsSizesSheetOrderVisibilityActiveSheetAndProtectionSurvive) {
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

    for (const char *name : {"Alfa01", "Alfa02", "Szla", "Szla02", "Segéd01"}) wb.addSheet(name);
    for (const char *name : {"Befszla01", "Szla", "Segéd01"}) wb.sheet(name).setVisible(false);
    wb.sheet("Szla02").setVisibility(SheetVisibility::VeryHidden);
    wb.activate(wb.sheet("Alfa02"));
    wb.sheet("Alfa01").setValue(5, 1, "zárolt");
    for (int i = 1; i <= wb.sheetCount(); ++i) wb.sheetAt(i).protect("r5Lw93Ze");
    wb.sheet("Alfa02").unprotect("r5Lw93Ze");
    wb.sheet("Alfa02").protect(""); // protection without a password
    wb.protect("Hx4m27Qb");

    // Equal content encodes to equal bytes after a round trip; the figures are also checked
    // one by one, as the whole comparison is the code's own.
    const std::string bytes = encodeWorkbook(wb);
    auto back = decodeWorkbook(bytes, kPath);
    EXPECT_EQ(encodeWorkbook(*back), bytes);
    EXPECT_TRUE(back->sameContent(wb));
    EXPECT_TRUE(back->saved()) << "a decoded workbook starts unchanged";
    const Sheet &t = back->sheet("Befszla01");
    EXPECT_EQ(t.rowFormat(4), heading);
    EXPECT_EQ(t.cellFormat(4, 200), heading) << "a row format covers cells beyond the stored ones";
    EXPECT_EQ(t.cellFormat(6, 4), amountRow);
    EXPECT_EQ(t.cellFormat(6, 5), whole);
    EXPECT_EQ(t.cellFormat(7, 2), percent);
    EXPECT_EQ(t.rowFormat(7), nullptr);
    EXPECT_EQ(t.rowHeight(4), 30.75);
    EXPECT_EQ(t.columnWidth(1), 12.5);
    EXPECT_EQ(t.columnWidth(22), 8.43);
    EXPECT_EQ(back->activeSheet().name(), "Alfa02");
    for (const char *name : {"Befszla01", "Szla", "Segéd01"})
        EXPECT_EQ(back->sheet(name).visibility(), SheetVisibility::Hidden) << name;
    EXPECT_EQ(back->sheet("Szla02").visibility(), SheetVisibility::VeryHidden);

    // The stored protection refuses every change until the right password lifts it. The legacy
    // verifier gives the values every spreadsheet application computes.
    EXPECT_EQ(passwordHash("password"), 0x83AF);
    EXPECT_EQ(passwordHash("test"), 0xCBEB);
    EXPECT_TRUE(back->structureProtected());
    EXPECT_THROW(back->addSheet("Új"), ProtectedError);
    EXPECT_THROW(back->renameSheet("Alfa01", "Béta01"), ProtectedError);
    EXPECT_THROW(back->sheet("Szla").setVisible(true), ProtectedError);
    EXPECT_THROW(back->unprotect("r5Lw93Ze"), WrongPasswordError);
    back->unprotect("Hx4m27Qb");
    Sheet &alfa = back->sheet("Alfa01");
    EXPECT_TRUE(alfa.isProtected());
    try {
        alfa.setValue(5, 1, "x");
        ADD_FAILURE() << "write accepted";
    } catch (const ProtectedError &e) {
        EXPECT_NE(std::string(e.what()).find("Alfa01"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Befszla.xls"), std::string::npos) << e.what();
    }
    EXPECT_THROW(alfa.insertRow(5), ProtectedError);
    EXPECT_THROW(alfa.deleteRow(5), ProtectedError);
    EXPECT_THROW(alfa.sortRange(5, 1, 6, 2, 1), ProtectedError);
    EXPECT_THROW(alfa.unprotect("Hx4m27Qb"), WrongPasswordError);
    alfa.unprotect("r5Lw93Ze");
    alfa.setValue(5, 1, "x");
    // A number later typed into the amount row becomes an amount.
    back->sheet("Befszla01").unprotect("r5Lw93Ze");
    back->sheet("Befszla01").setValue(6, 4, 1.5);
    EXPECT_EQ(t.value(6, 4), CellValue(Currency::fromRaw(15000)));
    alfa.setVisible(false);
    EXPECT_THROW(back->sheet("Alfa02").setVisible(false), HostError) << "the last visible sheet";
    Sheet &open = back->sheet("Alfa02");
    EXPECT_TRUE(open.isProtected());
    EXPECT_THROW(open.unprotect("r5Lw93Ze"), WrongPasswordError);
    open.unprotect("");
}

} // namespace
} // namespace vandorix
