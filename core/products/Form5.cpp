#include "products/Form5.h"
#include "book/Sheets.h"

#include "products/ProductRegister.h"
#include "analytics/Indicators.h"
#include "app/Application.h"
#include "app/Validation.h"
#include "products/ClosingPrice.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

Form5::Form5(Application &app)
    : EntryFieldsForm(app, "Form5", "Adatbevitel-Napi záró árak", ProductList::Labelled, "Dátum",
                      "Záró darab ár") {
    addCommandButtons(
        {"Adatbevitel", "Mégse", "Következő részvény", "Vissza a főmenübe", "Kilépés"});
    bindCommandClicks(this, &Form5::Command1_Click, &Form5::Command2_Click, &Form5::Command3_Click,
                      &Form5::Command4_Click, &Form5::Command5_Click);
}

void Form5::emptyFieldsAndList() {
    clearFields();
    Control &list = control("Combo1");
    list.clear();
    list.items.clear();
}

void Form5::Form_Load() {
    AppState &s = state();
    s.TradeDrivenPriceEntry = false;
    for (const char *name : {"Text1", "Text2"}) {
        control(name).clear();
        control(name).enabled = false;
    }
    setFieldsVisible(false);
    enableControls({"Command1", "Command2", "Command3", "Command4"}, false);
    EnsureAccountWorkbook(s);
    Control &list = control("Combo1");
    if (!ListValueSheetProducts(s, list)) {
        ShowNotice(dialogs(), std::string("A záró darabár bevitele előtt a részvényt") + kCrLf +
                                  "a Részvény alapadatok menüpontban" + kCrLf +
                                  "fel kell venni. Kilépés.");
        enableControls({"Command1", "Command2", "Command3"}, false);
        enableControls({"Command4", "Command5"}, true);
        Command5_Click();
        return;
    }
    s.ProductName.clear();
    list.visible = list.enabled = true;
}

void Form5::Combo1_Click() {
    AppState &s = state();
    // A product chosen before without recording is let go unsaved.
    if (ChooseProductWorkbook(s, control("Combo1").text)) {
        s.host().activate(*s.ProductWorkbook);
        if (s.ProductWorkbook->sheet(sheets::kTrades).value(5, 18).isBlank()) {
            ShowNotice(dialogs(), std::string("Csak az első vásárlás után") + kCrLf +
                                      "lehet a záró darabárat bevinni.");
            Command2_Click();
            return;
        }
        RefreshProductDataRange(s);
    }
    setFieldsVisible(true);
    Control &date = control("Text1");
    date.enabled = true;
    date.text = s.Today.toString();
    // The price waits for an accepted date: only then is the day's row known.
    control("Text2").clear();
    control("Text2").enabled = false;
    enableControls({"Command1", "Command2"}, false);
    // Nothing is written before "Adatbevitel", so the way back stays open: a product chosen
    // by mistake must not leave ending the program as the only way out.
    control("Command4").enabled = true;
    SetFocus("Text1");
}

void Form5::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    AppState &s = state();
    Control &date = control("Text1");
    if (!CheckDateNotAfterToday(dialogs(), *this, date, s.Today)) return;
    s.ReferenceDate = *ParseDateText(date.text);
    LocatePriceRow(s);
    // The day's row is fixed now (it may have just been inserted); another day needs "Mégse".
    date.enabled = false;
    control("Combo1").enabled = false;
    Control &price = control("Text2");
    price.enabled = true;
    if (s.ExistingClosingPrice != Currency()) price.text = s.ExistingClosingPrice.toString();
    SetFocus("Text2");
}

void Form5::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    AppState &s = state();
    Control &price = control("Text2");
    std::optional<Currency> value = ParseNumberText(price.text);
    if (!value || *value <= Currency()) {
        ShowNotice(dialogs(), value                            ? "Az ár csak nullánál nagyobb számérték lehet."
                              : IsAmountOutOfRange(price.text) ? AmountOutOfRangeText()
                                                               : "Az ár csak számérték lehet.");
        price.clear();
        price.enabled = true;
        SetFocus("Text2");
        return;
    }
    if (s.ExistingClosingPrice != Currency()) {
        const bool overwrite =
            AskYesNo(dialogs(), std::string("Van létező darab ár.") + kCrLf + "Felülírja ?",
                     "Felülírás", MessageIcon::Exclamation);
        if (!overwrite) {
            s.ProductWorkbook.close();
            price.enabled = false;
            enableControls({"Command1", "Command2"}, false);
            enableControls({"Command3", "Command4"}, true);
            SetFocus("Command3");
            return;
        }
        s.ClosingPriceToRecord = *value;
    }
    enableControls({"Command1", "Command2"}, true);
    SetFocus("Command1");
}

void Form5::Command1_Click() {
    AppState &s = state();
    if (!s.TradeDrivenPriceEntry) {
        std::optional<Date> day = ParseDateText(control("Text1").text);
        std::optional<Currency> price = ParseNumberText(control("Text2").text);
        if (!day || !price || *price <= Currency()) {
            // The price was changed after it had been accepted.
            ShowNotice(dialogs(), "Az ár csak számérték lehet.");
            control("Text2").clear();
            control("Command1").enabled = false;
            SetFocus("Text2");
            return;
        }
        s.ReferenceDate = *day;
        s.ClosingPriceToRecord = *price;
        enableControls({"Command1", "Command2", "Command3", "Command4", "Command5", "Combo1"},
                      false);
    }
    RecordClosingPrice(s);
    if (s.TradeDrivenPriceEntry) return;

    s.ProductWorkbook.commit();
    s.AccountWorkbook.close();
    emptyFieldsAndList();
    control("Text1").enabled = control("Text2").enabled = false;
    enableControls({"Command3", "Command4", "Command5"}, true);
    SetFocus("Command3");
}

void Form5::closeWithoutSaving() {
    AppState &s = state();
    s.ProductWorkbook.close();
    s.AccountWorkbook.close();
    if (s.HostRunning) QuitSpreadsheetHost(s);
}

void Form5::Command2_Click() {
    emptyFieldsAndList();
    closeWithoutSaving();
    control("Text1").enabled = control("Text2").enabled = false;
    enableControls({"Command1", "Command2"}, false);
    enableControls({"Command3", "Command4"}, true);
    SetFocus("Command3");
}

void Form5::Command3_Click() {
    Form_Load();
    if (app().ended()) return;
    control("Combo1").enabled = true;
    SetFocus("Combo1");
}

} // namespace vandorix
