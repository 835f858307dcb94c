#pragma once

#include "app/AppState.h"
#include "store/Currency.h"
#include "store/Date.h"
#include "store/Sheet.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vandorix {

// The trade sheet "Szla" of a product workbook: one row per purchase and per sale from row 5,
// the totals row three rows below the last of them, its row number in S2.
inline constexpr const char *kTradeSheet = "Szla";

namespace szla {
inline constexpr int FirstDataRow = 5;
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
inline constexpr int TotalsPointerRow = 2;
inline constexpr int TotalsPointerColumn = 19; // S2
} // namespace szla

inline constexpr const char *kOpenLot = "VAK";
inline constexpr const char *kClosedLot = "VAR";
inline constexpr const char *kSaleRow = "EAR";
inline constexpr const char *kPartlySold = "Rész";
inline constexpr const char *kSoldOut = "Kész";

// "Szla" of the open product workbook.
Sheet &TradeSheet(AppState &app);

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
// The row whose settlement code (U) is `code`; 0 when there is none.
int TradeRowOfSettlementCode(const Sheet &sheet, long long code);
// Where a purchase of date `d` goes: below the rows of earlier dates and below the day's open
// lots, above the day's first row that is not an open lot.
int PurchaseInsertionRow(const Sheet &sheet, Date d);
// Where a sale of date `d` goes: below every row of that date or earlier.
int SaleInsertionRow(const Sheet &sheet, Date d);
// Inserts a sheet row at `row` and gives it the formats of the row now below it.
void InsertTradeRow(Sheet &sheet, int row);
// Adds 1 to S2, as every insertion does before the recomputation.
void AdvanceTotalsPointer(Sheet &sheet);
// The open quantity of the lots above `row`: the sum of V over the "VAK" rows 5 to row − 1.
int OpenQuantityAbove(const Sheet &sheet, int row);

// Cost of `taken` shares of the lot in `row`: the lot's purchase cost G in proportion to the
// quantity bought C, exact to a ten-thousandth (the per-share double H only when G or C is
// missing).
Currency LotCostOf(const Sheet &sheet, int row, long long taken);
// Net proceeds of `taken` shares of the sale in `row`: N in proportion to J, exact likewise.
Currency SaleProceedsOf(const Sheet &sheet, int row, long long taken);
// amount × numerator ÷ denominator, rounded half away from zero to a ten-thousandth.
Currency ScaleCurrency(Currency amount, long long numerator, long long denominator);

// Rebuilds what is derived from the trade rows of "Szla": the holding column, the totals row,
// S2 and the period caption A2; sets HeldQuantity, HeldAverageCost, FirstTradeDate and
// LastTradeDate. Leaves "Szla" the active sheet.
void RecalcTradeSheet(AppState &app);
void RecalcTradeSheet(Sheet &sheet, AppState &app);

// The period caption of A2: "<first> -től      <last> -ig.".
std::string TradePeriodCaption(Date first, Date last);

} // namespace vandorix
