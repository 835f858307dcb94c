#include "trading/TradeSheet.h"

#include "store/HostError.h"

#include <cmath>

namespace vandorix {

Sheet &TradeSheet(AppState &app) {
    if (!app.ProductWorkbook) throw HostError("Nincs nyitott termék munkafüzet.");
    return app.ProductWorkbook->sheet(kTradeSheet);
}


namespace {

bool HasTrade(const Sheet &sheet, int row) { return !sheet.value(row, szla::Day).isBlank(); }

bool DatedBefore(const Sheet &sheet, int row, Date d) {
    auto a = CellDate(sheet, row, szla::Day);
    return a && *a < d;
}

bool DatedOn(const Sheet &sheet, int row, Date d) {
    auto a = CellDate(sheet, row, szla::Day);
    return a && *a == d;
}

bool DatedOnOrBefore(const Sheet &sheet, int row, Date d) {
    auto a = CellDate(sheet, row, szla::Day);
    return a && *a <= d;
}

} // namespace

int TradeRowOfSettlementCode(const Sheet &sheet, long long code) {
    for (int r = szla::FirstDataRow; HasTrade(sheet, r); ++r) {
        auto u = sheet.value(r, szla::Settlement).integer();
        if (u && *u == code) return r;
    }
    return 0;
}

int PurchaseInsertionRow(const Sheet &sheet, Date d) {
    int r = szla::FirstDataRow;
    while (HasTrade(sheet, r) && DatedBefore(sheet, r, d)) ++r;
    while (DatedOn(sheet, r, d) && IsOpenLot(sheet, r)) ++r;
    return r;
}

int SaleInsertionRow(const Sheet &sheet, Date d) {
    int r = szla::FirstDataRow;
    while (HasTrade(sheet, r) && DatedOnOrBefore(sheet, r, d)) ++r;
    return r;
}

void InsertTradeRow(Sheet &sheet, int row) {
    sheet.insertRow(row);
    sheet.copyRowFormat(row + 1, row);
}

void AdvanceTotalsPointer(Sheet &sheet) {
    long long s2 = CellInteger(sheet, szla::TotalsPointerRow, szla::TotalsPointerColumn);
    sheet.setValue(szla::TotalsPointerRow, szla::TotalsPointerColumn, static_cast<double>(s2 + 1));
}

int OpenQuantityAbove(const Sheet &sheet, int row) {
    long long open = 0;
    for (int r = szla::FirstDataRow; r < row; ++r)
        if (IsOpenLot(sheet, r)) open += CellInteger(sheet, r, szla::OpenQuantity);
    return static_cast<int>(open);
}

Currency ScaleCurrency(Currency amount, long long numerator, long long denominator) {
    if (denominator == 0) return Currency();
    __int128 p = static_cast<__int128>(amount.raw()) * numerator;
    __int128 q = denominator;
    if (q < 0) {
        p = -p;
        q = -q;
    }
    __int128 half = q / 2;
    __int128 rounded = p >= 0 ? (p + half) / q : -((-p + half) / q);
    return Currency::fromRaw(static_cast<std::int64_t>(rounded));
}

// The part of `taken` shares in the amount of a row of `quantityColumn` shares; a row without
// the amount or the quantity gives it from its per-share figure.
static Currency shareOfRowAmount(const Sheet &sheet, int row, long long taken, int amountColumn,
                                 int quantityColumn, int perShareColumn) {
    auto amount = sheet.value(row, amountColumn).currency();
    long long quantity = CellInteger(sheet, row, quantityColumn);
    if (amount && quantity > 0) return ScaleCurrency(*amount, taken, quantity);
    double perShare = sheet.value(row, perShareColumn).number().value_or(0);
    return Currency::fromDouble(perShare * static_cast<double>(taken));
}

Currency LotCostOf(const Sheet &sheet, int row, long long taken) {
    return shareOfRowAmount(sheet, row, taken, szla::BuyCost, szla::Bought, szla::CostPerShare);
}

Currency SaleProceedsOf(const Sheet &sheet, int row, long long taken) {
    return shareOfRowAmount(sheet, row, taken, szla::NetProceeds, szla::Sold, szla::NetPerShare);
}

std::string TradePeriodCaption(Date first, Date last) {
    return book::PeriodCaption(first.toString(), last.toString());
}

void RecalcTradeSheet(AppState &app) { RecalcTradeSheet(TradeSheet(app), app); }

namespace {

// Column H of each row: the holding after it, the running sum of the signed quantities.
void writeRunningHolding(Sheet &sheet, int last) {
    using namespace szla;
    sheet.setValue(FirstDataRow, Holding, sheet.value(FirstDataRow, SignedQuantity));
    long long holding = CellInteger(sheet, FirstDataRow, SignedQuantity);
    for (int r = FirstDataRow + 1; r <= last; ++r) {
        if (!sheet.value(r, SignedQuantity).isBlank()) holding += CellInteger(sheet, r, SignedQuantity);
        sheet.setValue(r, Holding, static_cast<double>(holding));
    }
}

// The shares still held in open lots and their average cost, into `app`; the cost per share
// into the totals row when any are held.
void writeHeldCost(Sheet &sheet, int last, int totals, AppState &app) {
    using namespace szla;
    long long held = 0;
    Currency heldCost;
    for (int r = FirstDataRow; r <= last; ++r) {
        if (!IsOpenLot(sheet, r)) continue;
        long long open = CellInteger(sheet, r, OpenQuantity);
        held += open;
        heldCost += LotCostOf(sheet, r, open);
    }
    app.HeldQuantity = static_cast<int>(held);
    app.HeldAverageCost = held > 0 ? ScaleCurrency(heldCost, 1, held) : Currency();
    if (held > 0) sheet.setValue(totals, CostPerShare, app.HeldAverageCost);
}

// The totals row three rows below the last trade, and the pointer to it.
void writeTotals(Sheet &sheet, int last, AppState &app) {
    using namespace szla;
    // Old totals stand one row above or below the new place after an insertion or deletion.
    sheet.clearRange(last + 2, 1, last + 4, ClearedColumns);
    const int totals = last + book::kTotalsOffset;

    auto sumAmount = [&](int column) {
        Currency sum;
        for (int r = FirstDataRow; r <= last; ++r) sum += CellCurrency(sheet, r, column);
        return sum;
    };
    auto sumQuantity = [&](int column) {
        long long sum = 0;
        for (int r = FirstDataRow; r <= last; ++r) sum += CellInteger(sheet, r, column);
        return static_cast<double>(sum);
    };

    sheet.setValue(totals, Bought, sumQuantity(Bought));
    for (int c : {BuyValue, BuyCommission, BuyCost}) sheet.setValue(totals, c, sumAmount(c));
    sheet.setValue(totals, Sold, sumQuantity(Sold));
    writeHeldCost(sheet, last, totals, app);
    for (int c : {SaleValue, SaleCommission, NetProceeds, Result})
        sheet.setValue(totals, c, sumAmount(c));
    sheet.setValue(totals, Holding, sumQuantity(SignedQuantity));
    sheet.setValue(totals, OpenQuantity, sumQuantity(OpenQuantity));
    sheet.setValue(totals, OrderCode, book::kTotalsLabel);

    sheet.setValue(TotalsPointerRow, TotalsPointerColumn, totals);
}

} // namespace

void RecalcTradeSheet(Sheet &sheet, AppState &app) {
    using namespace szla;
    sheet.workbook().activate(sheet);
    const int last = LastTradeRow(sheet);

    // The empty row below the data carries the data rows' formats, so that a row inserted at
    // the end takes them. Without data rows there is no data row to take them from.
    if (last >= FirstDataRow) sheet.copyRowFormat(last, last + 1);
    writeRunningHolding(sheet, last);
    writeTotals(sheet, last, app);

    // Without trades the caption and the trade dates would be read from the heading row; the
    // caption is emptied and the dates keep their values instead.
    auto first = CellDate(sheet, FirstDataRow, Day);
    auto lastDate = last >= FirstDataRow ? CellDate(sheet, last, Day) : std::nullopt;
    if (first && lastDate) {
        app.FirstTradeDate = *first;
        app.LastTradeDate = *lastDate;
        sheet.setValue(2, Day, TradePeriodCaption(*first, *lastDate));
    } else {
        sheet.setValue(2, Day, CellValue());
    }
}

} // namespace vandorix
