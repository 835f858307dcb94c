#pragma once

// The large installation the scale benchmarks run their commands on, laid out once per run,
// and what describes it.
#include "../BenchSupport.h"
#include "app/Application.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace vandorix::scale_bench {

namespace fs = std::filesystem;

inline constexpr int kProducts = 50;
inline constexpr int kPriceRows = 2500;
inline constexpr int kTradesPerProduct = 200;
inline constexpr int kLedgerRows = 30000;
inline constexpr int kDeposits = kLedgerRows - kProducts * kTradesPerProduct;
inline constexpr int kFirstDepositCode = 900000;
// The share sold out by its last trade: the one the archiving takes.
inline constexpr int kSoldOutProduct = kProducts - 1;

inline const Date kFirstDay = *Date::fromYmd(2016, 1, 4); // a Monday
inline Date priceDay(int i) {
    return kFirstDay.addDays(i + i / 5 * 2);
} // working days
inline Currency priceOf(int product, int i) {
    return Currency::fromRaw(1000000 + ((i + product * 131) * 7919) % 250000);
}
// The next working day after the last price row.
inline const Date kToday = priceDay(kPriceRows);

inline std::string productName(int p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "Ceg%02d", p + 1);
    return buf;
}
inline std::string productCode(int p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "HU00000001%02d", p + 1);
    return buf;
}
// "2026.02.02", as typed into the windows.
inline std::string typed(Date d) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d.%02d.%02d", d.year(), d.month(), d.day());
    return buf;
}

inline bool verbose() {
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


    Installation();
    ~Installation() {
        std::error_code ec;
        fs::remove_all(parent, ec);
    }

    // Trades every 12 working days (two purchases of 30, then a sale of 40, FIFO), recorded by
    // the trade procedures; then the 2,500 closing prices imported, which computes the value
    // columns, data range and indicators as the closing-price window would.
    void fillProduct(Application &app, int p, std::vector<TradeRecord> &trades);

    // The trades' rows among 20,000 deposits, 30,000 rows in all, in date order: on one day the
    // deposits first, then the purchases, then the sales, as the windows place them.
    void fillLedger(Application &app, std::vector<TradeRecord> trades);
};

// The installation, laid out on first use.
Installation &installation();

} // namespace vandorix::scale_bench
