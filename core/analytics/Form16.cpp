#include "analytics/Form16.h"

#include "book/Rows.h"
#include "book/Sheets.h"
#include "book/ValueSheet.h"
#include "analytics/Charts.h"
#include "analytics/Indicators.h"
#include "app/Application.h"
#include "app/Validation.h"
#include "app/WorkbookProtocol.h"

#include <algorithm>

namespace vandorix {

namespace {

constexpr const char *kHiddenAccountSheets[] = {sheets::kLedger, sheets::kLedgerStatement,
                                                sheets::kResults, sheets::kArchive};

// Columns of the price sheet "<name>01" that the view reads or copies.
constexpr int kDateColumn = 1;
constexpr int kMa200Column = 8;
constexpr int kRsiColumn = 9;
constexpr int kCustomRsiColumn = 10;
constexpr int kCopiedColumns = 10;      // A to J
constexpr int kChartSourceColumns = 22; // A to V of "<name>02"

// Fewer rows than this, or a shorter range in days, gives no charts.
constexpr int kChartMinimum = 27;
// Days of data from which the proposed range is the last 90 days rather than the year.
constexpr int kProposedRangeDays = 90;

constexpr const char *kCustomRsiPrompt = "Adja meg az egyedi rsi nap intervallumot.";
constexpr const char *kCustomRsiTitle = "RSI egyedi bekérés.";

// The date of a data row; a row without a date cannot be placed in the range.
Date dateAt(const Sheet &s, int row) {
    std::optional<Date> d = s.value(row, kDateColumn).date();
    if (!d)
        throw ChartDataError("Nem dátum a(z) " + s.name() + " munkalap A" + std::to_string(row) +
                             " cellájában.");
    return *d;
}

// The custom RSI period typed by the user: a whole number from 1 to 32767, or 0.
std::optional<int> parseRsiPeriod(const std::string &text) {
    if (std::optional<int> n = ParseQuantityText(text))
        return n;
    std::optional<Currency> zero = ParseNumberText(text);
    if (zero && *zero == Currency())
        return 0;
    return std::nullopt;
}

// Lets a product workbook chosen before go as it is on disk.
void closeUnwritten(AppState &s) {
    if (!s.ProductWorkbookOpen)
        return;
    s.WorkbookChanged = false;
    SaveProductWorkbook(s);
    CloseProductWorkbook(s);
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

Form16::Form16(Application &app) : Form(app, "Form16", "Termék adatok.") {
    addComboBox("Combo1");
    addLabel("Label1", "Dátumtól");
    addTextBox("Text1");
    addLabel("Label2", "Dátumig");
    addTextBox("Text2");
    addLabel("Label3", "Várjon");
    addButton("Command1", "Megmutat");
    addButton("Command2", "Vissza a főmenübe");
    addButton("Command3", "Kilépés");
    onClick("Combo1", [this] { Combo1_Click(); });
    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    onKeyPress("Text2", [this](int &k) { Text2_KeyPress(k); });
    onClick("Command1", [this] { Command1_Click(); });
    onClick("Command2", [this] { Command2_Click(); });
    onClick("Command3", [this] { Command3_Click(); });
}

void Form16::Form_Load() {
    AppState &s = state();
    control("Label3").visible = false;
    for (const char *name : {"Label1", "Text1", "Label2", "Text2"}) {
        control(name).visible = false;
        control(name).enabled = false;
    }
    control("Text1").clear();
    control("Text2").clear();
    enableControls({"Command1", "Command2"}, false);
    control("Command3").enabled = true;
    Control &list = control("Combo1");
    list.clear();
    list.items.clear();
    list.visible = list.enabled = true;
    list.locked = false;
    s.HostRunning = true;
    s.RsiRecomputed = false;

    if (!s.AccountWorkbookOpen) {
        OpenAccountWorkbook(s);
        PrepareAccountWorkbook(s);
    }
    Workbook &account = *s.AccountWorkbook;
    s.host().activate(account);
    for (const char *name : kHiddenAccountSheets)
        account.sheet(name).setVisible(false);
    const Sheet &values = account.sheet(sheets::kValues);
    account.activate(account.sheet(sheets::kValues));

    if (values.value(6, 1).isBlank()) {
        ShowNotice(dialogs(),
                   std::string("Még nincs termék felvéve") + kCrLf + "az adatbázisba. Kilépés.");
        control("Command1").enabled = false;
        enableControls({"Command2", "Command3"}, true);
        Command3_Click();
        return;
    }
    list.items = ReadValueSheetProducts(values);
    s.ProductName.clear();
}

void Form16::Combo1_Click() {
    AppState &s = state();
    // One product workbook is open at a time: a product chosen before is let go unwritten.
    closeUnwritten(s);
    s.ProductName = control("Combo1").text;
    control("Label3").visible = true;
    if (s.AccountWorkbookOpen) {
        s.host().activate(*s.AccountWorkbook);
        ShowAccountSheets(s);
        s.WorkbookChanged = false;
        SaveAccountWorkbook(s);
        ProtectAccountWorkbook(s);
        CloseAccountWorkbook(s);
    }
    for (const char *name : {"Label1", "Text1", "Label2", "Text2"}) {
        control(name).visible = true;
        control(name).enabled = true;
    }

    OpenProductWorkbook(s);
    PrepareProductWorkbook(s);
    Workbook &product = *s.ProductWorkbook;
    const Sheet &prices = product.sheet(PriceSheetName(s.ProductName));
    if (prices.value(kFirstPriceRow, kDateColumn).isBlank()) {
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

    const std::optional<Date> first = prices.value(kFirstPriceRow, kDateColumn).date();
    const bool longHistory = first && s.LastDataDate > first->addDays(kProposedRangeDays);
    control("Text1").text =
        (longHistory ? s.LastDataDate.addDays(-kProposedRangeDays) : s.StartOfYear).toString();
    control("Text2").text = s.LastDataDate.toString();
    SetFocus("Text1");
}

void Form16::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey)
        return;
    if (CheckDateFormat(dialogs(), *this, control("Text1"), DateFieldVariant::EmptyOnReject))
        SetFocus("Text2");
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
    if (!s.ProductWorkbookOpen) {
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
        for (const char *field : {"Text1", "Text2"}) {
            control(field).clear();
            control(field).enabled = false;
        }
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

    // The last row dated on or before the last day; the scans never go above the first row.
    int rangeEndRow = s.LastDataRow;
    if (s.LastDataDate > s.RangeToDate)
        while (rangeEndRow > kFirstPriceRow && dateAt(prices, rangeEndRow) > s.RangeToDate)
            --rangeEndRow;
    // The copy starts one row above the last row dated before the first day.
    int rangeStartRow = kFirstPriceRow;
    if (dateAt(prices, kFirstPriceRow) < s.RangeFromDate) {
        int r = rangeEndRow;
        while (r > kFirstPriceRow && dateAt(prices, r) >= s.RangeFromDate)
            --r;
        rangeStartRow = std::max(kFirstPriceRow, r - 1);
    }

    // The 200-day average is missing where the range's history begins: the averages of the
    // last 200 rows are computed again.
    if (rangeEndRow > 205 && prices.value(rangeEndRow - 200, kMa200Column).isBlank()) {
        control("Label3").visible = true;
        for (s.MaRow = rangeEndRow; s.MaRow >= rangeEndRow - 199; --s.MaRow) {
            s.RecalcFromRow = s.MaRow;
            s.ReferenceDate = dateAt(prices, s.MaRow);
            ComputeMovingAverages(s);
        }
    }
    if (rangeEndRow >= 27 && prices.value(rangeEndRow - 14, kRsiColumn).isBlank()) {
        control("Label3").visible = true;
        for (s.RsiRow = rangeEndRow; dateAt(prices, s.RsiRow) >= s.RangeFromDate;) {
            s.RecalcFromRow = s.RsiRow;
            s.ReferenceDate = dateAt(prices, s.RsiRow);
            ComputeRsi(s);
            if (--s.RsiRow < s.RsiPeriod + kFirstPriceRow)
                break;
        }
        s.RsiRecomputed = true;
        control("Label3").visible = false;
    }
    if (!askCustomRsi(rangeEndRow))
        return false;

    copyRange(rangeStartRow, rangeEndRow);

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
            if ((period = parseRsiPeriod(*answer)))
                break;
            ShowNotice(dialogs(), std::string("Az RSI nap intervallum 0 és 32767 közötti") + kCrLf +
                                      "egész szám lehet.");
        }
    }
    if (!period) {
        control("Label3").visible = false;
        prices.clearRange(kFirstPriceRow, kCustomRsiColumn, rangeEndRow, kCustomRsiColumn);
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
    for (s.RsiRow = rangeEndRow; dateAt(prices, s.RsiRow) >= s.RangeFromDate;) {
        s.RecalcFromRow = s.RsiRow;
        s.ReferenceDate = dateAt(prices, s.RsiRow);
        ComputeCustomRsi(s);
        if (--s.RsiRow < s.CustomRsiPeriod + kFirstPriceRow)
            break;
    }
    s.RsiRecomputed = true;
    return true;
}

void Form16::copyRange(int rangeStartRow, int rangeEndRow) {
    AppState &s = state();
    Workbook &product = *s.ProductWorkbook;
    const Sheet &prices = product.sheet(PriceSheetName(s.ProductName));
    Sheet &source = product.sheet(ChartSourceSheetName(s.ProductName));
    int oldEnd = kFirstPriceRow;
    while (!source.value(oldEnd, kDateColumn).isBlank())
        ++oldEnd;
    if (oldEnd > kFirstPriceRow)
        source.clearRange(kFirstPriceRow, 1, oldEnd - 1, kChartSourceColumns);

    int t = kFirstPriceRow;
    for (int r = rangeStartRow; r <= rangeEndRow; ++r, ++t) {
        source.setValue(t, kDateColumn, dateAt(prices, r));
        for (int c = 2; c <= kCopiedColumns; ++c) {
            const CellValue &v = prices.value(r, c);
            // Every column after the date holds a number; a text is a gap in the data.
            if (v.kind() == CellKind::Text && !v.isBlank())
                throw ChartDataError("Nem szám a(z) " + prices.name() + " munkalap " +
                                     std::to_string(r) + ". sorában: " + v.display());
            source.setValue(t, c, v);
        }
    }
    s.ChartLastRow = t - 1;
    s.ChartFirstRow = kFirstPriceRow;
    source.setValue(3, 1,
                    book::PeriodCaption(source.value(kFirstPriceRow, kDateColumn).display(),
                                        source.value(s.ChartLastRow, kDateColumn).display()));
    source.setValue(4, 6, "MA20");
    source.setValue(4, 7, "MA50");
    source.setValue(4, 8, "MA200");
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
    aux.setValue(23, 4, source.value(kFirstPriceRow, kDateColumn));
    aux.setValue(24, 3, s.ChartLastRow);
    aux.setValue(25, 4, source.value(s.ChartLastRow, kDateColumn));
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
    if (s.ProductWorkbookOpen) {
        s.WorkbookChanged = true;
        SaveProductWorkbook(s);
        ProtectProductWorkbook(s);
        CloseProductWorkbook(s);
    }
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
    s.WorkbookChanged = false;
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
