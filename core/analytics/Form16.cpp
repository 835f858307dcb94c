#include "analytics/Form16.h"
#include "book/Sheets.h"

#include "analytics/Charts.h"
#include "analytics/Indicators.h"
#include "analytics/ProductRange.h"
#include "app/Application.h"
#include "app/Validation.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

namespace {

// Fewer rows than this, or a shorter range in days, gives no charts.
constexpr int kChartMinimum = 27;
// Days of data from which the proposed range is the last 90 days rather than the year.
constexpr int kProposedRangeDays = 90;

constexpr const char *kCustomRsiPrompt = "Adja meg az egyedi rsi nap intervallumot.";
constexpr const char *kCustomRsiTitle = "RSI egyedi bekérés.";

// Lets a product workbook chosen before go as it is on disk.
void closeUnwritten(AppState &s) {
    if (!s.ProductWorkbookOpen())
        return;
    s.ProductWorkbook.close();
}

void showHostMaximised(AppState &s) {
    HostState &host = s.host().state();
    host.visible = true;
    host.windowState = HostWindowState::Maximized;
}

void minimiseHost(AppState &s) {
    s.host().state().windowState = HostWindowState::Minimized;
}

} // namespace

Form16::Form16(Application &app)
    : PeriodEntryForm(app, "Form16", "Termék adatok.", ProductList::Unlabelled, "Dátumtól",
                      "Dátumig", DateFieldVariant::EmptyOnReject) {
    addLabel("Label3", "Várjon");
    addCommandButtons({"Megmutat", "Vissza a főmenübe", "Kilépés"});
    bindCommandClicks(this, &Form16::Command1_Click, &Form16::Command2_Click,
                      &Form16::Command3_Click);
}

void Form16::Form_Load() {
    AppState &s = state();
    control("Label3").visible = false;
    setFieldsShown(false);
    clearFields();
    enableControls({"Command1", "Command2"}, false);
    control("Command3").enabled = true;
    Control &list = control("Combo1");
    list.clear();
    list.items.clear();
    list.visible = list.enabled = true;
    list.locked = false;
    s.HostRunning = true;
    s.RsiRecomputed = false;

    EnsureAccountWorkbook(s);
    if (!OfferProductsForPeriod(s, dialogs(), list)) {
        control("Command1").enabled = false;
        enableControls({"Command2", "Command3"}, true);
        Command3_Click();
    }
}

void Form16::Combo1_Click() {
    AppState &s = state();
    // One product workbook is open at a time: a product chosen before is let go unwritten.
    closeUnwritten(s);
    s.ProductName = control("Combo1").text;
    control("Label3").visible = true;
    CloseAccountShowingSheets(s);
    setFieldsShown(true);

    OpenProductWorkbook(s);
    PrepareProductWorkbook(s);
    Workbook &product = *s.ProductWorkbook;
    const Sheet &prices = product.sheet(PriceSheetName(s.ProductName));
    if (prices.value(kFirstPriceRow, kPriceDateColumn).isBlank()) {
        ShowNotice(dialogs(), std::string("A terméknek még nincs ") + kCrLf + "adata Kilépés.");
        enableControls({"Command1", "Command2"}, false);
        control("Command3").enabled = true;
        Command3_Click();
        return;
    }
    RefreshProductDataRange(s);
    Sheet &aux = product.sheet(sheets::kAuxiliary);
    s.LastDataDate = aux.value(7, 4).date().value_or(s.LastDataDate);
    aux.setVisible(false);
    control("Label3").visible = false;

    const std::optional<Date> first = prices.value(kFirstPriceRow, kPriceDateColumn).date();
    const bool longHistory = first && s.LastDataDate > first->addDays(kProposedRangeDays);
    control("Text1").text =
        (longHistory ? s.LastDataDate.addDays(-kProposedRangeDays) : s.StartOfYear).toString();
    control("Text2").text = s.LastDataDate.toString();
    SetFocus("Text1");
}

void Form16::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey)
        return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text2"), state().Today))
        return;
    control("Command1").enabled = true;
    SetFocus("Command1");
}

