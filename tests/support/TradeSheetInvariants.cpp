#include "support/TradeSheetInvariants.h"

#include "book/TradeLayout.h"

#include <cmath>
#include <map>
#include <optional>

namespace vandorix::testing {

namespace {

// Columns by their letters, as the checks and their messages name them.
enum Col {
    A = 1, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y,
};

// The row codes, lot states and totals label as a user reads them, written out here so that
// a wrong text in the program is not taken for the right one.
const std::string kOpenLot = "VAK", kSpentLot = "VAR", kSale = "EAR";
const std::string kPartly = "Rész", kDone = "Kész", kTotals = "Összesen";

const auto Whole = CellInteger;

long double Money(const Sheet &s, int r, int c) {
    return static_cast<long double>(CellCurrency(s, r, c).raw()) / 10000.0L;
}

// Equal to the fourth decimal, unless a wider tolerance is given.
bool Near(long double a, long double b, long double tolerance = 0.00005L) {
    return std::fabs(a - b) <= tolerance;
}

std::vector<std::string> TradeSheetViolations(const Sheet &s) {
    std::vector<std::string> bad;
    auto report = [&](int row, const std::string &what) {
        bad.push_back("row " + std::to_string(row) + ": " + what);
    };

    const int last = LastTradeRow(s);

    std::map<long long, int> rowOfCode;
    std::map<long long, long long> takenFromLot;
    std::optional<Date> previousDate;
    bool saleSeenToday = false;
    long long holding = 0, openLotSum = 0;
    // The columns summed in the totals row: quantities and amounts.
    std::map<int, long double> sums{{C, 0}, {E, 0}, {F, 0}, {G, 0}, {J, 0}, {L, 0}, {M, 0},
                                    {N, 0}, {P, 0}};
    long double heldCost = 0;

    for (int r = 5; r <= last; ++r) {
        auto date = s.value(r, A).date();
        if (!date) {
            report(r, "A is no date");
            continue;
        }
        if (previousDate && *date < *previousDate) report(r, "date earlier than the row above");
        if (!previousDate || *date != *previousDate) saleSeenToday = false;
        previousDate = date;

        auto code = s.value(r, U).integer();
        if (!code) report(r, "no settlement code");
        else if (!rowOfCode.emplace(*code, r).second) report(r, "settlement code repeated");

        const std::string kind = CellText(s, r, S), status = CellText(s, r, T);
        holding += Whole(s, r, Q);
        if (Whole(s, r, R) != holding) report(r, "R is not the running holding");

        if (kind == kOpenLot || kind == kSpentLot) {
            if (saleSeenToday) report(r, "purchase below a sale of its date");
            long long c = Whole(s, r, C), v = Whole(s, r, V);
            if (c <= 0) report(r, "purchase without quantity");
            if (Whole(s, r, Q) != c) report(r, "Q differs from C");
            if (!Near(Money(s, r, E), c * Money(s, r, D))) report(r, "E is not C × D");
            if (!Near(Money(s, r, G), Money(s, r, E) + Money(s, r, F))) report(r, "G is not E + F");
            if (kind == kSpentLot && (status != kDone || v != 0))
                report(r, "spent lot not Kész/0");
            if (kind == kOpenLot) {
                if (status.empty() && v != c) report(r, "untouched lot with V ≠ C");
                if (status == kPartly && !(v > 0 && v < c))
                    report(r, "partly sold lot with V outside 1..C−1");
                if (!status.empty() && status != kPartly) report(r, "open lot status");
                openLotSum += v;
                if (c > 0) heldCost += Money(s, r, G) * v / c;
            }
        } else if (kind == kSale) {
            saleSeenToday = true;
            if (status != kDone) report(r, "sale not Kész");
            if (s.value(r, W) != s.value(r, U)) report(r, "W differs from U");
            long long j = Whole(s, r, J);
            if (Whole(s, r, Q) != -j) report(r, "Q is not −J");
            if (!Near(Money(s, r, L), j * Money(s, r, K))) report(r, "L is not J × K");
            if (!Near(Money(s, r, N), Money(s, r, L) - Money(s, r, M))) report(r, "N is not L − M");
            long long pairs = 0;
            long double cost = 0;
            for (int c = X; !s.value(r, c + 1).isBlank(); c += 2) {
                long long t = Whole(s, r, c), lot = Whole(s, r, c + 1);
                pairs += t;
                takenFromLot[lot] += t;
                auto found = rowOfCode.find(lot);
                if (found == rowOfCode.end() || found->second >= r) {
                    report(r, "pair names no lot above the sale");
                    continue;
                }
                const int lotRow = found->second;
                if (Whole(s, lotRow, C) > 0) cost += Money(s, lotRow, G) * t / Whole(s, lotRow, C);
            }
            if (pairs != j) report(r, "J differs from the sum of the pairs");
            if (j > 0) {
                if (!Near(Money(s, r, P), Money(s, r, N) - cost, 0.005L))
                    report(r, "P is not the pairs' result");
                if (!Near(Money(s, r, H), cost / j, 0.0001L)) report(r, "H is not the pairs' cost");
            }
        } else {
            report(r, "S is no trade code: " + kind);
        }
        for (auto &[column, sum] : sums) sum += Money(s, r, column);
    }

    for (const auto &[code, row] : rowOfCode) {
        if (CellText(s, row, S) == kSale) continue;
        if (Whole(s, row, C) - Whole(s, row, V) != takenFromLot[code])
            report(row, "C − V differs from what the sales took");
    }

    const int totals = last + 3;
    for (int r : {last + 1, last + 2, last + 4})
        for (int c = 1; c <= szla::ClearedColumns; ++c)
            if (!s.value(r, c).isBlank()) report(r, "leftover in column " + std::to_string(c));
    if (Whole(s, 2, S) != totals) report(2, "S2 does not point at the totals row");
    if (CellText(s, totals, B) != kTotals) report(totals, "no \"Összesen\"");
    for (const auto &[column, sum] : sums)
        if (!Near(Money(s, totals, column), sum))
            report(totals, "sum of column " + std::to_string(column));
    if (Whole(s, totals, R) != holding) report(totals, "R is not the final holding");
    if (holding != openLotSum) report(totals, "final holding differs from the open lots");
    if (Whole(s, totals, V) != openLotSum) report(totals, "sum of V");
    if (openLotSum > 0) {
        if (!Near(Money(s, totals, H), heldCost / openLotSum, 0.0001L))
            report(totals, "H is not the average cost of the open lots");
    } else if (!s.value(totals, H).isBlank()) {
        report(totals, "H filled without a holding");
    }

    if (last >= 5 && CellText(s, 2, A) != s.value(5, A).display() + " -től      " +
                                             s.value(last, A).display() + " -ig.")
        report(2, "period caption");
    return bad;
}

} // namespace

::testing::AssertionResult TradeSheetIsSound(const Sheet &trades) {
    const std::vector<std::string> bad = TradeSheetViolations(trades);
    auto failure = ::testing::AssertionFailure();
    for (const std::string &line : bad) failure << line << "\n";
    return bad.empty() ? ::testing::AssertionSuccess() : failure;
}

} // namespace vandorix::testing
