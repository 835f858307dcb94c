// Purchases and sales entered through the windows "Részvény vétel" and "Részvény eladás", then
// read back from the stored workbooks. Expected figures are worked out in each test from the
// entered values.
#include "TradeWindowSession.h"

namespace vandorix::testing {
namespace {

TEST(PurchaseWindow, FirstPurchaseOfAProductFillsTheTradeSheetThePriceSheetAndTheLedger) {
    TradeSession s;
    s.play(OpenPurchase());
    Form &w = s.window();
    EXPECT_EQ(w.caption(), "Részvény vétel");
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

    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    EXPECT_EQ(t.value(5, szla::Day).date(), Day(2026, 3, 1));
    ExpectIntegers(t, {{5, szla::OrderCode, 1}, {5, szla::Bought, 100}, {5, szla::Settlement, 11},
                       {5, szla::OpenQuantity, 100}, {2, szla::TotalsPointerColumn, 8}});
    ExpectAmounts(t, {{5, szla::BuyValue, "1000"}, {5, szla::BuyCost, "1005"}, {5, szla::LotStatus, nullptr}});
    EXPECT_DOUBLE_EQ(t.value(5, szla::CostPerShare).number().value_or(0), 10.05);
    ExpectTexts(t, {{5, szla::Description, "Alfa  100 db. vétel"}, {5, szla::LotCode, "VAK"}});
    EXPECT_FALSE(t.visible());
    EXPECT_TRUE(t.isProtected());

    const Sheet &p = wb->sheet("Alfa01");
    EXPECT_EQ(p.value(5, kPriceColDate).date(), Day(2026, 3, 1));
    // Result and change: 100 × 11 − 1005.
    ExpectAmounts(p, {{5, kPriceColClose, "11"}, {5, kPriceColValue, "1100"},
                      {5, kPriceColResult, "95"}, {5, kPriceColChange, "95"}});
    EXPECT_TRUE(p.value(6, kPriceColDate).isBlank());

    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    EXPECT_EQ(l.value(5, ledger::MovementDate).date(), Day(2026, 3, 1));
    ExpectIntegers(l, {{5, ledger::BoughtQuantity, 100}, {5, ledger::SettlementCode, 11}});
    ExpectAmounts(l, {{5, ledger::BuyPrice, "10"}, {5, ledger::BuyCommission, "5"}, {5, ledger::BuyCost, "1005"},
                      {5, ledger::Movement, "-1005"}, {5, ledger::Balance, "-1005"}});
    ExpectTexts(l, {{5, ledger::ProductId, "HU0000123456"}, {5, ledger::Description, "Alfa  100 db. vétel"},
                    {5, ledger::RowType, "VAK"}});
}

// Lots bought on 1 March (100 at 10), 5 March (50 at 11) and 10 March (30 at 12), then 120 sold
// at 15 on 12 March, without commissions.
struct ThreeLotsCase {
    const char *order;
    PairList pairs;
    const char *lot1[2];
    long long open1;
    const char *lot2[2];
    long long open2;
    const char *lot3[2];
    long long open3;
    const char *result; // 1800 − the cost of the pairs
};

class ThreeLotsThroughTheWindows : public ::testing::TestWithParam<ThreeLotsCase> {};

TEST_P(ThreeLotsThroughTheWindows, PairsStatusesOpenQuantitiesAndLedgerCodes) {
    const ThreeLotsCase &c = GetParam();
    TradeSession s;
    s.play(Purchase({"2026.03.01", 100, "10", "0", 1, 101}));
    s.play(Purchase({"2026.03.05", 50, "11", "0", 2, 102}));
    s.play(Purchase({"2026.03.10", 30, "12", "0", 3, 103}));
    s.play(Sale({"2026.03.12", 120, "15", "0", 4, 201}, c.order));

    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    const int sale = RowOfCode(t, 201);
    ASSERT_EQ(sale, 8);
    EXPECT_EQ(Pairs(t, sale), c.pairs);
    EXPECT_EQ(Int(t, sale, szla::SaleCode), 201);
    EXPECT_EQ(Text(t, sale, szla::Description), std::string("Alfa  120 db. elad ") + c.order);
    EXPECT_EQ(Cur(t, sale, szla::Result), Amount(c.result));
    const std::pair<const char *const *, long long> lots[] = {
        {c.lot1, c.open1}, {c.lot2, c.open2}, {c.lot3, c.open3}};
    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    for (int i = 0; i < 3; ++i) {
        const int r = RowOfCode(t, 101 + i);
        EXPECT_EQ(Text(t, r, szla::LotCode), lots[i].first[0]) << 101 + i;
        EXPECT_EQ(Text(t, r, szla::LotStatus), lots[i].first[1]) << 101 + i;
        EXPECT_EQ(Int(t, r, szla::OpenQuantity), lots[i].second) << 101 + i;
        EXPECT_EQ(Text(l, RowOfCode(l, 101 + i), ledger::RowType), lots[i].first[0])
            << "ledger " << 101 + i;
    }
    const int saleRow = RowOfCode(l, 201);
    EXPECT_EQ(Text(l, saleRow, ledger::RowType), "EAR");
    ExpectAmounts(l, {{saleRow, ledger::RealisedResult, c.result}, {saleRow, ledger::Movement, "1800"}});
    // What is left is valued at the sale day's closing price.
    const Sheet &p = wb->sheet("Alfa01");
    EXPECT_EQ(p.value(8, kPriceColDate).date(), Day(2026, 3, 12));
    EXPECT_EQ(Cur(p, 8, kPriceColValue), Amount("900")); // 60 × 15
}

INSTANTIATE_TEST_SUITE_P(
    Orders, ThreeLotsThroughTheWindows,
    ::testing::Values(
        // 100 × 10 + 20 × 11 = 1220
        ThreeLotsCase{"FIFO", {{100, 101}, {20, 102}}, {"VAR", "Kész"}, 0, {"VAK", "Rész"}, 30,
                      {"VAK", ""}, 30, "580"},
        // 30 × 12 + 50 × 11 + 40 × 10 = 1310
        ThreeLotsCase{"LIFO", {{30, 103}, {50, 102}, {40, 101}}, {"VAK", "Rész"}, 60,
                      {"VAR", "Kész"}, 0, {"VAR", "Kész"}, 0, "490"}),
    [](const auto &info) { return std::string(info.param.order); });

TEST(SaleWindow, RealisedResultIncludesBothCommissions) {
    TradeSession s;
    s.play(Purchase({"2026.04.01", 10, "100", "10", 1, 1}));
    s.play(Sale({"2026.04.02", 10, "120", "20", 2, 2}));
    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    EXPECT_DOUBLE_EQ(t.value(5, szla::CostPerShare).number().value_or(0), 101.0);
    EXPECT_DOUBLE_EQ(t.value(6, szla::NetPerShare).number().value_or(0), 118.0);
    // Result 10 × (118 − 101); balance −1010 + 1180.
    ExpectAmounts(t, {{6, szla::Result, "170"}, {6, szla::CostPerShare, "101"}});
    auto acc = s.account();
    const Sheet &l = acc->sheet("Befszla01");
    ExpectAmounts(l, {{6, ledger::RealisedResult, "170"}, {6, ledger::NetProceeds, "1180"},
                      {6, ledger::Balance, "170"}});
    EXPECT_EQ(Text(l, 5, ledger::RowType), "VAR");
}

TEST(SaleWindow, SameDayLotsGoFirstAndADayWithRowsTakesNewTradesInTheirPlace) {
    TradeSession s;
    s.play(Purchase({"2026.03.01", 100, "10", "0", 1, 1}));
    s.play(DepositScript("2026.03.10", "5000", 90));
    s.play(Purchase({"2026.03.10", 50, "11", "0", 2, 2}));
    s.play(Sale({"2026.03.10", 30, "12", "0", 3, 3}, "FIFO"));
    {
        auto wb = s.product();
        EXPECT_EQ(Pairs(wb->sheet("Szla"), 7), (PairList{{30, 2}})) << "same day before FIFO";
    }
    // A purchase on a day that has an open lot and a sale goes between them; a further sale
    // goes below everything of the day and again takes the day's lot first.
    s.play(Purchase({"2026.03.10", 20, "13", "0", 4, 4}));
    s.play(Sale({"2026.03.10", 10, "12", "0", 5, 5}, "FIFO"));

    auto wb = s.product();
    const Sheet &t = wb->sheet("Szla");
    std::vector<long long> codes;
    for (int r = 5; !t.value(r, szla::Day).isBlank(); ++r) codes.push_back(Int(t, r, szla::Settlement));
    EXPECT_EQ(codes, (std::vector<long long>{1, 2, 4, 3, 5}));
    EXPECT_EQ(Pairs(t, 9), (PairList{{10, 2}}));
    EXPECT_EQ(Int(t, RowOfCode(t, 2), szla::OpenQuantity), 10);
    EXPECT_EQ(Int(t, RowOfCode(t, 1), szla::OpenQuantity), 100);

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

TEST(SaleWindow, ASaleBeyondTheSharesOfItsDateIsRefusedEvenWithLaterPurchases) {
    TradeSession s;
    s.play(Purchase({"2026.03.01", 10, "10", "0", 1, 1}));
    s.play(Purchase({"2026.03.10", 100, "10", "0", 2, 2}));
    const std::string product = FileBytes(s.productFile()), account = FileBytes(s.accountFile());
    const std::size_t inputs = s.dialogs().inputs().size();
    s.play(OpenSale() + Fields({"2026.03.05", 50, "12", "0", 3, 3}) + "click Command1\nanswer OK\n");
    EXPECT_EQ(s.shown().back(), "Felhívás|A beadott dátumkor nincs elég\r\nrészvény,hibás adatbevitel");
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
}

TEST(PurchaseWindow, FinalClosingPriceIsAskedAgainUntilItIsAPriceAndCancelKeepsTheDaysPrice) {
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
    s.play(OpenPurchase() + Fields({"2026.03.02", 10, "9", "0", 3, 3}) + "click Command1\ninput \n");
    s.play(OpenPurchase() + Fields({"2026.03.03", 10, "8", "0", 4, 4}) +
           "click Command1\ninput-cancel\n");

    auto wb = s.product();
    const Sheet &p = wb->sheet("Alfa01");
    // Values 150 × 11 (the value follows the new holding) and 170 × 8; result 1650 − 1000 − 600.
    ExpectAmounts(p, {{5, kPriceColClose, "11"}, {5, kPriceColValue, "1650"}, {5, kPriceColResult, "50"},
                      {6, kPriceColClose, "9"}, {7, kPriceColClose, "8"}, {7, kPriceColValue, "1360"}});
}

TEST(PurchaseWindow, ChoosingAnotherProductLetsTheFirstOneGoUnwritten) {
    TradeSession s;
    s.play(RegisterScript("Beta", "HU0000999999"));
    const std::string alfa = FileBytes(s.productFile("Alfa"));
    s.play(OpenPurchase("Alfa") + "type Text1 2026.03.01\nchoose Combo1 Beta\n");
    EXPECT_EQ(s.window().control("Text2").text, "") << "the entry starts over";
    s.play(Fields({"2026.03.01", 5, "20", "1", 1, 1}) + "click Command1\ninput 21\n");
    EXPECT_EQ(FileBytes(s.productFile("Alfa")), alfa);
    auto beta = s.product("Beta");
    EXPECT_EQ(Text(beta->sheet("Szla"), 5, szla::Description), "Beta  5 db. vétel");
    EXPECT_EQ(Cur(beta->sheet("Beta01"), 5, kPriceColClose), Amount("21"));
    auto acc = s.account();
    EXPECT_EQ(Text(acc->sheet("Befszla01"), 5, ledger::ProductId), "HU0000999999");
}

TEST(TradeReplay, APurchaseAndALifoSaleThroughVandorixReplay) {
    TestInstallation inst;
    const std::string script = RegisterScript("Alfa", "HU0000123456") +
                               Purchase({"2026.03.01", 100, "10", "5", 1, 1}, "10,5") +
                               Purchase({"2026.03.05", 50, "11", "5", 2, 2}) +
                               Sale({"2026.03.12", 120, "12", "10", 3, 3}, "LIFO", "12,25") +
                               "menu Befektetés/Kilépés\n";
    ReplayRun run = inst.replay(script);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    auto wb = ReadWorkbookFile(inst.root() / "Termekek" / "Alfa.xls");
    const Sheet &t = wb->sheet("Szla");
    EXPECT_TRUE(TradeSheetIsSound(t));
    EXPECT_EQ(Pairs(t, 7), (PairList{{50, 2}, {70, 1}}));
    // 1430 − (555 + 70 × 1005 / 100)
    EXPECT_EQ(Cur(t, 7, szla::Result), Amount("171,5"));
    EXPECT_EQ(Cur(wb->sheet("Alfa01"), 7, kPriceColClose), Amount("12,25"));
    EXPECT_TRUE(StoredLedgerIsSound(inst.accountWorkbook()));
    auto acc = ReadWorkbookFile(inst.accountWorkbook());
    ExpectTexts(acc->sheet("Befszla01"), {{6, ledger::RowType, "VAR"}, {5, ledger::RowType, "VAK"}});
}

} // namespace
} // namespace vandorix::testing
