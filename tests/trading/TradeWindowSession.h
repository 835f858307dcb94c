#pragma once

// The purchase and sale windows driven as a user drives them, in process, with the stored
// trade sheets and the stored ledger checked after every single action.
#include "account/Ledger.h"
#include "products/ClosingPrice.h"
#include "support/InProcessScript.h"
#include "support/LedgerInvariants.h"
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"
#include "support/TradeSheetInvariants.h"
#include "trading/TradeSheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vandorix::testing {

// One trade as the window's six fields take it.
struct TradeEntry {
    std::string date;
    int quantity = 0;
    std::string price;
    std::string commission = "0";
    int orderCode = 0;
    int settlementCode = 0;
};

inline std::string Fields(const TradeEntry &t) {
    return "type Text1 " + t.date + "\ntype Text2 " + std::to_string(t.quantity) + "\ntype Text3 " +
           t.price + "\ntype Text4 " + t.commission + "\ntype Text5 " +
           std::to_string(t.orderCode) + "\ntype Text6 " + std::to_string(t.settlementCode) + "\n";
}

inline std::string OpenPurchase(const std::string &product = "Alfa") {
    return "menu Befektetés/Részvény/Vétel\nchoose Combo1 " + product + "\n";
}

inline std::string OpenSale(const std::string &order = "FIFO",
                            const std::string &product = "Alfa") {
    return "menu Befektetés/Részvény/Eladás\nchoose Combo1 " +
           std::string(order == "LIFO" ? "LIFO.Legutóbbiak" : "FIFO.Legkorábbiak") +
           "\nchoose Combo2 " + product + "\n";
}

// A whole purchase or sale: the window opened, the fields typed, "Rögzítés", the final closing
// price answered with `finalPrice` (the default when empty).
inline std::string Purchase(const TradeEntry &t, const std::string &finalPrice = "",
                            const std::string &product = "Alfa") {
    return OpenPurchase(product) + Fields(t) + "click Command1\ninput " +
           (finalPrice.empty() ? t.price : finalPrice) + "\n";
}
inline std::string Sale(const TradeEntry &t, const std::string &order = "FIFO",
                        const std::string &finalPrice = "", const std::string &product = "Alfa") {
    return OpenSale(order, product) + Fields(t) + "click Command1\ninput " +
           (finalPrice.empty() ? t.price : finalPrice) + "\n";
}

inline const std::string kMismatchNotice =
    "Kilépés|A teljesítés Tr. kód téves, nem ehhez a\r\nművelethez tartozik. Kilépés.";

class TradeSession : public InProcessSession {
  public:
    // A fresh installation with the share "Alfa" registered.
    TradeSession() { play(RegisterScript("Alfa", "HU0000123456")); }

    std::filesystem::path accountFile() { return installation().accountWorkbook(); }
    std::filesystem::path productFile(const std::string &name = "Alfa") {
        return installation().root() / "Termekek" / (name + ".xls");
    }
    std::filesystem::path accountLogFile() {
        return installation().root() / "Arhiv" / "Befszlatöröltsorok.xls";
    }
    std::filesystem::path productLogFile() {
        return installation().root() / "Arhiv" / "Terméktöröltsorok.xls";
    }

    // Runs the script; after every action the stored ledger and every stored trade sheet must
    // be sound.
    void play(const std::string &script) {
        run(script, [&](const std::string &line) {
            EXPECT_TRUE(StoredLedgerIsSound(accountFile())) << "after: " << line;
            for (const auto &entry :
                 std::filesystem::directory_iterator(installation().root() / "Termekek")) {
                auto wb = ReadWorkbookFile(entry.path());
                EXPECT_TRUE(TradeSheetIsSound(wb->sheet("Szla")))
                    << entry.path().filename() << " after: " << line;
            }
        });
    }

    std::unique_ptr<Workbook> product(const std::string &name = "Alfa") {
        return ReadWorkbookFile(productFile(name));
    }
    std::unique_ptr<Workbook> account() { return ReadWorkbookFile(accountFile()); }
    Form &window() { return *app().visibleForm(); }
    bool atMainWindow() { return app().visibleForm() == &app().mainForm(); }
};

// Typed reads of stored cells.
inline long long Int(const Sheet &s, int r, int c) {
    return s.value(r, c).integer().value_or(-1);
}
inline std::string Text(const Sheet &s, int r, int c) {
    return s.value(r, c).text().value_or("");
}
inline Currency Cur(const Sheet &s, int r, int c) {
    return s.value(r, c).currency().value_or(Currency::fromRaw(-1));
}

// The row of a settlement code from row 5; 0 when none. Column U holds it in the trade sheet
// and in the ledger alike.
inline int RowOfCode(const Sheet &s, long long code) {
    static_assert(szla::Settlement == ledger::SettlementCode);
    for (int r = 5; !s.value(r, 1).isBlank(); ++r)
        if (s.value(r, szla::Settlement).integer() == code)
            return r;
    return 0;
}

// The (quantity, lot code) pairs of a sale row, from X/Y on.
inline std::vector<std::pair<long long, long long>> Pairs(const Sheet &s, int row) {
    std::vector<std::pair<long long, long long>> out;
    for (int c = szla::FirstPair; !s.value(row, c + 1).isBlank(); c += 2)
        out.emplace_back(Int(s, row, c), Int(s, row, c + 1));
    return out;
}
using PairList = std::vector<std::pair<long long, long long>>;

} // namespace vandorix::testing
