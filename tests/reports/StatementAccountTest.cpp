// The account statement window driven as a user drives it: cash movements and trades entered
// through their windows, the statement built, and "Befszla02" read back from the stored file.
#include "reports/StatementSheets.h"
#include "support/SheetExpect.h"
#include "trading/TradeWindowSession.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace vandorix {
namespace {

using testing::Purchase;
using testing::Sale;
using testing::TradeEntry;
using testing::TradeSession;

const std::string kDeposit = "menu Befektetés/Befektetési számla/Befizetés\n";
const std::string kWithdrawal = "menu Befektetés/Befektetési számla/Kivét\n";
const std::string kFee = "menu Befektetés/Befektetési számla/Számlavezetési kts\n";
const std::string kDividend = "menu Befektetés/Befektetési számla/Osztalék bevétel\n";
const std::string kStatementMenu = "menu Befektetés/Befektetési számla/Számla kivonat\n";
const std::string kNoData = "Felhívás|A kért dátum intervallumban\r\nnincs adat";

std::string cash(const std::string &menu, const char *date, const char *amount, int code,
                 const std::string &answers = "") {
    return menu + "type Text1 " + date + "\ntype Text2 " + amount + "\ntype Text3 " +
           std::to_string(code) + "\n" + answers + "click Command1\nclick Command3\n";
}

std::string dividend(const char *date, const char *amount, int code) {
    return kDividend + "type Text1 " + date + "\ntype Text2 " + amount + "\ntype Text3 Alfa\n" +
           "type Text4 " + std::to_string(code) + "\nclick Command1\nclick Command3\n";
}

// A statement built and confirmed; `rateAnswer` answers the tax-rate box.
std::string statement(const std::string &from, const std::string &to,
                      const std::string &rateAnswer = "input 15\n") {
    return kStatementMenu + "type Text1 " + from + "\ntype Text2 " + to + "\nclick Command1\n" +
           rateAnswer + "answer OK\n";
}

Currency cur(const char *text) { return *Currency::parse(text); }
std::optional<Currency> amount(const Sheet &s, int r, int c) { return s.value(r, c).currency(); }

// Deposits, fees of both kinds, a dividend, a withdrawal and a purchase with a partial sale,
// one deposit before and one after the worked period 2026-01-01 to 2026-11-30.
struct StatementSession : TradeSession {
    StatementSession() {
        play(cash(kDeposit, "2025.12.20", "500", 2));
        play(cash(kDeposit, "2026.01.10", "10000", 1));
        play(Purchase({"2026.02.01", 100, "50", "10", 100, 10}));
        play(Sale({"2026.03.01", 40, "70", "5", 101, 11}));
        play(cash(kFee, "2026.04.01", "100", 3, "answer Yes\n"));
        play(cash(kFee, "2026.04.02", "30", 4, "answer No\n"));
        play(dividend("2026.05.01", "85", 5));
        play(cash(kWithdrawal, "2026.06.01", "200", 6));
        play(cash(kDeposit, "2026.12.05", "50", 7));
    }
};

// Every cell of rows `from` to `to`, columns A to V, is empty.
auto RowsEmpty(const Sheet &s, int from, int to) { return testing::RowsEmpty(s, from, to, 22); }

TEST(AccountStatement, WorkedPeriodWithBalancesTotalsAndTheTaxSummary) {
    StatementSession s;
    s.play(kStatementMenu);
    Form &w = s.window();
    EXPECT_EQ(w.caption(), "Befektetési számla kivonat");
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

    auto wb = s.account();
    const Sheet &l = wb->sheet("Befszla01");
    const Sheet &st = wb->sheet("Befszla02");
    for (const char *name : {"Befszla01", "Befszla02", "Ertek01", "Eredmeny01", "ARHIV01"})
        EXPECT_TRUE(wb->sheet(name).visible() && wb->sheet(name).isProtected()) << name;

    // The period's rows are ledger rows 6 to 12, copied in order; the first keeps the ledger
    // balance after its movement, so every balance equals the ledger's.
    const char *balances[] = {"10500", "5490", "8285", "8185", "8155", "8240", "8040"};
    const char *types[] = {"BAR", "VAK", "EAR", "HAR", "TAR", "OAR", "KAR"};
    for (int i = 0; i < 7; ++i) {
        const int r = 5 + i;
        EXPECT_EQ(st.value(r, ledger::RowType).text(), types[i]) << r;
        EXPECT_EQ(amount(st, r, ledger::Balance), cur(balances[i])) << r;
        for (int c = 1; c <= 22; ++c) EXPECT_EQ(st.value(r, c), l.value(r + 1, c)) << r << "/" << c;
    }
    EXPECT_TRUE(RowsEmpty(st, 12, 13));
    EXPECT_EQ(st.value(14, ledger::OrderCode).text(), "Összesen");
    using namespace ledger;
    const std::pair<int, const char *> totals[] = {
        {BuyValue, "5000"},      {BuyCommission, "10"},   {BuyCost, "5010"},   {SellValue, "2800"},
        {SellCommission, "5"},   {NetProceeds, "2795"},   {RealisedResult, "791"},
        {PaidIn, "10085"},       {PaidOut, "200"},        {Fee, "130"},        {Balance, "8040"}};
    for (auto [c, v] : totals) EXPECT_EQ(amount(st, 14, c), cur(v)) << c;
    EXPECT_EQ(st.value(2, ledger::RowType).integer(), 14);
    EXPECT_EQ(st.value(2, ledger::MovementDate).text(), "2026. 01. 10. -től      2026. 06. 01. -ig.");

    // Summary: closed result 791 − 100, fees 100 and 30, dividends 85 net and 85 / 0.85 gross,
    // the result before tax 100 + 691.
    EXPECT_TRUE(RowsEmpty(st, 15, 16));
    testing::ExpectTexts(st, {{17, Description, "Lezárt eredmény"}, {17, PaidOut, "Elszámolt"},
                              {18, PaidOut, "Külön kts."}, {19, Description, "Osztalék"},
                              {19, SoldQuantity, "Nettó"}, {19, NetProceeds, "Bruttó"},
                              {21, Description, "Adózás előtti eredmény"}});
    testing::ExpectAmounts(st, {{17, RealisedResult, "691"}, {17, Fee, "100"}, {18, Fee, "30"},
                                {19, SellPrice, "85"}, {21, RealisedResult, "791"}});
    EXPECT_EQ(st.value(19, ledger::RealisedResult).integer(), 100);
    EXPECT_TRUE(RowsEmpty(st, 20, 20));
    EXPECT_TRUE(RowsEmpty(st, 22, 40));
}

TEST(AccountStatement, AnEndAfterTodayAShorterStatementAndAStartAfterTheEnd) {
    StatementSession s;
    s.play(statement("2025.01.01", "2027.01.31") + "click Command4\n");
    {
        auto wb = s.account();
        const Sheet &st = wb->sheet("Befszla02");
        EXPECT_EQ(st.value(13, ledger::MovementDate).date(), testing::Day(2026, 12, 5));
        testing::ExpectAmounts(st, {{13, ledger::Balance, "8090"}, {16, ledger::PaidIn, "10635"}});
        EXPECT_EQ(st.value(2, ledger::RowType).integer(), 16);
    }
    // Two fee rows: deductible 100 and separate 30, no realised result and no dividend.
    s.play(statement("2026.04.01", "2026.04.02", "input-cancel\n") + "click Command4\n");
    {
        auto wb = s.account();
        const Sheet &st = wb->sheet("Befszla02");
        testing::ExpectTexts(st, {{5, ledger::RowType, "HAR"}, {6, ledger::RowType, "TAR"},
                                  {2, ledger::MovementDate, "2026. 04. 01. -től      2026. 04. 02. -ig."}});
        testing::ExpectAmounts(st, {{5, ledger::Balance, "8185"}, {9, ledger::Fee, "130"},
                                    {12, ledger::RealisedResult, "-100"}, {14, ledger::SellPrice, "0"},
                                    {16, ledger::RealisedResult, "-100"}});
        EXPECT_EQ(st.value(14, ledger::RealisedResult).integer(), 0);
        EXPECT_TRUE(RowsEmpty(st, 17, 60));
    }
    s.play(statement("2026.06.01", "2026.05.01") + "click Command4\n");
    auto wb = s.account();
    const Sheet &st = wb->sheet("Befszla02");
    EXPECT_TRUE(RowsEmpty(st, 5, 6));
    EXPECT_EQ(st.value(7, ledger::OrderCode).text(), "Összesen");
    for (int c : ledger::kSummedColumns) EXPECT_EQ(amount(st, 7, c), Currency()) << c;
    EXPECT_EQ(st.value(2, ledger::RowType).integer(), 7);
    EXPECT_EQ(st.value(2, ledger::MovementDate).text(), "2026. 06. 01. -től      2026. 05. 01. -ig.");
    EXPECT_EQ(st.value(12, ledger::RealisedResult).integer(), 0);
    EXPECT_EQ(amount(st, 14, ledger::RealisedResult), Currency());
}

TEST(AccountStatement, AStatementAfterTheLedgerLostRowsLeavesNoneOfTheEarlierOne) {
    StatementSession s;
    s.play(statement("2025.01.01", "2026.12.06") + "click Command4\n");
    // Six movements go from the ledger (as the ledger-row deletion would take them).
    testing::EditWorkbookFile(s.accountFile(), [](Workbook &wb) {
        Sheet &l = wb.sheet("Befszla01");
        for (int i = 0; i < 6; ++i) l.deleteRow(6);
    });
    s.run(statement("2025.01.01", "2026.12.06") + "click Command4\n");
    auto wb = s.account();
    const Sheet &st = wb->sheet("Befszla02");
    EXPECT_EQ(st.value(2, ledger::RowType).integer(), 10);
    EXPECT_EQ(st.value(7, ledger::RowType).text(), "BAR");
    testing::ExpectAmounts(
        st, {{5, ledger::Balance, "500"}, {6, ledger::Balance, "300"}, {7, ledger::Balance, "350"}});
    EXPECT_EQ(st.value(17, ledger::Description).text(), "Adózás előtti eredmény");
    EXPECT_TRUE(RowsEmpty(st, 18, 80));
}

TEST(AccountStatement, GrossDividendsAreWholeAndHalvesGoUp) {
    struct Case {
        const char *net, *rate;
        long long gross;
    };
    for (Case c : {Case{"85", "15", 100}, Case{"85", "0", 85}, Case{"100", "50", 200},
                   Case{"1", "60", 3},      // 2.5 goes up
                   Case{"-1", "60", -2},    // -2.5 goes up as well
                   Case{"85,5", "0", 86},   // the net is made whole first
                   Case{"0", "15", 0}, Case{"1000000", "99,99", 10000000000LL}})
        EXPECT_EQ(GrossDividends(cur(c.net), cur(c.rate)), c.gross) << c.net << " " << c.rate;
}

TEST(AccountStatement, NoDataAfterTheLastMovementOrInAnEmptyLedgerWritesNothing) {
    {
        StatementSession s;
        const std::string before = testing::FileBytes(s.accountFile());
        s.play(kStatementMenu + "type Text1 2026.12.06\ntype Text2 2026.12.06\nclick Command1\n"
                                "answer OK\n");
        EXPECT_EQ(s.shown().back(), kNoData);
        EXPECT_TRUE(s.atMainWindow());
        EXPECT_EQ(testing::FileBytes(s.accountFile()), before);
    }
    {
        TradeSession s;
        const std::string before = testing::FileBytes(s.accountFile());
        s.play(kStatementMenu + "click Command1\nanswer OK\n");
        EXPECT_EQ(s.shown().back(), kNoData);
        EXPECT_TRUE(s.atMainWindow());
        EXPECT_EQ(testing::FileBytes(s.accountFile()), before);
    }
}

TEST(AccountStatement, DatesAreCheckedOnEnterAndAtTheStartAndTheTaxRateIsAskedAgainWhenRefused) {
    StatementSession s;
    const std::string before = testing::FileBytes(s.accountFile());
    s.play(kStatementMenu + "type Text1 2026.13.01\nanswer OK\n");
    Form &w = s.window();
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
    EXPECT_EQ(testing::FileBytes(s.accountFile()), before);

    // An empty answer is rate 0: the gross dividends equal the net.
    s.play(statement("2026.05.01", "2026.05.01", "input\n") + "click Command4\n");
    EXPECT_EQ(s.account()->sheet("Befszla02").value(13, 15).integer(), 85);
    // Letters and 100 % are refused and asked again; 10 % gives 85 / 0.9 = 94.4, so 94.
    const std::string refusal =
        "Felhívás|Az adók % -os értéke csak 0 és 100 közötti\r\nszámérték lehet (100-nál kisebb).";
    s.play(statement("2026.05.01", "2026.05.01",
                     "input tizenöt\nanswer OK\ninput 100\nanswer OK\ninput -5\nanswer OK\n"
                     "input 10\n") +
           "click Command4\n");
    auto shown = s.shown();
    EXPECT_EQ(std::count(shown.begin(), shown.end(), refusal), 3);
    auto wb = s.account();
    const Sheet &st = wb->sheet("Befszla02");
    testing::ExpectAmounts(st, {{13, ledger::SellPrice, "85"}, {15, ledger::RealisedResult, "94"}});
    EXPECT_EQ(st.value(13, ledger::RealisedResult).integer(), 94);
}

} // namespace
} // namespace vandorix
