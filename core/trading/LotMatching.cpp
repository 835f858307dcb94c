#include "trading/LotMatching.h"

#include "trading/TradeSheet.h"

#include <unordered_map>

namespace vandorix {

namespace {

struct Matching {
    Sheet &trades;
    int saleRow;
    long long toAllocate;
    int nextPairColumn = szla::FirstPair;
    Currency totalCost;
    Currency totalProceeds;

    void consume(int lotRow) {
        using namespace szla;
        long long open = CellInteger(trades, lotRow, OpenQuantity);
        if (open <= 0) return; // an open lot with nothing left is no lot to take from
        long long taken = open < toAllocate ? open : toAllocate;
        toAllocate -= taken;
        long long left = open - taken;
        trades.setValue(lotRow, OpenQuantity, static_cast<double>(left));

        // Cost and proceeds of the portion from the amounts, not from the rounded per-share
        // figures, so that the result is exact to a ten-thousandth.
        totalCost += LotCostOf(trades, lotRow, taken);
        totalProceeds += SaleProceedsOf(trades, saleRow, taken);

        trades.setValue(saleRow, SaleCode, trades.value(saleRow, Settlement));
        trades.setValue(saleRow, nextPairColumn, static_cast<double>(taken));
        trades.setValue(saleRow, nextPairColumn + 1, trades.value(lotRow, Settlement));
        nextPairColumn += 2;

        if (left == 0) {
            trades.setValue(lotRow, LotCode, kClosedLot);
            trades.setValue(lotRow, LotStatus, kSoldOut);
        } else {
            trades.setValue(lotRow, LotStatus, kPartlySold);
        }
    }
};

int FirstFreePairColumn(const Sheet &trades, int row) {
    int c = szla::FirstPair;
    while (!trades.value(row, c + 1).isBlank()) c += 2;
    return c;
}

} // namespace

void MatchSaleToLots(AppState &app) { MatchSaleToLots(TradeSheet(app), app); }

void MatchSaleToLots(Sheet &trades, AppState &app) {
    using namespace szla;
    trades.workbook().activate(trades);
    const int s = app.TradeRow;
    const long long q = app.TradeQuantity;
    const auto d = CellDate(trades, s, Day);
    Matching m{trades, s, q, FirstFreePairColumn(trades, s), Currency(), Currency()};

    // The day's own purchases are matched first, from the top of the day's rows, whatever
    // the sale order.
    int firstOfDay = s;
    while (firstOfDay - 1 >= FirstDataRow && d && CellDate(trades, firstOfDay - 1, Day) == d)
        --firstOfDay;
    for (int r = firstOfDay; r < s && m.toAllocate >= 1; ++r)
        if (IsOpenLot(trades, r)) m.consume(r);

    if (m.toAllocate > 0) {
        if (app.SaleOrder == "LIFO") {
            for (int r = s - 1; r >= FirstDataRow && m.toAllocate >= 1; --r)
                if (IsOpenLot(trades, r)) m.consume(r);
        } else {
            // Only the lots above the sale row: a later purchase is not yet there to sell.
            for (int r = FirstDataRow; r < s && m.toAllocate >= 1; ++r)
                if (IsOpenLot(trades, r)) m.consume(r);
        }
    }

    app.SaleCost = m.totalCost;
    app.SaleResult = m.totalProceeds - m.totalCost;
    app.UnallocatedQuantity = static_cast<int>(m.toAllocate);
    trades.setValue(s, Result, app.SaleResult);
    trades.setValue(s, CostPerShare, ScaleCurrency(m.totalCost, 1, q));
    trades.setValue(s, LotCode, kSaleRow);
    trades.setValue(s, LotStatus, kSoldOut);
}

std::vector<ConsumedLot> SaleAllocation(const Sheet &trades, int row) {
    std::vector<ConsumedLot> lots;
    for (int c = szla::FirstPair + 1; !trades.value(row, c).isBlank(); c += 2)
        lots.push_back({CellInteger(trades, row, c - 1), CellInteger(trades, row, c)});
    return lots;
}

void RestoreSaleLots(Sheet &trades, int row) {
    using namespace szla;
    std::vector<ConsumedLot> lots = SaleAllocation(trades, row);
    if (lots.empty()) return;
    // One pass to find every lot's row, instead of one scan per pair.
    std::unordered_map<long long, int> rowOfCode;
    for (int r = FirstDataRow; !trades.value(r, Day).isBlank(); ++r)
        if (auto u = trades.value(r, Settlement).integer()) rowOfCode.emplace(*u, r);
    for (const ConsumedLot &lot : lots) {
        auto found = rowOfCode.find(lot.lotCode);
        if (found == rowOfCode.end()) continue;
        int r = found->second;
        long long open = CellInteger(trades, r, OpenQuantity) + lot.taken;
        trades.setValue(r, OpenQuantity, static_cast<double>(open));
        trades.setValue(r, LotCode, kOpenLot);
        bool whole = open >= CellInteger(trades, r, SignedQuantity);
        trades.setValue(r, LotStatus, whole ? CellValue() : CellValue(kPartlySold));
    }
}

void ClearSaleAllocation(Sheet &trades, int row) {
    for (int c = szla::SaleCode; !trades.value(row, c).isBlank(); ++c)
        trades.setValue(row, c, CellValue());
}

} // namespace vandorix
