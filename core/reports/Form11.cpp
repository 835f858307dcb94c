#include "reports/Form11.h"

#include "book/Sheets.h"
#include "products/ProductRegister.h"
#include "app/Application.h"
#include "app/Validation.h"
#include "reports/StatementSheets.h"
#include "app/WorkbookProtocol.h"
#include "trading/TradeSheet.h"

namespace vandorix {

namespace {

constexpr const char *kHiddenAccountSheets[] = {sheets::kLedger, sheets::kLedgerStatement,
                                                sheets::kResults, sheets::kArchive};

// Lets the workbook go as it is on disk: protected, marked as saved, closed.
void closeUnwritten(AppState &s) {
    if (s.ProductWorkbookOpen) {
        s.WorkbookChanged = false;
        SaveProductWorkbook(s);
        ProtectProductWorkbook(s);
        CloseProductWorkbook(s);
    }
}

} // namespace

Form11::Form11(Application &app) : Form(app, "Form11", "Termékfájl számla kivonat") {
    addLabel("Label0", "Részvény");
    addComboBox("Combo1");
    addLabel("Label1", "Dátumtól");
    addTextBox("Text1");
    addLabel("Label2", "Dátumig");
    addTextBox("Text2");
    addLabel("Label3", "Várjon !");
    addButton("Command1", "Inditás");
    addButton("Command2", "Mégse");
    addButton("Command3", "Új választás");
    addButton("Command4", "Vissza a főmenübe");
    addButton("Command5", "Kilép");
    onClick("Combo1", [this] { Combo1_Click(); });
    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    onKeyPress("Text2", [this](int &k) { Text2_KeyPress(k); });
    onClick("Command1", [this] { Command1_Click(); });
    onClick("Command2", [this] { Command2_Click(); });
    onClick("Command3", [this] { Command3_Click(); });
    onClick("Command4", [this] { Command4_Click(); });
    onClick("Command5", [this] { Command5_Click(); });
}

void Form11::setDateFieldsVisible(bool visible) {
    for (const char *name : {"Label1", "Text1", "Label2", "Text2"}) control(name).visible = visible;
}

void Form11::Form_Load() {
    AppState &s = state();
    setDateFieldsVisible(false);
    control("Label3").visible = false;
    control("Text1").clear();
    control("Text2").clear();
    enableControls({"Command1", "Command2", "Command3"}, false);
    enableControls({"Command4", "Command5"}, true);
    Control &list = control("Combo1");
    list.clear();
    list.items.clear();
    list.enabled = true;
    list.locked = false;

    s.HostRunning = true;
    if (!s.AccountWorkbookOpen) {
        OpenAccountWorkbook(s);
        PrepareAccountWorkbook(s);
    }
    Workbook &account = *s.AccountWorkbook;
    s.host().activate(account);
    account.activate(account.sheet(sheets::kValues));
    for (const char *name : kHiddenAccountSheets) account.sheet(name).setVisible(false);

    const Sheet &values = account.sheet(sheets::kValues);
    if (values.value(6, 1).isBlank()) {
        ShowNotice(dialogs(), std::string("Még nincs termék felvéve") + kCrLf +
                                  "az adatbázisba. Kilépés.");
        enableControls({"Command1", "Command2", "Command3"}, false);
        enableControls({"Command4", "Command5"}, true);
        Command5_Click();
        return;
    }
    list.items = ReadValueSheetProducts(values);
    s.ProductName.clear();
}

void Form11::Combo1_Click() {
    AppState &s = state();
    // One product workbook is open at a time: a product chosen before is let go unwritten.
    closeUnwritten(s);
    s.ProductName = control("Combo1").text;
    if (s.AccountWorkbookOpen) {
        s.host().activate(*s.AccountWorkbook);
        ShowAccountSheets(s);
        s.WorkbookChanged = false;
        SaveAccountWorkbook(s);
        ProtectAccountWorkbook(s);
        CloseAccountWorkbook(s);
    }
    setDateFieldsVisible(true);
    enableControls({"Text1", "Text2"}, true);
    control("Label3").visible = true;

    OpenProductWorkbook(s);
    PrepareProductWorkbook(s);
    RecalcTradeSheet(s);
    Workbook &product = *s.ProductWorkbook;
    s.host().activate(product);
    Sheet &aux = product.sheet(sheets::kAuxiliary);
    if (aux.visible()) aux.setVisible(false);
    control("Label3").visible = false;
    Sheet &trades = product.sheet(kTradeSheet);
    product.activate(trades);

    const bool traded = !trades.value(szla::FirstDataRow, szla::Day).isBlank();
    Date from = s.StartOfYear, to = s.Today;
    if (traded && !(s.LastTradeDate > s.StartOfYear)) {
        from = s.FirstTradeDate;
        to = s.LastTradeDate;
    }
    control("Text1").text = from.toString();
    control("Text2").text = to.toString();
    enableControls({"Command1", "Command2", "Command3"}, true);
    SetFocus("Text1");
}

void Form11::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateFormat(dialogs(), *this, control("Text1"), DateFieldVariant::EmptyOnReject))
        return;
    control("Text2").enabled = true;
    SetFocus("Text2");
}

