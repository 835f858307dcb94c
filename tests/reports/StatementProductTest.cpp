// The product statement window driven as a user drives it: trades entered through the purchase
// and sale windows, the statement built, and "Szla02" read back from the stored product file.
#include "app/Application.h"
#include "support/ScriptedDialogsFake.h"
#include "support/SheetExpect.h"
#include "trading/TradeWindowSession.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

using testing::Day;
using testing::ExpectIntegers;
using testing::Purchase;
using testing::Sale;
using testing::TradeSession;

const std::string kMenu = "menu Befektetés/Információ/Termék szlámla kivonat\n";
const std::string kNoData = "Felhívás|A kért dátum intervallumban\r\nnincs adat";

std::string statement(const std::string &from, const std::string &to,
                      const std::string &product = "Alfa") {
    return kMenu + "choose Combo1 " + product + "\ntype Text1 " + from + "\ntype Text2 " + to +
           "\nclick Command1\nanswer OK\n";
}

Currency cur(const char *text) { return *Currency::parse(text); }
std::optional<Currency> amount(const Sheet &s, int r, int c) { return s.value(r, c).currency(); }
std::optional<long long> integer(const Sheet &s, int r, int c) { return s.value(r, c).integer(); }

// Three purchases and one FIFO sale of Alfa: "Szla" rows 5 (100 bought), 6 (50 bought),
// 7 (120 sold: the first lot and 20 of the second), 8 (30 bought).
struct ProductSession : TradeSession {
    ProductSession() {
        play(Purchase({"2026.01.05", 100, "10", "5", 1, 1}));
        play(Purchase({"2026.02.10", 50, "12", "6", 2, 2}));
        play(Sale({"2026.03.15", 120, "15", "9", 3, 3}));
        play(Purchase({"2026.06.01", 30, "11", "3", 4, 4}));
    }
};

// The average cost of what is held: 30 of the second lot (606 for 50) and the third lot (333
// for 30), 696.6 for 60 shares.
const Currency kHeldAverage = cur("11,61");

// Every cell of rows `from` to `to`, columns A to AI, is empty.
auto RowsEmpty(const Sheet &s, int from, int to) { return testing::RowsEmpty(s, from, to, 35); }

TEST(ProductStatement, PeriodRowsWithTheirRunningHoldingAndTotals) {
    ProductSession s;
    s.play(kMenu);
    Form &w = s.window();
    EXPECT_EQ(w.caption(), "Termékfájl számla kivonat");
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
    EXPECT_EQ(s.app().state().StatementFirstRow, 6);
    EXPECT_EQ(s.app().state().StatementLastRow, 7);
    s.play("click Command4\n");

    auto wb = s.product();
    const Sheet &trades = wb->sheet("Szla");
    const Sheet &st = wb->sheet("Szla02");
    for (const char *name : {"Szla", "Szla02", "Segéd01"})
        EXPECT_FALSE(wb->sheet(name).visible()) << name;
    for (const char *name : {"Alfa01", "Alfa02"}) EXPECT_TRUE(wb->sheet(name).visible()) << name;
    for (int i = 1; i <= wb->sheetCount(); ++i) EXPECT_TRUE(wb->sheetAt(i).isProtected());

    // Rows 6 and 7 of "Szla" copied, the sale with its two consumed lots.
    for (int c = 1; c <= 35; ++c) {
        if (c == szla::Holding) continue;
        EXPECT_EQ(st.value(5, c), trades.value(6, c)) << c;
        EXPECT_EQ(st.value(6, c), trades.value(7, c)) << c;
    }
    EXPECT_EQ(testing::Pairs(st, 6), (testing::PairList{{100, 1}, {20, 2}}));
    ExpectIntegers(st, {{5, szla::Holding, 150}, {6, szla::Holding, 30}});
    EXPECT_TRUE(RowsEmpty(st, 7, 8));
    EXPECT_TRUE(RowsEmpty(st, 10, 25));
    EXPECT_EQ(st.value(9, szla::OrderCode).text(), "Összesen");
    ExpectIntegers(st, {{9, szla::Bought, 50}, {9, szla::Sold, 120}, {9, szla::OpenQuantity, 30},
                        {9, szla::Holding, 30}, {2, szla::TotalsPointerColumn, 9}});
    const std::pair<int, const char *> sums[] = {
        {szla::BuyValue, "600"},   {szla::BuyCommission, "6"},  {szla::BuyCost, "606"},
        {szla::SaleValue, "1800"}, {szla::SaleCommission, "9"}, {szla::NetProceeds, "1791"},
        {szla::Result, "543,6"}}; // 1791 − (1005 + 20 × 12,12)
    for (auto [c, v] : sums) EXPECT_EQ(amount(st, 9, c), cur(v)) << c;
    EXPECT_EQ(amount(st, 9, szla::CostPerShare), kHeldAverage);
    EXPECT_EQ(st.value(2, szla::Day).text(), "2026. 02. 10. -től      2026. 03. 15. -ig.");
}

