#include "ProductInstallation.h"

#include "products/PriceFile.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "support/InProcessScript.h"

#include <algorithm>

namespace vandorix {
namespace {

namespace fs = std::filesystem;
using namespace testing;

const std::string kImportMenu = "menu Befektetés/Részvény/Árfolyamok betöltése fájlból\n";

TEST(PriceFile, ReadsTheLayoutsBrokersAndExchangesWrite) {
    const Date today = Day(2026, 12, 6);
    // The days read, ascending, as "day=price", then "|" and the numbers of the refused lines.
    auto read = [&](const std::string &bytes) {
        const PriceFileContent content = ParsePriceFileBytes(bytes, today, "arak.csv");
        std::string out;
        for (const auto &d : content.days)
            out += d.day.toIso().substr(5) + "=" + d.price.toString() + " ";
        out += "|";
        for (const RefusedPriceLine &r : content.refused)
            out += " " + std::to_string(r.line);
        return out;
    };
    const std::pair<const char *, std::string> cases[] = {
        // A heading, semicolons, Hungarian dates, comma and grouped digits.
        {"Dátum;Záró ár\n2026.12.04;1 234,5\n2026. 12. 03.;1 230,25\n",
         "12-03=1230,25 12-04=1234,5 |"},
        // No heading, commas, ISO dates, point, the first number after the date.
        {"2026-12-04,ABC,101.5,7\r\n2026-12-03,ABC,100.25,3\r\n", "12-03=100,25 12-04=101,5 |"},
        // Tabs, columns found by heading, day-first dates.
        {"Open\tDate\tClose (HUF)\n1\t04.12.2026\t99,5\n2\t3.12.2026.\t98\n",
         "12-03=98 12-04=99,5 |"},
        // "Dátum;Záróár" with á and ó as single Windows-1250 bytes.
        {"D\xE1tum;Z\xE1r\xF3\xE1r\r\n2026.12.04;10,5\r\n", "12-04=10,5 |"},
        // A byte order mark, quoted fields holding a decimal comma, no-break blanks.
        {"\xEF\xBB\xBF\"Date\",\"Close\"\n\"2026-12-04 00:00:00\",\"1\xC2\xA0"
         "234,5\"\n",
         "12-04=1234,5 |"},
        // Refused: a future day, a zero price, no date, a bad price, a day twice.
        {"Dátum;Záró\n2026.12.04;10\n2026.12.07;11\n2026.12.03;0\nnincs;12\n2026.12.02;abc\n"
         "2026.12.01;5\n2026.12.01;6\n\n2026.11.30;7\n",
         "11-30=7 12-04=10 | 3 4 5 6 7 8"},
        {"", "|"},
    };
    for (const auto &[bytes, expected] : cases)
        EXPECT_EQ(read(bytes), expected) << bytes;
    const PriceFileContent twice = ParsePriceFileBytes("2026.12.01;5\n2026.12.01;6\n", today, "x");
    ASSERT_EQ(twice.refused.size(), 2u);
    EXPECT_NE(twice.refused[0].reason.find("1., 2."), std::string::npos) << twice.refused[0].reason;
    EXPECT_EQ(*Windows1250ToUtf8("\xF5\xFB\xD5\xDB"), "őűŐŰ");
    for (std::string bytes :
         {std::string("\x00\x01\x02PNG", 6), std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1")})
        EXPECT_THROW(ParsePriceFileBytes(bytes, today, "x"), PriceFileError);
}

// The import window against typing the same days in the closing-price window.

const std::vector<TradeLine> kTrades = {
    {Day(2026, 3, 3), Amount("10050"), Currency(), 100},
    {Day(2026, 6, 12), Currency(), Amount("3960,5"), 60},
    {Day(2026, 11, 18), Amount("4200"), Currency(), 100},
};

// Values, cell formats, row formats and heights alike; at most ten differences are told.
void ExpectSameRows(const Sheet &typed, const Sheet &imported) {
    int differences = 0;
    for (int r = 1; r <= std::max(typed.rowCount(), imported.rowCount()); ++r) {
        for (int c = 1; c <= std::max(typed.columnCount(), imported.columnCount()); ++c)
            if ((typed.value(r, c) != imported.value(r, c) ||
                 typed.cellFormat(r, c) != imported.cellFormat(r, c)) &&
                ++differences <= 10)
                ADD_FAILURE() << typed.name() << " row " << r << " column " << c << ": typed "
                              << typed.value(r, c).display() << ", imported "
                              << imported.value(r, c).display();
        EXPECT_EQ(typed.rowFormat(r), imported.rowFormat(r)) << typed.name() << " row " << r;
        EXPECT_EQ(typed.rowHeight(r), imported.rowHeight(r)) << typed.name() << " row " << r;
    }
}

struct Scenario {
    const char *name;
    std::vector<PriceLine> seeded;
    std::vector<PriceLine> days; // ascending
    bool overwrite;
    std::string shown; // the import's messages
    int lastRow;       // of the price sheet after the import
};

Scenario EmptyProduct() {
    Scenario s{"EmptyProduct", {}, {}, true, "Felhívás\n40 nap záró ára rögzítve.\n", 44};
    for (int i = 0; i < 40; ++i)
        s.days.push_back({Day(2026, 10, 1).addDays(i), PriceOfDay(i)});
    return s;
}

// 220 rows every other day up to 2026-11-13 (MA200 from row 208 on), and 39 days: one before
// them, 9 on them, the 9 days after those and 20 after them; 254 rows either way.
Scenario SeededProduct(bool overwrite) {
    Scenario s{overwrite ? "SeededOverwrite" : "SeededKeep", {}, {}, overwrite, "", 254};
    s.shown = "Felülírás\nA fájl 9 napjára már van záró ár.\nFelülírja ?\nFelhívás\n" +
              std::string(overwrite ? "39 nap záró ára rögzítve.\n"
                                    : "30 nap záró ára rögzítve.\n9 nap meglévő ára megmaradt.\n");
    for (int i = 0; i < 220; ++i)
        s.seeded.push_back({Day(2025, 9, 1).addDays(2 * i), PriceOfDay(i + 3)});
    s.days.push_back({Day(2025, 8, 20), Amount("95")});
    for (int k : {10, 11, 30, 150, 205, 210, 214, 215, 219}) {
        s.days.push_back({s.seeded[k].date, PriceOfDay(k) + Amount("3")});  // on a recorded day
        s.days.push_back({s.seeded[k].date.addDays(1), PriceOfDay(k + 1)}); // between two
    }
    for (int i = 0; i < 20; ++i)
        s.days.push_back({Day(2026, 11, 15).addDays(i), PriceOfDay(i + 7)});
    std::sort(s.days.begin(), s.days.end(), [](auto &a, auto &b) { return a.date < b.date; });
    return s;
}

void PrintTo(const Scenario &s, std::ostream *out) {
    *out << s.name;
}

class PriceImportMatchesTyping : public ::testing::TestWithParam<Scenario> {};

TEST_P(PriceImportMatchesTyping, RowByRow) {
    const Scenario &s = GetParam();
    TradedProduct typed(kTrades, s.seeded), imported(kTrades, s.seeded);
    // Typed day by day; the file lists the newest day first, with ISO dates and decimal points.
    std::string typing, csv = "Date,Open,Close\n";
    int existing = 0;
    for (const PriceLine &d : s.days) {
        const bool onRecordedDay = std::any_of(s.seeded.begin(), s.seeded.end(),
                                               [&](auto &p) { return p.date == d.date; });
        existing += onRecordedDay;
        if (!onRecordedDay || s.overwrite)
            typing += ClosingPriceScript(Typed(d.date), d.price.toString());
        if (onRecordedDay && s.overwrite)
            typing.insert(typing.rfind("click Command1"), "answer Yes\n");
        std::string price = d.price.toString();
        std::replace(price.begin(), price.end(), ',', '.');
        price.erase(std::remove(price.begin(), price.end(), ' '), price.end());
        csv.insert(csv.find('\n') + 1, d.date.toIso() + ",1," + price + "\n");
    }
    typed.run(typing);
    const fs::path file = imported.root() / "arak.csv";
    writeFileAtomically(file, csv);
    const std::string shown = imported.run(
        kImportMenu + "choose Combo1 Alfa\ntype Text1 " + file.string() + "\nclick Command1\n" +
        (existing ? (s.overwrite ? "answer Yes\n" : "answer No\n") : "") +
        "answer OK\nclick Command2\n");
    EXPECT_EQ(shown, s.shown);

    auto a = ReadWorkbookFile(typed.product());
    auto b = ReadWorkbookFile(imported.product());
    for (const char *sheet : {"Alfa01", "Segéd01", "Szla"})
        ExpectSameRows(a->sheet(sheet), b->sheet(sheet));
    // The scenario reaches what it means to: indicators on imported rows past each threshold.
    const Sheet &prices = b->sheet("Alfa01");
    const int last = *b->sheet("Segéd01").value(6, 3).integer();
    EXPECT_EQ(last, s.lastRow);
    EXPECT_TRUE(prices.value(last, 9).number()) << "RSI of the last row";
    EXPECT_TRUE(prices.value(last, s.seeded.empty() ? 6 : 8).number()) << "moving average";
}

INSTANTIATE_TEST_SUITE_P(Scenarios, PriceImportMatchesTyping,
                         ::testing::Values(EmptyProduct(), SeededProduct(true),
                                           SeededProduct(false)),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(PriceImport, UnreadableFilesChangeNothingAndASpreadsheetKeepsExistingDaysOnNo) {
    InProcessSession session;
    session.run(RegisterScript("Alfa", "HU0000000001"));
    const fs::path folder = session.installation().root();
    const fs::path product = folder / "Termekek" / "Alfa.xls";
    EditWorkbookFile(product, [&](Workbook &wb) { WriteTradeRows(wb.sheet("Szla"), kTrades); });
    writeFileAtomically(folder / "ures.csv", "");
    writeFileAtomically(folder / "szoveg.txt", "Dátum;Záró\nnincs;ár\n2026.12.24;10\n");
    writeFileAtomically(folder / "kep.png", std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
    const std::string before = FileBytes(product);
    const std::string nothing = "A fájlban nincs beolvasható záró ár:\r\n";
    const std::pair<std::string, std::string> cases[] = {
        {"nincs.csv", "A fájl nem található:\r\n"},
        {"ures.csv", nothing},
        {"kep.png", "A fájl nem szöveg és nem xlsx táblázat, nem olvasható:\r\n"},
        {"szoveg.txt", nothing},
    };
    session.run(kImportMenu + "choose Combo1 Alfa\n");
    Form &window = session.app().form("Form17");
    for (const auto &[file, notice] : cases) {
        const std::size_t shown = session.dialogs().messages().size();
        session.run("type Text1 " + (folder / file).string() + "\nanswer OK\n");
        ASSERT_EQ(session.dialogs().messages().size(), shown + 1) << file;
        EXPECT_EQ(session.dialogs().messages().back().text, notice + (folder / file).string());
        EXPECT_FALSE(window.control("Command1").enabled) << file;
    }
    // The text file's refused lines are in the preview with their numbers.
    EXPECT_NE(
        window.control("Label2").caption.find("Hibás sorok: 2\n2. sor: hiányzó vagy hibás dátum\n"
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
    const CellValue rows[][2] = {{"Nap", "Utolsó ár"},
                                 {Day(2026, 12, 1), 101.25},
                                 {"2026.12.02", "102,5"},
                                 {Day(2026, 12, 3), -1.0}};
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 2; ++c)
            sheet.setValue(r + 1, c + 1, rows[r][c]);
    const fs::path file = folder / "arak.xlsx";
    writeFileAtomically(file, encodeWorkbook(book));

    session.run(kImportMenu + "choose Combo1 Alfa\ntype Text1 " + file.string() + "\n");
    EXPECT_EQ(window.control("Label2").caption,
              "Beolvasott napok: 2\nElső nap: 2026. 12. 01.   Utolsó nap: 2026. 12. 02.\n"
              "Már van záró ára: 1 napnak\nHibás sorok: 1\n"
              "4. sor: a záró ár nem nagyobb nullánál");
    session.run("click Command1\nanswer No\nanswer OK\n");
    EXPECT_EQ(session.dialogs().messages().back().text,
              "1 nap záró ára rögzítve.\r\n1 nap meglévő ára megmaradt.");
    auto wb = ReadWorkbookFile(product);
    ExpectCells(wb->sheet("Alfa01"),
                {{5, 1, Day(2026, 12, 1)}, {5, 2, Amount("101,25")}, {6, 2, Amount("50")}});
    EXPECT_TRUE(wb->sheet("Alfa01").value(7, 2).isBlank());
    EXPECT_TRUE(window.visible()) << "the window stays for the next file";
    session.run("click Command2\n");
}

} // namespace
} // namespace vandorix
