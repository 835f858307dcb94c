#pragma once

#include "account/Ledger.h"
#include "app/AppState.h"
#include "book/Templates.h"

#include <memory>

namespace vandorix::accounttest {

inline Date day(int m, int d) { return *Date::fromYmd(2026, m, d); }
inline Currency cur(const char *text) { return *Currency::parse(text); }

// The account workbook of a new installation, writable, in an AppState of its own.
struct Ledger {
    std::unique_ptr<Workbook> wb = makeAccountWorkbook();
    AppState app;
    Sheet &s = wb->sheet("Befszla01");
    Ledger() {
        wb->unprotect(install::kWorkbookPassword);
        s.unprotect(install::kSheetPassword);
        app.AccountWorkbook = OpenBook(*wb);
    }
    // A data row as the windows write it: date, code, type, the signed movement and the amount
    // column the type fills.
    void put(int row, Date d, int code, const char *type, int amountColumn, const char *amount,
             const char *movement) {
        s.clearRange(row, 1, row, 22); // rows 5 to 9 hold the new workbook's zero totals
        s.setValue(row, 1, d);
        s.setValue(row, amountColumn, cur(amount));
        s.setValue(row, 19, cur(movement));
        s.setValue(row, 21, code);
        s.setValue(row, 22, type);
    }
    void deposit(int row, Date d, int code, const char *amount) {
        put(row, d, code, "BAR", 16, amount, amount);
    }
    Currency at(int row, int column) const { return s.value(row, column).currency().value(); }
    void recalc() { RecalcAccountLedger(app); }
};

} // namespace vandorix::accounttest
