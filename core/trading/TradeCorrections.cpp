#include "trading/TradeCorrections.h"

#include "trading/LotMatching.h"
#include "trading/TradeSheet.h"

#include <unordered_map>

namespace vandorix {

namespace {

bool LotTouched(const Sheet &trades, int row) {
    return CellInteger(trades, row, szla::SignedQuantity) !=
           CellInteger(trades, row, szla::OpenQuantity);
}

// What the lots would hold for a sale standing in `saleRow` moved to date `d` once its own
// allocation is given back: the open quantity, plus what it took, of every purchase row that
// would stand above it.
long long AvailableAfterRestore(const Sheet &trades, int saleRow, Date d) {
    std::unordered_map<long long, long long> takenFrom;
    for (const ConsumedLot &lot : SaleAllocation(trades, saleRow)) takenFrom[lot.lotCode] += lot.taken;

    const bool sameDate = CellDate(trades, saleRow, szla::Day) == d;
    long long available = 0;
    for (int r = szla::FirstDataRow; !trades.value(r, szla::Day).isBlank(); ++r) {
        if (sameDate && r >= saleRow) break;
        if (r == saleRow || !IsPurchaseRow(trades, r)) continue;
        auto date = CellDate(trades, r, szla::Day);
        if (!date || *date > d) break;
        long long open = CellInteger(trades, r, szla::OpenQuantity);
        auto taken = takenFrom.find(CellInteger(trades, r, szla::Settlement));
        if (taken != takenFrom.end()) open += taken->second;
        available += open;
    }
    return available;
}

// A modified trade whose date changed moves to where a trade of its new date belongs.
void moveToItsDate(Sheet &trades, AppState &app, int (*insertionRow)(const Sheet &, Date)) {
    if (CellDate(trades, app.TradeRow, szla::Day) == app.TradeDate) return;
    trades.deleteRow(app.TradeRow);
    app.TradeRow = insertionRow(trades, app.TradeDate);
    InsertTradeRow(trades, app.TradeRow);
    AdvanceTotalsPointer(trades);
}

} // namespace

TradeOutcome FindTradeRow(AppState &app) {
    app.TradeRow = TradeRowOfSettlementCode(TradeSheet(app), app.SettlementCode);
    return app.TradeRow ? TradeOutcome::Recorded : TradeOutcome::NotFound;
}

TradeOutcome ModifyPurchase(AppState &app) {
    Sheet &trades = TradeSheet(app);
    if (FindTradeRow(app) == TradeOutcome::NotFound || !IsPurchaseRow(trades, app.TradeRow))
        return TradeOutcome::NotFound;
    if (LotTouched(trades, app.TradeRow)) return TradeOutcome::LotAlreadySold;

    moveToItsDate(trades, app, PurchaseInsertionRow);
    WritePurchaseRow(trades, app.TradeRow, app);
    RecalcTradeSheet(trades, app);
    return TradeOutcome::Recorded;
}

TradeOutcome ModifySale(AppState &app) {
    Sheet &trades = TradeSheet(app);
    if (FindTradeRow(app) == TradeOutcome::NotFound ||
        CellText(trades, app.TradeRow, szla::LotCode) != kSaleRow)
        return TradeOutcome::NotFound;
    const long long available = AvailableAfterRestore(trades, app.TradeRow, app.TradeDate);
    if (available < app.TradeQuantity) {
        app.HeldQuantity = static_cast<int>(available);
        return TradeOutcome::NotEnoughShares;
    }

    RestoreSaleLots(trades, app.TradeRow);
    ClearSaleAllocation(trades, app.TradeRow);
    moveToItsDate(trades, app, SaleInsertionRow);
    WriteSaleRow(trades, app.TradeRow, app);
    MatchSaleToLots(trades, app);
    RecalcTradeSheet(trades, app);
    return TradeOutcome::Recorded;
}

TradeOutcome CheckPurchaseDeletable(AppState &app) {
    Sheet &trades = TradeSheet(app);
    if (FindTradeRow(app) == TradeOutcome::NotFound || !IsPurchaseRow(trades, app.TradeRow))
        return TradeOutcome::NotFound;
    if (LotTouched(trades, app.TradeRow)) return TradeOutcome::LotAlreadySold;
    return TradeOutcome::Recorded;
}

void DeletePurchaseRow(AppState &app) {
    Sheet &trades = TradeSheet(app);
    trades.deleteRow(app.TradeRow);
    RecalcTradeSheet(trades, app);
}

void DeleteSaleRow(AppState &app) {
    Sheet &trades = TradeSheet(app);
    RestoreSaleLots(trades, app.TradeRow);
    trades.deleteRow(app.TradeRow);
    RecalcTradeSheet(trades, app);
}

} // namespace vandorix
