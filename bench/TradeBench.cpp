// One purchase and one sale entered end to end through the purchase and sale windows (open
// both workbooks, choose the product, the six fields, the lot matching, the ledger row and its
// recomputation, the closing-price steps, save and close) on a product with 500 trades and
// 5,000 daily price rows and a ledger of 30,000 rows.
#include "BenchSupport.h"
#include "account/Ledger.h"
#include "app/Application.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "trading/TradeRows.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kTrades = 500;
constexpr int kPriceRows = 5000;
constexpr int kLedgerRows = 30000;

// Answers every message with OK and every input box (the final closing price) with one price.
class BenchDialogs : public Dialogs {
public:
    MessageAnswer showMessage(const MessageRequest &) override { return MessageAnswer::Ok; }
    std::optional<std::string> showInput(const InputRequest &) override { return "12,5"; }
};

using bench::OpenForWriting;
using bench::StoreProtected;

const Date kFirstDay = *Date::fromYmd(2006, 1, 2);
Date priceDay(int i) { return kFirstDay.addDays(i + i / 5 * 2); } // working days

// An installation with the share "Alfa" registered through its window, then filled with the
// trades, the price rows and the ledger rows. Made once; each run works on a fresh copy.
struct Installation {
    fs::path parent, root;
    std::string product, account;
    Date today;

    Installation() {
        parent = bench::NewTempFolder("vandorix-bench");
        root = parent / "Vandorix";
        bench::LayOutInstallation(root);
        today = priceDay(kPriceRows - 1).addDays(1);
        {
            BenchDialogs dialogs;
            Application app(dialogs, {root / install::kProgramFolder, today});
            app.start();
            app.clickMenu({"Befektetés", "Részvény", "Alapadatok"});
            app.choose("Combo1", "Más részvény");
            app.type("Text1", "Alfa");
            app.type("Text2", "HU0000123456");
            app.click("Command1");
            app.click("Command4");
        }
        fillProduct();
        fillLedger();
        product = readWholeFile(productFile());
        account = readWholeFile(accountFile());
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(parent, ec);
    }

    fs::path productFile() const { return root / install::kProductsFolder / "Alfa.xls"; }
    fs::path accountFile() const { return root / install::kMasterDataFolder / "Befszla.xls"; }

    // 500 trades every two weeks: two purchases of 30, then a sale of 40 (FIFO).
    void fillProduct() {
        std::unique_ptr<Workbook> wb = OpenForWriting(productFile());
        AppState s;
        s.ProductWorkbook = OpenBook(*wb);
        s.ProductName = "Alfa";
        for (int i = 0; i < kTrades; ++i) {
            s.TradeDate = kFirstDay.addDays(i * 14);
            s.UnitPrice = Currency::fromUnits(100 + i % 37);
            s.Commission = Currency::fromUnits(5);
            s.OrderCode = s.SettlementCode = i + 1;
            if (i % 3 == 2) {
                s.TradeQuantity = 40;
                RecordSale(s);
            } else {
                s.TradeQuantity = 30;
                RecordPurchase(s);
            }
        }
        Sheet &prices = wb->sheet("Alfa01");
        for (int i = 0; i < kPriceRows; ++i) {
            prices.setValue(5 + i, 1, priceDay(i));
            prices.setValue(5 + i, 2, Currency::fromRaw(1000000 + (i * 7919) % 250000));
        }
        StoreProtected(*wb, productFile());
    }

