#include "products/ClosingPriceImport.h"

#include "analytics/Indicators.h"
#include "book/Rows.h"
#include "book/Sheets.h"
#include "products/ClosingPrice.h"
#include "store/HostError.h"

#include <algorithm>
#include <limits>

namespace vandorix {
namespace {

Sheet &priceSheet(AppState &app) {
    Workbook &wb = *app.ProductWorkbook;
    app.host().activate(wb);
    return wb.sheet(PriceSheetName(app.ProductName));
}

// Where the recording of one day puts it, found as the closing-price window finds it: the
// day's row is the row after the last row dated on or before the day (a row without a date
// stops that search too); that row itself when it carries the day.
struct Placement {
    enum class Kind { Insert, Append, Existing } kind = Kind::Append;
    int original = 0;      // Insert: the original data row it goes before (0 = row 5);
                           // Existing: the original data row of the day
    bool hasPrice = false; // Existing: the row's price is not 0
};

struct Plan {
    int originalRows = 0; // data rows of the sheet before the import
    std::vector<Placement> days;
};

Plan planPlacements(const Sheet &prices, const std::vector<PriceFileDay> &days) {
    Plan plan;
    // The key of a row: its date, or "before every day" when it has none, which stops the
    // search as the window's upward scan does.
    std::vector<int> keys;
    for (int r = kFirstPriceRow; !prices.value(r, kPriceColClose).isBlank(); ++r) {
        std::optional<Date> d = prices.value(r, kPriceColDate).date();
        keys.push_back(d ? d->dayNumber() : std::numeric_limits<int>::min());
    }
    const int n = static_cast<int>(keys.size());
    plan.originalRows = n;
    // The last row with a key on or before a day is the last row whose suffix minimum is on or
    // before it; days come in ascending order, so one pointer walks the rows once.
    std::vector<int> suffixMin(n + 1, std::numeric_limits<int>::max());
    for (int i = n - 1; i >= 0; --i) suffixMin[i] = std::min(keys[i], suffixMin[i + 1]);
    int p = 0;                  // original rows before the insertion point
    bool importAfterP = false; // a day of the import already sits after original row p - 1
    for (const PriceFileDay &d : days) {
        const int key = d.day.dayNumber();
        while (p < n && suffixMin[p] <= key) {
            ++p;
            importAfterP = false;
        }
        Placement place;
        if (p > 0 && !importAfterP && keys[p - 1] == key) {
            place.kind = Placement::Kind::Existing;
            place.original = p - 1;
            place.hasPrice =
                prices.value(kFirstPriceRow + p - 1, kPriceColClose).currency().value_or(Currency()) != Currency();
        } else {
            place.kind = p < n ? Placement::Kind::Insert : Placement::Kind::Append;
            place.original = p;
            importAfterP = true;
        }
        plan.days.push_back(place);
    }
    return plan;
}

// A new row between two data rows: the formats of the row below it, as the window's inserted
// row gets them, and no values.
Row formatsOf(const Row &below) {
    Row fresh;
    fresh.format = below.format;
    fresh.height = below.height;
    fresh.cells.reserve(below.cells.size());
    for (const Cell &c : below.cells) fresh.cells.push_back(Cell{{}, c.format});
    return fresh;
}

} // namespace

int CountDaysWithPrice(AppState &app, const std::vector<PriceFileDay> &days) {
    const Plan plan = planPlacements(priceSheet(app), days);
    return static_cast<int>(std::count_if(plan.days.begin(), plan.days.end(), [](const Placement &p) {
        return p.kind == Placement::Kind::Existing && p.hasPrice;
    }));
}

PriceImportResult ImportClosingPrices(AppState &app, const std::vector<PriceFileDay> &days,
                                      bool overwriteExisting) {
    Sheet &prices = priceSheet(app);
    const Plan plan = planPlacements(prices, days);
    const int n = plan.originalRows;

    PriceImportResult result;
    std::vector<bool> written(days.size());
    for (std::size_t i = 0; i < days.size(); ++i) {
        const Placement &p = plan.days[i];
        const bool keep = p.kind == Placement::Kind::Existing && p.hasPrice && !overwriteExisting;
        written[i] = !keep;
        (keep ? result.kept : result.recorded) += 1;
    }
    if (result.recorded == 0) return result;
    if (prices.isProtected()) throw ProtectedError(prices.name());

    // Rows: the new rows between data rows are placed in one pass over the row list; the
    // rows after the last data row take the new later days, as the window's next entry row.
    std::vector<int> rowOf(days.size());
    {
        std::vector<Row> &rows = prices.rowsForReader();
        const std::size_t headerRows = kFirstPriceRow - 1;
        if (rows.size() < headerRows + n) rows.resize(headerRows + n);
        std::vector<Row> merged;
        merged.reserve(rows.size() + days.size());
        for (std::size_t r = 0; r < headerRows; ++r) merged.push_back(std::move(rows[r]));
        std::size_t next = 0; // next day to place
        int inserted = 0;
        auto dayIs = [&](Placement::Kind kind, int original) {
            return next < days.size() && plan.days[next].kind == kind && plan.days[next].original == original;
        };
        for (int k = 0; k < n; ++k) {
            Row &original = rows[headerRows + k];
            for (; dayIs(Placement::Kind::Insert, k); ++next, ++inserted) {
                merged.push_back(formatsOf(original));
                rowOf[next] = static_cast<int>(merged.size());
            }
            merged.push_back(std::move(original));
            for (; dayIs(Placement::Kind::Existing, k); ++next) rowOf[next] = static_cast<int>(merged.size());
        }
        for (std::size_t r = headerRows + n; r < rows.size(); ++r) merged.push_back(std::move(rows[r]));
        rows = std::move(merged);

        int lastRow = static_cast<int>(headerRows) + n + inserted;
        for (std::size_t i = next; i < days.size(); ++i) {
            ++lastRow;
            // The first price of an empty sheet keeps row 5 as it is; each later row takes the
            // formats of the row above it, as the data range refresh prepares the next row.
            if (lastRow > kFirstPriceRow) prices.copyRowFormat(lastRow - 1, lastRow);
            rowOf[i] = lastRow;
        }
    }

    int firstChanged = std::numeric_limits<int>::max();
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (!written[i]) continue;
        prices.setValue(rowOf[i], kPriceColDate, days[i].day);
        prices.setValue(rowOf[i], kPriceColClose, days[i].price);
        firstChanged = std::min(firstChanged, rowOf[i]);
    }

