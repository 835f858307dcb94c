#pragma once

#include "app/AppState.h"
#include "store/Sheet.h"

namespace vandorix {

inline constexpr const char *kLedgerSheet = "Befszla01";

namespace ledger {
inline constexpr int FirstDataRow = 5;
inline constexpr int Day = 1;             // A
inline constexpr int Bought = 3;          // C
inline constexpr int BuyPrice = 4;        // D
inline constexpr int ProductCode = 8;     // H
inline constexpr int Sold = 10;           // J
inline constexpr int SellPrice = 11;      // K
inline constexpr int Settlement = 21;     // U
inline constexpr int RowType = 22;        // V
inline constexpr int TotalsPointerRow = 2;
inline constexpr int TotalsPointerColumn = 22; // V2
} // namespace ledger

// "Befszla01" of the open account workbook.
Sheet &LedgerSheet(AppState &app);

// Copies the lot code of every purchase row of "Szla" ("VAK" or "VAR") into column V of the
// ledger rows with the same settlement code; sale rows are left alone. One pass over each
// sheet: the trade sheet's codes are gathered first, then the ledger is walked once.
void SyncLedgerLotCodes(AppState &app);
void SyncLedgerLotCodes(const Sheet &trades, Sheet &ledger);

// The ledger's last data row as V2 records it (V2 − 3), or by scanning column A when V2 does
// not hold a usable row number.
int LastLedgerRowFromHeader(const Sheet &ledger);

} // namespace vandorix
