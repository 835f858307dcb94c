#include "trading/LedgerLotCodes.h"

#include "store/HostError.h"
#include "trading/TradeSheet.h"

#include <string>
#include <unordered_map>

namespace vandorix {

Sheet &LedgerSheet(AppState &app) {
    if (!app.AccountWorkbook) throw HostError("Nincs nyitott számla munkafüzet.");
    return app.AccountWorkbook->sheet(kLedgerSheet);
}

int LastLedgerRowFromHeader(const Sheet &ledger) {
    auto v2 = ledger.value(ledger::kHeaderRow, ledger::RowType).integer();
    if (v2 && *v2 >= ledger::kFirstDataRow + 2) return static_cast<int>(*v2) - 3;
    int r = ledger::kFirstDataRow;
    while (!ledger.value(r, ledger::MovementDate).isBlank()) ++r;
    return r - 1;
}

void SyncLedgerLotCodes(AppState &app) {
    SyncLedgerLotCodes(TradeSheet(app), LedgerSheet(app));
}

void SyncLedgerLotCodes(const Sheet &trades, Sheet &ledger) {
    // Exhausted lots first, open lots after, so that an open lot wins should a code ever
    // stand on two purchase rows.
    std::unordered_map<long long, const char *> codeOfLot;
    const int lastTrade = LastTradeRowFromHeader(trades);
    for (const char *code : {kClosedLot, kOpenLot}) {
        for (int r = szla::FirstDataRow; r <= lastTrade; ++r) {
            if (CellText(trades, r, szla::LotCode) != code) continue;
            if (auto u = trades.value(r, szla::Settlement).integer()) codeOfLot[*u] = code;
        }
    }
    if (codeOfLot.empty()) return;

    const int lastLedger = LastLedgerRowFromHeader(ledger);
    for (int r = ledger::kFirstDataRow; r <= lastLedger; ++r) {
        auto u = ledger.value(r, ledger::SettlementCode).integer();
        if (!u) continue;
        auto found = codeOfLot.find(*u);
        if (found == codeOfLot.end()) continue;
        if (CellText(ledger, r, ledger::RowType) != found->second)
            ledger.setValue(r, ledger::RowType, found->second);
    }
}

} // namespace vandorix
