// The product statement window driven as a user drives it: trades entered through the purchase
// and sale windows, the statement built, and "Szla02" read back from the stored product file.
#include "app/Application.h"
#include "trading/TradeWindowSession.h"

#include <gtest/gtest.h>

namespace vandorix::testing {
namespace {

const std::string kMenu = "menu Befektetés/Információ/Termék szlámla kivonat\n";
const std::string kNoData = "Felhívás|A kért dátum intervallumban\r\nnincs adat";

std::string statement(const std::string &from, const std::string &to) {
    return kMenu + "choose Combo1 Alfa\ntype Text1 " + from + "\ntype Text2 " + to +
           "\nclick Command1\nanswer OK\n";
}

auto Empty(const Sheet &s, int from, int to) { return RowsEmpty(s, from, to, 35); } // A to AI

TEST(ProductStatement, PeriodRowsRangesShorterStatementsNoDataAndARowWithoutSignedQuantity) {
    // Three purchases and one FIFO sale of Alfa: "Szla" rows 5 (100 bought), 6 (50 bought),
    // 7 (120 sold: the first lot and 20 of the second), 8 (30 bought).
    TradeSession s;
    s.play(Purchase({"2026.01.05", 100, "10", "5", 1, 1}) +
           Purchase({"2026.02.10", 50, "12", "6", 2, 2}) +
           Sale({"2026.03.15", 120, "15", "9", 3, 3}) +
           Purchase({"2026.06.01", 30, "11", "3", 4, 4}));
    std::unique_ptr<Workbook> wb;
    auto stored = [&]() -> const Sheet & {
        wb = s.product();
        return wb->sheet("Szla02");
    };
    s.play(kMenu);
    Form &w = s.window();
    for (const char *c : {"Text1", "Text2", "Label1", "Label2", "Label3"})
        EXPECT_FALSE(w.control(c).visible) << c;
    for (const char *c : {"Command1", "Command2", "Command3"}) EXPECT_FALSE(w.control(c).enabled);
    EXPECT_EQ(w.control("Combo1").items, std::vector<std::string>{"Alfa"});
    s.play("choose Combo1 Alfa\n");
    // The last trade lies in this year: the year so far is proposed.
    EXPECT_EQ(w.control("Text1").text, "2026. 01. 01.");
    EXPECT_EQ(w.control("Text2").text, "2026. 12. 06.");
    EXPECT_EQ(w.focus(), "Text1");
    EXPECT_FALSE(w.control("Label3").visible);
    EXPECT_EQ(w.control("Command1").caption, "Inditás");
    s.play("type Text1 2026.02.01\ntype Text2 2026.03.31\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    EXPECT_TRUE(w.visible());
    for (const char *c : {"Command1", "Command2", "Command3", "Text1", "Text2", "Combo1"})
        EXPECT_FALSE(w.control(c).enabled) << c;
    EXPECT_EQ(w.focus(), "Command4");
    s.play("click Command4\n");

    const Sheet &st = stored();
    const Sheet &trades = wb->sheet("Szla");
    // Rows 6 and 7 of "Szla" copied, the sale with its two consumed lots.
    for (int c = 1; c <= szla::ClearedColumns; ++c) {
        if (c == szla::Holding) continue;
        EXPECT_EQ(st.value(5, c), trades.value(6, c)) << c;
        EXPECT_EQ(st.value(6, c), trades.value(7, c)) << c;
    }
    EXPECT_EQ(Pairs(st, 6), (PairList{{100, 1}, {20, 2}}));
    ExpectIntegers(st, {{5, szla::Holding, 150}, {6, szla::Holding, 30}});
    EXPECT_TRUE(Empty(st, 7, 8));
    EXPECT_TRUE(Empty(st, 10, 25));
    EXPECT_EQ(st.value(9, szla::OrderCode).text(), "Összesen");
    ExpectIntegers(st, {{9, szla::Bought, 50}, {9, szla::Sold, 120}, {9, szla::OpenQuantity, 30},
                        {9, szla::Holding, 30}, {2, szla::TotalsPointerColumn, 9}});
    // Result 1791 − (1005 + 20 × 12,12); the average cost of what is held: 30 of the second
    // lot (606 for 50) and the third lot (333 for 30), 696.6 for 60 shares.
    ExpectAmounts(st, {{9, szla::BuyValue, "600"},   {9, szla::BuyCommission, "6"},
                       {9, szla::BuyCost, "606"},    {9, szla::SaleValue, "1800"},
                       {9, szla::SaleCommission, "9"}, {9, szla::NetProceeds, "1791"},
                       {9, szla::Result, "543,6"},   {9, szla::CostPerShare, "11,61"}});
    EXPECT_EQ(st.value(2, szla::Day).text(), "2026. 02. 10. -től      2026. 03. 15. -ig.");

    // From before the first trade to today: every row, from row 5.
    s.play(statement("2025.06.01", "2026.12.06") + "click Command4\n");
    const Sheet &all = stored();
    EXPECT_EQ(all.value(5, szla::Day).date(), Day(2026, 1, 5));
    EXPECT_EQ(all.value(8, szla::Day).date(), Day(2026, 6, 1));
    ExpectIntegers(all, {{5, szla::Holding, 100}, {6, szla::Holding, 150}, {7, szla::Holding, 30},
                         {8, szla::Holding, 60}, {11, szla::Bought, 180}, {11, szla::Holding, 60},
                         {11, szla::OpenQuantity, 60}, {2, szla::TotalsPointerColumn, 11}});
    // The first day is the last trade's day: only that day's row, and nothing of the longer
    // statement stays below it.
    s.play(statement("2026.06.01", "2026.12.06") + "click Command4\n");
    const Sheet &last = stored();
    EXPECT_EQ(last.value(5, szla::Day).date(), Day(2026, 6, 1));
    ExpectIntegers(last, {{5, szla::Holding, 60}, {8, szla::Bought, 30},
                          {2, szla::TotalsPointerColumn, 8}});
    ExpectAmounts(last, {{8, szla::BuyCost, "333"}});
    EXPECT_EQ(last.value(2, szla::Day).text(), "2026. 06. 01. -től      2026. 06. 01. -ig.");
    EXPECT_TRUE(Empty(last, 6, 7));
    EXPECT_TRUE(Empty(last, 9, 30));
    // The end is checked against today only on Enter; set without it, it still bounds the rows.
    s.play(kMenu + "choose Combo1 Alfa\ntype Text1 2026.03.15\nset Text2 2027.02.01\n"
                   "click Command1\nanswer OK\nclick Command4\n");
    ExpectTexts(stored(), {{5, szla::LotCode, "EAR"}, {6, szla::LotCode, "VAK"}});
    EXPECT_EQ(Int(stored(), 2, szla::TotalsPointerColumn), 9);
    // A start after the end: an empty statement with zero totals.
    s.play(statement("2026.03.01", "2026.02.01") + "click Command4\n");
    const Sheet &none = stored();
    EXPECT_TRUE(Empty(none, 5, 6));
    EXPECT_EQ(none.value(7, szla::OrderCode).text(), "Összesen");
    ExpectIntegers(none, {{7, szla::Bought, 0}, {7, szla::Holding, 0},
                          {2, szla::TotalsPointerColumn, 7}});
    ExpectAmounts(none, {{7, szla::Result, "0"}});
    EXPECT_EQ(none.value(2, szla::Day).text(), "2026. 03. 01. -től      2026. 02. 01. -ig.");
    EXPECT_TRUE(Empty(none, 8, 20));

    // No data for a start after the last trade, nor for a product never traded: choosing
    // Alfa first and Beta then lets Alfa go unwritten.
    s.play(RegisterScript("Beta", "HU0000654321"));
    const std::string before = FileBytes(s.productFile());
    s.play(statement("2026.06.02", "2026.12.06"));
    EXPECT_EQ(s.shown().back(), kNoData);
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.productFile()), before);
    s.play(kMenu + "choose Combo1 Alfa\nchoose Combo1 Beta\n");
    EXPECT_EQ(s.window().control("Text1").text, "2026. 01. 01.");
    EXPECT_EQ(s.window().control("Text2").text, "2026. 12. 06.");
    const std::string beta = FileBytes(s.productFile("Beta"));
    s.play("click Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kNoData);
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.productFile()), before);
    EXPECT_EQ(FileBytes(s.productFile("Beta")), beta);

