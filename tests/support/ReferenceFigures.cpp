#include "support/ReferenceFigures.h"

#include "book/ProductLayout.h"
#include "book/Templates.h"

#include <cmath>

namespace vandorix::testing {

ExpectedPosition PositionOn(const std::vector<TradeLine> &trades, Date day) {
    std::size_t last = 0;
    for (std::size_t i = 0; i < trades.size(); ++i)
        if (trades[i].date <= day) last = i;
    ExpectedPosition p{trades[last].holding, {}, {}};
    for (std::size_t i = 0; i <= last; ++i) {
        p.cost += trades[i].cost;
        p.proceeds += trades[i].proceeds;
    }
    return p;
}

std::pair<double, int> MovingAverage(const std::vector<PriceLine> &rows, int row, int days) {
    const Date day = rows[row - 5].date;
    double sum = 0;
    int n = 0;
    for (int i = 0; i <= row - 5; ++i)
        if (rows[i].date >= day.addDays(-days)) {
            sum += rows[i].price.toDouble();
            ++n;
        }
    return {sum / n, n};
}

int ExpectedRsi(const std::vector<Currency> &closes, int row, int period) {
    std::int64_t up = 0, down = 0;
    for (int k = 0; k < period; ++k) {
        const int i = row - 5 - k;
        if (i < 1) break;
        (closes[i] > closes[i - 1] ? up : down) += closes[i].raw();
    }
    auto average = [&](std::int64_t sum) {
        return static_cast<double>(std::llround(static_cast<double>(sum) / period)) / 10000;
    };
    const double upAvg = average(up);
    double downAvg = average(down);
    if (downAvg == 0) downAvg = 1;
    return static_cast<int>(std::floor(100 - 100 / (1 + upAvg / downAvg) + 0.5));
}

std::vector<Currency> Closes(const std::vector<PriceLine> &rows) {
    std::vector<Currency> out;
    for (const PriceLine &p : rows) out.push_back(p.price);
    return out;
}

std::vector<Currency> Closes(const Sheet &prices) {
    std::vector<Currency> out;
    for (int r = book::kFirstDataRow; !prices.value(r, kPriceColClose).isBlank(); ++r)
        out.push_back(*prices.value(r, kPriceColClose).currency());
    return out;
}

ProductBooks::ProductBooks() : wb(makeProductTemplate()) {
    app.HostApp = std::make_unique<SpreadsheetHost>();
    wb->unprotect(install::kWorkbookPassword);
    for (int i = 1; i <= wb->sheetCount(); ++i) wb->sheetAt(i).unprotect(install::kSheetPassword);
    wb->renameSheet("Termékminta01", "Alfa01");
    wb->renameSheet("Termékminta02", "Alfa02");
    app.ProductName = "Alfa";
    app.ProductWorkbook = OpenBook(*wb);
    app.Today = Day(2026, 12, 6);
    app.StartOfYear = Day(2026, 1, 1);
}

} // namespace vandorix::testing
