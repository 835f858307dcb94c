#include "reports/ReportSheets.h"

#include "account/Ledger.h"
#include "analytics/Indicators.h"
#include "app/AppState.h"
#include "book/Sheets.h"
#include "store/Sheet.h"
#include "store/Workbook.h"
#include "app/WorkbookProtocol.h"
#include "trading/TradeSheet.h"

#include <algorithm>

namespace vandorix {

namespace {

constexpr const char *kValueSheet = sheets::kValues;
constexpr const char *kResultSheet = sheets::kResults;
constexpr const char *kArchiveSheet = sheets::kArchive;
constexpr const char *kHelperSheet = sheets::kAuxiliary;
constexpr int kFirstRow = 5;
constexpr int kFirstProductRow = 6;

// Columns of "ARHIV01".
constexpr int kArchiveDate = 1;       // A  date of the product's last price row
constexpr int kArchiveCumulative = 2; // B  running total of the closed results
constexpr int kArchiveRealised = 4;   // D  realised result of the current year
constexpr int kArchiveYearResult = 7; // G  result of the current year

// Columns of a daily price sheet "<name>01".
constexpr int kPriceDate = 1;   // A
constexpr int kPriceClose = 2;  // B
constexpr int kPriceValue = 3;  // C  market value of the holding
constexpr int kPriceResult = 4; // D  result up to the day
constexpr int kPriceChange = 5; // E  change of D against the previous row

std::optional<Date> dateAt(const Sheet &sheet, int row, int column) {
    return sheet.value(row, column).date();
}

Currency amountAt(const Sheet &sheet, int row, int column) {
    return sheet.value(row, column).currency().value_or(Currency());
}

// The last data row of the open product's price sheet as its parameter block records it,
// refreshing the block when it has none; 0 when the sheet has no price row.
int LastPriceRow(AppState &app, const Sheet &prices) {
    if (prices.value(kFirstRow, kPriceClose).isBlank()) return 0;
    Sheet &helper = app.ProductWorkbook->sheet(kHelperSheet);
    if (helper.value(6, 3).isBlank()) RefreshProductDataRange(app);
    long long last = helper.value(6, 3).integer().value_or(0);
    // A block that points outside the data is not trusted: the column itself decides.
    if (last < kFirstRow || prices.value(static_cast<int>(last), kPriceClose).isBlank() ||
        !prices.value(static_cast<int>(last) + 1, kPriceClose).isBlank()) {
        int r = kFirstRow;
        while (!prices.value(r + 1, kPriceClose).isBlank()) ++r;
        last = r;
    }
    return static_cast<int>(last);
}

// Opens and prepares the product workbook of `name` and returns its price sheet.
Sheet &OpenPriceSheet(AppState &app, const std::string &name) {
    app.ProductName = name;
    OpenProductWorkbook(app);
    PrepareProductWorkbook(app);
    app.host().activate(*app.ProductWorkbook);
    return app.ProductWorkbook->sheet(PriceSheetName(name));
}

// A report only reads the product workbook: it is closed without writing.
void ClosePriceSheet(AppState &app) {
    app.ProductWorkbook.close();
}

std::string NameAt(const Sheet &sheet, int row) {
    const CellValue &v = sheet.value(row, 1);
    return v.text().value_or(v.display());
}

// The archived products' row of the result report.
void WriteArchiveRow(const Sheet &archive, Sheet &result, Date start, Date end) {
    Currency atEnd, beforeStart, yearResults, realised;
    if (auto first = dateAt(archive, kFirstRow, kArchiveDate); first && *first <= end) {
        // One pass: the last row dated on or before the period end, and the last row dated
        // before the period start. The period's rows are those between the two; the
        // cumulative result before the first of them is what the period starts from, so the
        // result of an archive row dated on the start day belongs to the period, as it does
        // to the two sums.
        int endRow = 0, beforeStartRow = 0;
        for (int r = kFirstRow; !archive.value(r, kArchiveDate).isBlank(); ++r) {
            auto d = dateAt(archive, r, kArchiveDate);
            if (!d) continue;
            if (*d <= end) endRow = r;
            if (*d < start) beforeStartRow = r;
        }
        if (endRow) atEnd = amountAt(archive, endRow, kArchiveCumulative);
        if (beforeStartRow) beforeStart = amountAt(archive, beforeStartRow, kArchiveCumulative);
        for (int r = std::max(beforeStartRow + 1, kFirstRow); r <= endRow; ++r) {
            yearResults += amountAt(archive, r, kArchiveYearResult);
            realised += amountAt(archive, r, kArchiveRealised);
        }
    }
    result.setValue(kFirstRow, 3, end);
    result.setValue(kFirstRow, 4, atEnd);
    result.setValue(kFirstRow, 5, Currency());
    result.setValue(kFirstRow, 6, start);
    result.setValue(kFirstRow, 7, beforeStart);
    result.setValue(kFirstRow, 8, atEnd - beforeStart);
    result.setValue(kFirstRow, 9, yearResults);
    result.setValue(kFirstRow, 10, realised);
    result.setValue(kFirstRow, 11, atEnd);
    result.setValue(kFirstRow, 12, Currency());
}

} // namespace

PeriodRows FindPeriodRows(const Sheet &prices, int lastRow, Date start, Date end) {
    PeriodRows rows;
    for (int r = lastRow; r >= kFirstRow && (!rows.endRow || !rows.startRow); --r) {
        auto d = dateAt(prices, r, kPriceDate);
        if (!d) continue;
        if (!rows.endRow && *d <= end) rows.endRow = r;
        if (!rows.startRow && *d <= start) rows.startRow = r;
    }
    return rows;
}

void ComputeResultReport(AppState &app) {
    const Date start = app.RangeFromDate;
    const Date end = app.RangeToDate;
    Workbook &account = *app.AccountWorkbook;
    WriteArchiveRow(account.sheet(kArchiveSheet), account.sheet(kResultSheet), start, end);

    for (int r = kFirstProductRow; !account.sheet(kValueSheet).value(r, 1).isBlank(); ++r) {
        const std::string name = NameAt(account.sheet(kValueSheet), r);
        Currency atEnd, change, atStart, inPeriod, upToEnd;
        Sheet &prices = OpenPriceSheet(app, name);
        if (int last = LastPriceRow(app, prices)) {
            PeriodRows rows = FindPeriodRows(prices, last, start, end);
            if (rows.endRow) {
                atEnd = amountAt(prices, rows.endRow, kPriceResult);
                if (dateAt(prices, rows.endRow, kPriceDate) == end)
                    change = amountAt(prices, rows.endRow, kPriceChange);
            }
            if (rows.startRow) atStart = amountAt(prices, rows.startRow, kPriceResult);

            const Sheet &trades = app.ProductWorkbook->sheet(kTradeSheet);
            int lastTrade = LastTradeRowFromHeader(trades);
            for (int t = szla::FirstDataRow; t <= lastTrade; ++t) {
                auto d = dateAt(trades, t, szla::Day);
                if (!d || *d > end) continue;
                Currency realised = amountAt(trades, t, szla::Result);
                upToEnd += realised;
                if (*d >= start) inPeriod += realised;
            }
        }
        ClosePriceSheet(app);

        app.host().activate(account);
        Sheet &result = account.sheet(kResultSheet);
        result.setValue(r, 3, end);
        result.setValue(r, 4, atEnd);
        result.setValue(r, 5, change);
        result.setValue(r, 6, start);
        result.setValue(r, 7, atStart);
        result.setValue(r, 8, atEnd - atStart);
        result.setValue(r, 9, atEnd - atStart);
        result.setValue(r, 10, inPeriod);
        result.setValue(r, 11, upToEnd);
        result.setValue(r, 12, atEnd - upToEnd);
    }
    TotalResultReport(app);
}

void TotalResultReport(AppState &app) {
    Sheet &result = app.AccountWorkbook->sheet(kResultSheet);
    int n = kFirstRow - 1;
    while (!result.value(n + 1, 1).isBlank()) ++n;
    result.clearRange(n + 1, 3, n + 4, 12);
    for (int column : {4, 5, 7, 8, 9, 10, 11, 12}) {
        Currency sum;
        for (int r = kFirstRow; r <= n; ++r) sum += amountAt(result, r, column);
        result.setValue(n + 3, column, sum);
    }
}

namespace {

// The cash account's worth on a day is the running balance after the last ledger row dated
// on or before it; before the first ledger row it is 0. Returns the worth on `valueDay` and
// on `reference`.
std::pair<Currency, Currency> cashWorth(const Sheet &ledgerSheet, Date reference, Date valueDay) {
    int last = FindFirstEmptyLedgerRow(ledgerSheet) - 1;
    int valueRow = 0, referenceRow = 0;
    for (int r = last; r >= kFirstRow && (!valueRow || !referenceRow); --r) {
        auto d = dateAt(ledgerSheet, r, ledger::MovementDate);
        if (!d) continue;
        if (!valueRow && *d <= valueDay) valueRow = r;
        if (!referenceRow && *d <= reference) referenceRow = r;
    }
    Currency valueCash = valueRow ? amountAt(ledgerSheet, valueRow, ledger::Balance) : Currency();
    Currency refCash =
        referenceRow ? amountAt(ledgerSheet, referenceRow, ledger::Balance) : Currency();
    return {valueCash, refCash};
}

// A product's worth on `valueDay` and on `reference`, from its price sheet.
std::pair<Currency, Currency> productWorth(AppState &app, const std::string &name, Date reference,
                                           Date valueDay) {
    Currency worth, refWorth;
    Sheet &prices = OpenPriceSheet(app, name);
    if (int lastPrice = LastPriceRow(app, prices)) {
        // The same one pass as the result report: the last rows dated on or before the
        // value day and on or before the reference day.
        PeriodRows rows = FindPeriodRows(prices, lastPrice, reference, valueDay);
        if (rows.endRow) worth = amountAt(prices, rows.endRow, kPriceValue);
        if (rows.startRow) refWorth = amountAt(prices, rows.startRow, kPriceValue);
    }
    ClosePriceSheet(app);
    return {worth, refWorth};
}

// The sums of the worth columns two rows below the list that ends before `listEnd`.
void writeValueTotals(Sheet &values, int listEnd) {
    values.clearRange(listEnd, 1, listEnd + 4, 7);
    Currency worthSum, refSum, diffSum;
    for (int row = kFirstRow; row < listEnd; ++row) {
        worthSum += amountAt(values, row, 4);
        refSum += amountAt(values, row, 6);
        diffSum += amountAt(values, row, 7);
    }
    values.setValue(listEnd + 2, 4, worthSum);
    values.setValue(listEnd + 2, 6, refSum);
    values.setValue(listEnd + 2, 7, diffSum);
}

} // namespace

bool ComputeValueReport(AppState &app) {
    const Date reference = app.RangeFromDate;
    const Date valueDay = app.RangeToDate;
    Workbook &account = *app.AccountWorkbook;
    app.host().activate(account);
    const Sheet &ledgerSheet = account.sheet(ledger::kSheet);
    if (ledgerSheet.value(kFirstRow, ledger::MovementDate).isBlank()) return false;
    const auto [valueCash, refCash] = cashWorth(ledgerSheet, reference, valueDay);

    Sheet &values = account.sheet(kValueSheet);
    account.activate(values);
    auto writeRow = [&](int row, Currency worth, Currency refWorth) {
        values.setValue(row, 3, valueDay);
        values.setValue(row, 4, worth);
        values.setValue(row, 5, reference);
        values.setValue(row, 6, refWorth);
        values.setValue(row, 7, worth - refWorth);
    };
    writeRow(kFirstRow, valueCash, refCash);

    int r = kFirstProductRow;
    for (; !values.value(r, 1).isBlank(); ++r) {
        const auto [worth, refWorth] = productWorth(app, NameAt(values, r), reference, valueDay);
        app.host().activate(account);
        writeRow(r, worth, refWorth);
    }
    writeValueTotals(values, r);
    return true;
}

} // namespace vandorix