    // A row without its signed quantity carries the holding on.
    EditWorkbookFile(s.productFile(), [](Workbook &wb) {
        wb.sheet("Szla").setValue(7, szla::SignedQuantity, CellValue());
    });
    s.run(statement("2026.01.01", "2026.12.06") + "click Command4\n");
    ExpectIntegers(stored(), {{5, szla::Holding, 100}, {6, szla::Holding, 150},
                                {7, szla::Holding, 150}, {8, szla::Holding, 180},
                                {11, szla::Holding, 180}});
}

TEST(ProductStatement, TradesOfEarlierYearsProposeTheirDatesAndTheHostShowsEachStatementMaximised) {
    TradeSession s;
    s.play(Purchase({"2025.03.03", 10, "20", "1", 1, 1}));
    s.play(Sale({"2025.04.04", 5, "25", "1", 2, 2}));
    s.play(kMenu + "choose Combo1 Alfa\n");
    EXPECT_EQ(s.window().control("Text1").text, "2025. 03. 03.");
    EXPECT_EQ(s.window().control("Text2").text, "2025. 04. 04.");
    // The proposed dates build at once; Mégse instead writes nothing.
    const std::string before = FileBytes(s.productFile());
    s.play("click Command2\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.productFile()), before);
    // What the host shows while the continue notice holds this statement and then an account
    // statement: maximised or not, the visible sheets, the active one.
    std::vector<std::string> reports;
    s.dialogs().onMessage = [&](const MessageRequest &request) {
        if (request.title != "Tovább") return;
        const HostState &host = s.app().state().host().state();
        std::string shown = host.visible && host.windowState == HostWindowState::Maximized
                                ? "maximised:"
                                : "not maximised:";
        if (Workbook *wb = s.app().state().host().activeWorkbook()) {
            for (int i = 1; i <= wb->sheetCount(); ++i)
                if (wb->sheetAt(i).visible()) shown += " " + wb->sheetAt(i).name();
            shown += ", active " + wb->activeSheet().name();
        }
        reports.push_back(shown);
    };
    s.play(kMenu + "choose Combo1 Alfa\nclick Command1\nanswer OK\nclick Command4\n");
    auto wb = s.product();
    const Sheet &st = wb->sheet("Szla02");
    EXPECT_EQ(st.value(2, szla::Day).text(), "2025. 03. 03. -től      2025. 04. 04. -ig.");
    ExpectIntegers(st, {{9, szla::Holding, 5}});
    ExpectAmounts(st, {{9, szla::CostPerShare, "20,1"}});
    s.play("menu Befektetés/Befektetési számla/Számla kivonat\ntype Text1 2025.01.01\n"
           "type Text2 2025.12.31\nclick Command1\ninput 15\nanswer OK\nclick Command4\n");
    EXPECT_EQ(reports, (std::vector<std::string>{
                           "maximised: Szla Szla02, active Szla02",
                           "maximised: Befszla01 Befszla02, active Befszla02"}));
    // Back at the main window the host is no longer on screen.
    EXPECT_FALSE(s.app().state().host().state().visible);
}

TEST(ProductStatement, WithoutARegisteredProductTheProgramEnds) {
    InProcessSession s;
    s.run(kMenu + "answer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|Még nincs termék felvéve\r\naz adatbázisba. Kilépés.");
    EXPECT_TRUE(s.app().ended());
}

} // namespace
} // namespace vandorix::testing
