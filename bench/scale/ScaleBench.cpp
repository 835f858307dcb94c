// The whole program at the size of a long-kept installation: 50 shares with 2,500 daily price
// rows and 200 trades each, and a ledger of 30,000 rows holding those 10,000 trades among
// 20,000 deposits. Every command is timed end to end through its window, from the menu item to
// the main window again (start-up: from nothing to the main window), driven in process as a
// user drives it, with the message and input boxes answered by script.
//
// The installation is laid out once per run: the shares registered through their window, the
// trades recorded and the prices imported through the product procedures, the ledger written
// from the same trades in date order and recomputed. Before every timed iteration the files are
// put back as they were laid out, so each iteration measures the same command on the same data.
//
// VANDORIX_SCALE_VERBOSE=1 prints every box each command shows.
#include "account/Ledger.h"
#include "analytics/Indicators.h"
#include "app/Application.h"
#include "products/ClosingPriceImport.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"
#include "trading/TradeRows.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace {
namespace fs = std::filesystem;
using namespace vandorix;

constexpr int kProducts = 50;
constexpr int kPriceRows = 2500;
constexpr int kTradesPerProduct = 200;
constexpr int kLedgerRows = 30000;
constexpr int kDeposits = kLedgerRows - kProducts * kTradesPerProduct;
constexpr int kFirstDepositCode = 900000;
// The share sold out by its last trade: the one the archiving takes.
constexpr int kSoldOutProduct = kProducts - 1;

const Date kFirstDay = *Date::fromYmd(2016, 1, 4); // a Monday
Date priceDay(int i) {
    return kFirstDay.addDays(i + i / 5 * 2);
} // working days
Currency priceOf(int product, int i) {
    return Currency::fromRaw(1000000 + ((i + product * 131) * 7919) % 250000);
}
// The next working day after the last price row.
const Date kToday = priceDay(kPriceRows);

std::string productName(int p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Ceg%02d", p + 1);
    return buf;
}
std::string productCode(int p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "HU00000001%02d", p + 1);
    return buf;
}
// "2026.02.02", as typed into the windows.
std::string typed(Date d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", d.year(), d.month(), d.day());
    return buf;
}

bool verbose() {
    static const bool v = std::getenv("VANDORIX_SCALE_VERBOSE") != nullptr;
    return v;
}

// Answers the Yes/No boxes from a queue (Yes when it is empty), every OK box with OK and every
// input box with the queued text (its default when none is queued); records what was shown.
class BenchDialogs : public Dialogs {
  public:
    std::deque<MessageAnswer> yesNo;
    std::deque<std::string> inputs;
    std::vector<std::string> shown;

    MessageAnswer showMessage(const MessageRequest &r) override {
        shown.push_back(r.title + "|" + r.text);
        if (verbose())
            std::cerr << "  [box] " << r.title << " | " << r.text << "\n";
        if (r.buttons == MessageButtons::Ok)
            return MessageAnswer::Ok;
        if (yesNo.empty())
            return MessageAnswer::Yes;
        MessageAnswer a = yesNo.front();
        yesNo.pop_front();
        return a;
    }
    std::optional<std::string> showInput(const InputRequest &r) override {
        std::string answer = r.defaultText;
        if (!inputs.empty()) {
            answer = inputs.front();
            inputs.pop_front();
        }
        shown.push_back(r.title + "|" + r.prompt + "|" + answer);
        if (verbose())
            std::cerr << "  [input] " << r.title << " -> " << answer << "\n";
        return answer;
    }
    bool showedAny(const std::string &titlePrefix) const {
        for (const std::string &s : shown)
            if (s.rfind(titlePrefix, 0) == 0)
                return true;
        return false;
    }
};

// One trade of a share as recorded, kept for the ledger.
struct TradeRecord {
    Date date;
    bool sale = false;
    int product = 0;
    int quantity = 0;
    Currency price, commission, result;
    int code = 0;
};

