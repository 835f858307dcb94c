#pragma once

// A fresh installation driven through vandorix-replay, with the paths of its product files.
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace vandorix::testing {

// The closing price of the i-th seeded day: about 100, up and down.
inline Currency PriceOfDay(int i) {
    return Currency::fromRaw(1000000 + ((i * 7919) % 53) * 1250 - i * 300);
}

// `seeded` written as price rows from row 5 with stale figures in C to I (-1 in the value
// columns, 555 in the indicators), so that every recomputed cell shows.
inline void SeedStalePrices(Sheet &prices, const std::vector<PriceLine> &seeded) {
    WritePriceRows(prices, seeded);
    for (int r = 5; r < 5 + static_cast<int>(seeded.size()); ++r)
        for (int c = 3; c <= 9; ++c)
            prices.setValue(r, c, c <= 5 ? CellValue(Currency::fromUnits(-1)) : CellValue(555.0));
}

// The texts of a column from row `from` to the first blank one.
inline std::vector<std::string> Column(const std::filesystem::path &file, const char *sheet,
                                       int col, int from) {
    auto wb = ReadWorkbookFile(file);
    std::vector<std::string> out;
    for (int r = from; !wb->sheet(sheet).value(r, col).isBlank(); ++r)
        out.push_back(wb->sheet(sheet).value(r, col).text().value_or(""));
    return out;
}

struct ProductInstallation {
    TestInstallation inst;

    std::filesystem::path root() const { return inst.root(); }
    std::filesystem::path list() const { return root() / "Seged" / "ISIN01.xls"; }
    std::filesystem::path product(const std::string &name = "Alfa") const {
        return root() / "Termekek" / (name + ".xls");
    }
    std::filesystem::path archive(const std::string &file) const { return root() / "Arhiv" / file; }

    // Runs a script that must end normally; returns the messages it showed.
    std::string run(const std::string &script, const std::string &today = "2026-12-06") const {
        ReplayRun r = inst.replay(script, today);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return r.output;
    }
};

// "Alfa" registered, `trades` written in its trade sheet and `seeded` as stale price rows.
struct TradedProduct : ProductInstallation {
    explicit TradedProduct(const std::vector<TradeLine> &trades,
                           const std::vector<PriceLine> &seeded = {}) {
        run(RegisterScript("Alfa", "HU0000000001"));
        EditWorkbookFile(product(), [&](Workbook &wb) {
            WriteTradeRows(wb.sheet("Szla"), trades);
            SeedStalePrices(wb.sheet("Alfa01"), seeded);
        });
    }
};

} // namespace vandorix::testing
