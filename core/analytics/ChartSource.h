#pragma once
// Shared by the chart data and the chart builders: the layout of the chart source "<name>02"
// and whole-number rounding of amounts. Not for use elsewhere.

#include "store/Currency.h"

#include <cstdint>

namespace vandorix::chart_source {

// Columns of the chart source "<name>02": A to J copy the price sheet, K to V the chart blocks.
namespace src {
enum Column : int {
    Date = 1,
    Price = 2,
    Result = 4,
    DailyResult = 5,
    Ma20 = 6,
    Ma50 = 7,
    Ma200 = 8,
    Rsi = 9,
    CustomRsi = 10,
    PriceBlock = 11,   // K date, L price, M MA20, N MA50, O MA200
    ResultBlock = 16,  // P date, Q result
    DailyBlock = 18,   // R date, S daily result
    RsiBlock = 20,     // T date, U RSI14, V custom RSI
};
// The first data row.
inline constexpr int FirstRow = 5;
} // namespace src

// The rows of the price sheet from which the moving averages exist.
inline constexpr int kMa20AfterRow = 27;
inline constexpr int kMa50AfterRow = 57;
inline constexpr int kMa200AfterRow = 207;

inline std::int64_t floorDiv(__int128 a, __int128 b) {
    __int128 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return static_cast<std::int64_t>(q);
}

// Int(x), exact on the four decimals.
inline constexpr std::int64_t kScale = 10000;
inline std::int64_t wholePart(Currency x) {
    return floorDiv(x.raw(), kScale);
}

} // namespace vandorix::chart_source
