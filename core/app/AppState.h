#pragma once

#include "app/EntryMode.h"
#include "app/OpenBook.h"
#include "store/Currency.h"
#include "store/DataFolderLock.h"
#include "store/Date.h"
#include "store/SpreadsheetHost.h"
#include "store/UndoStore.h"
#include "store/Workbook.h"

#include <cstdint>
#include <memory>
#include <string>

namespace vandorix {

// The one in-memory program state, rebuilt at every start-up and never stored. Each group of
// fields belongs to the subsystem named in its comment.
struct AppState {
    // Start-up and data folders.
    std::string ProgramFolderPath;
    std::string RootFolderPath;
    std::string RootParentPath;
    std::string MasterDataPath;
    std::string ProductsPath;
    std::string AuxiliaryPath;
    std::string ArchivePath;
    // Held while the program runs, so a second copy cannot work on the same folders.
    std::unique_ptr<DataFolderLock> DataLock;
    // Keeps what each command replaced, so that it can be undone.
    std::unique_ptr<UndoStore> Undo;
    std::unique_ptr<SpreadsheetHost> HostApp;
    bool HostRunning = false;
    Date Today;
    Date StartOfYear;
    std::string WorkbookPassword;
    std::string SheetPassword;

    // Open workbooks: each handle closes its workbook unwritten unless it is committed, and
    // a workbook is open exactly while its handle holds it.
    OpenBook AccountWorkbook;
    OpenBook ProductWorkbook;
    OpenBook ProductListWorkbook;
    bool AccountWorkbookOpen() const { return AccountWorkbook.isOpen(); }
    bool ProductWorkbookOpen() const { return ProductWorkbook.isOpen(); }
    bool ProductListOpen() const { return ProductListWorkbook.isOpen(); }
    std::string ProductName;
    std::string ProductCode;
    std::string ProductFileName;

    // Deleted-row logs.
    OpenBook AccountDeletionLog;
    OpenBook ProductDeletionLog;
    bool AccountDeletionLogOpen() const { return AccountDeletionLog.isOpen(); }
    bool ProductDeletionLogOpen() const { return ProductDeletionLog.isOpen(); }

    // Investment cash account: what the last ledger recomputation found, for the statement,
    // the viewing and the other readers of "Befszla01".
    int LedgerLastRow = 4;             // last data row; 4 when the ledger has none
    Date LedgerLastDate;               // date of that row; the default date when none
    bool LedgerEmpty = false;          // the ledger has no data row

    // Menu.
    bool BrokerFeeRefundMode = false;

    // Closing prices and indicators.
    bool TradeDrivenPriceEntry = false;
    int RsiPeriod = 14;

    // Closing prices: the hand-over of a recording (the trade windows set these before they
    // run the recording step) and the position of the product on the row being recomputed.
    Date ReferenceDate;                // the day being recorded or computed
    int RecalcFromRow = 0;             // first changed row of the price sheet
    bool PriceRowIsNew = false;        // the day's row was inserted for this recording
    Currency ClosingPriceToRecord;
    Currency ExistingClosingPrice;     // the price already in the day's row, 0 when none
    Date PositionDate;
    Currency PositionCost;             // cost of the purchases up to PositionDate
    Currency PositionProceeds;         // net proceeds of the sales up to PositionDate
    Currency PositionValue;
    Currency PositionResult;
    Currency DailyResultChange;

    // Indicators: the data range of the daily price sheet, as its parameter block holds it.
    int LastDataRow = 0;
    int FirstEmptyRow = 0;
    int YearStartRow = 0;
    Date FirstDataDate;
    Date LastDataDate;
    Date NextDataDate;
    int RsiRow = 0;                    // newest row of the RSI window
    int CustomRsiPeriod = 0;
    std::string DateRangeCaption;

    // Share trading: the entry of the trade windows, the entry mode, the lot matching and
    // the results of the trade-sheet recomputation.
    Date TradeDate;                    // the trade's date; the price step gets it as its date
    int TradeQuantity = 0;
    Currency UnitPrice;
    Currency Commission;
    std::int32_t OrderCode = 0;
    std::int32_t SettlementCode = 0;
    std::string SaleOrder = "FIFO";    // "FIFO" or "LIFO"
    int TradeRow = 0;                  // the trade's row in "Szla"
    int LedgerRow = 0;                 // the trade's row in "Befszla01"; 0 when none is known
    vandorix::EntryMode EntryMode = vandorix::EntryMode::New;
    bool ModifyRequested = false;
    bool DeleteRequested = false;
    int PreviousQuantity = 0;          // a modified sale's quantity before the change
    Currency SaleCost;                 // cost of the lots the last matched sale consumed
    Currency SaleResult;               // realised result of the last matched sale
    int UnallocatedQuantity = 0;       // what the last matching found no open lot for
    int HeldQuantity = 0;              // open quantity of the product's lots
    Currency HeldAverageCost;          // average cost per share of the open lots
    Date FirstTradeDate;
    Date LastTradeDate;

    // Reports: the two dates entered in the result and value report windows.
    Date RangeFromDate;                // period start; the value report's reference day
    Date RangeToDate;                  // period end; the value report's value day

    // Product statement: the rows of "Szla" that bound the chosen period.
    int StatementFirstRow = 0;
    int StatementLastRow = 0;

    // Product data view and charts: the chosen range, the custom RSI and the chart source
    // rows of "<name>02", and the value-axis scales the charts are drawn with.
    int RangeDays = 0;                 // RangeToDate − RangeFromDate
    int MaRow = 0;
    std::string CustomRsiCaption;
    bool RsiRecomputed = false;
    int ChartFirstRow = 0;
    int ChartLastRow = 0;
    Currency FirstChartPrice, LastChartPrice, FirstChartResult, LastChartResult;
    // The value axis of one chart: its range, the level the category axis crosses it at and
    // its units.
    struct AxisScale {
        double min = 0, max = 0, cross = 0, major = 0, minor = 0;
    };
    AxisScale PriceScale, ResultScale, DailyScale;

    // Set when ExitProgram ran: the event loop ends.
    bool ProgramEnded = false;

    SpreadsheetHost &host() { return *HostApp; }
};

} // namespace vandorix
