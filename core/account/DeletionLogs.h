#pragma once

#include "book/Sheets.h"

namespace vandorix {

struct AppState;
class Sheet;

// The deleted-row logs in the archive folder: every ledger or trade-sheet row is copied into
// one of them before it is removed, and stays there. Logged rows start at row 5, oldest first.
namespace deletionlog {

inline constexpr const char *kAccountLogFile = "Befszlatöröltsorok.xls";
inline constexpr const char *kAccountLogSheet = sheets::kAccountLog;
inline constexpr const char *kProductLogFile = "Terméktöröltsorok.xls";
inline constexpr const char *kProductLogSheet = sheets::kTrades;
inline constexpr const char *kAuxiliarySheet = sheets::kAuxiliary;
inline constexpr int kFirstLogRow = 5;

} // namespace deletionlog

// Opens "Befszlatöröltsorok.xls" of `ArchivePath` into the handle `AccountDeletionLog` and
// lifts its protection; minimises the host. A deletion ends with the handle's `commit()`.
// A log that does not exist yet is first copied from its template in `AuxiliaryPath`, so the
// deleted row has somewhere to go. A handle left open by a command that failed is dropped
// first, so the log is always read as it stands on disk.
void OpenAccountDeletionLog(AppState &app);
// Protects both sheets and the workbook and writes the file; it stays open.
void SaveAccountDeletionLog(AppState &app);
void CloseAccountDeletionLog(AppState &app);

// The same for "Terméktöröltsorok.xls" with its sheets "Szla" and "Segéd01".
void OpenProductDeletionLog(AppState &app);
void SaveProductDeletionLog(AppState &app);
void CloseProductDeletionLog(AppState &app);

// The row a new log entry goes to: the first row from row 5 on that holds nothing at all, so
// an entry never lands on an earlier one.
int FindLogAppendRow(const Sheet &log);

// Copies every cell of row `fromRow` into row `logRow` of the log: values, and with
// `withFormats` the cell and row formats too (the cash-account windows copy both, the trade
// corrections the values).
void CopyRowIntoLog(const Sheet &from, int fromRow, Sheet &log, int logRow, bool withFormats);

// Appends row `ledgerRow` of "Befszla01" with its values and formats to the open account
// deletion log and returns the log row it went to.
int AppendLedgerRowToDeletionLog(AppState &app, int ledgerRow);

} // namespace vandorix
