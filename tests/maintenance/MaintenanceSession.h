#pragma once

// The maintenance windows driven through the main menu on an installation with the share
// "Alfa"; the stored ledger and trade sheets are checked after every action.
#include "trading/TradeWindowSession.h"

#include <string>

namespace vandorix::testing {

inline const std::string kCodeChange = "menu Befektetés/Karbantartás/Teljesülés  tr. kód módosítás\n";
inline const std::string kRowDeletion = "menu Befektetés/Karbantartás/Adatsor törlés\n";

// The code of a movement changed, confirmed and replaced, then back to the main window.
inline std::string ChangeCode(int from, int to) {
    return kCodeChange + "type Text1 " + std::to_string(from) + "\nanswer Yes\ntype Text2 " +
           std::to_string(to) + "\nclick Command1\nclick Command4\n";
}

// The movement of `code` confirmed and deleted; the window stays open for the next code.
inline std::string DeleteRow(int code) {
    return kRowDeletion + "type Text1 " + std::to_string(code) + "\nanswer Yes\nclick Command1\n";
}

// Every settlement code stored in the trade rows of a "Szla" (U, W and the lot codes), in
// row and column order.
inline std::vector<long long> StoredCodes(const Sheet &trades) {
    std::vector<long long> out;
    for (int r = 5; !trades.value(r, szla::Day).isBlank(); ++r)
        for (int c = szla::Settlement; c <= szla::FirstPair + 21; c += 2) // U to AS
            if (auto v = trades.value(r, c).integer()) out.push_back(*v);
    return out;
}

// The settlement codes of the ledger's data rows, in row order.
inline std::vector<long long> LedgerCodes(const Sheet &ledger) {
    std::vector<long long> out;
    for (int r = 5; !ledger.value(r, ledger::MovementDate).isBlank(); ++r)
        out.push_back(Int(ledger, r, ledger::SettlementCode));
    return out;
}

} // namespace vandorix::testing
