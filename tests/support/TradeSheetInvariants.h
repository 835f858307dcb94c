#pragma once

#include "store/Sheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vandorix::testing {

// Fails listing everything wrong with a trade sheet "Szla", computed from the cells alone:
// dates ascending, the day's purchases before its sales, unique settlement codes, lot codes
// and statuses that fit the open quantities, C − V equal to what the sales took, J equal to a
// sale's pairs, the running holding, the totals row three rows below the last trade with
// empty rows around it, S2 pointing at it and the period caption.
::testing::AssertionResult TradeSheetIsSound(const Sheet &trades);

} // namespace vandorix::testing
