#include "support/LedgerInvariants.h"

#include "book/LedgerLayout.h"
#include "store/Sheet.h"
#include "store/Workbook.h"
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"

#include <map>
#include <set>

namespace vandorix::testing {

using namespace ledger;

namespace {

// The totals label and the columns summed into the totals row (E, F, G, L to R), written out
// here so that a wrong label or a column the program leaves out is not taken for the right one.
const std::string kTotals = "Összesen";
constexpr int kSummed[] = {BuyValue,    BuyCommission,  BuyCost, SellValue, SellCommission,
                           NetProceeds, RealisedResult, PaidIn,  PaidOut,   Fee};

// The ledger's columns all lie within A to V: one letter each.
std::string at(int row, int column) {
    return std::string(1, static_cast<char>('A' + column - 1)) + std::to_string(row);
}

// Blank counts as zero; anything that is no amount is reported and counts as zero.
Currency amount(const Sheet &s, int row, int column, std::vector<std::string> &out) {
    const CellValue &v = s.value(row, column);
    if (v.isBlank()) return Currency();
    if (auto c = v.currency()) return *c;
    out.push_back(at(row, column) + " is no amount: " + v.display());
    return Currency();
}

void expectAmount(const Sheet &s, int row, int column, Currency expected,
                  std::vector<std::string> &out) {
    std::optional<Currency> got = s.value(row, column).currency();
    if (!got || *got != expected)
        out.push_back(at(row, column) + " is " + s.value(row, column).display() + ", expected " +
                      expected.toString());
}

} // namespace

std::vector<std::string> LedgerViolations(const Sheet &s, DateOrder order) {
    std::vector<std::string> out;
    int last = 4;
    while (!s.value(last + 1, MovementDate).isBlank()) ++last;

    for (int r = last + 1; r <= s.rowCount(); ++r)
        if (!s.value(r, MovementDate).isBlank())
            out.push_back("dated row " + std::to_string(r) + " below the first empty row " +
                          std::to_string(last + 1));

    std::set<long long> codes;
    Currency running;
    std::map<int, Currency> sums;
    std::optional<Date> previous;
    for (int r = 5; r <= last; ++r) {
        std::optional<Date> d = s.value(r, MovementDate).date();
        if (!d) out.push_back(at(r, MovementDate) + " is no date");
        else if (order == DateOrder::Checked && previous && *d < *previous)
            out.push_back("row " + std::to_string(r) + " is dated before the row above");
        if (d) previous = d;

        std::optional<long long> code = s.value(r, SettlementCode).integer();
        if (!code) out.push_back(at(r, SettlementCode) + " holds no settlement code");
        else if (!codes.insert(*code).second)
            out.push_back("settlement code " + std::to_string(*code) + " twice (row " +
                          std::to_string(r) + ")");
        if (s.value(r, RowType).text().value_or("").size() != 3)
            out.push_back(at(r, RowType) + " holds no type code");

        running += amount(s, r, Movement, out);
        expectAmount(s, r, Balance, running, out);
        for (int c : kSummed) sums[c] += amount(s, r, c, out);
    }

    const int totals = last + 3;
    for (int r : {last + 1, last + 2, last + 4})
        if (!RowsEmpty(s, r, r, kLastColumn))
            out.push_back("row " + std::to_string(r) + " should be empty");
    if (s.value(totals, OrderCode).text().value_or("") != kTotals)
        out.push_back(at(totals, OrderCode) + " is not \"Összesen\"");
    for (int c : kSummed) expectAmount(s, totals, c, sums[c], out);
    expectAmount(s, totals, Balance, running, out);
    for (int c : {MovementDate, Movement, SettlementCode, RowType})
        if (!s.value(totals, c).isBlank()) out.push_back(at(totals, c) + " should be empty");
    for (int r = 5; r <= s.rowCount(); ++r)
        if (r != totals && s.value(r, OrderCode).text().value_or("") == kTotals)
            out.push_back("a second totals row at " + std::to_string(r));

    if (s.value(2, RowType).integer().value_or(-1) != totals)
        out.push_back("V2 is " + s.value(2, RowType).display() + ", expected " +
                      std::to_string(totals));
    const std::string caption = s.value(2, MovementDate).text().value_or("");
    const std::string expected = last < 5 ? std::string()
                                          : s.value(5, MovementDate).display() + " -től      " +
                                                s.value(last, MovementDate).display() + " -ig.";
    if (caption != expected)
        out.push_back("A2 is \"" + caption + "\", expected \"" + expected + "\"");
    return out;
}

::testing::AssertionResult LedgerIsSound(const Sheet &ledger, DateOrder order) {
    const std::vector<std::string> v = LedgerViolations(ledger, order);
    auto failure = ::testing::AssertionFailure() << "ledger invariants broken:";
    for (const std::string &line : v) failure << "\n  " << line;
    return v.empty() ? ::testing::AssertionSuccess() : failure;
}

::testing::AssertionResult StoredLedgerIsSound(const std::filesystem::path &accountWorkbook,
                                               DateOrder order) {
    return LedgerIsSound(ReadWorkbookFile(accountWorkbook)->sheet(kSheet), order);
}

} // namespace vandorix::testing
