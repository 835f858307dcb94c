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

    if (app.EntryMode < 1) {
        if (int row = FindLedgerRowByCode(ledger, app.SettlementCode)) {
            const std::string title = "Felhívás";
            if (AskYesNo(dialogs, std::string("Van már ilyen adat.") + kCrLf + "Módosítani szeretné ?",
                         title, MessageIcon::Exclamation)) {
                app.ModifyRequested = true;
                app.LedgerRow = row;
                app.EntryMode = 2;
                if (kind == TradeWindowKind::Sale) app.PreviousQuantity = app.TradeQuantity;
            } else {
                app.ModifyRequested = false;
                if (!AskYesNo(dialogs, "Törölhető az adat?", title, MessageIcon::Exclamation))
                    return EntryDecision::LeaveProgram;
                app.DeleteRequested = true;
                app.LedgerRow = row;
                app.EntryMode = 1;
            }
        }
    }

    if (app.LedgerRow > 0 && !LedgerRowFitsTrade(ledger, app.LedgerRow, kind, app.TradeQuantity,
                                                 app.UnitPrice, app.ProductCode)) {
        ShowSettlementCodeMismatch(dialogs);
        return EntryDecision::Mismatch;
    }
    switch (app.EntryMode) {
    case 2: return EntryDecision::Modify;
    case 1: return EntryDecision::Delete;
    default: return EntryDecision::NewTrade;
    }
}

} // namespace vandorix
