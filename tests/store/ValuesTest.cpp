#include "store/Currency.h"
#include "store/Date.h"
#include "store/HostError.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

TEST(Currency, AddsAndMultipliesExactly) {
    Currency tenth = *Currency::parse("0,1");
    Currency sum;
    for (int i = 0; i < 1000; ++i) sum += tenth;
    EXPECT_EQ(sum, Currency::fromUnits(100));
    EXPECT_EQ(*Currency::parse("1234,5678") * 3, *Currency::parse("3703,7034"));
    EXPECT_EQ(*Currency::parse("10") - *Currency::parse("10,0001"), *Currency::parse("-0,0001"));
}

TEST(Currency, ResultsBeyondTheRangeThrowInsteadOfWrapping) {
    const Currency max = Currency::fromRaw(Currency::MaxRaw);
    EXPECT_THROW(max + Currency::fromRaw(1), AmountOverflowError);
    EXPECT_THROW(-max - Currency::fromRaw(1), AmountOverflowError) << "the lowest raw value too";
    EXPECT_THROW(*Currency::parse("900000000000000") * 100, AmountOverflowError);
    EXPECT_THROW(Currency::fromDouble(1e300), AmountOverflowError);
    Currency balance = max;
    EXPECT_THROW(balance += Currency::fromRaw(1), AmountOverflowError);
    EXPECT_EQ(balance, max) << "a failed sum leaves its operand";
    // 922337203685477,5808 is one ten-thousandth beyond the range.
    EXPECT_FALSE(Currency::parse("922337203685477,5808"));
    EXPECT_FALSE(Currency::parse("-922337203685477,5808"));
    EXPECT_EQ(Currency::parse("922337203685477,5807")->raw(), Currency::MaxRaw);
}

TEST(Currency, RoundsDoublesHalfAwayFromZeroToFourDecimals) {
    EXPECT_EQ(Currency::fromDouble(1.23455).raw(), 12346);
    EXPECT_EQ(Currency::fromDouble(-1.23455).raw(), -12346);
    EXPECT_EQ(Currency::fromDouble(0.1 + 0.2).raw(), 3000);
}

struct AmountCase {
    const char *text;
    std::int64_t raw;
};
void PrintTo(const AmountCase &c, std::ostream *os) { *os << '"' << c.text << '"'; }
class CurrencyParse : public ::testing::TestWithParam<AmountCase> {};
TEST_P(CurrencyParse, ReadsHungarianAndPlainForms) {
    auto parsed = Currency::parse(GetParam().text);
    ASSERT_TRUE(parsed) << GetParam().text;
    EXPECT_EQ(parsed->raw(), GetParam().raw);
}
INSTANTIATE_TEST_SUITE_P(Amounts, CurrencyParse,
                         ::testing::Values(AmountCase{"12,5", 125000}, AmountCase{"12.5", 125000},
                                           AmountCase{"-3", -30000}, AmountCase{"+7,25", 72500},
                                           AmountCase{"1 234 567,1", 12345671000},
                                           AmountCase{" 42 ", 420000},
                                           AmountCase{"0,00005", 1}));

TEST(Currency, RejectsWhatIsNoAmount) {
    for (const char *bad : {"", " ", "abc", "12a", "1,2,3", "--1", ",", "1 2 3x", "1e5"})
        EXPECT_FALSE(Currency::parse(bad)) << bad;
}

TEST(Currency, PrintsWithDecimalComma) {
    EXPECT_EQ(Currency::parse("1234,5")->toString(), "1234,5");
    EXPECT_EQ(Currency::parse("-0,0001")->toString(), "-0,0001");
    EXPECT_EQ(Currency::fromUnits(12).toString(), "12");
    EXPECT_EQ(Currency::parse("1234,565")->toString2(), "1234,57");
    EXPECT_EQ(Currency::parse("-0,004")->toString2(), "0,00");
}

struct DateCase {
    const char *text;
    int y, m, d;
};
void PrintTo(const DateCase &c, std::ostream *os) { *os << '"' << c.text << '"'; }
class DateParse : public ::testing::TestWithParam<DateCase> {};
TEST_P(DateParse, AcceptsTheFormsAHungarianUserTypes) {
    auto d = Date::parse(GetParam().text);
    ASSERT_TRUE(d) << GetParam().text;
    EXPECT_EQ(*d, *Date::fromYmd(GetParam().y, GetParam().m, GetParam().d));
}
INSTANTIATE_TEST_SUITE_P(Dates, DateParse,
                         ::testing::Values(DateCase{"2026.12.06", 2026, 12, 6},
                                           DateCase{"2026. 12. 06.", 2026, 12, 6},
                                           DateCase{"2026-12-06", 2026, 12, 6},
                                           DateCase{"2026/1/2", 2026, 1, 2},
                                           DateCase{"2026 12 06", 2026, 12, 6},
                                           DateCase{"2024.02.29.", 2024, 2, 29}));

TEST(Date, RejectsDaysOutsideTheCalendarAndOtherText) {
    for (const char *bad : {"", "2026.02.29", "2026.13.01", "2026.00.10", "2026.12.32", "26.12.06",
                            "2026.12", "2026.12.06.x", "abc", "2026..12.06"})
        EXPECT_FALSE(Date::parse(bad)) << bad;
}

TEST(Date, SerialsFollowThe1900System) {
    EXPECT_EQ(Date::fromYmd(1900, 1, 1)->serial(), 1);
    EXPECT_EQ(Date::fromYmd(1900, 2, 28)->serial(), 59);
    EXPECT_EQ(Date::fromYmd(1900, 3, 1)->serial(), 61);
    EXPECT_EQ(Date::fromYmd(2026, 12, 6)->serial(), 46362);
    EXPECT_FALSE(Date::fromSerial(60));
    for (int s : {1, 59, 61, 46362, 2958465}) EXPECT_EQ(Date::fromSerial(s)->serial(), s);
}

TEST(Date, PrintsHungarianShortFormAndCalendarSteps) {
    Date d = *Date::fromYmd(2026, 3, 1);
    EXPECT_EQ(d.toString(), "2026. 03. 01.");
    EXPECT_EQ(d.lastDayOfPreviousMonth(), *Date::fromYmd(2026, 2, 28));
    EXPECT_EQ(Date::fromYmd(2026, 12, 31)->startOfYear(), *Date::fromYmd(2026, 1, 1));
    EXPECT_EQ(Date::fromYmd(2024, 1, 15)->lastDayOfPreviousMonth(), *Date::fromYmd(2023, 12, 31));
}

} // namespace
} // namespace vandorix
