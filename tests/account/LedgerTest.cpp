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

TEST(RecalcAccountLedger, SingleRowLedgerPutsTotalsInRowEight) {
    Ledger l;
    l.deposit(5, day(3, 2), 11, "1000");
    l.recalc();
    EXPECT_EQ(l.at(5, 20), cur("1000"));
    EXPECT_EQ(l.s.value(2, 22).integer(), 8);
    EXPECT_EQ(l.s.value(8, 2).text(), "Összesen");
    EXPECT_EQ(l.at(8, 16), cur("1000"));
    EXPECT_EQ(l.at(8, 20), cur("1000"));
    EXPECT_EQ(l.s.value(2, 1).text(), "2026. 03. 02. -től      2026. 03. 02. -ig.");
    // The template's totals of the empty ledger in row 7 are gone.
    EXPECT_TRUE(l.s.value(7, 2).isBlank());
    EXPECT_FALSE(l.app.LedgerEmpty);
    EXPECT_EQ(l.app.LedgerLastRow, 5);
    EXPECT_EQ(l.app.LedgerLastDate, day(3, 2));
    EXPECT_TRUE(LedgerIsSound(l.s));
}

TEST(RecalcAccountLedger, BalancesAndTotalsOfMixedMovementsMatchAHandComputation) {
    Ledger l;
    // deposit 10 000; purchase 20 × 312,25 + 15,1 commission; refund −2,5; sale 10 × 330 −
    // 9,9 commission with a result of 170,6; withdrawal 1 500; fee 4,0001; dividend 77,77.
    l.deposit(5, day(1, 5), 1, "10000");
    l.put(6, day(1, 6), 2, "VAK", 5, "6245", "-6260,1");
    l.s.setValue(6, 6, cur("15,1"));
    l.s.setValue(6, 7, cur("6260,1"));
    l.put(7, day(1, 6), 3, "BKR", 17, "2,5", "-2,5");
    l.put(8, day(2, 1), 4, "EAR", 12, "3300", "3290,1");
    l.s.setValue(8, 13, cur("9,9"));
    l.s.setValue(8, 14, cur("3290,1"));
    l.s.setValue(8, 15, cur("170,6"));
    l.put(9, day(2, 3), 5, "KAR", 17, "1500", "-1500");
    l.put(10, day(2, 28), 6, "HAR", 18, "4,0001", "-4,0001");
    l.put(11, day(3, 1), 7, "OAR", 16, "77,77", "77,77");
    l.recalc();

    const char *balances[] = {"10000", "3739,9", "3737,4", "7027,5", "5527,5", "5523,4999",
                              "5601,2699"};
    for (int r = 5; r <= 11; ++r) EXPECT_EQ(l.at(r, 20), cur(balances[r - 5])) << "row " << r;
    EXPECT_EQ(l.s.value(2, 22).integer(), 14);
    EXPECT_EQ(l.at(14, 5), cur("6245"));
    EXPECT_EQ(l.at(14, 6), cur("15,1"));
    EXPECT_EQ(l.at(14, 7), cur("6260,1"));
    EXPECT_EQ(l.at(14, 12), cur("3300"));
    EXPECT_EQ(l.at(14, 13), cur("9,9"));
    EXPECT_EQ(l.at(14, 14), cur("3290,1"));
    EXPECT_EQ(l.at(14, 15), cur("170,6"));
    EXPECT_EQ(l.at(14, 16), cur("10077,77"));
    EXPECT_EQ(l.at(14, 17), cur("1502,5"));
    EXPECT_EQ(l.at(14, 18), cur("4,0001"));
    EXPECT_EQ(l.at(14, 20), cur("5601,2699"));
    EXPECT_EQ(l.s.value(2, 1).text(), "2026. 01. 05. -től      2026. 03. 01. -ig.");
    EXPECT_EQ(l.app.LedgerLastRow, 11);
    EXPECT_EQ(l.app.LedgerLastDate, day(3, 1));
    EXPECT_TRUE(LedgerIsSound(l.s));
}

TEST(RecalcAccountLedger, AChangeInTheMiddleMovesEveryBalanceBelowIt) {
    Ledger l;
    for (int i = 0; i < 6; ++i) l.deposit(5 + i, day(4, 1 + i), 100 + i, "100");
    l.recalc();
    l.s.setValue(7, 19, cur("40"));
    l.s.setValue(7, 16, cur("40"));
    l.recalc();
    const char *expected[] = {"100", "200", "240", "340", "440", "540"};
    for (int r = 5; r <= 10; ++r) EXPECT_EQ(l.at(r, 20), cur(expected[r - 5]));
    EXPECT_EQ(l.at(13, 20), cur("540"));
    EXPECT_EQ(l.at(13, 16), cur("540"));
    EXPECT_TRUE(LedgerIsSound(l.s));
}

TEST(RecalcAccountLedger, EmptyLedgerSetsTheFlagAndKeepsTheNewWorkbookState) {
    Ledger l;
    const std::unique_ptr<Workbook> fresh = makeAccountWorkbook();
    for (int run = 0; run < 3; ++run) {
        l.recalc();
        EXPECT_TRUE(l.app.LedgerEmpty);
        EXPECT_EQ(l.app.LedgerLastRow, 4);
        EXPECT_EQ(l.s.value(2, 22).integer(), 7);
        EXPECT_EQ(l.s.value(7, 2).text(), "Összesen");
        EXPECT_TRUE(LedgerIsSound(l.s));
    }
    // Repeated runs change nothing: no row is removed, nothing moves.
    for (int r = 1; r <= 9; ++r)
        for (int c = 1; c <= 22; ++c)
            EXPECT_EQ(l.s.value(r, c), fresh->sheet("Befszla01").value(r, c)) << r << "," << c;
}

TEST(RecalcAccountLedger, DeletingTheLastRowLeavesNoTotalsOfTheDeletedMovement) {
    Ledger l;
    l.deposit(5, day(5, 5), 9, "750");
    l.recalc();
    l.s.deleteRow(5);
    l.recalc();
    EXPECT_TRUE(l.app.LedgerEmpty);
    EXPECT_EQ(l.s.value(2, 22).integer(), 7);
    EXPECT_EQ(l.at(7, 16), Currency());
    EXPECT_EQ(l.at(7, 20), Currency());
    EXPECT_TRUE(l.s.value(2, 1).isBlank());
    EXPECT_TRUE(LedgerIsSound(l.s));

    // Deleting one of several rows leaves one totals row, three below the new last row.
    Ledger m;
    for (int i = 0; i < 3; ++i) m.deposit(5 + i, day(5, 1 + i), 20 + i, "10");
    m.recalc();
    m.s.deleteRow(6);
    m.recalc();
    EXPECT_EQ(m.at(9, 20), cur("20"));
    EXPECT_TRUE(LedgerIsSound(m.s));
}

TEST(RecalcAccountLedger, EmptyAmountCellsAddNothingAndTextInAnAmountIsAHostError) {
    Ledger l;
    l.deposit(5, day(6, 1), 1, "5");
    l.recalc();
    for (int c : {5, 6, 7, 12, 13, 14, 15, 17, 18}) EXPECT_EQ(l.at(8, c), Currency()) << c;

    l.s.setValue(5, 19, "sok");
    EXPECT_THROW(l.recalc(), HostError);
}

TEST(LedgerInvariants, NoticeGapsDisorderDuplicateCodesAndStaleBalances) {
    Ledger l;
    l.deposit(5, day(7, 2), 1, "10");
    l.deposit(6, day(7, 1), 1, "10");
    l.recalc();
    l.s.setValue(6, 20, cur("999"));
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
