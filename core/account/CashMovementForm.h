#pragma once

#include "app/EntryMode.h"
#include "app/MovementForm.h"
#include "store/Currency.h"
#include "store/Date.h"

#include <cstdint>
#include <string>

namespace vandorix {

class Sheet;

// The entry procedure shared by the four cash-movement windows (deposit and refund, withdrawal,
// account fee, dividend): date, amount and settlement code filled in order, each checked on
// Enter; the code decides between a new movement and modifying or deleting the existing one of
// the window's own type; one recording or deletion per opening, after which only the two leave
// buttons stay enabled.
class CashMovementForm : public MovementForm {
public:
    void Form_Load() override;

    void Text2_KeyPress(int &KeyAscii);
    // The settlement-code field (Text3, or Text4 in the dividend window).
    void CodeField_KeyPress(int &KeyAscii);
    void jav_val_Click() override;
    // Recording and deletion.
    void Command1_Click() override;
    void Command2_Click() override;

    vandorix::EntryMode entryMode() const { return EntryMode; }
    int targetRow() const { return TargetRow; }

protected:
    struct Layout {
        const char *name;
        const char *caption;
        const char *amountLabel;
        const char *nameLabel; // the dividend's security name field, or nullptr
        const char *codeLabel;
        const char *backCaption;
        bool busyLabel;        // "Várjon !" while the workbook is written
    };
    CashMovementForm(Application &app, const Layout &layout);

    // The row type code a found movement must carry to be modified or deleted here.
    virtual bool belongsHere(const Sheet &ledger, int row) const = 0;
    // Writes the window's own columns of the movement into `row` (A and U are written already).
    virtual void writeMovement(Sheet &ledger, int row) = 0;
    // The default content of the date field.
    virtual Date defaultDate();
    // Runs before the scan for the code (the fee window asks the fee kind here).
    virtual void beforeDuplicateCheck() {}
    // Which fields are entered again when an existing movement is modified.
    virtual void enterModifyMode();
    // Runs at the end of the load procedure (the refund mode proposes the next code).
    virtual void afterLoad() {}
    // Runs before the movement is written (the refund mode records its code in S2).
    virtual void beforeWrite(Sheet &) {}
    // Whether the window hides the report sheets while it has the workbook open.
    virtual bool hidesReportSheets() const { return true; }
    // Whether recording a movement ends with asking the host to quit.
    virtual bool quitsHostAfterWrite() const { return false; }

    const std::string &codeField() const { return codeField_; }
    Sheet &ledgerSheet();
    void showBusy(bool on);

    // The values taken from the fields when writing.
    Date EntryDate;
    Currency EntryAmount;
    std::int32_t EntryCode = 0;

private:
    void NameField_KeyPress(int &KeyAscii);
    void afterAmountOrName();
    void setReportSheetsVisible(bool visible);
    // Reads the three values again; a field changed since its Enter gets its message here.
    bool readEntry();
    // After a recording or a deletion only the two leave buttons can be used.
    void leaveOnlyExitButtons();

    bool hasNameField_;
    bool hasBusyLabel_;
    std::string codeField_;

    vandorix::EntryMode EntryMode = vandorix::EntryMode::New;
    int TargetRow = 0;
    bool ModifyFlag = false;
    bool DeleteFlag = false;
};

} // namespace vandorix