    // The 500 trades' rows among deposits, 30,000 rows in all, in date order.
    void fillLedger() {
        std::unique_ptr<Workbook> wb = OpenForWriting(accountFile());
        Sheet &l = wb->sheet(ledger::kSheet);
        l.clearRange(ledger::kFirstDataRow, 1, ledger::kEmptyTotalsRow + 2, ledger::kLastColumn);
        std::unique_ptr<Workbook> product = OpenForWriting(productFile());
        const Sheet &trades = product->sheet("Szla");
        const int cashPerTrade = (kLedgerRows - kTrades) / kTrades;
        int r = ledger::kFirstDataRow, code = 100000;
        for (int i = 0; i < kTrades; ++i) {
            const int t = 5 + i;
            const Date day = *trades.value(t, 1).date();
            for (int k = 0; k < cashPerTrade; ++k, ++r) {
                l.setValue(r, ledger::MovementDate, day);
                l.setValue(r, ledger::PaidIn, Currency::fromUnits(1000));
                l.setValue(r, ledger::Movement, Currency::fromUnits(1000));
                l.setValue(r, ledger::Description, "Kp befizetés");
                l.setValue(r, ledger::SettlementCode, ++code);
                l.setValue(r, ledger::RowType, "BAR");
            }
            const bool sale = trades.value(t, 19).text() == std::optional<std::string>("EAR");
            l.setValue(r, ledger::MovementDate, day);
            l.setValue(r, ledger::ProductId, "HU0000123456");
            l.setValue(r, ledger::SettlementCode, trades.value(t, 21));
            l.setValue(r, ledger::RowType, sale ? "EAR" : trades.value(t, 19).text().value_or(""));
            if (sale) {
                l.setValue(r, ledger::SoldQuantity, trades.value(t, 10));
                l.setValue(r, ledger::SellPrice, trades.value(t, 11));
                l.setValue(r, ledger::NetProceeds, trades.value(t, 14));
                l.setValue(r, ledger::Movement, trades.value(t, 14));
            } else {
                l.setValue(r, ledger::BoughtQuantity, trades.value(t, 3));
                l.setValue(r, ledger::BuyPrice, trades.value(t, 4));
                l.setValue(r, ledger::BuyCost, trades.value(t, 7));
                l.setValue(r, ledger::Movement, -*trades.value(t, 7).currency());
            }
            ++r;
        }
        while (r < ledger::kFirstDataRow + kLedgerRows) {
            l.setValue(r, ledger::MovementDate, today);
            l.setValue(r, ledger::PaidIn, Currency::fromUnits(10));
            l.setValue(r, ledger::Movement, Currency::fromUnits(10));
            l.setValue(r, ledger::SettlementCode, ++code);
            l.setValue(r++, ledger::RowType, "BAR");
        }
        AppState s;
        s.AccountWorkbook = OpenBook(*wb);
        RecalcAccountLedger(s);
        StoreProtected(*wb, accountFile());
    }
};

Installation &installation() {
    static Installation inst;
    return inst;
}

void restoreFiles(const Installation &inst) {
    writeFileDurably(inst.productFile(), inst.product);
    writeFileDurably(inst.accountFile(), inst.account);
}

void enterTrade(Application &app, const char *quantity, const char *price) {
    app.type("Text1", app.state().Today.toString());
    app.type("Text2", quantity);
    app.type("Text3", price);
    app.type("Text4", "5");
    app.type("Text5", "900001");
    app.type("Text6", "900001");
    app.click("Command1");
}

// Times `command` on a fresh copy of the installation, from the main window after start-up.
template <class Command>
void timeTradeWindow(benchmark::State &state, const char *failure, Command command) {
    Installation &inst = installation();
    for (auto _ : state) {
        state.PauseTiming();
        restoreFiles(inst);
        BenchDialogs dialogs;
        Application app(dialogs, {inst.root / install::kProgramFolder, inst.today});
        app.start();
        state.ResumeTiming();
        command(app);
        if (app.visibleForm() != &app.mainForm()) state.SkipWithError(failure);
    }
}

void BM_PurchaseThroughTheWindow(benchmark::State &state) {
    timeTradeWindow(state, "purchase not recorded", [](Application &app) {
        app.clickMenu({"Befektetés", "Részvény", "Vétel"});
        app.choose("Combo1", "Alfa");
        enterTrade(app, "25", "120");
    });
}
BENCHMARK(BM_PurchaseThroughTheWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_SaleThroughTheWindow(benchmark::State &state) {
    timeTradeWindow(state, "sale not recorded", [](Application &app) {
        app.clickMenu({"Befektetés", "Részvény", "Eladás"});
        app.choose("Combo1", "FIFO.Legkorábbiak");
        app.choose("Combo2", "Alfa");
        enterTrade(app, "50", "125");
    });
}
BENCHMARK(BM_SaleThroughTheWindow)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace
