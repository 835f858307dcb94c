#pragma once

#include "app/AppState.h"
#include "store/Sheet.h"

#include <string>

namespace vandorix {

// What a trade procedure did; the window shows the message that goes with a refusal.
enum class TradeOutcome {
    Recorded,
    NotEnoughShares, // a sale needs more shares than the lots open on its date hold
    LotAlreadySold,  // a purchase whose lot has been sold from cannot be changed or deleted
    NotFound,        // no trade row carries the settlement code
};

inline constexpr const char *kNotEnoughSharesMessage =
    "A beadott dátumkor nincs elég\r\nrészvény,hibás adatbevitel";

// "Alfa  100 db. vétel" and "Alfa  40 db. elad LIFO".
std::string PurchaseDescription(const std::string &productName, int quantity);
std::string SaleDescription(const std::string &productName, int quantity,
                            const std::string &saleOrder);

// Writes the trade entered in AppState (TradeDate, TradeQuantity, UnitPrice, Commission,
// OrderCode, SettlementCode, ProductName, SaleOrder) into `row` of "Szla".
void WritePurchaseRow(Sheet &trades, int row, const AppState &app);
void WriteSaleRow(Sheet &trades, int row, const AppState &app);

// A new purchase: inserted at its date's place as an untouched open lot, then the sheet is
// recomputed. Sets TradeRow.
TradeOutcome RecordPurchase(AppState &app);
// A new sale: refused, with nothing written, when the lots open on its date do not cover it;
// otherwise inserted below every row of its date, matched to lots and the sheet recomputed.
// Sets TradeRow, HeldQuantity, SaleCost and SaleResult.
TradeOutcome RecordSale(AppState &app);

} // namespace vandorix
