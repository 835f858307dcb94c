#include "account/Ledger.h"

#include "app/AppState.h"
#include "book/Codes.h"
#include "store/HostError.h"
#include "store/Sheet.h"
#include "store/TypedCells.h"
#include "store/Workbook.h"

#include <array>
#include <string>

namespace vandorix {

using namespace ledger;

namespace {

std::string cellName(int row, int column) {
    std::string letters;
    for (int c = column; c > 0; c = (c - 1) / 26)
        letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

// A cell the ledger needs to be of a given type holds something else: the host's type error.
[[noreturn]] void wrongType(const Sheet &s, int row, int column, const char *expected) {
    throw HostError("A(z) " + s.name() + " munkalap " + cellName(row, column) + " cellájában " +
                    expected + " helyett ez áll: \"" + s.value(row, column).display() + "\"");
}

bool rowEndsData(const Sheet &s, int row) { return s.value(row, MovementDate).isBlank(); }

Date dateAt(const Sheet &s, int row) { return DateCell(s, row, MovementDate, wrongType); }

// An empty cell counts as zero, as in the host's arithmetic.
Currency amountAt(const Sheet &s, int row, int column) {
    return AmountCell(s, row, column, wrongType);
}


bool isTotalsRow(const Sheet &s, int row) {
    std::optional<std::string> label = s.value(row, OrderCode).text();
    return rowEndsData(s, row) && label && *label == kTotalsLabel;
}

int storedTotalsRow(const Sheet &s) {
    std::optional<long long> r = s.value(kHeaderRow, RowType).integer();
    return r && *r >= kFirstDataRow && *r <= 32767 ? static_cast<int>(*r) : 0;
}

int insertRowWithFormatsOfBelow(Sheet &s, int row) {
    s.insertRow(row);
    s.copyRowFormat(row + 1, row);
    return row;
}

void writeTotals(Sheet &s, int totalsRow, const std::array<Currency, 10> &sums, Currency closing) {
    for (std::size_t i = 0; i < sums.size(); ++i) s.setValue(totalsRow, kSummedColumns[i], sums[i]);
    s.setValue(totalsRow, Balance, closing);
    s.setValue(totalsRow, OrderCode, kTotalsLabel);
    s.setValue(kHeaderRow, RowType, totalsRow);
}

// Without data rows the sheet returns to the state of a new account workbook: rows 5 to 9
// empty but for zero totals in row 7, V2 = 7 and no period caption. Repeated runs leave it
// as it is.
void resetEmptyLedger(Sheet &s) {
    constexpr int kLastCleared = kEmptyTotalsRow + 2;
    for (int r = kFirstDataRow + 1; r <= kLastCleared; ++r)
        if (!rowEndsData(s, r))
            throw HostError("A(z) " + s.name() + " munkalap 5. sora üres, a " + std::to_string(r) +
                            ". sorban mégis adat áll; a számla nem számolható újra.");
    s.clearRange(kFirstDataRow, 1, kLastCleared, kLastColumn);
    int stale = storedTotalsRow(s);
    if (stale > kLastCleared && isTotalsRow(s, stale)) s.clearRange(stale, 1, stale, kLastColumn);
    writeTotals(s, kEmptyTotalsRow, {}, Currency());
    s.setValue(kHeaderRow, MovementDate, CellValue());
}

} // namespace

int FindFirstEmptyLedgerRow(const Sheet &ledger) {
    int row = kFirstDataRow;
    while (!rowEndsData(ledger, row)) ++row;
    return row;
}

bool LedgerRowHasType(const Sheet &sheet, int row, std::string_view code) {
    std::optional<std::string> t = sheet.value(row, RowType).text();
    return t && *t == code;
}

bool LedgerRowHasType(const Sheet &sheet, int row, ItemCode code) {
    return LedgerRowHasType(sheet, row, TextOf(code));
}

int FindLedgerRowByCode(const Sheet &ledger, std::int64_t code) {
    for (int row = kFirstDataRow; !rowEndsData(ledger, row); ++row) {
        std::optional<long long> c = ledger.value(row, SettlementCode).integer();
        if (c && *c == code) return row;
    }
    return 0;
}

int InsertCashMovementRow(Sheet &ledger, Date date) {
    if (rowEndsData(ledger, kFirstDataRow)) return kFirstDataRow;
    int row = kFirstDataRow;
    while (!rowEndsData(ledger, row) && dateAt(ledger, row) <= date) ++row;
    return insertRowWithFormatsOfBelow(ledger, row);
}

int InsertTradeLedgerRow(Sheet &ledger, Date date, TradeRowKind kind) {
    int row = kFirstDataRow;
    if (kind == TradeRowKind::Sale) {
        while (!rowEndsData(ledger, row) && dateAt(ledger, row) <= date) ++row;
    } else {
        while (!rowEndsData(ledger, row) && dateAt(ledger, row) < date) ++row;
        auto sameDayOfType = [&](const char *code) {
            return !rowEndsData(ledger, row) && dateAt(ledger, row) == date &&
                   LedgerRowHasType(ledger, row, code);
        };
        while (sameDayOfType(TextOf(ItemCode::Deposit))) ++row;
        while (sameDayOfType(TextOf(ItemCode::Purchase))) ++row;
    }
    return insertRowWithFormatsOfBelow(ledger, row);
}

std::string LedgerPeriodCaption(const std::string &firstDate, const std::string &lastDate) {
    return firstDate + kCaptionFrom + lastDate + kCaptionTo;
}

void RecalcAccountLedger(AppState &app) {
    Workbook &wb = *app.AccountWorkbook;
    Sheet &s = wb.sheet(kSheet);
    wb.activate(s);

    if (rowEndsData(s, kFirstDataRow)) {
        app.LedgerEmpty = true;
        app.LedgerLastRow = kFirstDataRow - 1;
        app.LedgerLastDate = Date();
        resetEmptyLedger(s);
        return;
    }
    app.LedgerEmpty = false;
    const int last = FindFirstEmptyLedgerRow(s) - 1;
    const int totalsRow = last + kTotalsOffset;
    const int staleTotals = storedTotalsRow(s);
    s.copyRowFormat(last, last + 1);
    app.LedgerLastRow = last;
    app.LedgerLastDate = dateAt(s, last);

    // One pass over the data rows: the running balance and the column sums together.
    Currency balance;
    std::array<Currency, 10> sums{};
    for (int r = kFirstDataRow; r <= last; ++r) {
        balance += amountAt(s, r, Movement);
        s.setValue(r, Balance, balance);
        for (std::size_t i = 0; i < sums.size(); ++i) sums[i] += amountAt(s, r, kSummedColumns[i]);
    }

    s.clearRange(last + 2, 1, last + 4, kLastColumn);
    // A totals row left further down by an earlier layout goes too, so the sheet shows one.
    if (staleTotals > last && (staleTotals < last + 2 || staleTotals > last + 4) &&
        isTotalsRow(s, staleTotals))
        s.clearRange(staleTotals, 1, staleTotals, kLastColumn);
    writeTotals(s, totalsRow, sums, balance);
    s.setValue(kHeaderRow, MovementDate,
               LedgerPeriodCaption(s.value(kFirstDataRow, MovementDate).display(),
                                   s.value(last, MovementDate).display()));
}

} // namespace vandorix
