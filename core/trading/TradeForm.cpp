#include "trading/TradeForm.h"

#include "book/Sheets.h"
#include "products/ProductRegister.h"
#include "app/Application.h"
#include "app/Dialogs.h"
#include "app/Validation.h"
#include "store/Workbook.h"
#include "app/WorkbookProtocol.h"
#include "trading/LedgerLotCodes.h"
#include "trading/TradeBooking.h"
#include "trading/TradeCorrections.h"

#include <string>

namespace vandorix {

namespace {

constexpr const char *kFields[] = {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6"};
constexpr const char *kFieldLabels[] = {"Label1", "Label2", "Label3",
                                        "Label4", "Label5", "Label6"};
constexpr const char *kFieldCaptions[] = {"Dátum",           "Darabszám",
                                          "Darab ár",        "Bizományosi díj",
                                          "Megbízás kódszám", "Teljesítés kódszám"};
constexpr const char *kButtons[] = {"Command1", "Command2", "Command3", "Command4"};

constexpr const char *kPriceNotPositive = "Itt csak nullánál nagyobb számérték lehet.";
constexpr const char *kCommissionNegative = "Itt csak nulla vagy nagyobb számérték lehet.";
constexpr const char *kTradeNotFound =
    "A teljesítés kódszámú ügylet\r\nnem található a termék számláján.";

// A number field whose value must also pass `fits`; otherwise `message`, the field emptied
// and focused, as a format error would be.
bool checkAmountField(Dialogs &dialogs, Form &form, Control &field, bool (*fits)(Currency),
                      const char *message) {
    if (!CheckNumberField(dialogs, form, field)) return false;
    if (fits(*ParseNumberText(field.text))) return true;
    ShowNotice(dialogs, message);
    field.clear();
    field.enabled = true;
    form.SetFocus(field.name);
    return false;
}

bool positive(Currency c) { return c > Currency(); }
bool notNegative(Currency c) { return c >= Currency(); }

} // namespace

TradeForm::TradeForm(Application &app, const char *name, const char *caption,
                     TradeWindowKind kind, const char *productList,
                     const char *firstLineWithoutProduct)
    : Form(app, name, caption), kind_(kind), productList_(productList),
      firstLineWithoutProduct_(firstLineWithoutProduct) {
    if (kind == TradeWindowKind::Sale) {
        addLabel("Label8", "Eladási sorrend");
        addComboBox("Combo1");
        addLabel("Label9", "Termék választás");
    } else {
        addLabel("Label0", "Részvény");
    }
    addComboBox(productList_);
    for (int i = 0; i < 6; ++i) {
        addLabel(kFieldLabels[i], kFieldCaptions[i]);
        addTextBox(kFields[i]);
    }
    addLabel("Label7", "Várjon !");
    addButton("Command1", "Rögzítés");
    addButton("Command2", "Törlés");
    addButton("Command3", "Vissza a főmenübe");
    addButton("Command4", "Kilépés");

    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    onKeyPress("Text2", [this](int &k) { Text2_KeyPress(k); });
    onKeyPress("Text3", [this](int &k) { Text3_KeyPress(k); });
    onKeyPress("Text4", [this](int &k) { Text4_KeyPress(k); });
    onKeyPress("Text5", [this](int &k) { Text5_KeyPress(k); });
    onKeyPress("Text6", [this](int &k) { Text6_KeyPress(k); });
    onClick("Command1", [this] { Command1_Click(); });
    onClick("Command2", [this] { Command2_Click(); });
    onClick("Command3", [this] { Command3_Click(); });
    onClick("Command4", [this] { Command4_Click(); });
}

void TradeForm::setFieldsVisible(bool visible) {
    for (const char *name : kFields) control(name).visible = visible;
    for (const char *name : kFieldLabels) control(name).visible = visible;
}

void TradeForm::enable(std::initializer_list<const char *> names, bool enabled) {
    for (const char *name : names) control(name).enabled = enabled;
}

void TradeForm::moveTo(const char *name) {
    control(name).enabled = true;
    SetFocus(name);
}

void TradeForm::restartEntry() {
    AppState &s = state();
    s.EntryMode = 0;
    s.ModifyRequested = s.DeleteRequested = false;
    s.LedgerRow = 0;
    s.PreviousQuantity = 0;
    for (const char *name : kFields) {
        control(name).clear();
        control(name).enabled = false;
    }
    enable({"Command1", "Command2"}, false);
}

void TradeForm::Form_Load() {
    AppState &s = state();
    s.TradeDrivenPriceEntry = true;
    restartEntry();
    setFieldsVisible(false);
    control("Label7").visible = false;
    // "Vissza a főmenübe" stays usable from the start, so a window opened by mistake can be
    // left without ending the program.
    enable({"Command3", "Command4"}, true);

    if (!s.AccountWorkbookOpen) {
        OpenAccountWorkbook(s);
        PrepareAccountWorkbook(s);
    }
    s.HostRunning = true;

    Control &list = productList();
    list.clear();
    list.items.clear();
    s.host().activate(*s.AccountWorkbook);
    const Sheet &values = s.AccountWorkbook->sheet(sheets::kValues);
    if (values.value(6, 1).isBlank()) {
        ShowNotice(dialogs(), std::string(firstLineWithoutProduct_) + kCrLf +
                                  "a Részvény alapadatok menüpontban" + kCrLf +
                                  "fel kell venni. Kilépés.");
        enable({"Command1", "Command2", "Command3"}, false);
        enable({"Command4"}, true);
        Command4_Click();
        return;
    }
    list.items = ReadValueSheetProducts(values);
    s.ProductName.clear();
    list.visible = list.enabled = kind_ == TradeWindowKind::Purchase;
    loadOwnLists();
}

void TradeForm::productChosen() {
    AppState &s = state();
    const std::string chosen = productList().text;
    // One product workbook is open at a time and it must be the chosen product's: one chosen
    // before is let go unsaved (nothing has been written to it yet).
    if (s.ProductWorkbookOpen && s.ProductName != chosen) {
        s.WorkbookChanged = false;
        SaveProductWorkbook(s);
        CloseProductWorkbook(s);
    }
    s.ProductName = chosen;
    if (!s.ProductWorkbookOpen) {
        OpenProductWorkbook(s);
        PrepareProductWorkbook(s);
    }
    // A settlement code decided for another product does not carry over.
    restartEntry();
    setFieldsVisible(true);
    control("Text1").text = s.Today.toString();
    moveTo("Text1");
}

void TradeForm::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text1"), state().Today)) return;
    moveTo("Text2");
}

void TradeForm::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckQuantityField(dialogs(), *this, control("Text2"))) return;
    moveTo("Text3");
}

