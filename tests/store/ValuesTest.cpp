#include "store/Currency.h"
#include "store/Date.h"
#include "store/HostError.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

TEST(Currency, ComputesExactlyAndThrowsInsteadOfWrapping) {
    Currency sum;
    for (int i = 0; i < 1000; ++i) sum += *Currency::parse("0,1");
    EXPECT_EQ(sum, Currency::fromUnits(100));
    EXPECT_EQ(*Currency::parse("1234,5678") * 3, *Currency::parse("3703,7034"));
    EXPECT_EQ(*Currency::parse("10") - *Currency::parse("10,0001"), *Currency::parse("-0,0001"));
    // Doubles round half away from zero to four decimals.
    EXPECT_EQ(Currency::fromDouble(1.23455).raw(), 12346);
    EXPECT_EQ(Currency::fromDouble(-1.23455).raw(), -12346);
    EXPECT_EQ(Currency::fromDouble(0.1 + 0.2).raw(), 3000);

    const Currency max = Currency::fromRaw(Currency::MaxRaw);
    EXPECT_THROW(max + Currency::fromRaw(1), AmountOverflowError);
    EXPECT_THROW(-max - Currency::fromRaw(1), AmountOverflowError) << "the lowest raw value too";
    EXPECT_THROW(*Currency::parse("900000000000000") * 100, AmountOverflowError);
    EXPECT_THROW(Currency::fromDouble(1e300), AmountOverflowError);
    Currency balance = max;
    EXPECT_THROW(balance += Currency::fromRaw(1), AmountOverflowError);
    EXPECT_EQ(balance, max) << "a failed sum leaves its operand";
}

TEST(Currency, ReadsHungarianAndPlainFormsAndPrintsWithDecimalComma) {
    const std::pair<const char *, std::int64_t> amounts[] = {
        {"12,5", 125000},        {"12.5", 125000}, {"-3", -30000}, {"+7,25", 72500},
        {"1 234 567,1", 12345671000}, {" 42 ", 420000}, {"0,00005", 1},
        // 922337203685477,5807 is the largest amount; one ten-thousandth more is none.
        {"922337203685477,5807", Currency::MaxRaw},
    };
    for (auto [text, raw] : amounts) {
        auto parsed = Currency::parse(text);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(parsed->raw(), raw) << text;
    }
    for (const char *bad : {"", " ", "abc", "12a", "1,2,3", "--1", ",", "1 2 3x", "1e5",
                            "922337203685477,5808", "-922337203685477,5808"})
        EXPECT_FALSE(Currency::parse(bad)) << bad;

    EXPECT_EQ(Currency::parse("1234,5")->toString(), "1234,5");
    EXPECT_EQ(Currency::parse("-0,0001")->toString(), "-0,0001");
    EXPECT_EQ(Currency::fromUnits(12).toString(), "12");
    EXPECT_EQ(Currency::parse("1234,565")->toString2(), "1234,57");
    EXPECT_EQ(Currency::parse("-0,004")->toString2(), "0,00");
}

TEST(Date, ReadsWhatAHungarianUserTypesAndPrintsTheShortFormAndCalendarSteps) {
    const std::pair<const char *, int> dates[] = {
        {"2026.12.06", 20261206}, {"2026. 12. 06.", 20261206}, {"2026-12-06", 20261206},
        {"2026/1/2", 20260102},   {"2026 12 06", 20261206},    {"2024.02.29.", 20240229},
    };
    for (auto [text, ymd] : dates) {
        auto d = Date::parse(text);
        ASSERT_TRUE(d) << text;
        EXPECT_EQ(*d, *Date::fromYmd(ymd / 10000, ymd / 100 % 100, ymd % 100)) << text;
    }
    for (const char *bad : {"", "2026.02.29", "2026.13.01", "2026.00.10", "2026.12.32", "26.12.06",
                            "2026.12", "2026.12.06.x", "abc", "2026..12.06"})
        EXPECT_FALSE(Date::parse(bad)) << bad;

    Date d = *Date::fromYmd(2026, 3, 1);
    EXPECT_EQ(d.toString(), "2026. 03. 01.");
    EXPECT_EQ(d.lastDayOfPreviousMonth(), *Date::fromYmd(2026, 2, 28));
    EXPECT_EQ(Date::fromYmd(2026, 12, 31)->startOfYear(), *Date::fromYmd(2026, 1, 1));
    EXPECT_EQ(Date::fromYmd(2024, 1, 15)->lastDayOfPreviousMonth(), *Date::fromYmd(2023, 12, 31));
}

} // namespace
} // namespace vandorix