void Form11::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text2"), state().Today)) return;
    SetFocus("Command1");
}

void Form11::Command1_Click() {
    AppState &s = state();
    // A field changed after its Enter gets its message now.
    for (const char *field : {"Text1", "Text2"})
        if (!CheckDateFormat(dialogs(), *this, control(field), DateFieldVariant::EmptyOnReject))
            return;
    s.RangeFromDate = *ParseDateText(control("Text1").text);
    s.RangeToDate = *ParseDateText(control("Text2").text);

    Workbook &product = *s.ProductWorkbook;
    Sheet &trades = product.sheet(kTradeSheet);
    const int lastTrade = LastTradeRow(trades);
    // Without a trade there is no last trade date of this product to compare with.
    if (lastTrade < szla::FirstDataRow || s.RangeFromDate > s.LastTradeDate) {
        ShowNotice(dialogs(), std::string("A kért dátum intervallumban") + kCrLf + "nincs adat");
        control("Command1").enabled = false;
        enableControls({"Command2", "Command3", "Command4", "Command5"}, true);
        Command4_Click();
        return;
    }
    enableControls({"Command1", "Command2", "Command3", "Command4"}, false);
    control("Command5").enabled = true;
    for (const char *field : {"Text1", "Text2"}) {
        control(field).clear();
        control(field).enabled = false;
    }
    control("Combo1").locked = true;
    control("Combo1").enabled = false;

    s.host().activate(product);
    // Past today the period still ends at its last trade dated on or before the end.
    const StatementRows rows =
        FindStatementRows(trades, lastTrade, s.RangeFromDate, s.RangeToDate, false);
    s.StatementFirstRow = rows.first;
    s.StatementLastRow = rows.last;
    Sheet &statement = product.sheet(kProductStatementSheet);
    product.activate(statement);
    ClearProductStatementSheet(statement);
    CopyStatementRows(trades, statement, rows, 0);
    FinishProductStatementSheet(statement, s.RangeFromDate, s.RangeToDate, s.HeldQuantity,
                                s.HeldAverageCost);

    const std::string prices = PriceSheetName(s.ProductName);
    const std::string chartSource = ChartSourceSheetName(s.ProductName);
    product.sheet(prices).setVisible(false);
    product.sheet(chartSource).setVisible(false);
    app().hide(*this);
    trades.protect(s.SheetPassword);
    product.activate(statement);
    statement.protect(s.SheetPassword);
    s.host().state().visible = true;
    s.host().state().windowState = HostWindowState::Maximized;
    ShowContinueNotice(dialogs());

    app().show(*this);
    for (const std::string &name : {prices, chartSource, std::string(sheets::kAuxiliary)})
        product.sheet(name).setVisible(true);
    if (s.ProductWorkbookOpen) {
        s.WorkbookChanged = true;
        SaveProductWorkbook(s);
        ProtectProductWorkbook(s);
        CloseProductWorkbook(s);
    }
    if (s.HostRunning) QuitSpreadsheetHost(s);
    enableControls({"Command4", "Command5"}, true);
    SetFocus("Command4");
}

void Form11::Command2_Click() {
    AppState &s = state();
    closeUnwritten(s);
    if (s.AccountWorkbookOpen) {
        s.WorkbookChanged = false;
        SaveAccountWorkbook(s);
        ProtectAccountWorkbook(s);
        CloseAccountWorkbook(s);
    }
    if (s.HostRunning) QuitSpreadsheetHost(s);
    Command4_Click();
}

void Form11::Command3_Click() { Command4_Click(); }

void Form11::Command4_Click() { app().ReturnToMainWindow(*this); }

void Form11::Command5_Click() { app().LeaveProgram(*this); }

} // namespace vandorix