void TradeForm::Text3_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!checkAmountField(dialogs(), *this, control("Text3"), positive, kPriceNotPositive)) return;
    moveTo("Text4");
}

void TradeForm::Text4_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!checkAmountField(dialogs(), *this, control("Text4"), notNegative, kCommissionNegative))
        return;
    moveTo("Text5");
}

void TradeForm::Text5_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckCodeField(dialogs(), *this, control("Text5"))) return;
    // A trade being modified keeps its settlement code: the order code is the last field.
    if (state().EntryMode == 2) moveTo("Command1");
    else moveTo("Text6");
}

void TradeForm::Text6_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckCodeField(dialogs(), *this, control("Text6"))) return;
    if (state().EntryMode == 0) jav_val_Click();
}

bool TradeForm::readEntry() {
    Dialogs &d = dialogs();
    AppState &s = state();
    if (!CheckDateNotAfterToday(d, *this, control("Text1"), s.Today)) return false;
    if (!CheckQuantityField(d, *this, control("Text2"))) return false;
    if (!checkAmountField(d, *this, control("Text3"), positive, kPriceNotPositive)) return false;
    if (!checkAmountField(d, *this, control("Text4"), notNegative, kCommissionNegative))
        return false;
    if (!CheckCodeField(d, *this, control("Text5"))) return false;
    if (!CheckCodeField(d, *this, control("Text6"))) return false;
    s.TradeDate = s.ReferenceDate = *ParseDateText(control("Text1").text);
    s.TradeQuantity = *ParseQuantityText(control("Text2").text);
    s.UnitPrice = *ParseNumberText(control("Text3").text);
    s.Commission = *ParseNumberText(control("Text4").text);
    s.OrderCode = *ParseCodeText(control("Text5").text);
    s.SettlementCode = *ParseCodeText(control("Text6").text);
    return true;
}

