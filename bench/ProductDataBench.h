#pragma once

// A product "Alfa" with `priceRows` daily price rows on working days from 2 January 2006, with
// results and daily results, and a holding in its trade totals: the data the product data view
// and its charts work on. Shared by the core and the drawing benchmarks.
#include "book/Templates.h"
#include "store/Workbook.h"

#include <memory>

namespace vandorix::bench {

inline Date PriceDay(int i) {
    return Date::fromYmd(2006, 1, 2)->addDays(i + i / 5 * 2);
}

inline std::unique_ptr<Workbook> ProductWithPrices(int priceRows) {
    std::unique_ptr<Workbook> wb = makeProductTemplate();
    wb->unprotect(install::kWorkbookPassword);
    for (int i = 1; i <= wb->sheetCount(); ++i)
        wb->sheetAt(i).unprotect(install::kSheetPassword);
    wb->renameSheet("Termékminta01", "Alfa01");
    wb->renameSheet("Termékminta02", "Alfa02");
    Sheet &prices = wb->sheet("Alfa01");
    for (int i = 0; i < priceRows; ++i) {
        const int r = 5 + i;
        prices.setValue(r, 1, PriceDay(i));
        prices.setValue(r, 2, Currency::fromRaw(1000000 + (i * 7919) % 250000));
        prices.setValue(r, 4, Currency::fromRaw((i * 4337) % 900000 - 300000));
        prices.setValue(r, 5, Currency::fromRaw((i * 211) % 40000 - 20000));
    }
    Sheet &trades = wb->sheet("Szla");
    const int totals = static_cast<int>(*trades.value(2, 19).integer());
    trades.setValue(totals, 8, 112.5);
    trades.setValue(totals, 16, Currency::fromUnits(25000));
    for (int i = 1; i <= wb->sheetCount(); ++i)
        wb->sheetAt(i).protect(install::kSheetPassword);
    wb->protect(install::kWorkbookPassword);
    return wb;
}

} // namespace vandorix::bench
