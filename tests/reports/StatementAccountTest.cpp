// The account statement window driven as a user drives it: cash movements and trades entered
// through their windows, the statement built, and "Befszla02" read back from the stored file.
#include "reports/StatementSheets.h"
#include "trading/TradeWindowSession.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vandorix::testing {
namespace {

using namespace ledger;

const std::string kStatementMenu = "menu Befektetés/Befektetési számla/Számla kivonat\n";
const std::string kNoData = "Felhívás|A kért dátum intervallumban\r\nnincs adat";

// A movement entered in the cash window of the account menu's `item`.
std::string cash(const std::string &item, const char *date, const char *amount, int code,
                 const std::string &answers = "") {
    return "menu Befektetés/Befektetési számla/" + item + "\ntype Text1 " + date +
           "\ntype Text2 " + amount + "\ntype Text3 " + std::to_string(code) + "\n" + answers +
           "click Command1\nclick Command3\n";
}

// A statement built and confirmed; `rateAnswer` answers the tax-rate box.
std::string statement(const std::string &from, const std::string &to,
                      const std::string &rateAnswer = "input 15\n") {
    return kStatementMenu + "type Text1 " + from + "\ntype Text2 " + to + "\nclick Command1\n" +
           rateAnswer + "answer OK\n";
}

auto Empty(const Sheet &s, int from, int to) { return RowsEmpty(s, from, to, kLastColumn); }

TEST(AccountStatement, WorkedPeriodDateChecksTaxRatesShorterStatementsAndLostLedgerRows) {
    // Deposits, fees of both kinds, a dividend, a withdrawal and a purchase with a partial sale,
    // one deposit before and one after the worked period 2026-01-01 to 2026-11-30.
    TradeSession s;
    s.play(cash("Befizetés", "2025.12.20", "500", 2) + cash("Befizetés", "2026.01.10", "10000", 1) +
           Purchase({"2026.02.01", 100, "50", "10", 100, 10}) +
           Sale({"2026.03.01", 40, "70", "5", 101, 11}) +
           cash("Számlavezetési kts", "2026.04.01", "100", 3, "answer Yes\n") +
           cash("Számlavezetési kts", "2026.04.02", "30", 4, "answer No\n") +
           "menu Befektetés/Befektetési számla/Osztalék bevétel\ntype Text1 2026.05.01\n"
           "type Text2 85\ntype Text3 Alfa\ntype Text4 5\nclick Command1\nclick Command3\n" +
           cash("Kivét", "2026.06.01", "200", 6) + cash("Befizetés", "2026.12.05", "50", 7));
    std::unique_ptr<Workbook> wb;
    auto stored = [&]() -> const Sheet & {
        wb = s.account();
        return wb->sheet("Befszla02");
    };
    s.play(kStatementMenu);
    Form &w = s.window();
    EXPECT_EQ(w.focus(), "Text1");
    EXPECT_EQ(w.control("Label1").caption, "Dátumtól");
    EXPECT_EQ(w.control("Label2").caption, "Dátumig");
    EXPECT_EQ(w.control("Text1").text, "2026. 01. 01.");
    EXPECT_EQ(w.control("Text2").text, "2026. 12. 06.");
    EXPECT_EQ(w.control("Command1").caption, "Indítás");
    EXPECT_FALSE(w.control("Label3").visible);
    s.play("type Text1 2026.01.01\ntype Text2 2026.11.30\nclick Command1\ninput 15\nanswer OK\n");
    for (const char *c : {"Command1", "Command2", "Command3", "Text1", "Text2"})
        EXPECT_FALSE(w.control(c).enabled) << c;
    EXPECT_TRUE(w.control("Command4").enabled);
    EXPECT_TRUE(w.control("Command5").enabled);
    EXPECT_EQ(w.focus(), "Command4");
    const InputRequest &rate = s.dialogs().inputs().back();
    EXPECT_EQ(rate.title, "Osztalék adók % bekérés.");
    EXPECT_EQ(rate.prompt, "Adja meg az osztalékot terhelő adók % -os értékét.");
    EXPECT_EQ(rate.defaultText, "15");
    EXPECT_EQ(s.shown().back(), "Tovább|Továbblépés");
    s.play("click Command4\n");

    const Sheet &st = stored();
    const Sheet &l = wb->sheet("Befszla01");
    // The period's rows are ledger rows 6 to 12, copied in order; the first keeps the ledger
    // balance after its movement, so every balance equals the ledger's.
    for (int r = 5; r <= 11; ++r)
        for (int c = 1; c <= kLastColumn; ++c)
            EXPECT_EQ(st.value(r, c), l.value(r + 1, c)) << r << "/" << c;
    EXPECT_TRUE(Empty(st, 12, 13));
    EXPECT_EQ(st.value(14, OrderCode).text(), "Összesen");
    ExpectAmounts(st, {{14, BuyValue, "5000"},      {14, BuyCommission, "10"},
                       {14, BuyCost, "5010"},       {14, SellValue, "2800"},
                       {14, SellCommission, "5"},   {14, NetProceeds, "2795"},
                       {14, RealisedResult, "791"}, {14, PaidIn, "10085"},
                       {14, PaidOut, "200"},        {14, Fee, "130"},
                       {14, Balance, "8040"}});
    EXPECT_EQ(st.value(2, RowType).integer(), 14);
    EXPECT_EQ(st.value(2, MovementDate).text(), "2026. 01. 10. -től      2026. 06. 01. -ig.");

    // Summary: closed result 791 − 100, fees 100 and 30, dividends 85 net and 85 / 0.85 gross,
    // the result before tax 100 + 691.
    EXPECT_TRUE(Empty(st, 15, 16));
    ExpectTexts(st, {{17, Description, "Lezárt eredmény"}, {17, PaidOut, "Elszámolt"},
                     {18, PaidOut, "Külön kts."}, {19, Description, "Osztalék"},
                     {19, SoldQuantity, "Nettó"}, {19, NetProceeds, "Bruttó"},
                     {21, Description, "Adózás előtti eredmény"}});
    ExpectAmounts(st, {{17, RealisedResult, "691"}, {17, Fee, "100"}, {18, Fee, "30"},
                       {19, SellPrice, "85"}, {21, RealisedResult, "791"}});
    EXPECT_EQ(st.value(19, RealisedResult).integer(), 100);
    EXPECT_TRUE(Empty(st, 20, 20));
    EXPECT_TRUE(Empty(st, 22, 40));

    // The date fields: checked on Enter and again at the start.
    const std::string before = FileBytes(s.accountFile());
    s.play(kStatementMenu + "type Text1 2026.13.01\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|Itt csak dátum lehet.");
    EXPECT_EQ(w.control("Text1").text, "");
    EXPECT_EQ(w.focus(), "Text1");
    // Changed after its Enter: the start refuses it, nothing is built.
    s.play("type Text1 2026.01.01\nset Text2 holnap\nclick Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|Itt csak dátum lehet.");
    EXPECT_EQ(w.control("Text2").text, "");
    EXPECT_EQ(w.focus(), "Text2");
    EXPECT_TRUE(w.control("Command1").enabled);
    s.play("click Command2\n");
    EXPECT_TRUE(s.atMainWindow());
    // No movement after the last one; neither the cancel nor this writes anything.
    s.play(kStatementMenu + "type Text1 2026.12.06\ntype Text2 2026.12.06\nclick Command1\n"
                            "answer OK\n");
    EXPECT_EQ(s.shown().back(), kNoData);
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.accountFile()), before);

    // An empty answer is rate 0: the gross dividends equal the net.
    s.play(statement("2026.05.01", "2026.05.01", "input\n") + "click Command4\n");
    EXPECT_EQ(stored().value(13, RealisedResult).integer(), 85);
    // Letters, 100 % and a negative rate are refused and asked again; 10 % gives 85 / 0.9 =
    // 94.4, so 94.
    const std::string refusal =
        "Felhívás|Az adók % -os értéke csak 0 és 100 közötti\r\nszámérték lehet (100-nál kisebb).";
    s.play(statement("2026.05.01", "2026.05.01",
                     "input tizenöt\nanswer OK\ninput 100\nanswer OK\ninput -5\nanswer OK\n"
                     "input 10\n") +
           "click Command4\n");
    auto shown = s.shown();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), refusal), 3);
    const Sheet &rated = stored();
    ExpectAmounts(rated, {{13, SellPrice, "85"}, {15, RealisedResult, "94"}});
    EXPECT_EQ(rated.value(13, RealisedResult).integer(), 94);
    // An end after today: every movement, the last one included.
    s.play(statement("2025.01.01", "2027.01.31") + "click Command4\n");
    const Sheet &whole = stored();
    EXPECT_EQ(whole.value(13, MovementDate).date(), Day(2026, 12, 5));
    ExpectAmounts(whole, {{13, Balance, "8090"}, {16, PaidIn, "10635"}});
    EXPECT_EQ(whole.value(2, RowType).integer(), 16);
    // Two fee rows: deductible 100 and separate 30, no realised result and no dividend; a
    // cancelled rate box is rate 0.
    s.play(statement("2026.04.01", "2026.04.02", "input-cancel\n") + "click Command4\n");
    const Sheet &fees = stored();
    ExpectTexts(fees, {{5, RowType, "HAR"}, {6, RowType, "TAR"},
                       {2, MovementDate, "2026. 04. 01. -től      2026. 04. 02. -ig."}});
    ExpectAmounts(fees, {{5, Balance, "8185"}, {9, Fee, "130"}, {12, RealisedResult, "-100"},
                         {14, SellPrice, "0"}, {16, RealisedResult, "-100"}});
    EXPECT_EQ(fees.value(14, RealisedResult).integer(), 0);
    EXPECT_TRUE(Empty(fees, 17, 60));
    // A start after the end: an empty statement with zero totals.
    s.play(statement("2026.06.01", "2026.05.01") + "click Command4\n");
    const Sheet &none = stored();
    EXPECT_TRUE(Empty(none, 5, 6));
    EXPECT_EQ(none.value(7, OrderCode).text(), "Összesen");
    for (int c : kSummedColumns) EXPECT_EQ(Cur(none, 7, c), Currency()) << c;
    EXPECT_EQ(none.value(2, RowType).integer(), 7);
    EXPECT_EQ(none.value(2, MovementDate).text(), "2026. 06. 01. -től      2026. 05. 01. -ig.");
    EXPECT_EQ(none.value(12, RealisedResult).integer(), 0);
    EXPECT_EQ(Cur(none, 14, RealisedResult), Currency());
    // Six movements go from the ledger (as the ledger-row deletion takes them) after a full
    // statement: the next one leaves nothing of the earlier one.
    s.play(statement("2025.01.01", "2026.12.06") + "click Command4\n");
    EditWorkbookFile(s.accountFile(), [](Workbook &wb) {
        for (int i = 0; i < 6; ++i) wb.sheet("Befszla01").deleteRow(6);
    });
    s.run(statement("2025.01.01", "2026.12.06") + "click Command4\n");
    const Sheet &shorter = stored();
    EXPECT_EQ(shorter.value(2, RowType).integer(), 10);
    EXPECT_EQ(shorter.value(7, RowType).text(), "BAR");
    ExpectAmounts(shorter, {{5, Balance, "500"}, {6, Balance, "300"}, {7, Balance, "350"}});
    EXPECT_EQ(shorter.value(17, Description).text(), "Adózás előtti eredmény");
    EXPECT_TRUE(Empty(shorter, 18, 80));
}

TEST(AccountStatement, GrossDividendsAreWholeAndHalvesGoUp) {
    struct Case {
        const char *net, *rate;
        long long gross;
    };
    for (Case c : {Case{"85", "15", 100}, Case{"85", "0", 85}, Case{"100", "50", 200},
                   Case{"1", "60", 3},    // 2.5 goes up
                   Case{"-1", "60", -2},  // -2.5 goes up as well
                   Case{"85,5", "0", 86}, // the net is made whole first
                   Case{"0", "15", 0}, Case{"1000000", "99,99", 10000000000LL}})
        EXPECT_EQ(GrossDividends(Amount(c.net), Amount(c.rate)), c.gross) << c.net << " " << c.rate;
}

} // namespace
} // namespace vandorix::testing