// Every file below a folder, by its path, so the installation can be put back between
// iterations: files that were added are removed, changed or missing ones rewritten.
class FolderSnapshot {
  public:
    void take(const fs::path &root) {
        root_ = root;
        files_.clear();
        for (const auto &e : fs::recursive_directory_iterator(root))
            if (e.is_regular_file())
                files_[e.path()] = read(e.path());
    }
    void restore() const {
        std::vector<fs::path> extra;
        for (const auto &e : fs::recursive_directory_iterator(root_))
            if (e.is_regular_file() && !files_.count(e.path()))
                extra.push_back(e.path());
        for (const fs::path &p : extra)
            fs::remove(p);
        for (const auto &[path, bytes] : files_) {
            if (fs::exists(path) && fs::file_size(path) == bytes.size() && read(path) == bytes)
                continue;
            fs::create_directories(path.parent_path());
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        }
    }
    bool changed(const fs::path &p) const {
        auto it = files_.find(p);
        return it == files_.end() || !fs::exists(p) || read(p) != it->second;
    }
    std::size_t totalBytes() const {
        std::size_t n = 0;
        for (const auto &f : files_)
            n += f.second.size();
        return n;
    }

  private:
    static std::string read(const fs::path &p) {
        std::ifstream in(p, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    fs::path root_;
    std::map<fs::path, std::string> files_;
};

struct Installation {
    fs::path parent, root;
    FolderSnapshot pristine;
    double layoutSeconds = 0;

    fs::path programFolder() const { return root / install::kProgramFolder; }
    StartupEnvironment environment() const { return {programFolder(), kToday}; }

    Installation() {
        const auto started = std::chrono::steady_clock::now();
        std::string pattern = (fs::temp_directory_path() / "vandorix-scale-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        parent = pattern;
        root = parent / "Vandorix";
        fs::create_directories(programFolder());
        for (const char *folder : {install::kMasterDataFolder, install::kProductsFolder,
                                   install::kAuxiliaryFolder, install::kArchiveFolder})
            fs::create_directories(root / folder);
        for (const InstallationWorkbook &entry : kInstallationWorkbooks)
            writeFileDurably(root / entry.folder / entry.fileName, encodeWorkbook(*entry.make()));

        BenchDialogs dialogs;
        Application app(dialogs, environment());
        app.start();
        for (int p = 0; p < kProducts; ++p) {
            app.clickMenu({"Befektetés", "Részvény", "Alapadatok"});
            app.choose("Combo1", "Más részvény");
            app.type("Text1", productName(p));
            app.type("Text2", productCode(p));
            app.click("Command1");
            app.click("Command4");
        }
        std::vector<TradeRecord> trades;
        for (int p = 0; p < kProducts; ++p)
            fillProduct(app, p, trades);
        fillLedger(app, trades);
        if (!dialogs.shown.empty()) {
            for (const std::string &s : dialogs.shown)
                std::cerr << s << "\n";
            throw std::runtime_error("laying out the installation showed boxes");
        }
        pristine.take(root);
        layoutSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::cerr << "Installation laid out in " << layoutSeconds << " s, "
                  << pristine.totalBytes() / 1024 << " KiB of files, in " << root << "\n";
    }
    ~Installation() {
        std::error_code ec;
        fs::remove_all(parent, ec);
    }

    // Trades every 12 working days (two purchases of 30, then a sale of 40, FIFO), recorded by
    // the trade procedures; then the 2,500 closing prices imported, which computes the value
    // columns, data range and indicators as the closing-price window would.
    void fillProduct(Application &app, int p, std::vector<TradeRecord> &trades) {
        AppState &s = app.state();
        app.runCommand([&] {
            s.ProductName = productName(p);
            s.ProductCode = productCode(p);
            OpenProductWorkbook(s);
            PrepareProductWorkbook(s);
            int holding = 0;
            for (int i = 0; i < kTradesPerProduct; ++i) {
                const int day = i * 12 + p % 12;
                TradeRecord t;
                t.date = priceDay(day);
                t.product = p;
                t.sale = i % 3 == 2 || (p == kSoldOutProduct && i == kTradesPerProduct - 1);
                t.quantity = !t.sale ? 30 : i % 3 == 2 ? 40 : holding;
                t.price = priceOf(p, day);
                t.commission = Currency::fromUnits(5);
                t.code = (p + 1) * 1000 + i + 1;
                s.TradeDate = t.date;
                s.TradeQuantity = t.quantity;
                s.UnitPrice = t.price;
                s.Commission = t.commission;
                s.OrderCode = s.SettlementCode = t.code;
                s.SaleOrder = "FIFO";
                const TradeOutcome outcome = t.sale ? RecordSale(s) : RecordPurchase(s);
                if (outcome != TradeOutcome::Recorded)
                    throw std::runtime_error("trade refused");
                if (t.sale)
                    t.result = s.SaleResult;
                holding += t.sale ? -t.quantity : t.quantity;
                trades.push_back(t);
            }
            RefreshProductDataRange(s);
            std::vector<PriceFileDay> days;
            for (int i = 0; i < kPriceRows; ++i)
                days.push_back(PriceFileDay{i + 1, priceDay(i), priceOf(p, i)});
            if (ImportClosingPrices(s, days, true).recorded != kPriceRows)
                throw std::runtime_error("price import incomplete");
            s.WorkbookChanged = true;
            SaveProductWorkbook(s);
            CloseProductWorkbook(s);
        });
    }

    // The trades' rows among 20,000 deposits, 30,000 rows in all, in date order: on one day the
    // deposits first, then the purchases, then the sales, as the windows place them.
    void fillLedger(Application &app, std::vector<TradeRecord> trades) {
        for (int k = 0; k < kDeposits; ++k) {
            TradeRecord d;
            d.date = priceDay(static_cast<int>(static_cast<long long>(k) * kPriceRows / kDeposits));
            d.product = -1;
            d.price = Currency::fromUnits(1000);
            d.code = kFirstDepositCode + k;
            trades.push_back(d);
        }
        auto rank = [](const TradeRecord &t) { return t.product < 0 ? 0 : t.sale ? 2 : 1; };
        std::stable_sort(trades.begin(), trades.end(),
                         [&](const TradeRecord &a, const TradeRecord &b) {
                             if (a.date != b.date)
                                 return a.date < b.date;
                             return rank(a) < rank(b);
                         });
        AppState &s = app.state();
        app.runCommand([&] {
            OpenAccountWorkbook(s);
            PrepareAccountWorkbook(s);
            Sheet &l = s.AccountWorkbook->sheet(ledger::kSheet);
            l.clearRange(ledger::kFirstDataRow, 1, ledger::kEmptyTotalsRow + 2,
                         ledger::kLastColumn);
            int r = ledger::kFirstDataRow;
            using namespace ledger;
            for (const TradeRecord &t : trades) {
                l.setValue(r, MovementDate, t.date);
                l.setValue(r, SettlementCode, static_cast<double>(t.code));
                if (t.product < 0) {
                    l.setValue(r, PaidIn, t.price);
                    l.setValue(r, Movement, t.price);
                    l.setValue(r, Description, "Kp befizetés");
                    l.setValue(r, RowType, "BAR");
                } else if (!t.sale) {
                    const Currency value = t.price * t.quantity, cost = value + t.commission;
                    l.setValue(r, OrderCode, static_cast<double>(t.code));
                    l.setValue(r, ProductId, productCode(t.product));
                    l.setValue(r, BoughtQuantity, t.quantity);
                    l.setValue(r, BuyPrice, t.price);
                    l.setValue(r, BuyValue, value);
                    l.setValue(r, BuyCommission, t.commission);
                    l.setValue(r, BuyCost, cost);
                    l.setValue(r, Description,
                               PurchaseDescription(productName(t.product), t.quantity));
                    l.setValue(r, Movement, -cost);
                    l.setValue(r, RowType, "VAK");
                } else {
                    const Currency value = t.price * t.quantity, net = value - t.commission;
                    l.setValue(r, OrderCode, static_cast<double>(t.code));
                    l.setValue(r, ProductId, productCode(t.product));
                    l.setValue(r, SoldQuantity, t.quantity);
                    l.setValue(r, SellPrice, t.price);
                    l.setValue(r, SellValue, value);
                    l.setValue(r, SellCommission, t.commission);
                    l.setValue(r, NetProceeds, net);
                    l.setValue(r, RealisedResult, t.result);
                    l.setValue(r, Description,
                               SaleDescription(productName(t.product), t.quantity, "FIFO"));
                    l.setValue(r, Movement, net);
                    l.setValue(r, RowType, "EAR");
                }
                ++r;
            }
            RecalcAccountLedger(s);
            s.WorkbookChanged = true;
            SaveAccountWorkbook(s);
            CloseAccountWorkbook(s);
        });
    }
};

Installation &installation() {
    static Installation inst;
    return inst;
}

// A command timed from its first action to the main window again, on a freshly restored
// installation with the program started. `prepare` runs untimed after start-up; `expectBoxes`
// lists title prefixes that must not appear ("Adathiba", "Kilépés", "Hiba", …).
struct Command {
    std::function<void(Application &, BenchDialogs &)> prepare;
    std::function<void(Application &)> run;
    // Checked, untimed, on the files the first iteration left: the command did its work.
    std::function<bool(const Installation &)> verify;
};

std::unique_ptr<Workbook> storedWorkbook(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return decodeWorkbook(bytes.str(), p.string());
}
std::unique_ptr<Workbook> storedAccount(const Installation &inst) {
    return storedWorkbook(inst.root / install::kMasterDataFolder / "Befszla.xls");
}
std::unique_ptr<Workbook> storedProduct(const Installation &inst, int p) {
    return storedWorkbook(inst.root / install::kProductsFolder / (productName(p) + ".xls"));
}
// The stored file differs from the one laid out: the report was written into it.
bool accountChanged(const Installation &inst) {
    if (verbose()) {
        std::unique_ptr<Workbook> wb = storedAccount(inst);
        for (const char *sheet : {"Eredmeny01", "Ertek01"})
            for (int r : {5, 6, 7, 54, 55, 56, 57}) {
                std::cerr << "  " << sheet << " row " << r << ":";
                for (int c = 1; c <= 12; ++c)
                    std::cerr << " | " << wb->sheet(sheet).value(r, c).display();
                std::cerr << "\n";
            }
    }
    return inst.pristine.changed(inst.root / install::kMasterDataFolder / "Befszla.xls");
}
bool productChanged(const Installation &inst, int p) {
    return inst.pristine.changed(inst.root / install::kProductsFolder / (productName(p) + ".xls"));
}
bool ledgerHasCode(const Installation &inst, std::int64_t code) {
    return FindLedgerRowByCode(storedAccount(inst)->sheet(ledger::kSheet), code) != 0;
}

const char *const kFailureTitles[] = {"Adathiba", "Kilépés", "Hiba", "Hibás", "A művelet"};

// The goal of a command, shown beside its time: 300 ms; the two reports over every share 1 s.
void setGoal(benchmark::State &state, int goalMs) {
    state.counters["goal_ms"] = goalMs;
}

void timeCommand(benchmark::State &state, const Command &c, int goalMs = 300) {
    setGoal(state, goalMs);
    Installation &inst = installation();
    bool first = true;
    for (auto _ : state) {
        state.PauseTiming();
        inst.pristine.restore();
        BenchDialogs dialogs;
        std::string error;
        {
            Application app(dialogs, inst.environment());
            app.start();
            if (c.prepare)
                c.prepare(app, dialogs);
            state.ResumeTiming();
            c.run(app);
            state.PauseTiming();
            if (app.visibleForm() != &app.mainForm())
                error = "not back at the main window";
        }
        for (const char *title : kFailureTitles)
            if (error.empty() && dialogs.showedAny(title)) {
                for (const std::string &s : dialogs.shown)
                    std::cerr << "  shown: " << s << "\n";
                error = std::string("the command showed ") + title;
            }
        if (error.empty() && first && c.verify && !c.verify(inst))
            error = "the command left no trace";
        first = false;
        // A failed benchmark stops here, its timer paused.
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.ResumeTiming();
        if (verbose())
            std::cerr << "---\n";
    }
}

#define VANDORIX_SCALE_BENCHMARK(fn)                                                               \
    BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime()

void BM_StartupToMainWindow(benchmark::State &state) {
    Installation &inst = installation();
    setGoal(state, 300);
    for (auto _ : state) {
        state.PauseTiming();
        inst.pristine.restore();
        BenchDialogs dialogs;
        std::string error;
        state.ResumeTiming();
        {
            Application app(dialogs, inst.environment());
            app.start();
            const bool atMain = app.visibleForm() == &app.mainForm();
            state.PauseTiming();
            if (!atMain)
                error = "no main window";
        }
        if (error.empty() && !dialogs.shown.empty())
            error = "start-up showed a box";
        if (!error.empty()) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.ResumeTiming();
    }
}
VANDORIX_SCALE_BENCHMARK(BM_StartupToMainWindow);

void enterTrade(Application &app, int quantity, const char *price, int code) {
    app.type("Text1", typed(kToday));
    app.type("Text2", std::to_string(quantity));
    app.type("Text3", price);
    app.type("Text4", "5");
    app.type("Text5", std::to_string(code));
    app.type("Text6", std::to_string(code));
    app.click("Command1");
}

void BM_Purchase(benchmark::State &state) {
    timeCommand(state, {[](Application &, BenchDialogs &d) { d.inputs = {"120"}; },
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Részvény", "Vétel"});
                            app.choose("Combo1", productName(0));
                            enterTrade(app, 25, "120", 990001);
                        },
                        [](const Installation &i) { return ledgerHasCode(i, 990001); }});
}
VANDORIX_SCALE_BENCHMARK(BM_Purchase);

void BM_Sale(benchmark::State &state) {
    timeCommand(state, {[](Application &, BenchDialogs &d) { d.inputs = {"125"}; },
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Részvény", "Eladás"});
                            app.choose("Combo1", "FIFO.Legkorábbiak");
                            app.choose("Combo2", productName(0));
                            enterTrade(app, 50, "125", 990002);
                        },
                        [](const Installation &i) { return ledgerHasCode(i, 990002); }});
}
VANDORIX_SCALE_BENCHMARK(BM_Sale);

void BM_ClosingPrice(benchmark::State &state) {
    timeCommand(state, {{},
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Részvény", "Napi záró ár"});
                            app.choose("Combo1", productName(0));
                            app.type("Text1", typed(kToday));
                            app.type("Text2", "118");
                            app.click("Command1");
                            app.click("Command4");
                        },
                        [](const Installation &i) {
                            return storedProduct(i, 0)
                                       ->sheet(productName(0) + "01")
                                       .value(5 + kPriceRows, 1)
                                       .date() == std::optional<Date>(kToday);
                        }});
}
VANDORIX_SCALE_BENCHMARK(BM_ClosingPrice);

