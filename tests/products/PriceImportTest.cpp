#include "products/PriceFile.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "support/InProcessScript.h"
#include "support/ProductFiles.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace vandorix {
namespace {

namespace fs = std::filesystem;
using namespace testing;

const std::string kImportMenu = "menu Befektetés/Részvény/Árfolyamok betöltése fájlból\n";

// ---------------------------------------------------------------------------------------------
// Reading price files

struct FileCase {
    const char *name;
    std::string bytes;
    std::vector<PriceLine> days;  // ascending
    std::vector<int> refusedLines;
};

std::string windows1250(const char *utf8Heading) { return *Windows1250ToUtf8(utf8Heading); }

TEST(PriceFile, ReadsTheLayoutsBrokersAndExchangesWrite) {
    const Date today = Day(2026, 12, 6);
    const std::vector<FileCase> cases = {
        {"heading, semicolons, Hungarian dates, comma and grouped digits",
         "Dátum;Záró ár\n2026.12.04;1 234,5\n2026. 12. 03.;1 230,25\n",
         {{Day(2026, 12, 3), Amount("1230,25")}, {Day(2026, 12, 4), Amount("1234,5")}}, {}},
        {"no heading, commas, ISO dates, point, the first number after the date",
         "2026-12-04,ABC,101.5,7\r\n2026-12-03,ABC,100.25,3\r\n",
         {{Day(2026, 12, 3), Amount("100,25")}, {Day(2026, 12, 4), Amount("101,5")}}, {}},
        {"tabs, columns found by heading, day-first dates",
         "Open\tDate\tClose (HUF)\n1\t04.12.2026\t99,5\n2\t3.12.2026.\t98\n",
         {{Day(2026, 12, 3), Amount("98")}, {Day(2026, 12, 4), Amount("99,5")}}, {}},
        // "Dátum;Záróár" with á and ó as single Windows-1250 bytes.
        {"Windows-1250 heading", "D\xE1tum;Z\xE1r\xF3\xE1r\r\n2026.12.04;10,5\r\n",
         {{Day(2026, 12, 4), Amount("10,5")}}, {}},
        {"byte order mark, quoted fields holding a decimal comma, no-break blanks",
         "\xEF\xBB\xBF\"Date\",\"Close\"\n\"2026-12-04 00:00:00\",\"1\xC2\xA0" "234,5\"\n",
         {{Day(2026, 12, 4), Amount("1234,5")}}, {}},
        {"refused lines: future day, zero price, no date, bad price, a day twice",
         "Dátum;Záró\n2026.12.04;10\n2026.12.07;11\n2026.12.03;0\nnincs;12\n2026.12.02;abc\n"
         "2026.12.01;5\n2026.12.01;6\n\n2026.11.30;7\n",
         {{Day(2026, 11, 30), Amount("7")}, {Day(2026, 12, 4), Amount("10")}}, {3, 4, 5, 6, 7, 8}},
        {"empty file", "", {}, {}},
    };
    for (const FileCase &c : cases) {
        SCOPED_TRACE(c.name);
        const PriceFileContent content = ParsePriceFileBytes(c.bytes, today, "arak.csv");
        ASSERT_EQ(content.days.size(), c.days.size());
        for (std::size_t i = 0; i < c.days.size(); ++i) {
            EXPECT_EQ(content.days[i].day, c.days[i].date) << i;
            EXPECT_EQ(content.days[i].price, c.days[i].price) << i;
        }
        std::vector<int> refused;
        for (const RefusedPriceLine &r : content.refused) refused.push_back(r.line);
        EXPECT_EQ(refused, c.refusedLines);
    }
    const PriceFileContent twice = ParsePriceFileBytes("2026.12.01;5\n2026.12.01;6\n", today, "x");
    ASSERT_EQ(twice.refused.size(), 2u);
    EXPECT_NE(twice.refused[0].reason.find("1., 2."), std::string::npos) << twice.refused[0].reason;
    EXPECT_EQ(windows1250("\xF5\xFB\xD5\xDB"), "őűŐŰ");
    EXPECT_THROW(ParsePriceFileBytes(std::string("\x00\x01\x02PNG", 6), today, "x"), PriceFileError);
    EXPECT_THROW(ParsePriceFileBytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", today, "x"), PriceFileError);
}

// ---------------------------------------------------------------------------------------------
// The import window against typing the same days in the closing-price window

const std::vector<TradeLine> kTrades = {
    {Day(2026, 3, 3), Amount("10050"), Currency(), 100},
    {Day(2026, 6, 12), Currency(), Amount("3960,5"), 60},
    {Day(2026, 11, 18), Amount("4200"), Currency(), 100},
};

Currency priceOfDay(int i) { return Currency::fromRaw(1000000 + ((i * 7919) % 53) * 1250 - i * 300); }

// An installation with "Alfa" bought, and `seeded` price rows carrying stale figures in C to I.
struct Product {
    TestInstallation inst;
    explicit Product(const std::vector<PriceLine> &seeded) {
        EXPECT_EQ(inst.replay(RegisterScript("Alfa", "HU0000000001")).exitCode, 0);
        EditWorkbookFile(path(), [&](Workbook &wb) {
            WriteTradeRows(wb.sheet("Szla"), kTrades);
            Sheet &prices = wb.sheet("Alfa01");
            WritePriceRows(prices, seeded);
            for (int r = 5; r < 5 + static_cast<int>(seeded.size()); ++r)
                for (int c = 3; c <= 9; ++c)
                    prices.setValue(r, c, c <= 5 ? CellValue(Amount("-1")) : CellValue(555.0));
        });
    }
    fs::path path() const { return inst.root() / "Termekek" / "Alfa.xls"; }
    ReplayRun run(const std::string &script) const {
        ReplayRun r = inst.replay(script);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return r;
    }
};

void expectSameRows(const Sheet &typed, const Sheet &imported) {
    const int rows = std::max(typed.rowCount(), imported.rowCount());
    const int columns = std::max(typed.columnCount(), imported.columnCount());
    int differences = 0;
    for (int r = 1; r <= rows && differences < 10; ++r) {
        for (int c = 1; c <= columns; ++c) {
            const bool same = typed.value(r, c) == imported.value(r, c) &&
                              typed.cellFormat(r, c) == imported.cellFormat(r, c);
            if (!same && ++differences <= 10)
                ADD_FAILURE() << typed.name() << " row " << r << " column " << c << ": typed "
                              << typed.value(r, c).display() << ", imported " << imported.value(r, c).display();
        }
        EXPECT_EQ(typed.rowFormat(r), imported.rowFormat(r)) << typed.name() << " row " << r;
        EXPECT_EQ(typed.rowHeight(r), imported.rowHeight(r)) << typed.name() << " row " << r;
    }
}

struct Scenario {
    const char *name;
    std::vector<PriceLine> seeded;
    std::vector<PriceLine> days; // ascending
    bool overwrite;
};

Scenario emptyProduct() {
    Scenario s{"EmptyProduct", {}, {}, true};
    for (int i = 0; i < 40; ++i) s.days.push_back({Day(2026, 10, 1).addDays(i), priceOfDay(i)});
    return s;
}

// 220 rows every other day up to 2026-11-13 (MA200 from row 208 on), and days before them,
// between them, on them and after them.
Scenario seededProduct(bool overwrite) {
    Scenario s{overwrite ? "SeededOverwrite" : "SeededKeep", {}, {}, overwrite};
    for (int i = 0; i < 220; ++i) s.seeded.push_back({Day(2025, 9, 1).addDays(2 * i), priceOfDay(i + 3)});
    s.days.push_back({Day(2025, 8, 20), Amount("95")});
    for (int k : {10, 11, 30, 150, 205, 210, 214, 215, 219}) {
        s.days.push_back({s.seeded[k].date, priceOfDay(k) + Amount("3")});   // on a recorded day
        s.days.push_back({s.seeded[k].date.addDays(1), priceOfDay(k + 1)}); // between two
    }
    for (int i = 0; i < 20; ++i) s.days.push_back({Day(2026, 11, 15).addDays(i), priceOfDay(i + 7)});
    std::sort(s.days.begin(), s.days.end(), [](auto &a, auto &b) { return a.date < b.date; });
    return s;
}

void PrintTo(const Scenario &s, std::ostream *out) { *out << s.name; }

class PriceImportMatchesTyping : public ::testing::TestWithParam<Scenario> {};

TEST_P(PriceImportMatchesTyping, RowByRow) {
    const Scenario &s = GetParam();
    Product typed(s.seeded), imported(s.seeded);
    std::vector<Date> recorded(s.seeded.size());
    std::transform(s.seeded.begin(), s.seeded.end(), recorded.begin(), [](auto &p) { return p.date; });

    std::string typing, csv = "Date,Open,Close\n";
    int existing = 0;
    for (const PriceLine &d : s.days) {
        const bool onRecordedDay = std::count(recorded.begin(), recorded.end(), d.date) > 0;
        existing += onRecordedDay;
        if (onRecordedDay && !s.overwrite) continue;
        typing += "menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 Alfa\ntype Text1 " +
                  d.date.toString() + "\ntype Text2 " + d.price.toString() + "\n" +
                  (onRecordedDay ? "answer Yes\n" : "") + "click Command1\nclick Command4\n";
    }
    // The file lists the newest day first, ISO dates and decimal points.
    for (auto it = s.days.rbegin(); it != s.days.rend(); ++it) {
        std::string price = it->price.toString();
        std::replace(price.begin(), price.end(), ',', '.');
        price.erase(std::remove(price.begin(), price.end(), ' '), price.end());
        csv += it->date.toIso() + ",1," + price + "\n";
    }
    typed.run(typing);
    const fs::path file = imported.inst.root() / "arak.csv";
    writeFileAtomically(file, csv);
    const int written = static_cast<int>(s.days.size()) - (s.overwrite ? 0 : existing);
    ReplayRun r = imported.run(kImportMenu + "choose Combo1 Alfa\ntype Text1 " + file.string() +
                               "\nclick Command1\n" +
                               (existing ? (s.overwrite ? "answer Yes\n" : "answer No\n") : "") +
                               "answer OK\nclick Command2\n");
    std::string expected;
    if (existing)
        expected = "Felülírás\nA fájl " + std::to_string(existing) + " napjára már van záró ár.\nFelülírja ?\n";
    expected += "Felhívás\n" + std::to_string(written) + " nap záró ára rögzítve.\n";
    if (!s.overwrite && existing) expected += std::to_string(existing) + " nap meglévő ára megmaradt.\n";
    EXPECT_EQ(r.output, expected);

    auto a = ReadWorkbookFile(typed.path());
    auto b = ReadWorkbookFile(imported.path());
    for (const char *sheet : {"Alfa01", "Segéd01", "Szla"}) expectSameRows(a->sheet(sheet), b->sheet(sheet));
    // The scenario reaches what it means to: indicators on imported rows past each threshold.
    const Sheet &prices = b->sheet("Alfa01");
    const int last = *b->sheet("Segéd01").value(6, 3).integer();
    EXPECT_EQ(last, 4 + static_cast<int>(s.seeded.size() + s.days.size()) - existing);
    EXPECT_TRUE(prices.value(last, 9).number()) << "RSI of the last row";
    EXPECT_TRUE(prices.value(last, s.seeded.empty() ? 6 : 8).number()) << "moving average of the last row";
}

INSTANTIATE_TEST_SUITE_P(Scenarios, PriceImportMatchesTyping,
                         ::testing::Values(emptyProduct(), seededProduct(true), seededProduct(false)),
                         [](const auto &info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Files that give nothing to record, then a spreadsheet file

TEST(PriceImport, UnreadableFilesChangeNothingAndASpreadsheetKeepsExistingDaysOnNo) {
    InProcessSession session;
    session.run(RegisterScript("Alfa", "HU0000000001"));
    const fs::path product = session.installation().root() / "Termekek" / "Alfa.xls";
    EditWorkbookFile(product, [&](Workbook &wb) { WriteTradeRows(wb.sheet("Szla"), kTrades); });
    const fs::path folder = session.installation().root();
    writeFileAtomically(folder / "ures.csv", "");
    writeFileAtomically(folder / "szoveg.txt", "Dátum;Záró\nnincs;ár\n2026.12.24;10\n");
    writeFileAtomically(folder / "kep.png", std::string("\x89PNG\r\n\x1A\n\x00\x00\x00\x0DIHDR", 16));
    const std::string before = FileBytes(product);

    struct Case {
        std::string file, notice;
    };
    const std::vector<Case> cases = {
        {"nincs.csv", "A fájl nem található:\r\n" + (folder / "nincs.csv").string()},
        {"ures.csv", "A fájlban nincs beolvasható záró ár:\r\n" + (folder / "ures.csv").string()},
        {"kep.png", "A fájl nem szöveg és nem xlsx táblázat, nem olvasható:\r\n" + (folder / "kep.png").string()},
        {"szoveg.txt", "A fájlban nincs beolvasható záró ár:\r\n" + (folder / "szoveg.txt").string()},
    };
    session.run(kImportMenu + "choose Combo1 Alfa\n");
    Form &window = session.app().form("Form17");
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const std::size_t shown = session.dialogs().messages().size();
        session.run("type Text1 " + (folder / c.file).string() + "\nanswer OK\n");
        ASSERT_EQ(session.dialogs().messages().size(), shown + 1);
        EXPECT_EQ(session.dialogs().messages().back().text, c.notice);
        EXPECT_FALSE(window.control("Command1").enabled);
    }
    // The text file's refused lines are in the preview with their numbers.
    EXPECT_NE(window.control("Label2").caption.find("Hibás sorok: 2\n2. sor: hiányzó vagy hibás dátum\n"
                                                    "3. sor: a dátum a mai nap utáni"),
              std::string::npos)
        << window.control("Label2").caption;
    session.run("click Command2\n");
    EXPECT_EQ(FileBytes(product), before);

    // A spreadsheet file: its first sheet is read, and No keeps the existing day.
    EditWorkbookFile(product, [&](Workbook &wb) {
        WritePriceRows(wb.sheet("Alfa01"), {{Day(2026, 12, 2), Amount("50")}});
    });
    Workbook book;
    Sheet &sheet = book.addSheet("Árfolyamok");
    book.addSheet("Más");
    sheet.setValue(1, 1, "Nap");
    sheet.setValue(1, 2, "Utolsó ár");
    sheet.setValue(2, 1, Day(2026, 12, 1));
    sheet.setValue(2, 2, 101.25);
    sheet.setValue(3, 1, "2026.12.02");
    sheet.setValue(3, 2, "102,5");
    sheet.setValue(4, 1, Day(2026, 12, 3));
    sheet.setValue(4, 2, -1.0);
    const fs::path file = session.installation().root() / "arak.xlsx";
    writeFileAtomically(file, encodeWorkbook(book));

    session.run(kImportMenu + "choose Combo1 Alfa\ntype Text1 " + file.string() + "\n");
    const std::string preview = session.app().form("Form17").control("Label2").caption;
    EXPECT_EQ(preview, "Beolvasott napok: 2\nElső nap: 2026. 12. 01.   Utolsó nap: 2026. 12. 02.\n"
                       "Már van záró ára: 1 napnak\nHibás sorok: 1\n4. sor: a záró ár nem nagyobb nullánál");
    session.run("click Command1\nanswer No\nanswer OK\n");
    EXPECT_EQ(session.dialogs().messages().back().text,
              "1 nap záró ára rögzítve.\r\n1 nap meglévő ára megmaradt.");
    auto wb = ReadWorkbookFile(product);
    const Sheet &prices = wb->sheet("Alfa01");
    EXPECT_EQ(prices.value(5, 1), CellValue(Day(2026, 12, 1)));
    EXPECT_EQ(prices.value(5, 2), CellValue(Amount("101,25")));
    EXPECT_EQ(prices.value(6, 2), CellValue(Amount("50")));
    EXPECT_TRUE(prices.value(7, 2).isBlank());
    // The window stays for the next file.
    EXPECT_TRUE(session.app().form("Form17").visible());
    session.run("click Command2\n");
}

} // namespace
} // namespace vandorix
