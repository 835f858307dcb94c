#pragma once

// A share "Alfa" with a deposit, two purchases, a sale and closing prices entered through the
// real windows, the same entries kept in a `ReportModel` for the expected figures.
#include "ReportModel.h"
#include "trading/TradeWindowSession.h"

#include <string>

namespace vandorix::testing {

class ReportSession : public TradeSession {
public:
    ReportModel model;

    void deposit(Date day, const char *amount, int code) {
        play(DepositScript(Typed(day), amount, code));
        model.deposit(day, Amount(amount));
    }
    void buy(Date day, int quantity, const char *price, const char *commission, int code) {
        play(Purchase({Typed(day), quantity, price, commission, code, code}));
        model.trade({day, quantity, Amount(price), Amount(commission)});
    }
    void sell(Date day, int quantity, const char *price, const char *commission, int code) {
        play(Sale({Typed(day), quantity, price, commission, code, code}));
        model.trade({day, -quantity, Amount(price), Amount(commission)});
    }
    void close(Date day, const char *price) {
        play(ClosingPriceScript(Typed(day), price));
        model.close(day, Amount(price));
    }

    // The standing scenario: dates from January to April 2026.
    void enterScenario() {
        deposit(Day(2026, 1, 5), "1000000", 1);
        buy(Day(2026, 2, 2), 100, "1000", "500", 101);
        close(Day(2026, 2, 10), "1100");
        buy(Day(2026, 2, 20), 50, "1050", "250", 102);
        sell(Day(2026, 3, 2), 120, "1200", "300", 103);
        close(Day(2026, 4, 1), "1300");
        deposit(Day(2026, 4, 10), "50000", 2);
    }
};

} // namespace vandorix::testing