void BM_Deposit(benchmark::State &state) {
    timeCommand(state, {{},
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Befektetési számla", "Befizetés"});
                            app.type("Text1", typed(kToday));
                            app.type("Text2", "50000");
                            app.type("Text3", "990003");
                            app.click("Command1");
                            app.click("Command3");
                        },
                        [](const Installation &i) { return ledgerHasCode(i, 990003); }});
}
VANDORIX_SCALE_BENCHMARK(BM_Deposit);

// A deposit from the middle of the ledger deleted through the maintenance window.
void BM_LedgerRowDeletion(benchmark::State &state) {
    timeCommand(state, {{},
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Karbantartás", "Adatsor törlés"});
                            app.type("Text1", std::to_string(kFirstDepositCode + kDeposits / 2));
                            app.click("Command1");
                            app.click("Command3");
                        },
                        [](const Installation &i) {
                            return !ledgerHasCode(i, kFirstDepositCode + kDeposits / 2);
                        }});
}
VANDORIX_SCALE_BENCHMARK(BM_LedgerRowDeletion);

// A purchase's settlement code changed: in the ledger and in its share's trade sheet.
void BM_SettlementCodeChange(benchmark::State &state) {
    timeCommand(
        state, {{},
                [](Application &app) {
                    app.clickMenu({"Befektetés", "Karbantartás", "Teljesülés  tr. kód módosítás"});
                    app.type("Text1", "1100"); // the 100th trade of Ceg01, a purchase
                    app.type("Text2", "990004");
                    app.click("Command1");
                    app.click("Command4");
                },
                [](const Installation &i) {
                    const std::unique_ptr<Workbook> wb = storedAccount(i);
                    const Sheet &l = wb->sheet(ledger::kSheet);
                    return FindLedgerRowByCode(l, 990004) != 0 && FindLedgerRowByCode(l, 1100) == 0;
                }});
}
VANDORIX_SCALE_BENCHMARK(BM_SettlementCodeChange);

