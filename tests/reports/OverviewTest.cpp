// The investor's overview, printed by the driver's "overview" verb after an installation was
// built through the driver: three shares (one still held, one sold out over two years, one
// never traded), cash movements and several prices. Every figure is worked out from the
// entries alone.
#include "reports/Overview.h"
#include "ReportSession.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>

namespace vandorix::testing {
namespace {

// A printed line: the fields separated by tabs.
std::string Line(const std::vector<std::string> &fields) {
    std::string line = fields.front();
    for (size_t i = 1; i < fields.size(); ++i) line += "\t" + fields[i];
    return line;
}

// Cost of the lots still open: what was bought minus what the sales consumed (their net
// proceeds less their realised results).
Currency OpenCost(const ReportModel &m, Date today) {
    Currency consumed = m.proceeds(today);
    for (const auto &[day, result] : m.realised()) consumed -= result;
    return m.cost(today) - consumed;
}

TEST(OverviewTest, DriverPrintsHoldingsCashAndTotalsAsTheEntriesGiveThem) {
    const Date today = Day(2026, 12, 6), yearStart = Day(2026, 1, 1);
    ReportModel alfa, beta; // deposits are kept in alfa's model
    std::string script = RegisterScript("Alfa", "HU0000123456") +
                         RegisterScript("Béta", "HU0000654321") +
                         RegisterScript("Gamma", "HU0000111111");
    auto deposit = [&](Date day, const char *amount, int code) {
        script += DepositScript(Typed(day), amount, code);
        alfa.deposit(day, Amount(amount));
    };
    auto trade = [&](ReportModel &m, const std::string &name, Date day, int quantity,
                     const char *price, const char *commission, int code) {
        const TradeEntry entry{Typed(day), std::abs(quantity), price, commission, code, code};
        script += quantity > 0 ? Purchase(entry, "", name) : Sale(entry, "FIFO", "", name);
        m.trade({day, quantity, Amount(price), Amount(commission)});
    };
    deposit(Day(2025, 10, 1), "1000000", 1);
    trade(alfa, "Alfa", Day(2025, 11, 3), 100, "1000", "500", 101);
    trade(beta, "Béta", Day(2025, 11, 3), 40, "500", "100", 201);
    trade(beta, "Béta", Day(2025, 12, 1), -10, "600", "20", 202); // last year's sale
    trade(beta, "Béta", Day(2026, 1, 15), -30, "550", "30", 203); // sold out
    trade(alfa, "Alfa", Day(2026, 2, 20), 50, "1050", "250", 102);
    trade(alfa, "Alfa", Day(2026, 3, 2), -120, "1200", "300", 103);
    script += ClosingPriceScript(Typed(Day(2026, 4, 1)), "1300");
    deposit(Day(2026, 4, 10), "50000", 2);
    script += ClosingPriceScript(Typed(Day(2026, 11, 30)), "1280,5");
    alfa.close(Day(2026, 11, 30), Amount("1280,5"));
    script += "overview\nmenu Befektetés/Kilépés\n";

    TestInstallation inst;
    ReplayRun run = inst.replay(script, today.toIso());
    ASSERT_EQ(run.exitCode, 0) << run.output;
    std::map<std::string, std::string> lines; // by their first field
    std::stringstream out(run.output);
    for (std::string line; std::getline(out, line);)
        if (line.find('\t') != std::string::npos) lines[line.substr(0, line.find('\t'))] = line;

    const int held = alfa.holding(today);
    const Currency alfaOpenCost = OpenCost(alfa, today);
    const Currency alfaValue = Amount("1280,5") * held;
    const Currency cash = alfa.cash(today) + beta.cash(today);
    const Currency portfolio = cash + alfaValue;
    const Currency alfaRealised = alfa.realisedBetween(yearStart, today);
    const Currency betaRealised = beta.realisedBetween(yearStart, today);
    // By hand: 30 shares left of the second lot (52750 × 30 ÷ 50), Béta's 2026 sale made
    // 16470 − 15075; the cash is the deposits less purchases plus sales.
    ASSERT_EQ(held, 30);
    ASSERT_EQ(alfaOpenCost, Amount("31650"));
    ASSERT_EQ(cash, Amount("1042800"));
    EXPECT_EQ(betaRealised, Amount("1395"));

    EXPECT_EQ(lines["Alfa"],
              Line({"Alfa", "30", Currency::fromRaw(alfaOpenCost.raw() / held).toString(),
                    "1280,5", "2026. 11. 30.", alfaValue.toString(),
                    (alfaValue - alfaOpenCost).toString(), alfaRealised.toString(),
                    "3,55"})); // 30 × 1280,5 = 38415 of 1042800 + 38415
    EXPECT_EQ(lines["Béta"], Line({"Béta", "0", "0", "550", "2026. 01. 15.", "0", "0",
                                   betaRealised.toString(), "0,00"}));
    EXPECT_EQ(lines["Gamma"], Line({"Gamma", "0", "0", "0", "", "0", "0", "0", "0,00"}));
    EXPECT_EQ(lines["Befektetési számla"],
              Line({"Befektetési számla", cash.toString(), "2026. 04. 10."}));
    EXPECT_EQ(lines["Összesen"],
              Line({"Összesen", portfolio.toString(), (alfaValue - alfaOpenCost).toString(),
                    (alfaRealised + betaRealised).toString()}));
}

TEST(OverviewTest, ForintAmountsAreGroupedWithTwoDecimals) {
    EXPECT_EQ(FormatForint(Amount("1234567,891")), "1 234 567,89 Ft");
    EXPECT_EQ(FormatForint(Amount("-1000")), "-1 000,00 Ft");
    EXPECT_EQ(FormatForint(Amount("999,5")), "999,50 Ft");
    EXPECT_EQ(FormatForint(Currency()), "0,00 Ft");
}

} // namespace
} // namespace vandorix::testing
