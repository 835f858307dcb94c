#pragma once

#include "app/AppState.h"
#include "book/Sheets.h"

namespace vandorix {

// The open, prepare, save and close procedures of the account workbook, the product workbook
// and the product list. Open puts the workbook in its handle of `AppState`; a command that
// changed it ends with the handle's `commit()`, one that did not with its `close()`. Save
// protects every sheet and the workbook again and writes the file, leaving it open; Close
// lets it go without writing.
void OpenAccountWorkbook(AppState &app);
// Opens and prepares the account workbook unless it is open already.
void EnsureAccountWorkbook(AppState &app);
void PrepareAccountWorkbook(AppState &app);
void ShowAccountSheets(AppState &app);
void CloseAccountWorkbook(AppState &app);

void OpenProductWorkbook(AppState &app);
void PrepareProductWorkbook(AppState &app);
void ShowProductSheets(AppState &app);
void HideProductSheets(AppState &app);
void ProtectProductWorkbook(AppState &app);
void SaveProductWorkbook(AppState &app);
void CloseProductWorkbook(AppState &app);

void OpenProductListWorkbook(AppState &app);

void QuitSpreadsheetHost(AppState &app);
// Releases every workbook and marks the program as ended.
void ExitProgram(AppState &app);
// The workbook part of leaving a window: every open workbook is protected and closed without
// writing, then the host is asked to quit.
void CloseWorkbooksForReturn(AppState &app);

// Closes every workbook the host holds without writing and clears every handle and open flag:
// what a failed command changed in memory never reaches the disk.
void DiscardOpenWorkbooks(AppState &app);

} // namespace vandorix