TEST(ProductStatement, RangesAroundTheTradesAShorterStatementAfterALongerOneAndAnEndPastToday) {
    ProductSession s;
    // From before the first trade to today: every row, from row 5.
    s.play(statement("2025.06.01", "2026.12.06") + "click Command4\n");
    {
        auto wb = s.product();
        const Sheet &st = wb->sheet("Szla02");
        EXPECT_EQ(st.value(5, szla::Day).date(), Day(2026, 1, 5));
        EXPECT_EQ(st.value(8, szla::Day).date(), Day(2026, 6, 1));
        const long long holdings[] = {100, 150, 30, 60};
        for (int i = 0; i < 4; ++i) EXPECT_EQ(integer(st, 5 + i, szla::Holding), holdings[i]);
        ExpectIntegers(st, {{11, szla::Bought, 180}, {11, szla::Holding, 60},
                            {11, szla::OpenQuantity, 60}, {2, szla::TotalsPointerColumn, 11}});
    }
    // The first day is the last trade's day: only that day's row, and nothing of the longer
    // statement stays below it.
    s.play(statement("2026.06.01", "2026.12.06") + "click Command4\n");
    {
        auto wb = s.product();
        const Sheet &st = wb->sheet("Szla02");
        EXPECT_EQ(st.value(5, szla::Day).date(), Day(2026, 6, 1));
        ExpectIntegers(st, {{5, szla::Holding, 60}, {8, szla::Bought, 30}, {2, szla::TotalsPointerColumn, 8}});
        EXPECT_EQ(amount(st, 8, szla::BuyCost), cur("333"));
        EXPECT_EQ(st.value(2, szla::Day).text(), "2026. 06. 01. -től      2026. 06. 01. -ig.");
        EXPECT_TRUE(RowsEmpty(st, 6, 7));
        EXPECT_TRUE(RowsEmpty(st, 9, 30));
    }
    // The end is checked against today only on Enter; set without it, it still bounds the rows.
    s.play(kMenu + "choose Combo1 Alfa\ntype Text1 2026.03.15\nset Text2 2027.02.01\n"
                   "click Command1\nanswer OK\nclick Command4\n");
    {
        auto wb = s.product();
        const Sheet &st = wb->sheet("Szla02");
        testing::ExpectTexts(st, {{5, szla::LotCode, "EAR"}, {6, szla::LotCode, "VAK"}});
        EXPECT_EQ(integer(st, 2, szla::TotalsPointerColumn), 9);
    }
    s.play(statement("2026.03.01", "2026.02.01") + "click Command4\n");
    auto wb = s.product();
    const Sheet &st = wb->sheet("Szla02");
    EXPECT_TRUE(RowsEmpty(st, 5, 6));
    EXPECT_EQ(st.value(7, szla::OrderCode).text(), "Összesen");
    ExpectIntegers(st, {{7, szla::Bought, 0}, {7, szla::Holding, 0}, {2, szla::TotalsPointerColumn, 7}});
    EXPECT_EQ(amount(st, 7, szla::Result), Currency());
    EXPECT_EQ(st.value(2, szla::Day).text(), "2026. 03. 01. -től      2026. 02. 01. -ig.");
    EXPECT_TRUE(RowsEmpty(st, 8, 20));
}

TEST(ProductStatement, ARowWithoutSignedQuantityCarriesTheHoldingOn) {
    ProductSession s;
    testing::EditWorkbookFile(s.productFile(), [](Workbook &wb) {
        wb.sheet("Szla").setValue(7, 17, CellValue());
    });
    s.run(statement("2026.01.01", "2026.12.06") + "click Command4\n");
    auto wb = s.product();
    const Sheet &st = wb->sheet("Szla02");
    const long long holdings[] = {100, 150, 150, 180};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(integer(st, 5 + i, szla::Holding), holdings[i]) << i;
    EXPECT_EQ(integer(st, 11, szla::Holding), 180);
}

