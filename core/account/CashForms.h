#pragma once

#include "account/CashMovementForm.h"
#include "book/Codes.h"

#include <string>

namespace vandorix {

// "Befizetés a befektetési számlára": a cash deposit ("BAR"), or with `BrokerFeeRefundMode` a
// broker-fee refund ("BKR") of either sign, whose code is proposed as the last one plus 1.
class Form6 : public CashMovementForm {
public:
    explicit Form6(Application &app);

protected:
    bool belongsHere(const Sheet &ledger, int row) const override;
    void writeMovement(Sheet &ledger, int row) override;
    void afterLoad() override;
    void beforeWrite(Sheet &ledger) override;

private:
    bool RefundMode = false; // taken from `BrokerFeeRefundMode` at each opening
};

// "Pénz kivét a befektetési számláról": a cash withdrawal ("KAR"); the balance may go negative.
class Form7 : public CashMovementForm {
public:
    explicit Form7(Application &app);

protected:
    bool belongsHere(const Sheet &ledger, int row) const override;
    void writeMovement(Sheet &ledger, int row) override;
};

// "Befektetési számlavezetési költség": an account fee, deductible ("HAR") or separate ("TAR"),
// dated by default on the last day of the previous month.
class Form8 : public CashMovementForm {
public:
    explicit Form8(Application &app);

    // Leaves the last day of the month before `Today` in `PreviousMonthEnd`.
    void LastDayOfPreviousMonth();
    const std::string &feeKind() const { return FeeKind; }

protected:
    bool belongsHere(const Sheet &ledger, int row) const override;
    void writeMovement(Sheet &ledger, int row) override;
    Date defaultDate() override;
    void beforeDuplicateCheck() override;
    void enterModifyMode() override;

private:
    Date PreviousMonthEnd;
    std::string FeeKind = TextOf(ItemCode::AccountFee);
};

// "Osztalék bevétel": a dividend ("OAR") with the name of the security that paid it.
class Form12 : public CashMovementForm {
public:
    explicit Form12(Application &app);

protected:
    bool belongsHere(const Sheet &ledger, int row) const override;
    void writeMovement(Sheet &ledger, int row) override;
    void enterModifyMode() override;
    bool hidesReportSheets() const override { return false; }
    bool quitsHostAfterWrite() const override { return true; }
};

} // namespace vandorix
