#pragma once

#include "book/Templates.h"
#include "support/ReferenceFigures.h"
#include "trading/LedgerLotCodes.h"
#include "trading/TradeRows.h"
#include "trading/TradeSheet.h"
#include "trading/TradeWindowSession.h"

#include <memory>
#include <string>

namespace vandorix::testing {

// A registered product "Alfa" as registration leaves it (A1 and R1 of "Szla" written) and an
// empty account workbook prepared for writing, handed to AppState as the trade windows would
// have them open.
class TradeBooks : public ProductBooks {
  public:
    TradeBooks() : account_(makeAccountWorkbook()) {
        account_->unprotect(install::kWorkbookPassword);
        for (int i = 1; i <= account_->sheetCount(); ++i)
            account_->sheetAt(i).unprotect(install::kSheetPassword);
        trades().setValue(1, 1, "Alfa");
        trades().setValue(1, 18, "HU0000123456");
        app.AccountWorkbook = OpenBook(*account_);
        app.ProductCode = "HU0000123456";
    }

    Sheet &ledger() { return account_->sheet("Befszla01"); }

    void enter(Date d, int quantity, long long price, long long commission, int code) {
        app.TradeDate = d;
        app.TradeQuantity = quantity;
        app.UnitPrice = Currency::fromUnits(price);
        app.Commission = Currency::fromUnits(commission);
        app.OrderCode = 9000 + code;
        app.SettlementCode = code;
    }

    TradeOutcome buy(Date d, int quantity, long long price, long long commission, int code) {
        enter(d, quantity, price, commission, code);
        TradeOutcome outcome = RecordPurchase(app);
        addLedgerRow(d, quantity, app.UnitPrice, code, "VAK");
        return outcome;
    }

    TradeOutcome sell(Date d, int quantity, long long price, long long commission, int code,
                      const std::string &order = "FIFO") {
        enter(d, quantity, price, commission, code);
        app.SaleOrder = order;
        TradeOutcome outcome = RecordSale(app);
        if (outcome == TradeOutcome::Recorded)
            addLedgerRow(d, quantity, app.UnitPrice, code, "EAR");
        return outcome;
    }

    // A ledger row with the columns the lot codes and the entry-mode decision read, appended
    // at the end (the order of the ledger does not matter to them), and V2 pointing three rows
    // below it as the ledger recomputation leaves it.
    void addLedgerRow(Date d, int quantity, Currency price, int code, const std::string &type) {
        using namespace ledger;
        Sheet &l = ledger();
        int r = kFirstDataRow;
        while (!l.value(r, MovementDate).isBlank())
            ++r;
        l.setValue(r, MovementDate, d);
        const bool sale = type == "EAR";
        if (sale || type == "VAK" || type == "VAR") {
            l.setValue(r, sale ? SoldQuantity : BoughtQuantity, quantity);
            l.setValue(r, sale ? SellPrice : BuyPrice, price);
            l.setValue(r, ProductId, app.ProductCode);
        }
        l.setValue(r, SettlementCode, code);
        l.setValue(r, RowType, type);
        l.setValue(kHeaderRow, RowType, r + 3);
    }

    int rowOf(int code) { return TradeRowOfSettlementCode(trades(), code); }
    std::string ledgerType(int code) {
        return Text(ledger(), RowOfCode(ledger(), code), ledger::RowType);
    }

  private:
    std::unique_ptr<Workbook> account_;
};

} // namespace vandorix::testing
