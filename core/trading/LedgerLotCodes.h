#pragma once

#include "account/Ledger.h"
#include "app/AppState.h"
#include "store/Sheet.h"

namespace vandorix {

inline constexpr const char *kLedgerSheet = ledger::kSheet;

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
