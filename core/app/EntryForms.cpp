#include "app/EntryForms.h"
#include "book/Sheets.h"

#include "app/AppState.h"
#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/WorkbookProtocol.h"
#include "book/ValueSheet.h"

namespace vandorix {

EntryFieldsForm::EntryFieldsForm(Application &app, std::string name, std::string caption,
                                 ProductList list, const char *field1, const char *field2)
    : Form(app, std::move(name), std::move(caption)) {
    if (list == ProductList::Labelled) addLabel("Label0", "Részvény");
    if (list != ProductList::None) {
        addComboBox("Combo1");
        onClick("Combo1", [this] { Combo1_Click(); });
    }
    addLabel("Label1", field1);
    addTextBox("Text1");
    addLabel("Label2", field2);
    addTextBox("Text2");
    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    onKeyPress("Text2", [this](int &k) { Text2_KeyPress(k); });
}

void EntryFieldsForm::setFieldsVisible(bool visible) {
    for (const char *name : {"Label1", "Text1", "Label2", "Text2"}) control(name).visible = visible;
}

void EntryFieldsForm::setFieldsShown(bool shown) {
    for (const char *name : {"Label1", "Text1", "Label2", "Text2"}) {
        control(name).visible = shown;
        control(name).enabled = shown;
    }
}

void EntryFieldsForm::clearFields() {
    control("Text1").clear();
    control("Text2").clear();
}

void EntryFieldsForm::clearAndDisableFields() {
    for (const char *field : {"Text1", "Text2"}) {
        control(field).clear();
        control(field).enabled = false;
    }
}

void EntryFieldsForm::Command4_Click() { app().ReturnToMainWindow(*this); }

void EntryFieldsForm::Command5_Click() { app().LeaveProgram(*this); }

bool EntryFieldsForm::firstDayEntered(int KeyAscii, DateFieldVariant variant) {
    if (KeyAscii != kEnterKey) return false;
    if (!CheckDateFormat(dialogs(), *this, control("Text1"), variant)) return false;
    SetFocus("Text2");
    return true;
}

PeriodEntryForm::PeriodEntryForm(Application &app, std::string name, std::string caption,
                                 ProductList list, const char *field1, const char *field2,
                                 DateFieldVariant firstDayVariant)
    : EntryFieldsForm(app, std::move(name), std::move(caption), list, field1, field2),
      firstDayVariant_(firstDayVariant) {}

void PeriodEntryForm::Text1_KeyPress(int &KeyAscii) {
    if (firstDayEntered(KeyAscii, firstDayVariant_)) control("Text2").enabled = true;
}

bool ListValueSheetProducts(AppState &s, Control &list) {
    list.clear();
    list.items.clear();
    s.host().activate(*s.AccountWorkbook);
    const Sheet &values = s.AccountWorkbook->sheet(sheets::kValues);
    if (values.value(6, 1).isBlank()) return false;
    list.items = ReadValueSheetProducts(values);
    return true;
}

bool ChooseProductWorkbook(AppState &s, const std::string &chosen) {
    if (s.ProductWorkbookOpen() && s.ProductName != chosen) s.ProductWorkbook.close();
    s.ProductName = chosen;
    if (s.ProductWorkbookOpen()) return false;
    OpenProductWorkbook(s);
    PrepareProductWorkbook(s);
    return true;
}

void ShowValueSheetAlone(AppState &s) {
    Workbook &account = *s.AccountWorkbook;
    s.host().activate(account);
    account.activate(account.sheet(sheets::kValues));
    for (const char *name : {sheets::kLedger, sheets::kLedgerStatement, sheets::kResults, sheets::kArchive})
        account.sheet(name).setVisible(false);
}

bool OfferProductsForPeriod(AppState &s, Dialogs &dialogs, Control &list) {
    ShowValueSheetAlone(s);
    if (ListValueSheetProducts(s, list)) {
        s.ProductName.clear();
        return true;
    }
    ShowNotice(dialogs, std::string("Még nincs termék felvéve") + kCrLf + "az adatbázisba. Kilépés.");
    return false;
}

void CloseAccountShowingSheets(AppState &s) {
    if (!s.AccountWorkbookOpen()) return;
    s.host().activate(*s.AccountWorkbook);
    ShowAccountSheets(s);
    s.AccountWorkbook.close();
}

} // namespace vandorix
