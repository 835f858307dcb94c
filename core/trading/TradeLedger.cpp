#include "trading/TradeLedger.h"

#include "account/DeletionLogs.h"
#include "account/Ledger.h"
#include "book/Codes.h"
#include "store/Workbook.h"
#include "trading/TradeRows.h"

namespace vandorix {

namespace {

Sheet &ledgerOf(AppState &app) { return app.AccountWorkbook->sheet(ledger::kSheet); }

void writePurchaseColumns(Sheet &l, int row, const AppState &app) {
    using namespace ledger;
    const Currency value = app.UnitPrice * app.TradeQuantity;
    const Currency cost = value + app.Commission;
    l.setValue(row, BoughtQuantity, app.TradeQuantity);
    l.setValue(row, BuyPrice, app.UnitPrice);
    l.setValue(row, BuyValue, value);
    l.setValue(row, BuyCommission, app.Commission);
    l.setValue(row, BuyCost, cost);
    l.setValue(row, Description, PurchaseDescription(app.ProductName, app.TradeQuantity));
    l.setValue(row, Movement, -cost);
    l.setValue(row, RowType, TextOf(ItemCode::Purchase));
}

void writeSaleColumns(Sheet &l, int row, const AppState &app) {
    using namespace ledger;
    const Currency value = app.UnitPrice * app.TradeQuantity;
    const Currency net = value - app.Commission;
    l.setValue(row, SoldQuantity, app.TradeQuantity);
    l.setValue(row, SellPrice, app.UnitPrice);
    l.setValue(row, SellValue, value);
    l.setValue(row, SellCommission, app.Commission);
    l.setValue(row, NetProceeds, net);
    l.setValue(row, RealisedResult, app.SaleResult);
    l.setValue(row, Description,
               SaleDescription(app.ProductName, app.TradeQuantity, app.SaleOrder));
    l.setValue(row, Movement, net);
    l.setValue(row, RowType, TextOf(ItemCode::Sale));
}

} // namespace

void WriteTradeLedgerRow(AppState &app, TradeWindowKind kind) {
    Sheet &l = ledgerOf(app);
    const TradeRowKind rowKind =
        kind == TradeWindowKind::Purchase ? TradeRowKind::Purchase : TradeRowKind::Sale;
    int row = app.ModifyRequested ? FindLedgerRowByCode(l, app.SettlementCode) : 0;
    if (row != 0 && l.value(row, ledger::MovementDate).date() != std::optional(app.TradeDate)) {
        l.deleteRow(row);
        row = 0;
    }
    if (row == 0) row = InsertTradeLedgerRow(l, app.TradeDate, rowKind);
    app.LedgerRow = row;

    l.setValue(row, ledger::MovementDate, app.TradeDate);
    l.setValue(row, ledger::OrderCode, static_cast<double>(app.OrderCode));
    l.setValue(row, ledger::ProductId, app.ProductCode);
    l.setValue(row, ledger::SettlementCode, static_cast<double>(app.SettlementCode));
    if (kind == TradeWindowKind::Purchase) writePurchaseColumns(l, row, app);
    else writeSaleColumns(l, row, app);
    RecalcAccountLedger(app);
}

int MoveTradeLedgerRowToLog(AppState &app) {
    Sheet &l = ledgerOf(app);
    const int row = FindLedgerRowByCode(l, app.SettlementCode);
    if (row == 0) return 0;
    Sheet &log = app.AccountDeletionLog->sheet(deletionlog::kAccountLogSheet);
    const int logRow = FindLogAppendRow(log);
    CopyRowIntoLog(l, row, log, logRow, false);
    l.deleteRow(row);
    app.LedgerRow = 0;
    RecalcAccountLedger(app);
    return logRow;
}

} // namespace vandorix
