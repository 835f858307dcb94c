#include "account/DeletionLogs.h"
#include "account/Ledger.h"
#include "app/AppState.h"
#include "book/Templates.h"
#include "store/HostError.h"
#include "support/InProcessScript.h"
#include "support/LedgerInvariants.h"
#include "support/ProductFiles.h"

#include <gtest/gtest.h>

#include <memory>

namespace vandorix::testing {
namespace {

using namespace ledger;

Date day(int m, int d) { return *Date::fromYmd(2026, m, d); }

// The account workbook of a new installation, writable, in an AppState of its own.
struct Ledger {
    std::unique_ptr<Workbook> wb = makeAccountWorkbook();
    AppState app;
    Sheet &s = wb->sheet("Befszla01");
    Ledger() {
        wb->unprotect(install::kWorkbookPassword);
        s.unprotect(install::kSheetPassword);
        app.AccountWorkbook = OpenBook(*wb);
    }
    // A data row as the windows write it: date, code, type, the signed movement and the amount
    // column the type fills.
    void put(int row, Date d, int code, const char *type, int amountColumn, const char *amount,
             const char *movement) {
        s.clearRange(row, 1, row, kLastColumn); // rows 5 to 9 hold the new workbook's zero totals
        s.setValue(row, MovementDate, d);
        s.setValue(row, amountColumn, Amount(amount));
        s.setValue(row, Movement, Amount(movement));
        s.setValue(row, SettlementCode, code);
        s.setValue(row, RowType, type);
    }
    void deposit(int row, Date d, int code, const char *amount) {
        put(row, d, code, "BAR", PaidIn, amount, amount);
    }
    Currency at(int row, int column) const { return s.value(row, column).currency().value(); }
    void recalc() { RecalcAccountLedger(app); }
};

TEST(RecalcAccountLedger, EmptyLedgerKeepsItsStateAndMixedMovementsMatchAHandComputation) {
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
        for (int c = 1; c <= kLastColumn; ++c)
            EXPECT_EQ(l.s.value(r, c), fresh->sheet("Befszla01").value(r, c)) << r << "," << c;

    l.deposit(5, day(6, 1), 1, "5");
    l.recalc();
    EXPECT_TRUE(LedgerIsSound(l.s)); // the empty amount columns sum to zero

    // deposit 10 000; purchase 20 × 312,25 + 15,1 commission; refund −2,5; sale 10 × 330 −
    // 9,9 commission with a result of 170,6; withdrawal 1 500; fee 4,0001; dividend 77,77.
    l.deposit(5, day(1, 5), 1, "10000");
    l.put(6, day(1, 6), 2, "VAK", BuyValue, "6245", "-6260,1");
    l.s.setValue(6, BuyCommission, Amount("15,1"));
    l.s.setValue(6, BuyCost, Amount("6260,1"));
    l.put(7, day(1, 6), 3, "BKR", PaidOut, "2,5", "-2,5");
    l.put(8, day(2, 1), 4, "EAR", SellValue, "3300", "3290,1");
    l.s.setValue(8, SellCommission, Amount("9,9"));
    l.s.setValue(8, NetProceeds, Amount("3290,1"));
    l.s.setValue(8, RealisedResult, Amount("170,6"));
    l.put(9, day(2, 3), 5, "KAR", PaidOut, "1500", "-1500");
    l.put(10, day(2, 28), 6, "HAR", Fee, "4,0001", "-4,0001");
    l.put(11, day(3, 1), 7, "OAR", PaidIn, "77,77", "77,77");
    l.recalc();

    const char *balances[] = {"10000",  "3739,9",    "3737,4",   "7027,5",
                              "5527,5", "5523,4999", "5601,2699"};
    for (int r = 5; r <= 11; ++r)
        EXPECT_EQ(l.at(r, Balance), Amount(balances[r - 5])) << "row " << r;
    const std::pair<int, const char *> totals[] = {
        {BuyValue, "6245"},      {BuyCommission, "15,1"}, {BuyCost, "6260,1"},
        {SellValue, "3300"},     {SellCommission, "9,9"}, {NetProceeds, "3290,1"},
        {RealisedResult, "170,6"}, {PaidIn, "10077,77"},  {PaidOut, "1502,5"},
        {Fee, "4,0001"},         {Balance, "5601,2699"}};
    for (auto [c, v] : totals) EXPECT_EQ(l.at(14, c), Amount(v)) << c;
    EXPECT_EQ(l.s.value(kHeaderRow, 1).text(), "2026. 01. 05. -től      2026. 03. 01. -ig.");
    EXPECT_EQ(l.app.LedgerLastRow, 11);
    EXPECT_EQ(l.app.LedgerLastDate, day(3, 1));
    EXPECT_TRUE(LedgerIsSound(l.s));
    l.s.setValue(5, Movement, "sok");
    EXPECT_THROW(l.recalc(), HostError) << "text in an amount";
}

TEST(LedgerInvariants, NoticeGapsDisorderDuplicateCodesAndStaleBalances) {
    Ledger l;
    l.deposit(5, day(7, 2), 1, "10");
    l.deposit(6, day(7, 1), 1, "10");
    l.recalc();
    l.s.setValue(6, Balance, Amount("999"));
    l.s.setValue(12, MovementDate, day(7, 9));
    const std::string v = ::testing::PrintToString(LedgerViolations(l.s));
    for (const char *part : {"dated before", "twice", "T6", "below the first empty row"})
        EXPECT_NE(v.find(part), std::string::npos) << part << " in " << v;
}

TEST(LedgerRows, FirstEmptyRowRowByCodeInsertedRowFormatsAndTheLogsAppendRow) {
    Ledger l;
    EXPECT_EQ(FindFirstEmptyLedgerRow(l.s), 5);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 1), 0);
    for (auto [d, code] : {std::pair{day(1, 3), 32}, {day(1, 4), 33}, {day(1, 2), 31}}) {
        l.deposit(InsertCashMovementRow(l.s, d), d, code, "1");
        l.recalc();
        ASSERT_TRUE(LedgerIsSound(l.s)) << code;
    }
    EXPECT_EQ(FindFirstEmptyLedgerRow(l.s), 8);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 32), 6);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 34), 0);
    // The search ends at the first empty column A: a code below it is not found.
    l.s.setValue(20, SettlementCode, 77);
    EXPECT_EQ(FindLedgerRowByCode(l.s, 77), 0);

    FormatRef marked = internFormat(CellFormat{"0.000", true, HAlign::Left, false});
    l.s.setCellFormat(5, Description, marked);
    EXPECT_EQ(InsertCashMovementRow(l.s, day(1, 1)), 5);
    EXPECT_EQ(l.s.cellFormat(5, Description), marked);

    // A deletion log's append row never lands on a row that holds anything.
    Sheet &log = l.wb->addSheet("Befszlatörsor01");
    EXPECT_EQ(FindLogAppendRow(log), 5);
    log.setValue(5, MovementDate, day(1, 1));
    log.setValue(6, SettlementCode, 44); // a row whose date went missing still is a logged row
    log.setValue(7, MovementDate, day(1, 2));
    EXPECT_EQ(FindLogAppendRow(log), 8);
}

TEST(DeletionLogs, OpeningWithoutAChangeWritesNothingAndWrongPasswordFails) {
    InProcessSession s;
    AppState &app = s.app().state();
    const auto log = s.installation().root() / "Arhiv" / "Terméktöröltsorok.xls";
    app.host().copyFile(s.installation().root() / "Seged" / "Terméktöröltsorokminta.xls", log);
    const std::string before = FileBytes(log);
    OpenProductDeletionLog(app);
    EXPECT_TRUE(app.ProductDeletionLogOpen());
    EXPECT_FALSE(app.ProductDeletionLog->sheet("Szla").isProtected());
    app.ProductDeletionLog.close();
    EXPECT_EQ(FileBytes(log), before);

    app.SheetPassword = "másik";
    EXPECT_THROW(OpenProductDeletionLog(app), HostError);
}

} // namespace
} // namespace vandorix::testing
