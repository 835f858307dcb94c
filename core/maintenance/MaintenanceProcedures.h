#pragma once

#include "app/AppState.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vandorix {

class Sheet;
class Workbook;

// What the two maintenance windows do with a movement of the ledger, without the windows.
namespace maintenance {

// Columns of "Szla" that hold settlement codes: the row's own code (U), a sale's copy of it
// (W), and the lot codes of the lots a sale consumed (Y, AA, …, AS).
inline constexpr int kOwnCodeColumn = 21;
inline constexpr int kSaleCopyColumn = 23;
inline constexpr int kFirstLotCodeColumn = 25;
inline constexpr int kLastLotCodeColumn = 45;

// A movement of "Befszla01" found by its settlement code.
struct LedgerMovement {
    int row = 0;
    std::string date;        // column A as shown
    std::string productId;   // column H; empty for cash movements
    std::string description; // column I
};

} // namespace maintenance

// The ledger row of `code` in the open account workbook, with what the windows show of it.
std::optional<maintenance::LedgerMovement> FindLedgerMovement(AppState &app, std::int64_t code);

// The name of the product whose identifier is `productId`, looked up in column B of the
// product rows of "Eredmeny01" and, when it is not there, of "Ertek01" (column A gives the
// name); nothing when neither sheet knows it.
std::optional<std::string> ProductNameOfId(const Workbook &account, const std::string &productId);

// Writes `newCode` over every cell of the trade rows of `trades` (row 5 to two rows above the
// totals row) that holds `oldCode` in a settlement-code column; returns how many it changed.
int ReplaceCodeInTradeSheet(Sheet &trades, std::int64_t oldCode, std::int64_t newCode);

// Why a movement cannot be changed or deleted: the product of a trade is not known or its
// workbook is missing, or its trade sheet has no row of the code.
enum class MaintenanceOutcome { Done, ProductMissing, TradeRowMissing, LotAlreadySold };

// Replaces the settlement code of the movement in ledger row `movement.row` by `newCode`: in
// the product's trade sheet first (opened, changed, saved and closed) when the movement is a
// trade, then in the ledger, which is saved and closed. The caller has checked that no other
// movement carries `newCode`. A trade whose product or trade row cannot be found changes
// nothing and leaves the workbooks open.
MaintenanceOutcome ChangeSettlementCode(AppState &app, const maintenance::LedgerMovement &movement,
                                        std::int64_t oldCode, std::int64_t newCode);

// Deletes the movement of `code` in ledger row `movement.row`. A cash movement's row goes with
// its formats into the deleted-row log and the ledger is recomputed. A trade is deleted as the
// purchase and sale windows delete it: its ledger row and its trade row go to the logs, a
// sale's lots are given back, both sheets and the lot codes are recomputed; a purchase whose
// lot has been sold from is refused. Done saves and closes everything it opened; a refusal
// changes nothing.
MaintenanceOutcome DeleteLedgerMovement(AppState &app, const maintenance::LedgerMovement &movement,
                                        std::int32_t code);

} // namespace vandorix
