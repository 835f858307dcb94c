#pragma once

#include "book/Codes.h"
#include "book/Rows.h"
#include "book/Sheets.h"
#include "store/Currency.h"
#include "store/Date.h"
#include "store/Sheet.h"

#include <optional>
#include <string>

namespace vandorix {

// The trade sheet "Szla" of a product workbook: one row per purchase and per sale from row 5,
// the totals row three rows below the last of them, its row number in S2. The product
// statement "Szla02" and the product deletion log share its columns.
inline constexpr const char *kTradeSheet = sheets::kTrades;

namespace szla {
inline constexpr int FirstDataRow = book::kFirstDataRow;
inline constexpr int Day = 1;             // A  trade date
inline constexpr int OrderCode = 2;       // B
inline constexpr int Bought = 3;          // C  quantity bought
inline constexpr int BuyPrice = 4;        // D
inline constexpr int BuyValue = 5;        // E  C × D
inline constexpr int BuyCommission = 6;   // F
inline constexpr int BuyCost = 7;         // G  E + F
inline constexpr int CostPerShare = 8;    // H
inline constexpr int Description = 9;     // I
inline constexpr int Sold = 10;           // J  quantity sold
inline constexpr int SellPrice = 11;      // K
inline constexpr int SaleValue = 12;      // L  J × K
inline constexpr int SaleCommission = 13; // M
inline constexpr int NetProceeds = 14;    // N  L − M
inline constexpr int NetPerShare = 15;    // O  N ÷ J
inline constexpr int Result = 16;         // P  realised result of a sale
inline constexpr int SignedQuantity = 17; // Q  +C or −J
inline constexpr int Holding = 18;        // R  running holding
inline constexpr int LotCode = 19;        // S  "VAK", "VAR", "EAR"
inline constexpr int LotStatus = 20;      // T  "", "Rész", "Kész"
inline constexpr int Settlement = 21;     // U  the row's key
inline constexpr int OpenQuantity = 22;   // V  what is left of a lot
inline constexpr int SaleCode = 23;       // W  a sale's own settlement code
inline constexpr int FirstPair = 24;      // X, Y: quantity taken, the lot's settlement code
inline constexpr int ClearedColumns = 35; // the recomputation clears columns 1 to 35
inline constexpr int TotalsPointerRow = book::kCaptionRow;
inline constexpr int TotalsPointerColumn = 19; // S2
} // namespace szla

inline constexpr const char *kOpenLot = TextOf(ItemCode::Purchase);
inline constexpr const char *kClosedLot = TextOf(ItemCode::ClosedLot);
inline constexpr const char *kSaleRow = TextOf(ItemCode::Sale);
inline constexpr const char *kPartlySold = TextOf(LotState::PartlySold);
inline constexpr const char *kSoldOut = TextOf(LotState::SoldOut);

// Typed reads of trade-sheet cells; an empty or unreadable cell reads as 0 or "".
long long CellInteger(const Sheet &sheet, int row, int column);
Currency CellCurrency(const Sheet &sheet, int row, int column);
std::string CellText(const Sheet &sheet, int row, int column);
std::optional<Date> CellDate(const Sheet &sheet, int row, int column);
bool IsPurchaseRow(const Sheet &sheet, int row); // S is "VAK" or "VAR"
bool IsOpenLot(const Sheet &sheet, int row);     // S is "VAK"

// Row finders. Every scan starts at row 5 and ends at the first row whose A is empty.
// The last data row; 4 when the sheet has no trade.
int LastTradeRow(const Sheet &sheet);
// The last data row as the totals pointer S2 records it (S2 − 3); the scan when S2 is unusable.
int LastTradeRowFromHeader(const Sheet &sheet);

} // namespace vandorix
