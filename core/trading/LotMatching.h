#pragma once

#include "app/AppState.h"
#include "store/Sheet.h"

#include <vector>

namespace vandorix {

// One lot consumed by a sale, as its pair of columns in the sale row holds it.
struct ConsumedLot {
    long long taken = 0;
    long long lotCode = 0;
};

// Matches the sale in row `TradeRow` of "Szla" (quantity `TradeQuantity`, order `SaleOrder`)
// to the open lots above it: the lots of the sale's own date first, from the top of the day's
// rows, then the others first-in-first-out or last-in-first-out. Every consumed portion is
// written into the sale row's pair columns and taken off its lot ("Rész", or "VAR"/"Kész"
// when nothing is left); the sale row gets its realised result P, the average cost H of the
// shares it took, "EAR" and "Kész". Sets SaleCost, SaleResult and UnallocatedQuantity; the
// ledger row's result is SaleResult.
void MatchSaleToLots(AppState &app);
void MatchSaleToLots(Sheet &trades, AppState &app);

// The pairs of the sale row `row`, from X/Y rightwards to the first empty quantity.
std::vector<ConsumedLot> SaleAllocation(const Sheet &trades, int row);

// Gives back to their lots what the sale in `row` took: V grows by the quantity taken, S is
// "VAK" again and T "Rész" while the lot is not whole, empty when it is. The sale row itself
// is left as it was.
void RestoreSaleLots(Sheet &trades, int row);
// Empties the sale row from W rightwards, up to the first cell that is already empty.
void ClearSaleAllocation(Sheet &trades, int row);

} // namespace vandorix