    int newRows = 0;
    for (const Placement &p : plan.days) newRows += p.kind != Placement::Kind::Existing;
    app.RecalcFromRow = firstChanged;
    app.LastDataRow = kFirstPriceRow - 1 + n + newRows;
    RecalcValueColumns(app);
    RefreshProductDataRange(app);
    const Sheet &aux = app.ProductWorkbook->sheet(sheets::kAuxiliary);
    app.DateRangeCaption =
        book::PeriodCaption(aux.value(5, 4).display(), aux.value(7, 4).display());
    prices.setValue(2, 1, app.DateRangeCaption);

    // Each recorded row's indicators, computed as its own recording did: only when the sheet
    // then held 27 rows or more. The rows above a recorded row are final by then, since later
    // days only go below it.
    int rowsThen = kFirstPriceRow - 1 + n;
    for (std::size_t i = 0; i < days.size(); ++i) {
        if (plan.days[i].kind != Placement::Kind::Existing) ++rowsThen;
        if (!written[i] || rowsThen < kIndicatorMinRows) continue;
        app.RecalcFromRow = rowOf[i];
        app.ReferenceDate = days[i].day;
        ComputeMovingAverages(app);
        app.RsiRow = rowOf[i];
        ComputeRsi(app);
    }
    app.RecalcFromRow = firstChanged;
    return result;
}

} // namespace vandorix
