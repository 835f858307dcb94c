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
#include "ScaleInstallation.h"

#include "account/Ledger.h"
#include "app/WorkbookProtocol.h"
#include "store/AtomicFile.h"
#include "store/OoxmlCodec.h"
#include "book/Templates.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <iostream>

namespace {
using namespace vandorix;
using namespace vandorix::scale_bench;


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
    return decodeWorkbook(readWholeFile(p), p.string());
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

// A window that works over a period: its menu item, the share when one is named, the first
// and last day, then the button that makes the report and the one that closes the window.
std::function<void(Application &)> periodCommand(std::vector<std::string> menu, std::string share, Date from,
                                                 const char *make, const char *close) {
    return [=](Application &app) {
        app.clickMenu(menu);
        if (!share.empty())
            app.choose("Combo1", share);
        app.type("Text1", typed(from));
        app.type("Text2", typed(kToday));
        app.click(make);
        app.click(close);
    };
}

const Date kYearAgo = kToday.addDays(-365);

// The result report over all 50 shares, for the last year.
void BM_ResultReport(benchmark::State &state) {
    timeCommand(state,
                {{}, periodCommand({"Befektetés", "Információ", "Eredmény"}, "", kYearAgo, "Command1", "Command4"),
                 [](const Installation &i) { return accountChanged(i); }},
                1000);
}
VANDORIX_SCALE_BENCHMARK(BM_ResultReport);

// The value report over all 50 shares: a year ago against today.
void BM_ValueReport(benchmark::State &state) {
    timeCommand(state,
                {{},
                 periodCommand({"Befektetés", "Információ", "Érték kinutatás"}, "", kYearAgo, "Command1",
                               "Command2"),
                 [](const Installation &i) { return accountChanged(i); }},
                1000);
}
VANDORIX_SCALE_BENCHMARK(BM_ValueReport);

// The account statement of the last year of the 30,000-row ledger.
void BM_AccountStatement(benchmark::State &state) {
    timeCommand(state, {[](Application &, BenchDialogs &d) { d.inputs = {"15"}; },
                        periodCommand({"Befektetés", "Befektetési számla", "Számla kivonat"}, "", kYearAgo,
                                      "Command1", "Command4"),
                        [](const Installation &i) { return accountChanged(i); }});
}
VANDORIX_SCALE_BENCHMARK(BM_AccountStatement);

// The statement of one share over its ten years.
void BM_ProductStatement(benchmark::State &state) {
    timeCommand(state, {{},
                        periodCommand({"Befektetés", "Információ", "Termék szlámla kivonat"}, productName(0),
                                      kFirstDay, "Command1", "Command4"),
                        [](const Installation &i) { return productChanged(i, 0); }});
}
VANDORIX_SCALE_BENCHMARK(BM_ProductStatement);

void BM_AccountWorkbookView(benchmark::State &state) {
    timeCommand(state, {{}, [](Application &app) {
                            app.clickMenu({"Befektetés", "Befektetési számla", "Megtekintés"});
                        },
                        {}});
}
VANDORIX_SCALE_BENCHMARK(BM_AccountWorkbookView);

// The data view of one share over its last year, with the standard RSI and the charts.
void BM_ProductDataViewWithCharts(benchmark::State &state) {
    timeCommand(state, {[](Application &, BenchDialogs &d) {
                            d.yesNo = {MessageAnswer::No, MessageAnswer::Yes};
                        },
                        periodCommand({"Befektetés", "Információ", "Termék adatok"}, productName(0), kYearAgo,
                                      "Command1", "Command2"),
                        {}});
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
    return readWholeFile(p);
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