void Form16::Command1_Click() {
    AppState &s = state();
    // After a range was shown the product's workbook is closed: new dates need the product
    // chosen again.
    if (!s.ProductWorkbookOpen()) {
        ShowNotice(dialogs(), std::string("Előbb válassza ki a terméket") + kCrLf + "a listából.");
        control("Command1").enabled = false;
        SetFocus("Combo1");
        return;
    }
    // A field changed after its Enter gets its message now.
    if (!CheckDateFormat(dialogs(), *this, control("Text1"), DateFieldVariant::EmptyOnReject))
        return;
    if (!CheckDateNotAfterToday(dialogs(), *this, control("Text2"), s.Today))
        return;
    s.RangeFromDate = *ParseDateText(control("Text1").text);
    s.RangeToDate = *ParseDateText(control("Text2").text);
    s.RangeDays = s.RangeToDate.dayNumber() - s.RangeFromDate.dayNumber();
    control("Command1").enabled = false;

    if (s.RangeFromDate > s.LastDataDate) {
        ShowNotice(dialogs(), std::string("A kért dátum intervallumban") + kCrLf + "nincs adat");
        enableControls({"Command1", "Command2"}, false);
        control("Command3").enabled = true;
        clearAndDisableFields();
        control("Combo1").locked = true;
        control("Combo1").enabled = false;
        return;
    }

    try {
        if (!showRange())
            return;
        const bool charts = AskYesNo(dialogs(), "Megnézi diagram formátumban ?", "Felhívás",
                                     MessageIcon::Exclamation);
        if (charts && !showCharts())
            return;
        closeProduct();
    } catch (const std::exception &) {
        endProgramUnwritten(std::string("Az Ön adatai még hézagosak ") + kCrLf +
                            "az  RSI diagram készítéséhez. Kilépés");
    }
}

bool Form16::showRange() {
    AppState &s = state();
    Workbook &product = *s.ProductWorkbook;
    s.host().activate(product);
    Sheet &prices = product.sheet(PriceSheetName(s.ProductName));
    product.activate(prices);

    const PriceRange range = FindPriceRange(prices, s);
    if (Ma200Missing(prices, range.endRow)) {
        control("Label3").visible = true;
        RecomputeMa200(s, prices, range.endRow);
    }
    if (RsiMissing(prices, range.endRow)) {
        control("Label3").visible = true;
        RecomputeRangeRsi(s, prices, range.endRow, false);
        control("Label3").visible = false;
    }
    if (!askCustomRsi(range.endRow))
        return false;

    CopyRangeToChartSource(s, range);

    HideProductSheets(s);
    DeleteChartSheets(s);
    control("Label3").visible = false;
    prices.protect(s.SheetPassword);
    Sheet &source = product.sheet(ChartSourceSheetName(s.ProductName));
    product.activate(source);
    source.protect(s.SheetPassword);
    showHostMaximised(s);
    app().hide(*this);
    ShowContinueNotice(dialogs());
    return true;
}

bool Form16::askCustomRsi(int rangeEndRow) {
    AppState &s = state();
    Sheet &prices = s.ProductWorkbook->sheet(PriceSheetName(s.ProductName));
    std::optional<int> period;
    if (AskYesNo(dialogs(), "RSI napokra kíván egyedi intervallumot beállítani?", "Felhívás",
                 MessageIcon::Exclamation)) {
        // Cancel is taken as No; an answer that is no period is asked again.
        while (std::optional<std::string> answer =
                   dialogs().showInput({kCustomRsiPrompt, kCustomRsiTitle, "25"})) {
            if ((period = ParseRsiPeriod(*answer)))
                break;
            ShowNotice(dialogs(), std::string("Az RSI nap intervallum 0 és 32767 közötti") + kCrLf +
                                      "egész szám lehet.");
        }
    }
    if (!period) {
        control("Label3").visible = false;
        prices.clearRange(kFirstPriceRow, kPriceCustomRsiColumn, rangeEndRow,
                          kPriceCustomRsiColumn);
        return true;
    }

    const int n = *period;
    if (n == 0) {
        s.CustomRsiPeriod = 0;
    } else {
        s.CustomRsiPeriod = n;
        s.CustomRsiCaption = "RSI " + std::to_string(n);
    }
    if (s.LastDataRow <= n + 7) {
        ShowNotice(dialogs(), "rsiee napi diagramhoz még nincs elég adat.");
        control("Command3").enabled = true;
        Command2_Click();
        return false;
    }
    control("Label3").visible = true;
    RecomputeRangeRsi(s, prices, rangeEndRow, true);
    return true;
}

