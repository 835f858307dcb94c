#pragma once

#include "book/Codes.h"
#include "book/Rows.h"
#include "book/Sheets.h"

namespace vandorix {

// The account ledger "Befszla01" of "Befszla.xls": rows 1 to 4 are title and headings, data
// rows run from row 5 without gaps in date order, the first row whose column A is empty ends
// them. Row L+1 (L the last data row) is empty and carries the data rows' formats, row L+3
// holds the totals, V2 the totals row's number, A2 the period caption, S2 the code of the
// latest broker-fee refund. The account statement "Befszla02" and the account deletion log
// share its columns.
namespace ledger {

inline constexpr const char *kSheet = sheets::kLedger;
inline constexpr int kFirstDataRow = book::kFirstDataRow;
inline constexpr int kHeaderRow = book::kCaptionRow;
using book::kTotalsOffset;
using book::kEmptyTotalsRow;
inline constexpr int kLastColumn = 22; // V

// Columns of a data row.
enum Column : int {
    MovementDate = 1,     // A
    OrderCode = 2,        // B, "Összesen" in the totals row
    BoughtQuantity = 3,   // C
    BuyPrice = 4,         // D
    BuyValue = 5,         // E
    BuyCommission = 6,    // F
    BuyCost = 7,          // G
    ProductId = 8,        // H
    Description = 9,      // I
    SoldQuantity = 10,    // J
    SellPrice = 11,       // K
    SellValue = 12,       // L
    SellCommission = 13,  // M
    NetProceeds = 14,     // N
    RealisedResult = 15,  // O
    PaidIn = 16,          // P
    PaidOut = 17,         // Q
    Fee = 18,             // R
    Movement = 19,        // S, signed; in row 2 the latest refund code
    Balance = 20,         // T
    SettlementCode = 21,  // U
    RowType = 22,         // V; in row 2 the totals row number
};

// The amount columns summed into the totals row, in the order they are summed.
inline constexpr int kSummedColumns[] = {BuyValue,    BuyCommission, BuyCost, SellValue,
                                         SellCommission, NetProceeds, RealisedResult,
                                         PaidIn,      PaidOut,       Fee};

using book::kTotalsLabel;
using book::kCaptionFrom;
using book::kCaptionTo;

// The summary the account statement writes below its totals row, in rows counted from the
// last data row: the rows it clears first, then the row of each figure.
inline constexpr int kSummaryFirstOffset = 5;
inline constexpr int kSummaryLastOffset = 12;
inline constexpr int kClosedResultOffset = 6; // closed result, deductible fees
inline constexpr int kSeparateFeesOffset = 7;
inline constexpr int kDividendOffset = 8;     // net and gross dividends
inline constexpr int kPreTaxResultOffset = 10;

} // namespace ledger

} // namespace vandorix
