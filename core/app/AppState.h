#pragma once

#include "store/DataFolderLock.h"
#include "store/Date.h"
#include "store/SpreadsheetHost.h"
#include "store/Workbook.h"

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
    std::unique_ptr<SpreadsheetHost> HostApp;
    bool HostRunning = false;
    Date Today;
    Date StartOfYear;
    std::string WorkbookPassword;
    std::string SheetPassword;

    // Open workbooks.
    Workbook *AccountWorkbook = nullptr;
    Workbook *ProductWorkbook = nullptr;
    Workbook *ProductListWorkbook = nullptr;
    bool AccountWorkbookOpen = false;
    bool ProductWorkbookOpen = false;
    bool ProductListOpen = false;
    bool WorkbookChanged = false;
    std::string ProductName;
    std::string ProductCode;
    std::string ProductFileName;

    // Deleted-row logs.
    Workbook *AccountDeletionLog = nullptr;
    Workbook *ProductDeletionLog = nullptr;
    bool AccountDeletionLogOpen = false;
    bool ProductDeletionLogOpen = false;

    // Menu.
    bool BrokerFeeRefundMode = false;

    // Closing prices and indicators.
    bool TradeDrivenPriceEntry = false;
    int RsiPeriod = 14;

    // Set when ExitProgram ran: the event loop ends.
    bool ProgramEnded = false;

    SpreadsheetHost &host() { return *HostApp; }
};

} // namespace vandorix