bool Form16::showCharts() {
    AppState &s = state();
    app().show(*this);
    control("Label3").visible = true;
    minimiseHost(s);
    if (s.LastDataRow < kChartMinimum || s.RangeDays < kChartMinimum) {
        ShowNotice(dialogs(), "diagram lészíítéshez minimum 20 adat szükséges.");
        DeleteChartSheets(s);
        enableControls({"Command2", "Command3"}, true);
        Command2_Click();
        return false;
    }

    Workbook &product = *s.ProductWorkbook;
    ShowProductSheets(s);
    Sheet &aux = product.sheet(sheets::kAuxiliary);
    aux.unprotect(s.SheetPassword);
    const Sheet &source = product.sheet(ChartSourceSheetName(s.ProductName));
    aux.setValue(22, 3, s.ChartFirstRow);
    aux.setValue(23, 4, source.value(kFirstPriceRow, kPriceDateColumn));
    aux.setValue(24, 3, s.ChartLastRow);
    aux.setValue(25, 4, source.value(s.ChartLastRow, kPriceDateColumn));
    product.activate(product.sheet(ChartSourceSheetName(s.ProductName)));

    if (!chartStep([&] { PrepareChartData(s); },
                   "Az Ön rendszerén nem működik a Vandorix diagram kiegészítése") ||
        !chartStep([&] { BuildPriceChart(s); },
                   "Az Ön rendszerén nem működik a Vandorix árfolyam diagram") ||
        !chartStep([&] { BuildResultChart(s); },
                   "Az Ön rendszerén nem működik a Vandorix eredmény diagram") ||
        !chartStep([&] { BuildDailyResultChart(s); },
                   "Az Ön rendszerén nem működik a Vandorix napieredmény diagram"))
        return false;
    if (s.LastDataRow >= kChartMinimum &&
        !chartStep([&] { BuildRsiChart(s); },
                   "Az Ön rendszerén nem működik a Vandorix  RSI diagram"))
        return false;

    HideProductSheets(s);
    ProtectProductWorkbook(s);
    control("Label3").visible = false;
    product.activate(product.sheet(kPriceChartSheet));
    showHostMaximised(s);
    app().hide(*this);
    ShowContinueNotice(dialogs());
    return true;
}

void Form16::closeProduct() {
    AppState &s = state();
    Workbook &product = *s.ProductWorkbook;
    // After the charts the workbook is protected already; its chart sheets go once it is
    // prepared again. They are never stored.
    if (!product.structureProtected()) {
        HideProductSheets(s);
        DeleteChartSheets(s);
    }
    ProtectProductWorkbook(s);
    PrepareProductWorkbook(s);
    DeleteChartSheets(s);
    minimiseHost(s);
    app().show(*this);
    s.ProductWorkbook.commit();
    if (s.HostRunning)
        QuitSpreadsheetHost(s);
    control("Text1").clear();
    control("Text2").clear();
    control("Command2").enabled = true;
    SetFocus("Command2");
}

bool Form16::chartStep(const std::function<void()> &procedure, const char *firstLine) {
    try {
        procedure();
        return true;
    } catch (const std::exception &) {
        endProgramUnwritten(std::string(firstLine) + kCrLf +
                            " Javasolom, hogy készítsen a számítógépére" + kCrLf +
                            " tartós és kompatibilis virtuális gépet és erre telepítse" +
                            " a Vandorix alkalmazást. Kilépés.");
        return false;
    }
}

void Form16::endProgramUnwritten(const std::string &text) {
    AppState &s = state();
    if (s.HostApp)
        minimiseHost(s);
    ShowNotice(dialogs(), text);
    // Nothing of the command reaches the disk: every open workbook is let go unwritten.
    DiscardOpenWorkbooks(s);
    if (s.HostRunning)
        QuitSpreadsheetHost(s);
    ExitProgram(s);
    app().closeAllWindows();
}

void Form16::Command2_Click() {
    app().ReturnToMainWindow(*this);
}

void Form16::Command3_Click() {
    app().LeaveProgram(*this);
}

} // namespace vandorix