// The result report over all 50 shares, for the last year.
void BM_ResultReport(benchmark::State &state) {
    timeCommand(state,
                {{},
                 [](Application &app) {
                     app.clickMenu({"Befektetés", "Információ", "Eredmény"});
                     app.type("Text1", typed(kToday.addDays(-365)));
                     app.type("Text2", typed(kToday));
                     app.click("Command1");
                     app.click("Command4");
                 },
                 [](const Installation &i) { return accountChanged(i); }},
                1000);
}
VANDORIX_SCALE_BENCHMARK(BM_ResultReport);

// The value report over all 50 shares: a year ago against today.
void BM_ValueReport(benchmark::State &state) {
    timeCommand(state,
                {{},
                 [](Application &app) {
                     app.clickMenu({"Befektetés", "Információ", "Érték kinutatás"});
                     app.type("Text1", typed(kToday.addDays(-365)));
                     app.type("Text2", typed(kToday));
                     app.click("Command1");
                     app.click("Command2");
                 },
                 [](const Installation &i) { return accountChanged(i); }},
                1000);
}
VANDORIX_SCALE_BENCHMARK(BM_ValueReport);

// The account statement of the last year of the 30,000-row ledger.
void BM_AccountStatement(benchmark::State &state) {
    timeCommand(state, {[](Application &, BenchDialogs &d) { d.inputs = {"15"}; },
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Befektetési számla", "Számla kivonat"});
                            app.type("Text1", typed(kToday.addDays(-365)));
                            app.type("Text2", typed(kToday));
                            app.click("Command1");
                            app.click("Command4");
                        },
                        [](const Installation &i) { return accountChanged(i); }});
}
VANDORIX_SCALE_BENCHMARK(BM_AccountStatement);

