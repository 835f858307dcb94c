// Purchases and sales entered through their windows, read back from the stored workbooks, the
// expected figures worked out from the entered values. `play` checks the stored trade sheets and
// ledger after every action (lot statuses, open quantities, totals, running balances); the lot
// orders are compared with an independent lot book in LotMatchingPropertyTest.
#include "TradeWindowSession.h"

namespace vandorix::testing {
namespace {

TEST(PurchaseWindow, FirstPurchaseOfAProductFillsTheTradeSheetThePriceSheetAndTheLedger) {
    TradeSession s;
    s.play(OpenPurchase());
    Form &w = s.window();
    EXPECT_EQ(w.focus(), "Text1");
    EXPECT_EQ(w.control("Text1").text, "2026. 12. 06.");
    EXPECT_EQ(w.control("Label6").caption, "Teljesítés kódszám");
    EXPECT_FALSE(w.control("Text2").enabled) << "fields are filled in order";
    s.play(Fields({"2026.03.01", 100, "10", "5", 1, 11}));
    EXPECT_TRUE(w.control("Command1").enabled);
    EXPECT_FALSE(w.control("Command2").enabled);
    EXPECT_EQ(w.focus(), "Command1");
    s.play("click Command1\ninput 11\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_FALSE(s.app().state().HostRunning);
    ASSERT_EQ(s.dialogs().inputs().size(), 1u);
    EXPECT_EQ(s.dialogs().inputs()[0].prompt, "Adja meg a végső záró darabárat.");
    EXPECT_EQ(s.dialogs().inputs()[0].title, "Záró darabár bekérés.");
    EXPECT_EQ(s.dialogs().inputs()[0].defaultText, "10");

    {
        auto wb = s.product();
        const Sheet &t = wb->sheet("Szla");
        EXPECT_EQ(t.value(5, szla::Day).date(), Day(2026, 3, 1));
        ExpectIntegers(
            t, {{5, szla::OrderCode, 1}, {5, szla::Bought, 100}, {5, szla::Settlement, 11}});
        ExpectAmounts(t, {{5, szla::BuyValue, "1000"}, {5, szla::BuyCost, "1005"}});
        EXPECT_DOUBLE_EQ(t.value(5, szla::CostPerShare).number().value_or(0), 10.05);
        ExpectTexts(t, {{5, szla::Description, "Alfa  100 db. vétel"}, {5, szla::LotCode, "VAK"}});
        EXPECT_FALSE(t.visible());
        EXPECT_TRUE(t.isProtected());

        const Sheet &p = wb->sheet("Alfa01");
        EXPECT_EQ(p.value(5, kPriceColDate).date(), Day(2026, 3, 1));
        // Result and change: 100 × 11 − 1005.
        ExpectAmounts(p, {{5, kPriceColClose, "11"},
                          {5, kPriceColValue, "1100"},
                          {5, kPriceColResult, "95"},
                          {5, kPriceColChange, "95"}});
        EXPECT_TRUE(p.value(6, kPriceColDate).isBlank());

        auto acc = s.account();
        const Sheet &l = acc->sheet("Befszla01");
        EXPECT_EQ(l.value(5, ledger::MovementDate).date(), Day(2026, 3, 1));
        ExpectIntegers(l, {{5, ledger::BoughtQuantity, 100}, {5, ledger::SettlementCode, 11}});
        ExpectAmounts(l, {{5, ledger::BuyPrice, "10"},
                          {5, ledger::BuyCommission, "5"},
                          {5, ledger::BuyCost, "1005"},
                          {5, ledger::Movement, "-1005"}});
        ExpectTexts(l, {{5, ledger::ProductId, "HU0000123456"},
                        {5, ledger::Description, "Alfa  100 db. vétel"},
                        {5, ledger::RowType, "VAK"}});
    }

    // A second lot, then 120 sold LIFO at the final price 12,25: all of the second lot and 70
    // of the first. Net 120 × 12 − 12 = 1428; result 1428 − (555 + 70 × 1005 / 100).
    s.play(Purchase({"2026.03.05", 50, "11", "5", 2, 12}));
    s.play(Sale({"2026.03.12", 120, "12", "12", 3, 13}, "LIFO", "12,25"));
    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    EXPECT_EQ(Pairs(t, 7), (PairList{{50, 12}, {70, 11}}));
    EXPECT_DOUBLE_EQ(t.value(7, szla::NetPerShare).number().value_or(0), 11.9);
    ExpectAmounts(t, {{7, szla::Result, "169,5"}});
    EXPECT_EQ(Text(t, 7, szla::Description), "Alfa  120 db. elad LIFO");
    // What is left is valued at the sale day's closing price: 30 × 12,25.
    ExpectAmounts(wb->sheet("Alfa01"),
                  {{7, kPriceColClose, "12,25"}, {7, kPriceColValue, "367,5"}});
    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    ExpectAmounts(l, {{7, ledger::RealisedResult, "169,5"},
                      {7, ledger::NetProceeds, "1428"},
                      {7, ledger::Movement, "1428"}});
    ExpectTexts(
        l, {{5, ledger::RowType, "VAK"}, {6, ledger::RowType, "VAR"}, {7, ledger::RowType, "EAR"}});
}

TEST(SaleWindow, BeyondTheSharesOfItsDateIsRefusedAndSameDayLotsGoFirst) {
    TradeSession s;
    s.play(Purchase({"2026.03.01", 100, "10", "0", 1, 1}));
    s.play(DepositScript("2026.03.10", "5000", 90));
    s.play(Purchase({"2026.03.10", 50, "11", "0", 2, 2}));
    // 120 on 5 March: only 100 are held then, whatever was bought later.
    const std::string product = FileBytes(s.productFile()), account = FileBytes(s.accountFile());
    const std::size_t inputs = s.dialogs().inputs().size();
    s.play(OpenSale() + Fields({"2026.03.05", 120, "12", "0", 3, 3}) +
           "click Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(),
              "Felhívás|A beadott dátumkor nincs elég\r\nrészvény,hibás adatbevitel");
    EXPECT_EQ(s.dialogs().inputs().size(), inputs) << "no closing price is asked";
    Form &w = s.window();
    EXPECT_FALSE(w.control("Command1").enabled);
    EXPECT_FALSE(w.control("Command2").enabled);
    EXPECT_TRUE(w.control("Command3").enabled);
    EXPECT_TRUE(w.control("Command4").enabled);
    s.play("click Command3\n");
    EXPECT_TRUE(s.atMainWindow());
    EXPECT_EQ(FileBytes(s.productFile()), product);
    EXPECT_EQ(FileBytes(s.accountFile()), account);

    s.play(Sale({"2026.03.10", 30, "12", "0", 3, 3}, "FIFO"));
    // A purchase on a day that has an open lot and a sale goes between them; a further sale
    // goes below everything of the day and again takes the day's lot first.
    s.play(Purchase({"2026.03.10", 20, "13", "0", 4, 4}));
    s.play(Sale({"2026.03.10", 10, "12", "0", 5, 5}, "FIFO"));

    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    std::vector<long long> codes;
    for (int r = 5; !t.value(r, szla::Day).isBlank(); ++r)
        codes.push_back(Int(t, r, szla::Settlement));
    EXPECT_EQ(codes, (std::vector<long long>{1, 2, 4, 3, 5}));
    EXPECT_EQ(Pairs(t, 8), (PairList{{30, 2}})) << "same day before FIFO";
    EXPECT_EQ(Text(t, 8, szla::Description), "Alfa  30 db. elad FIFO");
    EXPECT_EQ(Pairs(t, 9), (PairList{{10, 2}}));

    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    codes.clear();
    for (int r = 5; !l.value(r, ledger::MovementDate).isBlank(); ++r)
        codes.push_back(Int(l, r, ledger::SettlementCode));
    EXPECT_EQ(codes, (std::vector<long long>{1, 90, 2, 4, 3, 5}));
    // One price row per trading day.
    const Sheet &p = wb->sheet("Alfa01");
    EXPECT_EQ(p.value(6, kPriceColDate).date(), Day(2026, 3, 10));
    EXPECT_TRUE(p.value(7, kPriceColDate).isBlank());
    EXPECT_EQ(Cur(p, 6, kPriceColValue), Amount("1560")); // (100 + 50 + 20 − 30 − 10) × 12
}

TEST(PurchaseWindow, FinalPriceIsAskedUntilValidCancelKeepsTheDaysPriceAnotherProductIsFree) {
    TradeSession s;
    s.play(Purchase({"2026.03.01", 100, "10", "0", 1, 1}, "11"));
    // The day already has 11: the answers "abc" and "0" are refused, the cancel keeps 11.
    s.play(OpenPurchase() + Fields({"2026.03.01", 50, "12", "0", 2, 2}) +
           "click Command1\ninput abc\nanswer OK\ninput 0\nanswer OK\ninput-cancel\n");
    const std::vector<std::string> shown = s.shown();
    ASSERT_GE(shown.size(), 2u);
    EXPECT_EQ(shown[shown.size() - 2], "Felhívás|Az ár csak számérték lehet.");
    EXPECT_EQ(shown.back(), "Felhívás|Az ár csak nullánál nagyobb számérték lehet.");
    // An empty answer is the unit price; a cancel on a day without a price is the unit price.
    s.play(OpenPurchase() + Fields({"2026.03.02", 10, "9", "0", 3, 3}) +
           "click Command1\ninput \n");
    s.play(OpenPurchase() + Fields({"2026.03.03", 10, "8", "0", 4, 4}) +
           "click Command1\ninput-cancel\n");

    auto wb = s.product();
    const Sheet &p = wb->sheet("Alfa01");
    // Values 150 × 11 (the value follows the new holding) and 170 × 8; result 1650 − 1000 − 600.
    ExpectAmounts(p, {{5, kPriceColClose, "11"},
                      {5, kPriceColValue, "1650"},
                      {5, kPriceColResult, "50"},
                      {6, kPriceColClose, "9"},
                      {7, kPriceColClose, "8"},
                      {7, kPriceColValue, "1360"}});

    // Choosing another product lets the first one go unwritten.
    s.play(RegisterScript("Beta", "HU0000999999"));
    const std::string alfa = FileBytes(s.productFile("Alfa"));
    s.play(OpenPurchase("Alfa") + "type Text1 2026.03.01\nchoose Combo1 Beta\n");
    EXPECT_EQ(s.window().control("Text2").text, "") << "the entry starts over";
    s.play(Fields({"2026.03.01", 5, "20", "1", 5, 5}) + "click Command1\ninput 21\n");
    EXPECT_EQ(FileBytes(s.productFile("Alfa")), alfa);
    auto beta = s.product("Beta");
    EXPECT_EQ(Text(beta->sheet("Szla"), 5, szla::Description), "Beta  5 db. vétel");
    EXPECT_EQ(Cur(beta->sheet("Beta01"), 5, kPriceColClose), Amount("21"));
    auto acc = s.account();
    EXPECT_EQ(
        Text(acc->sheet("Befszla01"), RowOfCode(acc->sheet("Befszla01"), 5), ledger::ProductId),
        "HU0000999999");
}

} // namespace
} // namespace vandorix::testing
