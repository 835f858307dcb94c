#include "LedgerFixture.h"

#include "account/Ledger.h"
#include "app/AppState.h"
#include "store/HostError.h"
#include "book/Templates.h"
#include "support/LedgerInvariants.h"

#include <gtest/gtest.h>

#include <memory>

namespace vandorix {
namespace {

using namespace accounttest;
using testing::LedgerIsSound;
using testing::LedgerViolations;

TEST(RecalcAccountLedger, BalancesAndTotalsOfMixedMovementsMatchAHandComputation) {
    Ledger l;
    // deposit 10 000; purchase 20 × 312,25 + 15,1 commission; refund −2,5; sale 10 × 330 −
    // 9,9 commission with a result of 170,6; withdrawal 1 500; fee 4,0001; dividend 77,77.
    using namespace ledger;
    l.deposit(5, day(1, 5), 1, "10000");
    l.put(6, day(1, 6), 2, "VAK", BuyValue, "6245", "-6260,1");
    l.s.setValue(6, BuyCommission, cur("15,1"));
    l.s.setValue(6, BuyCost, cur("6260,1"));
    l.put(7, day(1, 6), 3, "BKR", PaidOut, "2,5", "-2,5");
    l.put(8, day(2, 1), 4, "EAR", SellValue, "3300", "3290,1");
    l.s.setValue(8, SellCommission, cur("9,9"));
    l.s.setValue(8, NetProceeds, cur("3290,1"));
    l.s.setValue(8, RealisedResult, cur("170,6"));
    l.put(9, day(2, 3), 5, "KAR", PaidOut, "1500", "-1500");
    l.put(10, day(2, 28), 6, "HAR", Fee, "4,0001", "-4,0001");
    l.put(11, day(3, 1), 7, "OAR", PaidIn, "77,77", "77,77");
    l.recalc();

    const char *balances[] = {"10000", "3739,9", "3737,4", "7027,5", "5527,5", "5523,4999",
                              "5601,2699"};
    for (int r = 5; r <= 11; ++r) EXPECT_EQ(l.at(r, Balance), cur(balances[r - 5])) << "row " << r;
    const std::pair<int, const char *> totals[] = {
        {BuyValue, "6245"},      {BuyCommission, "15,1"}, {BuyCost, "6260,1"},  {SellValue, "3300"},
        {SellCommission, "9,9"}, {NetProceeds, "3290,1"}, {RealisedResult, "170,6"},
        {PaidIn, "10077,77"},    {PaidOut, "1502,5"},     {Fee, "4,0001"},      {Balance, "5601,2699"}};
    for (auto [c, v] : totals) EXPECT_EQ(l.at(14, c), cur(v)) << c;
    EXPECT_EQ(l.s.value(kHeaderRow, 1).text(), "2026. 01. 05. -től      2026. 03. 01. -ig.");
    EXPECT_EQ(l.app.LedgerLastRow, 11);
    EXPECT_EQ(l.app.LedgerLastDate, day(3, 1));
    EXPECT_TRUE(LedgerIsSound(l.s));
}

TEST(RecalcAccountLedger, EmptyLedgerKeepsTheNewWorkbookStateAndEmptyAmountCellsAddNothing) {
    Ledger l;
    const std::unique_ptr<Workbook> fresh = makeAccountWorkbook();
    for (int run = 0; run < 3; ++run) {
        l.recalc();
        EXPECT_TRUE(l.app.LedgerEmpty);
        EXPECT_EQ(l.app.LedgerLastRow, 4);
        EXPECT_TRUE(LedgerIsSound(l.s)); // V2 = 7, zero totals in row 7
    }
    // Repeated runs change nothing: no row is removed, nothing moves.
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 22; ++c)
            EXPECT_EQ(l.s.value(r, c), fresh->sheet("Befszla01").value(r, c)) << r << "," << c;

    // Empty amount cells add nothing; text in an amount is a host error.
    l.deposit(5, day(6, 1), 1, "5");
    l.recalc();
    EXPECT_TRUE(LedgerIsSound(l.s)); // the empty amount columns sum to zero

    l.s.setValue(5, ledger::Movement, "sok");
    EXPECT_THROW(l.recalc(), HostError);
}

TEST(LedgerInvariants, NoticeGapsDisorderDuplicateCodesAndStaleBalances) {
    Ledger l;
    l.deposit(5, day(7, 2), 1, "10");
    l.deposit(6, day(7, 1), 1, "10");
    l.recalc();
    l.s.setValue(6, ledger::Balance, cur("999"));
    l.s.setValue(12, 1, day(7, 9));
    std::vector<std::string> v = LedgerViolations(l.s);
    auto mentions = [&](const std::string &part) {
        for (const std::string &line : v)
            if (line.find(part) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(mentions("dated before")) << ::testing::PrintToString(v);
    EXPECT_TRUE(mentions("twice"));
    EXPECT_TRUE(mentions("T6"));
    EXPECT_TRUE(mentions("below the first empty row"));
}

} // namespace
} // namespace vandorix
