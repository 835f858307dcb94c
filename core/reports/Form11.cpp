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

// Lets the workbook go as it is on disk: protected, marked as saved, closed.
void closeUnwritten(AppState &s) {
    s.ProductWorkbook.close();
}

} // namespace

Form11::Form11(Application &app)
    : PeriodEntryForm(app, "Form11", "Termékfájl számla kivonat", ProductList::Labelled, "Dátumtól",
                      "Dátumig", DateFieldVariant::EmptyOnReject) {
    addLabel("Label3", "Várjon !");
    addCommandButtons({"Inditás", "Mégse", "Új választás", "Vissza a főmenübe", "Kilép"});
    bindCommandClicks(this, &Form11::Command1_Click, &Form11::Command2_Click,
                      &Form11::Command3_Click, &Form11::Command4_Click, &Form11::Command5_Click);
}

void Form11::Form_Load() {
    AppState &s = state();
    setFieldsVisible(false);
    control("Label3").visible = false;
    clearFields();
    enableControls({"Command1", "Command2", "Command3"}, false);
    enableControls({"Command4", "Command5"}, true);
    Control &list = control("Combo1");
    list.clear();
    list.items.clear();
    list.enabled = true;
    list.locked = false;

    s.HostRunning = true;
    EnsureAccountWorkbook(s);
    if (!OfferProductsForPeriod(s, dialogs(), list)) {
        enableControls({"Command1", "Command2", "Command3"}, false);
        enableControls({"Command4", "Command5"}, true);
        Command5_Click();
    }
}

void Form11::Combo1_Click() {
    AppState &s = state();
    // One product workbook is open at a time: a product chosen before is let go unwritten.
    closeUnwritten(s);
    s.ProductName = control("Combo1").text;
    CloseAccountShowingSheets(s);
    setFieldsVisible(true);
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
    clearAndDisableFields();
    control("Combo1").locked = true;
    control("Combo1").enabled = false;

    showStatement(trades, writeStatement(lastTrade));
    s.ProductWorkbook.commit();
    if (s.HostRunning) QuitSpreadsheetHost(s);
    enableControls({"Command4", "Command5"}, true);
    SetFocus("Command4");
}

void Form11::showStatement(Sheet &trades, Sheet &statement) {
    AppState &s = state();
    Workbook &product = *s.ProductWorkbook;
    const std::string prices = PriceSheetName(s.ProductName), chartSource = ChartSourceSheetName(s.ProductName);
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
}

Sheet &Form11::writeStatement(int lastTrade) {
    AppState &s = state();
    Workbook &product = *s.ProductWorkbook;
    Sheet &trades = product.sheet(kTradeSheet);
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
    return statement;
}

void Form11::Command2_Click() {
    AppState &s = state();
    closeUnwritten(s);
    s.AccountWorkbook.close();
    if (s.HostRunning) QuitSpreadsheetHost(s);
    Command4_Click();
}

void Form11::Command3_Click() { Command4_Click(); }

} // namespace vandorix
