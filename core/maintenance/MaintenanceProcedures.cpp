#include "maintenance/MaintenanceProcedures.h"

#include "account/DeletionLogs.h"
#include "account/Ledger.h"
#include "book/Sheets.h"
#include "products/ProductRegister.h"
#include "store/Sheet.h"
#include "store/Workbook.h"
#include "app/WorkbookProtocol.h"
#include "trading/LedgerLotCodes.h"
#include "trading/TradeBooking.h"
#include "trading/TradeSheet.h"

namespace vandorix {

using namespace maintenance;

namespace {

constexpr int kFirstProductRow = 5;

std::string cellText(const Sheet &sheet, int row, int column) {
    const CellValue &v = sheet.value(row, column);
    return v.text().value_or(v.display());
}

bool holdsCode(const Sheet &sheet, int row, int column, std::int64_t code) {
    return sheet.value(row, column).integer() == std::optional<long long>(code);
}

// Opens and prepares the workbook of the trade's product; false (nothing opened) when the
// product is not known or its workbook is gone.
bool openProductOf(AppState &app, const LedgerMovement &movement) {
    std::optional<std::string> name = ProductNameOfId(*app.AccountWorkbook, movement.productId);
    if (!name || !ProductWorkbookExists(app, *name)) return false;
    if (app.ProductWorkbookOpen() && app.ProductName != *name) CloseProductWorkbook(app);
    app.ProductName = *name;
    app.ProductCode = movement.productId;
    if (!app.ProductWorkbookOpen()) {
        OpenProductWorkbook(app);
        PrepareProductWorkbook(app);
    }
    return true;
}

} // namespace

std::optional<LedgerMovement> FindLedgerMovement(AppState &app, std::int64_t code) {
    Sheet &l = LedgerSheet(app);
    const int row = FindLedgerRowByCode(l, code);
    if (row == 0) return std::nullopt;
    LedgerMovement m;
    m.row = row;
    const CellValue &date = l.value(row, ledger::MovementDate);
    m.date = date.date() ? date.date()->toString() : date.display();
    m.productId = cellText(l, row, ledger::ProductId);
    m.description = cellText(l, row, ledger::Description);
    return m;
}

std::optional<std::string> ProductNameOfId(const Workbook &account, const std::string &productId) {
    if (productId.empty()) return std::nullopt;
    for (const char *sheetName : {sheets::kResults, sheets::kValues}) {
        const Sheet *sheet = account.findSheet(sheetName);
        if (!sheet) continue;
        for (int r = kFirstProductRow; !sheet->value(r, 1).isBlank(); ++r)
            if (cellText(*sheet, r, 2) == productId) return cellText(*sheet, r, 1);
    }
    return std::nullopt;
}

int ReplaceCodeInTradeSheet(Sheet &trades, std::int64_t oldCode, std::int64_t newCode) {
    const int last = LastTradeRowFromHeader(trades);
    int changed = 0;
    auto replaceIn = [&](int column) {
        for (int r = szla::FirstDataRow; r <= last; ++r) {
            if (!holdsCode(trades, r, column, oldCode)) continue;
            trades.setValue(r, column, static_cast<double>(newCode));
            ++changed;
        }
    };
    replaceIn(kOwnCodeColumn);
    replaceIn(kSaleCopyColumn);
    for (int c = kFirstLotCodeColumn; c <= kLastLotCodeColumn; c += 2) replaceIn(c);
    return changed;
}

MaintenanceOutcome ChangeSettlementCode(AppState &app, const LedgerMovement &movement,
                                        std::int64_t oldCode, std::int64_t newCode) {
    if (!movement.productId.empty()) {
        if (!openProductOf(app, movement)) return MaintenanceOutcome::ProductMissing;
        Sheet &trades = TradeSheet(app);
        if (TradeRowOfSettlementCode(trades, oldCode) == 0) {
            CloseProductWorkbook(app);
            return MaintenanceOutcome::TradeRowMissing;
        }
        ReplaceCodeInTradeSheet(trades, oldCode, newCode);
        app.ProductWorkbook.commit();
    }
    Sheet &l = LedgerSheet(app);
    l.setValue(movement.row, ledger::SettlementCode, static_cast<double>(newCode));
    app.AccountWorkbook.commit();
    return MaintenanceOutcome::Done;
}

MaintenanceOutcome DeleteLedgerMovement(AppState &app, const LedgerMovement &movement,
                                        std::int32_t code) {
    if (movement.productId.empty()) {
        OpenAccountDeletionLog(app);
        AppendLedgerRowToDeletionLog(app, movement.row);
        LedgerSheet(app).deleteRow(movement.row);
        RecalcAccountLedger(app);
        app.AccountDeletionLog.commit();
        app.AccountWorkbook.commit();
        QuitSpreadsheetHost(app);
        return MaintenanceOutcome::Done;
    }

    // A trade lives in the ledger and in its product's trade sheet: deleting only the ledger
    // row would leave the lot (or the sale) in "Szla" without its money movement.
    if (!openProductOf(app, movement)) return MaintenanceOutcome::ProductMissing;
    Sheet &trades = TradeSheet(app);
    const int tradeRow = TradeRowOfSettlementCode(trades, code);
    if (tradeRow == 0) {
        CloseProductWorkbook(app);
        return MaintenanceOutcome::TradeRowMissing;
    }
    app.SettlementCode = code;
    if (std::optional<Date> day = CellDate(trades, tradeRow, szla::Day)) app.TradeDate = *day;
    const TradeWindowKind kind =
        IsPurchaseRow(trades, tradeRow) ? TradeWindowKind::Purchase : TradeWindowKind::Sale;
    switch (DeleteTrade(app, kind)) {
    case TradeOutcome::Recorded: break;
    case TradeOutcome::LotAlreadySold:
        CloseProductWorkbook(app);
        return MaintenanceOutcome::LotAlreadySold;
    default:
        CloseProductWorkbook(app);
        return MaintenanceOutcome::TradeRowMissing;
    }
    SaveTradeWorkbooks(app);
    return MaintenanceOutcome::Done;
}

} // namespace vandorix
