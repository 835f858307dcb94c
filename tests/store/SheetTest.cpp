#include "store/HostError.h"
#include "store/Workbook.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

TEST(SheetRows, InsertedRowAndFormatCopyTakeFormatsWithoutValues) {
    Workbook wb;
    Sheet &s = wb.addSheet("Lap");
    FormatRef amount = internFormat(CellFormat{"#,##0.00", false, HAlign::Right, true});
    for (int r : {5, 6}) {
        s.setCellFormat(r, 3, amount);
        s.setValue(r, 3, Currency::fromUnits(r));
    }
    s.insertRow(6);
    EXPECT_EQ(s.cellFormat(6, 3), s.cellFormat(5, 3));
    EXPECT_TRUE(s.value(6, 3).isBlank());
    s.setValue(6, 3, 12.5);
    EXPECT_EQ(s.value(6, 3), CellValue(*Currency::parse("12,5"))) << "amount style makes an amount";

    // A format copy pastes formats only.
    FormatRef bold = internFormat(CellFormat{"0", true, HAlign::Center, false});
    s.setCellFormat(5, 1, bold);
    s.setValue(20, 1, "marad");
    s.copyRowFormat(5, 20);
    EXPECT_EQ(s.cellFormat(20, 1), bold);
    EXPECT_EQ(s.cellFormat(20, 3), s.cellFormat(5, 3));
    EXPECT_EQ(s.value(20, 1), CellValue("marad"));
    EXPECT_TRUE(s.value(20, 3).isBlank());
}

TEST(SheetRange, SortKeepsRowsWholeAndOrdersNumbersTextsEmpties) {
    Workbook wb;
    Sheet &s = wb.addSheet("Lista");
    const char *names[] = {"Zeta", "ábel", "Alfa", "", "Öböl", "béla"};
    for (int i = 0; i < 6; ++i) {
        s.setValue(6 + i, 1, names[i]);
        s.setValue(6 + i, 2, i);
    }
    s.setValue(12, 1, 3.5);
    s.setValue(12, 2, 99);
    s.setValue(13, 1, "kívül"); // outside the range: stays
    s.sortRange(6, 1, 12, 2, 1);
    const std::pair<CellValue, CellValue> want[] = {
        {3.5, 99}, {"Alfa", 2}, {"ábel", 1}, {"béla", 5}, {"Öböl", 4}, {"Zeta", 0}, {"", 3}};
    for (int r = 6; r <= 12; ++r)
        EXPECT_EQ(std::make_pair(s.value(r, 1), s.value(r, 2)), want[r - 6]) << r;
    EXPECT_EQ(s.value(13, 1), CellValue("kívül"));
}

TEST(Sheets, FoundByExactNameAfterRenameMoveAndDelete) {
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
        FAIL();
    } catch (const SheetMissingError &e) {
        EXPECT_EQ(e.sheet(), "szla");
    }
    EXPECT_THROW(wb.addSheet("Alfa01"), HostError);
}

TEST(Passwords, LegacyVerifierMatchesKnownValues) {
    // Values every spreadsheet application computes for these passwords.
    EXPECT_EQ(passwordHash("password"), 0x83AF);
    EXPECT_EQ(passwordHash("test"), 0xCBEB);
}

} // namespace
} // namespace vandorix