// The statement of one share over its ten years.
void BM_ProductStatement(benchmark::State &state) {
    timeCommand(state, {{},
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Információ", "Termék szlámla kivonat"});
                            app.choose("Combo1", productName(0));
                            app.type("Text1", typed(kFirstDay));
                            app.type("Text2", typed(kToday));
                            app.click("Command1");
                            app.click("Command4");
                        },
                        [](const Installation &i) { return productChanged(i, 0); }});
}
VANDORIX_SCALE_BENCHMARK(BM_ProductStatement);

void BM_AccountWorkbookView(benchmark::State &state) {
    timeCommand(state, {{}, [](Application &app) {
                            app.clickMenu({"Befektetés", "Befektetési számla", "Megtekintés"});
                        }});
}
VANDORIX_SCALE_BENCHMARK(BM_AccountWorkbookView);

// The data view of one share over its last year, with the standard RSI and the charts.
void BM_ProductDataViewWithCharts(benchmark::State &state) {
    timeCommand(state, {[](Application &, BenchDialogs &d) {
                            d.yesNo = {MessageAnswer::No, MessageAnswer::Yes};
                        },
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Információ", "Termék adatok"});
                            app.choose("Combo1", productName(0));
                            app.type("Text1", typed(kToday.addDays(-365)));
                            app.type("Text2", typed(kToday));
                            app.click("Command1");
                            app.click("Command2");
                        }});
}
VANDORIX_SCALE_BENCHMARK(BM_ProductDataViewWithCharts);

