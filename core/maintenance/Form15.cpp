#include "maintenance/Form15.h"

#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Validation.h"
#include "app/WorkbookProtocol.h"
#include "trading/TradeCorrections.h"

namespace vandorix {

namespace {

constexpr const char *kNotFound = "Nincs ilyen teljesítés  kód,\r\njavítson !";
constexpr const char *kProductMissing =
    "A tételhez tartozó termék munkafüzete nem található,\r\na sor nem törölhető!";
constexpr const char *kTradeRowMissing =
    "A termék számláján nincs ilyen teljesítés kód,\r\na sor nem törölhető!";

} // namespace

Form15::Form15(Application &app)
    : CodeSearchForm(app, "Form15", "Adatsor törlés", "Teljesítés tranzakciós kód") {
    addCommandButtons({"Törlés", "Mégse", "Vissza a főmenübe", "Kilép"});
    bindCommandClicks(this, &Form15::Command1_Click, &Form15::Command2_Click,
                      &Form15::Command3_Click, &Form15::Command4_Click);
}

void Form15::Form_Load() {
    Code = 0;
    resetSearch();
    enableControls({"Command1", "Command2"}, false);
    enableControls({"Command3", "Command4"}, true);
    openAccountForSearch();
}

// Back to an empty code field, nothing chosen.
void Form15::askAgain() {
    Found.reset();
    control("Text1").enabled = true;
    control("Text1").clear();
    enableControls({"Command1", "Command2"}, false);
    SetFocus("Text1");
}

void Form15::keresö_load() {
    std::optional<maintenance::LedgerMovement> m = confirmedMovement(Code, kNotFound, "törli");
    if (!m) {
        askAgain();
        return;
    }
    Found = m;
    // The code of the confirmed movement stays as it was confirmed.
    control("Text1").enabled = false;
    enableControls({"Command1", "Command2"}, true);
    SetFocus("Command1");
}

void Form15::Command1_Click() {
    if (!Found)
        return;
    enableControls({"Command1", "Command2"}, false);
    AppState &s = state();
    const MaintenanceOutcome outcome = DeleteLedgerMovement(s, *Found, Code);
    Found.reset();
    switch (outcome) {
    case MaintenanceOutcome::Done:
        break;
    case MaintenanceOutcome::LotAlreadySold:
        ShowNotice(dialogs(), kPurchaseNotDeletableMessage);
        break;
    case MaintenanceOutcome::ProductMissing:
        ShowNotice(dialogs(), kProductMissing, "Adathiba");
        break;
    case MaintenanceOutcome::TradeRowMissing:
        ShowNotice(dialogs(), kTradeRowMissing, "Adathiba");
        break;
    }
    if (outcome != MaintenanceOutcome::Done) {
        // Nothing was changed; the workbooks are closed unwritten and the next code reopens
        // the ledger as stored.
        CloseWorkbooksForReturn(s);
    }
    Form_Load();
    SetFocus("Text1");
}

// Gives the confirmed movement up; the ledger stays as it is.
void Form15::Command2_Click() {
    askAgain();
}

void Form15::Command3_Click() {
    app().ReturnToMainWindow(*this);
}

void Form15::Command4_Click() {
    app().LeaveProgram(*this);
}

} // namespace vandorix
