#include "trading/EntryMode.h"

#include "trading/LedgerLotCodes.h"
#include "trading/TradeSheet.h"

namespace vandorix {

bool LedgerRowFitsTrade(const Sheet &ledger, int row, TradeWindowKind kind, long long quantity,
                        Currency unitPrice, const std::string &productCode) {
    const std::string type = CellText(ledger, row, ledger::RowType);
    const bool purchase = kind == TradeWindowKind::Purchase;
    if (purchase ? (type != kOpenLot && type != kClosedLot) : type != kSaleRow) return false;
    const int quantityColumn = purchase ? ledger::BoughtQuantity : ledger::SoldQuantity;
    const int priceColumn = purchase ? ledger::BuyPrice : ledger::SellPrice;
    auto q = ledger.value(row, quantityColumn).integer();
    if (!q || *q != quantity) return false;
    auto price = ledger.value(row, priceColumn).currency();
    if (!price || *price != unitPrice) return false;
    return CellText(ledger, row, ledger::ProductId) == productCode;
}

EntryDecision DecideTradeEntryMode(AppState &app, Dialogs &dialogs, TradeWindowKind kind) {
    Sheet &trades = TradeSheet(app);
    // R1 holds the product's identification code.
    app.ProductCode = trades.value(1, 18).display();
    Sheet &ledger = LedgerSheet(app);
    ledger.workbook().activate(ledger);

    const bool asked = app.EntryMode == EntryMode::New;
    const EntryDecision decision = DecideEntryMode(
        dialogs, {app.EntryMode, app.LedgerRow, app.ModifyRequested, app.DeleteRequested},
        {"Törölhető az adat?", [&] { return FindLedgerRowByCode(ledger, app.SettlementCode); },
         [&](int row) {
             return LedgerRowFitsTrade(ledger, row, kind, app.TradeQuantity, app.UnitPrice,
                                       app.ProductCode);
         }});
    // A sale being modified keeps the quantity it had before the change.
    if (asked && app.EntryMode == EntryMode::Modify && kind == TradeWindowKind::Sale)
        app.PreviousQuantity = app.TradeQuantity;
    return decision;
}

} // namespace vandorix
