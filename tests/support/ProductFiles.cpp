#include "support/ProductFiles.h"

#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/ProductLayout.h"
#include "book/Templates.h"
#include "book/TradeLayout.h"
#include "support/TestInstallation.h"

#include <cstdio>
#include <stdexcept>

namespace vandorix::testing {

std::unique_ptr<Workbook> ReadWorkbookFile(const std::filesystem::path &path) {
    return decodeWorkbook(FileBytes(path), path.string());
}

void EditWorkbookFile(const std::filesystem::path &path,
                      const std::function<void(Workbook &)> &change) {
    std::unique_ptr<Workbook> wb = ReadWorkbookFile(path);
    wb->unprotect(install::kWorkbookPassword);
    for (int i = 1; i <= wb->sheetCount(); ++i) wb->sheetAt(i).unprotect(install::kSheetPassword);
    change(*wb);
    for (int i = 1; i <= wb->sheetCount(); ++i) wb->sheetAt(i).protect(install::kSheetPassword);
    wb->protect(install::kWorkbookPassword);
    writeFileAtomically(path, encodeWorkbook(*wb));
}

void WriteTradeRows(Sheet &trades, const std::vector<TradeLine> &lines) {
    int r = szla::FirstDataRow;
    for (const TradeLine &t : lines) {
        trades.insertRow(r);
        trades.setValue(r, szla::Day, t.date);
        if (t.cost != Currency()) trades.setValue(r, szla::BuyCost, t.cost);
        if (t.proceeds != Currency()) trades.setValue(r, szla::NetProceeds, t.proceeds);
        trades.setValue(r, szla::Holding, t.holding);
        trades.setValue(r, szla::LotCode, t.proceeds != Currency() ? kSaleRow : kOpenLot);
        ++r;
    }
    trades.setValue(szla::TotalsPointerRow, szla::TotalsPointerColumn, r - 1 + book::kTotalsOffset);
}

void WritePriceRows(Sheet &prices, const std::vector<PriceLine> &lines, int firstRow) {
    int r = firstRow;
    for (const PriceLine &p : lines) {
        prices.setValue(r, kPriceColDate, p.date);
        prices.setValue(r++, kPriceColClose, p.price);
    }
}

std::string RegisterScript(const std::string &name, const std::string &code) {
    return "menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\ntype Text1 " + name +
           "\ntype Text2 " + code + "\nclick Command1\nclick Command4\n";
}

std::string DepositScript(const std::string &day, const std::string &amount, int code) {
    return "menu Befektetés/Befektetési számla/Befizetés\ntype Text1 " + day + "\ntype Text2 " +
           amount + "\ntype Text3 " + std::to_string(code) + "\nclick Command1\nclick Command3\n";
}

std::string ClosingPriceScript(const std::string &day, const std::string &price,
                               const std::string &product) {
    return "menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 " + product + "\ntype Text1 " +
           day + "\ntype Text2 " + price + "\nclick Command1\nclick Command4\n";
}

std::string Typed(Date d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", d.year(), d.month(), d.day());
    return buf;
}

Date Day(int year, int month, int day) {
    std::optional<Date> d = Date::fromYmd(year, month, day);
    if (!d) throw std::invalid_argument("no such day");
    return *d;
}

Currency Amount(const char *text) {
    std::optional<Currency> c = Currency::parse(text);
    if (!c) throw std::invalid_argument(text);
    return *c;
}

} // namespace vandorix::testing
