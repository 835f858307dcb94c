#pragma once

#include <optional>
#include <string_view>

namespace vandorix {

// The item code of a ledger row (column V of "Befszla01") and of a trade row (column S of
// "Szla"). A purchase is "VAK" in both: on the trade sheet it is an open lot until a sale
// takes its last share ("VAR").
enum class ItemCode {
    Deposit,         // "BAR"  cash paid in
    BrokerFeeRefund, // "BKR"  broker fee paid back
    Withdrawal,      // "KAR"  cash taken out
    AccountFee,      // "HAR"  account-keeping fee, deductible
    SeparateFee,     // "TAR"  other fee, not deductible
    Dividend,        // "OAR"  dividend received
    Purchase,        // "VAK"  purchase; on the trade sheet an open lot
    ClosedLot,       // "VAR"  purchase whose shares are all sold
    Sale,            // "EAR"  sale
};

constexpr const char *TextOf(ItemCode code) {
    switch (code) {
    case ItemCode::Deposit: return "BAR";
    case ItemCode::BrokerFeeRefund: return "BKR";
    case ItemCode::Withdrawal: return "KAR";
    case ItemCode::AccountFee: return "HAR";
    case ItemCode::SeparateFee: return "TAR";
    case ItemCode::Dividend: return "OAR";
    case ItemCode::Purchase: return "VAK";
    case ItemCode::ClosedLot: return "VAR";
    case ItemCode::Sale: return "EAR";
    }
    return "";
}

// The code a cell text stands for; nothing for any other text.
std::optional<ItemCode> ParseItemCode(std::string_view text);

// The state of a lot on the trade sheet (column T of "Szla").
enum class LotState {
    Whole,      // ""      no share sold yet
    PartlySold, // "Rész"
    SoldOut,    // "Kész"
};

constexpr const char *TextOf(LotState state) {
    switch (state) {
    case LotState::Whole: return "";
    case LotState::PartlySold: return "Rész";
    case LotState::SoldOut: return "Kész";
    }
    return "";
}

std::optional<LotState> ParseLotState(std::string_view text);

} // namespace vandorix
