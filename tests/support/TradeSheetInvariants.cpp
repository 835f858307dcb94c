#include "support/TradeSheetInvariants.h"

#include <cmath>
#include <map>
#include <optional>
#include <set>

namespace vandorix::testing {

namespace {

// Column numbers as the sheet's layout gives them, kept apart from the code under test.
enum Col {
    A = 1, B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y,
};

long double Money(const Sheet &s, int r, int c) {
    auto v = s.value(r, c).currency();
    return v ? static_cast<long double>(v->raw()) / 10000.0L : 0.0L;
}

long long Whole(const Sheet &s, int r, int c) {
    auto v = s.value(r, c).number();
    return v ? std::llround(*v) : 0;
}

std::string Text(const Sheet &s, int r, int c) { return s.value(r, c).text().value_or(""); }

bool Near(long double a, long double b, long double tolerance) {
    return std::fabs(a - b) <= tolerance;
}

std::vector<std::string> TradeSheetViolations(const Sheet &s) {
    std::vector<std::string> bad;
    auto report = [&](int row, const std::string &what) {
        bad.push_back("row " + std::to_string(row) + ": " + what);
    };

    int last = 4;
    while (!s.value(last + 1, A).isBlank()) ++last;

    std::map<long long, int> rowOfCode;
    std::map<long long, long long> takenFromLot;
    std::optional<Date> previousDate;
    bool saleSeenToday = false;
    long long holding = 0, openSum = 0, openLotSum = 0;
    // The columns summed in the totals row: quantities whole, amounts to the fourth decimal.
    const int counted[] = {C, J}, summed[] = {E, F, G, L, M, N, P};
    long long counts[std::size(counted)] = {};
    long double sums[std::size(summed)] = {}, heldCost = 0;

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

        const std::string kind = Text(s, r, S), status = Text(s, r, T);
        holding += Whole(s, r, Q);
        if (Whole(s, r, R) != holding) report(r, "R is not the running holding");

        if (kind == "VAK" || kind == "VAR") {
            if (saleSeenToday) report(r, "purchase below a sale of its date");
            long long c = Whole(s, r, C), v = Whole(s, r, V);
            if (c <= 0) report(r, "purchase without quantity");
            if (Whole(s, r, Q) != c) report(r, "Q differs from C");
            if (!Near(Money(s, r, E), c * Money(s, r, D), 0.00005L)) report(r, "E is not C × D");
            if (!Near(Money(s, r, G), Money(s, r, E) + Money(s, r, F), 0.00005L))
                report(r, "G is not E + F");
            if (kind == "VAK" && status.empty() && v != c) report(r, "untouched lot with V ≠ C");
            if (kind == "VAK" && status == "Rész" && !(v > 0 && v < c))
                report(r, "partly sold lot with V outside 1..C−1");
            if (kind == "VAK" && !status.empty() && status != "Rész") report(r, "open lot status");
            if (kind == "VAR" && (status != "Kész" || v != 0)) report(r, "spent lot not Kész/0");
            openSum += v;
            if (kind == "VAK") {
                openLotSum += v;
                if (c > 0) heldCost += Money(s, r, G) * v / c;
            }
        } else if (kind == "EAR") {
            saleSeenToday = true;
            if (status != "Kész") report(r, "sale not Kész");
            if (s.value(r, W) != s.value(r, U)) report(r, "W differs from U");
            long long j = Whole(s, r, J);
            if (Whole(s, r, Q) != -j) report(r, "Q is not −J");
            if (!Near(Money(s, r, L), j * Money(s, r, K), 0.00005L)) report(r, "L is not J × K");
            if (!Near(Money(s, r, N), Money(s, r, L) - Money(s, r, M), 0.00005L))
                report(r, "N is not L − M");
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
                int lotRow = found->second;
                long long bought = Whole(s, lotRow, C);
                if (bought > 0) cost += Money(s, lotRow, G) * t / bought;
            }
            if (pairs != j) report(r, "J differs from the sum of the pairs");
            if (j > 0) {
                long double proceeds = Money(s, r, N);
                long double result = proceeds - cost;
                if (!Near(Money(s, r, P), result, 0.005L)) report(r, "P is not the pairs' result");
                if (!Near(Money(s, r, H), cost / j, 0.0001L)) report(r, "H is not the pairs' cost");
            }
        } else {
            report(r, "S is no trade code: " + kind);
        }
        for (std::size_t i = 0; i < std::size(counted); ++i) counts[i] += Whole(s, r, counted[i]);
        for (std::size_t i = 0; i < std::size(summed); ++i) sums[i] += Money(s, r, summed[i]);
    }

    for (const auto &[code, row] : rowOfCode) {
        if (Text(s, row, S) == "EAR") continue;
        long long took = takenFromLot.count(code) ? takenFromLot[code] : 0;
        if (Whole(s, row, C) - Whole(s, row, V) != took)
            report(row, "C − V differs from what the sales took");
    }
    for (const auto &[code, took] : takenFromLot)
        if (!rowOfCode.count(code) && took) bad.push_back("a sale took from an unknown lot");

    const int totals = last + 3;
    for (int r : {last + 1, last + 2, last + 4})
        for (int c = 1; c <= 35; ++c)
            if (!s.value(r, c).isBlank()) report(r, "leftover in column " + std::to_string(c));
    if (Whole(s, 2, S) != totals) report(2, "S2 does not point at the totals row");
    if (Text(s, totals, B) != "Összesen") report(totals, "no \"Összesen\"");
    for (std::size_t i = 0; i < std::size(counted); ++i)
        if (Whole(s, totals, counted[i]) != counts[i])
            report(totals, "sum of column " + std::to_string(counted[i]));
    for (std::size_t i = 0; i < std::size(summed); ++i)
        if (!Near(Money(s, totals, summed[i]), sums[i], 0.00005L))
            report(totals, "sum of column " + std::to_string(summed[i]));
    if (Whole(s, totals, R) != holding) report(totals, "R is not the final holding");
    if (holding != openLotSum) report(totals, "final holding differs from the open lots");
    if (Whole(s, totals, V) != openSum) report(totals, "sum of V");
    if (openLotSum > 0) {
        if (!Near(Money(s, totals, H), heldCost / openLotSum, 0.0001L))
            report(totals, "H is not the average cost of the open lots");
    } else if (!s.value(totals, H).isBlank()) {
        report(totals, "H filled without a holding");
    }

    if (last >= 5) {
        auto first = s.value(5, A).date(), lastDate = s.value(last, A).date();
        if (first && lastDate &&
            Text(s, 2, A) != first->toString() + " -től      " + lastDate->toString() + " -ig.")
            report(2, "period caption");
    }
    return bad;
}

} // namespace

::testing::AssertionResult TradeSheetIsSound(const Sheet &trades) {
    std::vector<std::string> bad = TradeSheetViolations(trades);
    if (bad.empty()) return ::testing::AssertionSuccess();
    auto failure = ::testing::AssertionFailure();
    for (const std::string &line : bad) failure << line << "\n";
    return failure;
}

} // namespace vandorix::testing