TEST(ProductStatement, NoDataForAStartAfterTheLastTradeOrAProductNeverTraded) {
    ProductSession s;
    s.play(testing::RegisterScript("Beta", "HU0000654321"));
    const std::string before = testing::FileBytes(s.productFile());
    s.play(statement("2026.06.02", "2026.12.06"));
    EXPECT_EQ(s.shown().back(), kNoData);
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(testing::FileBytes(s.productFile()), before);

    // Choosing Alfa first and Beta then lets Alfa go unwritten; Beta has no trade.
    s.play(kMenu + "choose Combo1 Alfa\nchoose Combo1 Beta\n");
    EXPECT_EQ(s.window().control("Text1").text, "2026. 01. 01.");
    EXPECT_EQ(s.window().control("Text2").text, "2026. 12. 06.");
    const std::string beta = testing::FileBytes(s.productFile("Beta"));
    s.play("click Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), kNoData);
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(testing::FileBytes(s.productFile()), before);
    EXPECT_EQ(testing::FileBytes(s.productFile("Beta")), beta);
}

TEST(ProductStatement, TradesOfEarlierYearsProposeTheirOwnDates) {
    TradeSession s;
    s.play(Purchase({"2025.03.03", 10, "20", "1", 1, 1}));
    s.play(Sale({"2025.04.04", 5, "25", "1", 2, 2}));
    s.play(kMenu + "choose Combo1 Alfa\n");
    EXPECT_EQ(s.window().control("Text1").text, "2025. 03. 03.");
    EXPECT_EQ(s.window().control("Text2").text, "2025. 04. 04.");
    // The proposed dates build at once; Mégse instead writes nothing.
    const std::string before = testing::FileBytes(s.productFile());
    s.play("click Command2\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(testing::FileBytes(s.productFile()), before);
    s.play(kMenu + "choose Combo1 Alfa\nclick Command1\nanswer OK\nclick Command4\n");
    auto wb = s.product();
    EXPECT_EQ(wb->sheet("Szla02").value(2, 1).text(), "2025. 03. 03. -től      2025. 04. 04. -ig.");
    EXPECT_EQ(integer(wb->sheet("Szla02"), 9, 18), 5);
    EXPECT_EQ(amount(wb->sheet("Szla02"), 9, 8), cur("20,1"));
}

TEST(ProductStatement, WithoutARegisteredProductTheProgramEnds) {
    testing::InProcessSession s;
    s.run(kMenu + "answer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|Még nincs termék felvéve\r\naz adatbázisba. Kilépés.");
    EXPECT_TRUE(s.app().ended());
}

// What the host shows while the continue notice holds a report.
struct Shown {
    bool maximised = false;
    std::vector<std::string> visibleSheets;
    std::string activeSheet;
};

TEST(ProductStatement, TheHostShowsEachStatementMaximisedWhileTheNoticeHoldsIt) {
    TradeSession s;
    s.play(Purchase({"2026.12.01", 10, "5", "0", 1, 1}));
    std::vector<Shown> reports;
    s.dialogs().onMessage = [&](const MessageRequest &request) {
        if (request.title != "Tovább") return;
        Shown shown;
        const HostState &host = s.app().state().host().state();
        shown.maximised = host.visible && host.windowState == HostWindowState::Maximized;
        if (Workbook *wb = s.app().state().host().activeWorkbook()) {
            for (int i = 1; i <= wb->sheetCount(); ++i)
                if (wb->sheetAt(i).visible()) shown.visibleSheets.push_back(wb->sheetAt(i).name());
            shown.activeSheet = wb->activeSheet().name();
        }
        reports.push_back(shown);
    };
    s.play(kMenu + "choose Combo1 Alfa\nclick Command1\nanswer OK\nclick Command4\n"
                   "menu Befektetés/Befektetési számla/Számla kivonat\nclick Command1\ninput 15\n"
                   "answer OK\nclick Command4\n");

    ASSERT_EQ(reports.size(), 2u);
    EXPECT_TRUE(reports[0].maximised);
    EXPECT_EQ(reports[0].visibleSheets, (std::vector<std::string>{"Szla", "Szla02"}));
    EXPECT_EQ(reports[0].activeSheet, "Szla02");
    EXPECT_TRUE(reports[1].maximised);
    EXPECT_EQ(reports[1].visibleSheets, (std::vector<std::string>{"Befszla01", "Befszla02"}));
    EXPECT_EQ(reports[1].activeSheet, "Befszla02");
    // Back at the main window the host is no longer on screen.
    EXPECT_FALSE(s.app().state().host().state().visible);
}

} // namespace
} // namespace vandorix
