#pragma once

#include "store/Sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vandorix::testing {

// Everything wrong with a trade sheet "Szla", each as one line; empty when the sheet is
// sound: dates ascending, the day's purchases before its sales, unique settlement codes, lot
// codes and statuses that fit the open quantities, C − V equal to what the sales took, J equal
// to a sale's pairs, the running holding, the totals row three rows below the last trade with
// empty rows around it, S2 pointing at it and the period caption. Computed from the cells
// alone.
std::vector<std::string> TradeSheetViolations(const Sheet &trades);

// For EXPECT_TRUE / ASSERT_TRUE: fails listing the violations.
::testing::AssertionResult TradeSheetIsSound(const Sheet &trades);

} // namespace vandorix::testing
