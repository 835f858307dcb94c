#include "trading/TradeRows.h"

#include "trading/LotMatching.h"
#include "trading/TradeSheet.h"

namespace vandorix {

std::string PurchaseDescription(const std::string &productName, int quantity) {
    return productName + "  " + std::to_string(quantity) + " db. vétel";
}

std::string SaleDescription(const std::string &productName, int quantity,
                            const std::string &saleOrder) {
    return productName + "  " + std::to_string(quantity) + " db. elad " + saleOrder;
}

// The figures of the trade window as entered: the day, the quantity, unit price and commission
// in the columns of the trade's side, and the two codes.
static void writeEntered(Sheet &trades, int row, const AppState &app, int quantityColumn,
                         int priceColumn, int commissionColumn) {
    trades.setValue(row, szla::Day, app.TradeDate);
    trades.setValue(row, quantityColumn, app.TradeQuantity);
    trades.setValue(row, priceColumn, app.UnitPrice);
    trades.setValue(row, commissionColumn, app.Commission);
    trades.setValue(row, szla::OrderCode, static_cast<double>(app.OrderCode));
    trades.setValue(row, szla::Settlement, static_cast<double>(app.SettlementCode));
}

void WritePurchaseRow(Sheet &trades, int row, const AppState &app) {
    using namespace szla;
    const int q = app.TradeQuantity;
    const Currency value = app.UnitPrice * q;
    const Currency cost = value + app.Commission;
    writeEntered(trades, row, app, Bought, BuyPrice, BuyCommission);
    trades.setValue(row, LotCode, kOpenLot);
    trades.setValue(row, Description, PurchaseDescription(app.ProductName, q));
    trades.setValue(row, BuyValue, value);
    trades.setValue(row, BuyCost, cost);
    trades.setValue(row, CostPerShare, q > 0 ? cost.toDouble() / q : 0.0);
    trades.setValue(row, SignedQuantity, q);
    trades.setValue(row, OpenQuantity, q);
}

void WriteSaleRow(Sheet &trades, int row, const AppState &app) {
    using namespace szla;
    const int q = app.TradeQuantity;
    const Currency value = app.UnitPrice * q;
    const Currency net = value - app.Commission;
    writeEntered(trades, row, app, Sold, SellPrice, SaleCommission);
    trades.setValue(row, Description, SaleDescription(app.ProductName, q, app.SaleOrder));
    trades.setValue(row, SaleValue, value);
    trades.setValue(row, NetProceeds, net);
    trades.setValue(row, NetPerShare, q > 0 ? net.toDouble() / q : 0.0);
    trades.setValue(row, SignedQuantity, -q);
}

TradeOutcome RecordPurchase(AppState &app) {
    Sheet &trades = TradeSheet(app);
    app.TradeRow = PurchaseInsertionRow(trades, app.TradeDate);
    InsertTradeRow(trades, app.TradeRow);
    WritePurchaseRow(trades, app.TradeRow, app);
    AdvanceTotalsPointer(trades);
    RecalcTradeSheet(trades, app);
    return TradeOutcome::Recorded;
}

TradeOutcome RecordSale(AppState &app) {
    Sheet &trades = TradeSheet(app);
    app.TradeRow = SaleInsertionRow(trades, app.TradeDate);
    // Only the lots dated on or before the sale count: a later purchase cannot be sold yet.
    app.HeldQuantity = OpenQuantityAbove(trades, app.TradeRow);
    if (app.HeldQuantity < app.TradeQuantity) return TradeOutcome::NotEnoughShares;
    InsertTradeRow(trades, app.TradeRow);
    WriteSaleRow(trades, app.TradeRow, app);
    AdvanceTotalsPointer(trades);
    MatchSaleToLots(trades, app);
    RecalcTradeSheet(trades, app);
    return TradeOutcome::Recorded;
}

} // namespace vandorix