void TradeForm::jav_val_Click() {
    if (!readEntry()) return;
    switch (DecideTradeEntryMode(state(), dialogs(), kind_)) {
    case EntryDecision::NewTrade:
        control("Command2").enabled = false;
        moveTo("Command1");
        break;
    case EntryDecision::Delete:
        // The trade is deleted as it stands; nothing entered after this point counts.
        for (const char *name : kFields) control(name).enabled = false;
        control("Command1").enabled = false;
        moveTo("Command2");
        break;
    case EntryDecision::Modify:
        control("Text6").enabled = false;
        moveTo("Text1");
        break;
    case EntryDecision::Mismatch: Command3_Click(); break;
    case EntryDecision::LeaveProgram: Command4_Click(); break;
    }
}

void TradeForm::refuse(const char *message, const char *title,
                       std::initializer_list<const char *> usable) {
    control("Label7").visible = false;
    ShowNotice(dialogs(), message, title);
    for (const char *name : kButtons) control(name).enabled = false;
    for (const char *name : usable) control(name).enabled = true;
    SetFocus(*usable.begin());
}

void TradeForm::Command1_Click() {
    if (!readEntry()) return;
    AppState &s = state();
    // A code typed over after its decision is decided again before anything is written.
    if (s.EntryMode == 0 && FindLedgerRowByCode(LedgerSheet(s), s.SettlementCode) != 0) {
        jav_val_Click();
        return;
    }
    for (const Control &c : controls())
        if (c.kind != ControlKind::Label) control(c.name).enabled = false;
    control("Label7").visible = true;

    switch (BookTrade(s, dialogs(), kind_)) {
    case TradeOutcome::LotAlreadySold:
        refuse(kPurchaseNotModifiableMessage, "Felhívás", {"Command4"});
        return;
    case TradeOutcome::NotEnoughShares:
        refuse(kNotEnoughSharesMessage, "Felhívás", {"Command3", "Command4"});
        return;
    case TradeOutcome::NotFound:
        refuse(kTradeNotFound, "Adathiba", {"Command3", "Command4"});
        return;
    case TradeOutcome::Recorded: break;
    }
    control("Label7").visible = false;
    SaveTradeWorkbooks(s);
    Command3_Click();
}

void TradeForm::Command2_Click() {
    AppState &s = state();
    for (const Control &c : controls())
        if (c.kind != ControlKind::Label) control(c.name).enabled = false;
    control("Label7").visible = true;

    switch (DeleteTrade(s, kind_)) {
    case TradeOutcome::LotAlreadySold:
        refuse(kPurchaseNotDeletableMessage, "Felhívás", {"Command3", "Command4"});
        return;
    case TradeOutcome::NotFound:
    case TradeOutcome::NotEnoughShares:
        refuse(kTradeNotFound, "Adathiba", {"Command3", "Command4"});
        return;
    case TradeOutcome::Recorded: break;
    }
    control("Label7").visible = false;
    SaveTradeWorkbooks(s);
    Command3_Click();
}

void TradeForm::Command3_Click() { app().ReturnToMainWindow(*this); }

void TradeForm::Command4_Click() { app().LeaveProgram(*this); }

} // namespace vandorix
