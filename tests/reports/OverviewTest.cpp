// The investor's overview, printed by the driver's "overview" verb after an installation was
// built through the driver: three shares (one still held, one sold out over two years, one
// never traded), cash movements and several prices. Every figure is worked out by hand.
#include "reports/Overview.h"
#include "support/TestInstallation.h"
#include "trading/TradeWindowSession.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace vandorix::testing {
namespace {

TEST(OverviewTest, DriverPrintsHoldingsCashAndTotalsAsTheEntriesGiveThem) {
    const std::string script =
        RegisterScript("Alfa", "HU0000123456") + RegisterScript("Béta", "HU0000654321") +
        RegisterScript("Gamma", "HU0000111111") + DepositScript("2025.10.01", "1000000", 1) +
        Purchase({"2025.11.03", 100, "1000", "500", 101, 101}) +
        Purchase({"2025.11.03", 40, "500", "100", 201, 201}, "", "Béta") +
        Sale({"2025.12.01", 10, "600", "20", 202, 202}, "FIFO", "", "Béta") + // last year's
        Sale({"2026.01.15", 30, "550", "30", 203, 203}, "FIFO", "", "Béta") + // sold out
        Purchase({"2026.02.20", 50, "1050", "250", 102, 102}) +
        Sale({"2026.03.02", 120, "1200", "300", 103, 103}) +
        ClosingPriceScript("2026.04.01", "1300") +
        DepositScript("2026.04.10", "50000", 2) + ClosingPriceScript("2026.11.30", "1280,5") +
        "overview\nmenu Befektetés/Kilépés\n";
    TestInstallation inst;
    ReplayRun run = inst.replay(script);
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::map<std::string, std::string> lines; // by their first field
    std::stringstream out(run.output);
    for (std::string line; std::getline(out, line);)
        if (line.find('\t') != std::string::npos) lines[line.substr(0, line.find('\t'))] = line;

    // By hand: Alfa keeps 30 of the second lot, 52750 × 30 ÷ 50 = 31650 (1055 each), worth
    // 30 × 1280,5 = 38415, 3,55 % of 1042800 + 38415; its 2026 sale made 143700 − 100500 −
    // 21100, Béta's 16470 − 15075. Cash: 1050000 − 100500 − 52750 + 143700 − 20100 + 5980 +
    // 16470.
    const std::string expected[] = {
        "Alfa\t30\t1055\t1280,5\t2026. 11. 30.\t38415\t6765\t22100\t3,55",
        "Béta\t0\t0\t550\t2026. 01. 15.\t0\t0\t1395\t0,00",
        "Gamma\t0\t0\t0\t\t0\t0\t0\t0,00", "Befektetési számla\t1042800\t2026. 04. 10.",
        "Összesen\t1081215\t6765\t23495"};
    for (const std::string &line : expected)
        EXPECT_EQ(lines[line.substr(0, line.find('\t'))], line);
}

TEST(OverviewTest, ForintAmountsAreGroupedWithTwoDecimals) {
    EXPECT_EQ(FormatForint(Amount("1234567,891")), "1 234 567,89 Ft");
    EXPECT_EQ(FormatForint(Amount("-1000")), "-1 000,00 Ft");
    EXPECT_EQ(FormatForint(Amount("999,5")), "999,50 Ft");
    EXPECT_EQ(FormatForint(Currency()), "0,00 Ft");
}

} // namespace
} // namespace vandorix::testing
