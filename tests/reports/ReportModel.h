#pragma once

// What the result and value reports must show, worked out from the entered deposits, trades
// and closing prices alone: positions, FIFO results and cash balances day by day.
#include "store/Currency.h"
#include "store/Date.h"

#include <deque>
#include <map>
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
    // Cost of the purchases and net proceeds of the sales dated on or before `day`.
    Currency cost(Date day) const {
        Currency c;
        for (const auto &t : trades_)
            if (t.day <= day && t.quantity > 0) c += t.price * t.quantity + t.commission;
        return c;
    }
    Currency proceeds(Date day) const {
        Currency p;
        for (const auto &t : trades_)
            if (t.day <= day && t.quantity < 0) p += t.price * (-t.quantity) - t.commission;
        return p;
    }
    // The last price day on or before `day`; nullptr when none.
    const Date *priceDay(Date day) const {
        auto it = closes_.upper_bound(day);
        if (it == closes_.begin()) return nullptr;
        return &std::prev(it)->first;
    }
    Currency worth(Date priceDayDate) const { return closes_.at(priceDayDate) * holding(priceDayDate); }
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
        struct Lot { int left; int bought; Currency cost; };
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

} // namespace vandorix::testing
