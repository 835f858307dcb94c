#include "trading/TradeBooking.h"

#include "account/DeletionLogs.h"
#include "analytics/Indicators.h"
#include "store/Workbook.h"
#include "app/WorkbookProtocol.h"
#include "trading/LedgerLotCodes.h"
#include "trading/TradeCorrections.h"
#include "trading/TradeLedger.h"
#include "trading/TradePrices.h"
#include "trading/TradeSheet.h"

namespace vandorix {

namespace {

TradeOutcome changeTradeSheet(AppState &app, TradeWindowKind kind) {
    const bool purchase = kind == TradeWindowKind::Purchase;
    if (app.ModifyRequested) return purchase ? ModifyPurchase(app) : ModifySale(app);
    return purchase ? RecordPurchase(app) : RecordSale(app);
}

} // namespace

TradeOutcome BookTrade(AppState &app, Dialogs &dialogs, TradeWindowKind kind) {
    // The trade procedures refuse before they write anything, so a refused trade leaves the
    // open workbooks as they were.
    const TradeOutcome outcome = changeTradeSheet(app, kind);
    if (outcome != TradeOutcome::Recorded) return outcome;
    const bool becameFirstTrade = app.TradeRow == szla::FirstDataRow;

    // The trade's price as the day's closing price: a purchase only where the day has none, a
    // sale in any case. The final price asked below overwrites it.
    EnsureTradePriceRow(app);
    const Currency dayPriceBefore = app.ExistingClosingPrice;
    if (kind == TradeWindowKind::Sale || dayPriceBefore == Currency())
        RecordTradeClosingPrice(app, app.UnitPrice);

    WriteTradeLedgerRow(app, kind);
    SyncLedgerLotCodes(app);

    if (app.ModifyRequested || becameFirstTrade) RecalcAllPriceRows(app);
    EnsureTradePriceRow(app);
    RecordTradeClosingPrice(app, AskFinalClosingPrice(dialogs, app.UnitPrice, dayPriceBefore));
    return TradeOutcome::Recorded;
}

TradeOutcome DeleteTrade(AppState &app, TradeWindowKind kind) {
    const bool purchase = kind == TradeWindowKind::Purchase;
    Sheet &trades = TradeSheet(app);
    const TradeOutcome found = purchase ? CheckPurchaseDeletable(app) : FindTradeRow(app);
    if (found != TradeOutcome::Recorded) return found;
    if (!purchase && CellText(trades, app.TradeRow, szla::LotCode) != kSaleRow)
        return TradeOutcome::NotFound;
    // The day whose holding changes is the trade's own, whatever the date field holds.
    const Date day = CellDate(trades, app.TradeRow, szla::Day).value_or(app.TradeDate);

    OpenProductDeletionLog(app);
    OpenAccountDeletionLog(app);
    MoveTradeLedgerRowToLog(app);

    Sheet &log = app.ProductDeletionLog->sheet(deletionlog::kProductLogSheet);
    CopyRowIntoLog(trades, app.TradeRow, log, FindLogAppendRow(log), false);
    if (purchase) DeletePurchaseRow(app);
    else DeleteSaleRow(app);
    SyncLedgerLotCodes(app);

    app.ReferenceDate = day;
    RefreshProductDataRange(app);
    RecalcAllPriceRows(app);
    RerecordDayPrice(app, day);
    return TradeOutcome::Recorded;
}

void SaveTradeWorkbooks(AppState &app) {
    app.ProductDeletionLog.commit();
    app.AccountDeletionLog.commit();
    app.ProductWorkbook.commit();
    app.AccountWorkbook.commit();
    if (app.HostRunning) QuitSpreadsheetHost(app);
}

} // namespace vandorix