// The sold-out share moved to the archive with "Törlés" of the register window.
void BM_Archiving(benchmark::State &state) {
    timeCommand(state, {{},
                        [](Application &app) {
                            app.clickMenu({"Befektetés", "Részvény", "Alapadatok"});
                            app.choose("Combo1", productName(kSoldOutProduct));
                            app.click("Command2");
                            if (app.visibleForm() != &app.mainForm())
                                app.click("Command4");
                        },
                        [](const Installation &i) {
                            return !fs::exists(i.root / install::kProductsFolder /
                                               (productName(kSoldOutProduct) + ".xls")) &&
                                   fs::exists(i.root / install::kArchiveFolder /
                                              (productName(kSoldOutProduct) + "1.xls"));
                        }});
}
VANDORIX_SCALE_BENCHMARK(BM_Archiving);

// For comparison with the commands: reading and writing the two kinds of file they open, as
// laid out (the 30,000-row account workbook, one share's workbook), without the windows.
std::string storedBytes(const fs::path &p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void decodeFile(benchmark::State &state, const fs::path &p) {
    const std::string bytes = storedBytes(p);
    for (auto _ : state)
        benchmark::DoNotOptimize(decodeWorkbook(bytes, p.string()));
    state.counters["file_kib"] = static_cast<double>(bytes.size()) / 1024;
}
void encodeFile(benchmark::State &state, const fs::path &p) {
    const std::unique_ptr<Workbook> wb = decodeWorkbook(storedBytes(p), p.string());
    for (auto _ : state)
        benchmark::DoNotOptimize(encodeWorkbook(*wb));
}

void BM_Reference_DecodeAccountWorkbook(benchmark::State &state) {
    decodeFile(state, installation().root / install::kMasterDataFolder / "Befszla.xls");
}
VANDORIX_SCALE_BENCHMARK(BM_Reference_DecodeAccountWorkbook);
void BM_Reference_EncodeAccountWorkbook(benchmark::State &state) {
    encodeFile(state, installation().root / install::kMasterDataFolder / "Befszla.xls");
}
VANDORIX_SCALE_BENCHMARK(BM_Reference_EncodeAccountWorkbook);
void BM_Reference_DecodeProductWorkbook(benchmark::State &state) {
    decodeFile(state, installation().root / install::kProductsFolder / (productName(0) + ".xls"));
}
VANDORIX_SCALE_BENCHMARK(BM_Reference_DecodeProductWorkbook);
void BM_Reference_EncodeProductWorkbook(benchmark::State &state) {
    encodeFile(state, installation().root / install::kProductsFolder / (productName(0) + ".xls"));
}
VANDORIX_SCALE_BENCHMARK(BM_Reference_EncodeProductWorkbook);

} // namespace

BENCHMARK_MAIN();
