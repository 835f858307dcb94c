#pragma once

// A share "Alfa" with two deposits, two purchases, a sale and closing prices entered through
// the real windows, with a `ReportModel` that works out what the reports must show from the
// entries alone: positions, FIFO results and cash balances day by day.
#include "store/Currency.h"
#include "store/Date.h"
#include "trading/TradeWindowSession.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace vandorix::testing {

struct ModelTrade {
    Date day;
    int quantity = 0; // bought (positive) or sold (negative)
    Currency price;
    Currency commission;
};

class ReportModel {
public:
    void deposit(Date day, Currency amount) { deposits_.push_back({day, amount}); }
    // A trade records its price as the day's closing price, as the trade windows do when the
    // final price asked for is the trade price.
    void trade(const ModelTrade &t) {
        trades_.push_back(t);
        closes_[t.day] = t.price;
    }
    void close(Date day, Currency price) { closes_[day] = price; }

    int holding(Date day) const {
        int q = 0;
        for (const auto &t : trades_) if (t.day <= day) q += t.quantity;
        return q;
    }
    // Cost of the purchases (`sold` false) or net proceeds of the sales dated up to `day`.
    Currency flow(Date day, bool sold) const {
        Currency sum;
        for (const auto &t : trades_)
            if (t.day <= day && (t.quantity < 0) == sold)
                sum += t.price * std::abs(t.quantity) + (sold ? -t.commission : t.commission);
        return sum;
    }
    Currency cost(Date day) const { return flow(day, false); }
    Currency proceeds(Date day) const { return flow(day, true); }
    // The last price day on or before `day`; nullptr when none.
    const Date *priceDay(Date day) const {
        auto it = closes_.upper_bound(day);
        return it == closes_.begin() ? nullptr : &std::prev(it)->first;
    }
    // The worth of the holding at the last price on or before `day`; 0 when none.
    Currency worth(Date day) const {
        const Date *d = priceDay(day);
        return d ? closes_.at(*d) * holding(*d) : Currency();
    }
    Currency result(Date priceDayDate) const {
        return worth(priceDayDate) + proceeds(priceDayDate) - cost(priceDayDate);
    }
    Currency change(Date priceDayDate) const {
        auto it = closes_.find(priceDayDate);
        if (it == closes_.begin()) return result(priceDayDate);
        return result(priceDayDate) - result(std::prev(it)->first);
    }
    // The realised result of every sale, FIFO; the test's lots divide evenly.
    std::vector<std::pair<Date, Currency>> realised() const {
        struct Lot {
            int left, bought;
            Currency cost;
        };
        std::deque<Lot> lots;
        std::vector<std::pair<Date, Currency>> out;
        for (const auto &t : trades_) {
            if (t.quantity > 0) {
                lots.push_back({t.quantity, t.quantity, t.price * t.quantity + t.commission});
                continue;
            }
            int need = -t.quantity;
            Currency taken;
            while (need > 0) {
                Lot &lot = lots.front();
                int n = std::min(need, lot.left);
                taken += Currency::fromRaw(lot.cost.raw() * n / lot.bought);
                lot.left -= n;
                need -= n;
                if (lot.left == 0) lots.pop_front();
            }
            out.emplace_back(t.day, t.price * (-t.quantity) - t.commission - taken);
        }
        return out;
    }
    Currency realisedBetween(Date from, Date to) const {
        Currency sum;
        for (const auto &[d, r] : realised()) if (d >= from && d <= to) sum += r;
        return sum;
    }
    // The cash balance after every movement dated on or before `day`.
    Currency cash(Date day) const {
        Currency c;
        for (const auto &[d, a] : deposits_) if (d <= day) c += a;
        return c - cost(day) + proceeds(day);
    }

private:
    std::vector<std::pair<Date, Currency>> deposits_;
    std::vector<ModelTrade> trades_;
    std::map<Date, Currency> closes_;
};

class ReportSession : public TradeSession {
public:
    ReportModel model;

    void deposit(Date day, const char *amount, int code) {
        play(DepositScript(Typed(day), amount, code));
        model.deposit(day, Amount(amount));
    }
    void trade(Date day, int quantity, const char *price, const char *commission, int code) {
        const TradeEntry entry{Typed(day), std::abs(quantity), price, commission, code, code};
        play(quantity > 0 ? Purchase(entry) : Sale(entry));
        model.trade({day, quantity, Amount(price), Amount(commission)});
    }
    void close(Date day, const char *price) {
        play(ClosingPriceScript(Typed(day), price));
        model.close(day, Amount(price));
    }

    // The standing scenario: dates from January to April 2026.
    void enterScenario() {
        deposit(Day(2026, 1, 5), "1000000", 1);
        trade(Day(2026, 2, 2), 100, "1000", "500", 101);
        close(Day(2026, 2, 10), "1100");
        trade(Day(2026, 2, 20), 50, "1050", "250", 102);
        trade(Day(2026, 3, 2), -120, "1200", "300", 103);
        close(Day(2026, 4, 1), "1300");
        deposit(Day(2026, 4, 10), "50000", 2);
    }
};

} // namespace vandorix::testing
