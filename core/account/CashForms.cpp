#include "account/CashForms.h"

#include "account/Ledger.h"
#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Validation.h"
#include "book/Codes.h"
#include "store/Sheet.h"

namespace vandorix {

using namespace ledger;

namespace {

constexpr const char *kDepositCaption = "Befizetés a befektetési számlára";
constexpr const char *kRefundCaption = "Brókerdíj visszatérítés";

} // namespace

// ---------------------------------------------------------------------------------------------

Form6::Form6(Application &app)
    : CashMovementForm(app, {"Form6", kDepositCaption, "Befizetés összege", nullptr,
                             "Teljesítés kódszám", "Vissza a főmenüre", false}) {}

bool Form6::belongsHere(const Sheet &ledger, int row) const {
    return LedgerRowHasType(ledger, row,
                            RefundMode ? ItemCode::BrokerFeeRefund : ItemCode::Deposit);
}

void Form6::afterLoad() {
    // The same window serves both menu items, so its caption follows the mode of each opening.
    RefundMode = state().BrokerFeeRefundMode;
    setCaption(RefundMode ? kRefundCaption : kDepositCaption);
    if (!RefundMode) return;
    std::optional<long long> last = ledgerSheet().value(kHeaderRow, Movement).integer();
    control("Text3").text = std::to_string((last ? *last : 0) + 1);
}

void Form6::beforeWrite(Sheet &ledger) {
    if (RefundMode) ledger.setValue(kHeaderRow, Movement, static_cast<double>(EntryCode));
}

void Form6::writeMovement(Sheet &ledger, int row) {
    if (!RefundMode) {
        ledger.setValue(row, PaidIn, EntryAmount);
        ledger.setValue(row, Movement, EntryAmount);
        ledger.setValue(row, Description, "Kp befizetés");
        ledger.setValue(row, RowType, TextOf(ItemCode::Deposit));
        return;
    }
    // A refund is money in when positive, money out otherwise; a modified refund whose sign
    // changed must not keep its former amount in the other column.
    if (EntryAmount > Currency()) {
        ledger.setValue(row, PaidIn, EntryAmount);
        ledger.setValue(row, PaidOut, CellValue());
    } else {
        ledger.setValue(row, PaidOut, -EntryAmount);
        ledger.setValue(row, PaidIn, CellValue());
    }
    ledger.setValue(row, Movement, EntryAmount);
    ledger.setValue(row, Description, "Brókerdíj visszatérítés");
    ledger.setValue(row, RowType, TextOf(ItemCode::BrokerFeeRefund));
}

// ---------------------------------------------------------------------------------------------

Form7::Form7(Application &app)
    : CashMovementForm(app, {"Form7", "Pénz kivét a befektetési számláról", "Kivét összege",
                             nullptr, "Teljesítés kódszám", "Vissza a főmenüre", false}) {}

bool Form7::belongsHere(const Sheet &ledger, int row) const {
    return LedgerRowHasType(ledger, row, ItemCode::Withdrawal);
}

void Form7::writeMovement(Sheet &ledger, int row) {
    ledger.setValue(row, PaidOut, EntryAmount);
    ledger.setValue(row, Movement, -EntryAmount);
    ledger.setValue(row, Description, "Kp kivét");
    ledger.setValue(row, RowType, TextOf(ItemCode::Withdrawal));
}

// ---------------------------------------------------------------------------------------------

Form8::Form8(Application &app)
    : CashMovementForm(app, {"Form8", "Befektetési számlavezetési költség", "Számlavezetési díj",
                             nullptr, "Teljesítés kódszám", "Vissza a főmenühöz", true}) {}

void Form8::LastDayOfPreviousMonth() {
    const Date today = state().Today;
    Date d = today;
    for (int step = 0; step < 31 && d.month() == today.month(); ++step) d = d.addDays(-1);
    PreviousMonthEnd = d;
}

Date Form8::defaultDate() {
    LastDayOfPreviousMonth();
    return PreviousMonthEnd;
}

void Form8::beforeDuplicateCheck() {
    const bool deductible =
        AskYesNo(dialogs(), std::string("Elszámolható számlavezető kts ?") + kCrLf + "Válasszon !",
                 "Vandorix", MessageIcon::Question, true);
    FeeKind = deductible ? TextOf(ItemCode::AccountFee) : TextOf(ItemCode::SeparateFee);
}

bool Form8::belongsHere(const Sheet &ledger, int row) const {
    std::optional<Date> entered = ParseDateText(control("Text1").text);
    std::optional<Date> found = ledger.value(row, MovementDate).date();
    return LedgerRowHasType(ledger, row, FeeKind) && entered && found && *entered == *found;
}

void Form8::enterModifyMode() {
    // Date and code stay as found; only the amount is entered again.
    control("Text1").enabled = false;
    control("Text3").enabled = false;
    moveTo("Text2");
}

void Form8::writeMovement(Sheet &ledger, int row) {
    ledger.setValue(row, Fee, EntryAmount);
    ledger.setValue(row, Movement, -EntryAmount);
    ledger.setValue(row, RowType, FeeKind);
    ledger.setValue(row, Description,
                    EntryDate.toString() + (FeeKind == TextOf(ItemCode::AccountFee)
                                                ? "  szlavez díj"
                                                : "  külön díj"));
}

// ---------------------------------------------------------------------------------------------

Form12::Form12(Application &app)
    : CashMovementForm(app, {"Form12", "Osztalék bevétel", "Osztalék bevétel", "Értékpapír neve",
                             "Teljesítés kódszáma", "Vissza a főmenübe", false}) {}

bool Form12::belongsHere(const Sheet &ledger, int row) const {
    return LedgerRowHasType(ledger, row, ItemCode::Dividend);
}

void Form12::enterModifyMode() {
    control("Text2").enabled = false;
    control("Text3").enabled = false;
    control("Text4").enabled = false;
    moveTo("Text1");
}

void Form12::writeMovement(Sheet &ledger, int row) {
    ledger.setValue(row, PaidIn, EntryAmount);
    ledger.setValue(row, Movement, EntryAmount);
    ledger.setValue(row, Description, control("Text3").text + " osztalék bevétel");
    ledger.setValue(row, RowType, TextOf(ItemCode::Dividend));
}

} // namespace vandorix
