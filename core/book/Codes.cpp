#include "book/Codes.h"

#include <initializer_list>

namespace vandorix {

namespace {

template <typename Code>
std::optional<Code> parse(std::string_view text, std::initializer_list<Code> codes) {
    for (Code code : codes)
        if (text == TextOf(code)) return code;
    return std::nullopt;
}

} // namespace

std::optional<ItemCode> ParseItemCode(std::string_view text) {
    using enum ItemCode;
    return parse(text, {Deposit, BrokerFeeRefund, Withdrawal, AccountFee, SeparateFee, Dividend,
                        Purchase, ClosedLot, Sale});
}

std::optional<LotState> ParseLotState(std::string_view text) {
    using enum LotState;
    return parse(text, {Whole, PartlySold, SoldOut});
}

} // namespace vandorix
