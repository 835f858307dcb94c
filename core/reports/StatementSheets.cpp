#include "reports/StatementSheets.h"

#include "account/Ledger.h"
#include "app/Dialogs.h"
#include "app/Validation.h"
#include "book/Codes.h"
#include "store/HostError.h"
#include "store/Sheet.h"
#include "store/TypedCells.h"
#include "trading/TradeSheet.h"

#include <algorithm>
#include <array>

namespace vandorix {

namespace {

constexpr int kFirstRow = 5;

[[noreturn]] void wrongType(const Sheet &s, int row, int column, const char *expected) {
    throw HostError("A(z) " + s.name() + " munkalap " + std::to_string(row) + ". sorának " +
                    std::to_string(column) + ". oszlopában " + expected +
                    " helyett ez áll: \"" + s.value(row, column).display() + "\"");
}

Date dateAt(const Sheet &s, int row) { return DateCell(s, row, 1, wrongType); }

// An empty cell counts as zero.
Currency amountAt(const Sheet &s, int row, int column) {
    return AmountCell(s, row, column, wrongType);
}

long long quantityAt(const Sheet &s, int row, int column) {
    const CellValue &v = s.value(row, column);
    if (v.isBlank()) return 0;
    std::optional<long long> q = v.integer();
    if (!q) wrongType(s, row, column, "egész szám");
    return *q;
}

int lastFilledRow(const Sheet &s) {
    int r = kFirstRow;
    while (!s.value(r, 1).isBlank()) ++r;
    return r - 1;
}

// "<first> -től      <last> -ig." from the copied rows, or from the requested period when the
// statement holds no row (the heading row is no date).
std::string captionOf(const Sheet &s, int last, Date start, Date end) {
    if (last < kFirstRow) return LedgerPeriodCaption(start.toString(), end.toString());
    return LedgerPeriodCaption(s.value(kFirstRow, 1).display(), s.value(last, 1).display());
}

long long floorDiv(__int128 p, __int128 q) {
    __int128 d = p / q;
    if ((p % q != 0) && ((p < 0) != (q < 0))) --d;
    return static_cast<long long>(d);
}

} // namespace

StatementRows FindStatementRows(const Sheet &source, int lastDataRow, Date start, Date end,
                                bool throughLastRow) {
    StatementRows rows;
    int r = kFirstRow;
    while (r <= lastDataRow && dateAt(source, r) < start) ++r;
    rows.first = r;
    if (throughLastRow) {
        rows.last = lastDataRow;
        return rows;
    }
    while (r <= lastDataRow && dateAt(source, r) <= end) ++r;
    rows.last = r - 1;
    return rows;
}

void CopyStatementRows(const Sheet &source, Sheet &statement, StatementRows rows, int columns) {
    int target = kFirstRow;
    for (int r = rows.first; r <= rows.last; ++r, ++target) {
        const Row *row = source.row(r);
        int width = columns;
        if (width == 0) width = row ? static_cast<int>(row->cells.size()) : 0;
        for (int c = 1; c <= width; ++c) statement.setValue(target, c, source.value(r, c));
    }
}

// --- Account statement -----------------------------------------------------------------------

void ClearStatementSheet(Sheet &statement, int ledgerLastRow) {
    // The ledger may have lost rows since the previous statement: its rows reach down to the
    // last stored row at most.
    const int last = std::max(ledgerLastRow + 12, statement.rowCount());
    statement.clearRange(kFirstRow, 1, last, ledger::kLastColumn);
}

int RecalcStatementSheet(Sheet &s, Date periodStart, Date periodEnd) {
    using namespace ledger;
    const int last = lastFilledRow(s);
    if (last >= kFirstRow) s.copyRowFormat(last, last + 1);

    Currency balance;
    std::array<Currency, 10> sums{};
    for (int r = kFirstRow; r <= last; ++r) {
        // The first row keeps the ledger's balance after that movement.
        if (r == kFirstRow) {
            balance = amountAt(s, r, Balance);
        } else {
            balance += amountAt(s, r, Movement);
            s.setValue(r, Balance, balance);
        }
        for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += amountAt(s, r, kSummedColumns[i]);
    }

    s.clearRange(last + 2, 1, last + 4, kLastColumn);
    const int totals = last + kTotalsOffset;
    for (std::size_t i = 0; i < sums.size(); ++i) s.setValue(totals, kSummedColumns[i], sums[i]);
    if (last >= kFirstRow) s.setValue(totals, Balance, balance);
    s.setValue(totals, OrderCode, kTotalsLabel);
    s.setValue(kHeaderRow, RowType, totals);
    s.setValue(kHeaderRow, MovementDate, captionOf(s, last, periodStart, periodEnd));
    return last;
}

Currency AskDividendTaxRate(Dialogs &dialogs) {
    for (;;) {
        std::optional<std::string> answer =
            dialogs.showInput({"Adja meg az osztalékot terhelő adók % -os értékét.",
                               "Osztalék adók % bekérés.", "15"});
        if (!answer || answer->find_first_not_of(" \t") == std::string::npos) return Currency();
        std::optional<Currency> rate = ParseNumberText(*answer);
        if (rate && *rate >= Currency() && *rate < Currency::fromUnits(100)) return *rate;
        ShowNotice(dialogs, std::string("Az adók % -os értéke csak 0 és 100 közötti") + kCrLf +
                                "számérték lehet (100-nál kisebb).");
    }
}

long long GrossDividends(Currency netDividends, Currency ratePercent) {
    // Net dividends in whole units, halves away from zero.
    const std::int64_t raw = netDividends.raw();
    const std::int64_t half = Currency::Scale / 2;
    const __int128 units = raw >= 0 ? (raw + half) / Currency::Scale : -((-raw + half) / Currency::Scale);
    // units / (1 − p/100) = units × 100·Scale / (100·Scale − p·Scale), plus one half, floored.
    const __int128 whole = 100 * static_cast<__int128>(Currency::Scale);
    const __int128 denominator = whole - ratePercent.raw();
    return floorDiv(2 * units * whole + denominator, 2 * denominator);
}

void WriteStatementSummary(Sheet &s, int last, Currency ratePercent) {
    using namespace ledger;
    s.clearRange(last + kSummaryFirstOffset, 1, last + kSummaryLastOffset, kLastColumn);

    Currency netDividends, deductibleFees, separateFees;
    for (int r = kFirstRow; r <= last; ++r) {
        if (!s.value(r, PaidIn).isBlank() && LedgerRowHasType(s, r, ItemCode::Dividend))
            netDividends += amountAt(s, r, PaidIn);
        if (s.value(r, Fee).isBlank()) continue;
        if (LedgerRowHasType(s, r, ItemCode::AccountFee)) deductibleFees += amountAt(s, r, Fee);
        else if (LedgerRowHasType(s, r, ItemCode::SeparateFee)) separateFees += amountAt(s, r, Fee);
    }
    const long long gross = GrossDividends(netDividends, ratePercent);
    const Currency closedResult = amountAt(s, last + kTotalsOffset, RealisedResult) - deductibleFees;

    const int closed = last + kClosedResultOffset, separate = last + kSeparateFeesOffset;
    const int dividend = last + kDividendOffset, preTax = last + kPreTaxResultOffset;
    s.setValue(dividend, SellPrice, netDividends);
    s.setValue(dividend, RealisedResult, Currency::fromUnits(gross));
    s.setValue(closed, Fee, deductibleFees);
    s.setValue(separate, Fee, separateFees);
    s.setValue(closed, RealisedResult, closedResult);
    s.setValue(preTax, RealisedResult, Currency::fromUnits(gross) + closedResult);

    s.setValue(closed, Description, "Lezárt eredmény");
    s.setValue(closed, PaidOut, "Elszámolt");
    s.setValue(separate, PaidOut, "Külön kts.");
    s.setValue(dividend, Description, "Osztalék");
    s.setValue(dividend, SoldQuantity, "Nettó");
    s.setValue(dividend, NetProceeds, "Bruttó");
    s.setValue(preTax, Description, "Adózás előtti eredmény");
}

// --- Product statement -----------------------------------------------------------------------

void ClearProductStatementSheet(Sheet &statement) {
    std::optional<long long> s2 =
        statement.value(szla::TotalsPointerRow, szla::TotalsPointerColumn).integer();
    int last = s2 && *s2 >= kFirstRow && *s2 <= 32767 ? static_cast<int>(*s2) + 12
                                                       : std::max(statement.rowCount(), 12);
    const int columns = std::max(szla::ClearedColumns, statement.columnCount());
    statement.clearRange(kFirstRow, 1, last, columns);
}

int FinishProductStatementSheet(Sheet &s, Date periodStart, Date periodEnd, int heldQuantity,
                                Currency heldAverageCost) {
    using namespace szla;
    const int last = lastFilledRow(s);
    if (last >= kFirstRow) s.copyRowFormat(last, last + 1);

    // Row 5 keeps the holding copied from "Szla": the holding after that trade.
    long long holding = last >= kFirstRow ? quantityAt(s, kFirstRow, Holding) : 0;
    for (int r = kFirstRow + 1; r <= last; ++r) {
        if (!s.value(r, SignedQuantity).isBlank()) holding += quantityAt(s, r, SignedQuantity);
        s.setValue(r, Holding, static_cast<double>(holding));
    }

    s.clearRange(last + 1, 1, last + 5, ClearedColumns);
    const int totals = last + book::kTotalsOffset;
    for (int c : {Bought, Sold, OpenQuantity}) {
        long long sum = 0;
        for (int r = kFirstRow; r <= last; ++r) sum += quantityAt(s, r, c);
        s.setValue(totals, c, static_cast<double>(sum));
    }
    for (int c : {BuyValue, BuyCommission, BuyCost, SaleValue, SaleCommission, NetProceeds, Result}) {
        Currency sum;
        for (int r = kFirstRow; r <= last; ++r) sum += amountAt(s, r, c);
        s.setValue(totals, c, sum);
    }
    // As in the totals row of "Szla": no average cost when no share is held.
    if (heldQuantity > 0) s.setValue(totals, CostPerShare, heldAverageCost);
    const bool hasHolding = last >= kFirstRow && !s.value(kFirstRow, Holding).isBlank();
    s.setValue(totals, Holding, hasHolding ? static_cast<double>(holding) : 0.0);
    s.setValue(totals, OrderCode, book::kTotalsLabel);
    s.setValue(TotalsPointerRow, TotalsPointerColumn, totals);
    s.setValue(2, Day, captionOf(s, last, periodStart, periodEnd));
    return last;
}

} // namespace vandorix
