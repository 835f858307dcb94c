#include "products/Form17.h"
#include "book/Sheets.h"

#include "products/ProductRegister.h"
#include "analytics/Indicators.h"
#include "app/Application.h"
#include "app/EntryForms.h"
#include "products/ClosingPriceImport.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {
namespace {

// The refused lines listed in the preview, so the window stays within a screen; the rest are
// counted.
constexpr std::size_t kListedRefusedLines = 20;

std::string trimmedPath(std::string text) {
    const std::size_t b = text.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    text = text.substr(b, text.find_last_not_of(" \t") - b + 1);
    // A path copied from a file manager may come in quotes.
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

} // namespace

Form17::Form17(Application &app) : Form(app, "Form17", "Árfolyamok betöltése fájlból") {
    addLabel("Label4", "Részvény");
    addComboBox("Combo1");
    addLabel("Label1", "Fájl");
    addTextBox("Text1").filePath = true;
    addLabel("Label2", "");
    addLabel("Label3", "Várjon !").visible = false;
    addButton("Command1", "Betöltés");
    addButton("Command2", "Vissza a főmenübe");
    addButton("Command3", "Kilépés");
    onClick("Combo1", [this] { Combo1_Click(); });
    onKeyPress("Text1", [this](int &k) { Text1_KeyPress(k); });
    onLostFocus("Text1", [this] { Text1_LostFocus(); });
    onClick("Command1", [this] { Command1_Click(); });
    onClick("Command2", [this] { Command2_Click(); });
    onClick("Command3", [this] { Command3_Click(); });
}

void Form17::Form_Load() {
    AppState &s = state();
    productChosen_ = false;
    control("Text1").clear();
    control("Text1").enabled = true;
    forgetFile();
    control("Label3").visible = false;
    enableControls({"Command2", "Command3"}, true);

    // The product list is read from the account workbook, which is closed again at once:
    // this window writes only product workbooks.
    EnsureAccountWorkbook(s);
    Control &list = control("Combo1");
    ListValueSheetProducts(s, list);
    s.AccountWorkbook.close();
    if (list.items.empty()) {
        ShowNotice(dialogs(), std::string("A záró darabár bevitele előtt a részvényt") + kCrLf +
                                  "a Részvény alapadatok menüpontban" + kCrLf +
                                  "fel kell venni. Kilépés.");
        Command3_Click();
        return;
    }
    s.ProductName.clear();
    list.enabled = true;
    list.visible = true;
}

void Form17::openProductWorkbook() {
    AppState &s = state();
    if (s.ProductWorkbookOpen()) return;
    OpenProductWorkbook(s);
    PrepareProductWorkbook(s);
    RefreshProductDataRange(s);
}

void Form17::closeProductWithoutSaving() {
    AppState &s = state();
    if (!s.ProductWorkbookOpen()) return;
    s.ProductWorkbook.close();
}

void Form17::Combo1_Click() {
    AppState &s = state();
    const std::string chosen = control("Combo1").text;
    if (s.ProductWorkbookOpen() && s.ProductName != chosen) closeProductWithoutSaving();
    productChosen_ = false;
    s.ProductName = chosen;
    if (!s.ProductWorkbookOpen()) {
        OpenProductWorkbook(s);
        PrepareProductWorkbook(s);
        s.host().activate(*s.ProductWorkbook);
        if (s.ProductWorkbook->sheet(sheets::kTrades).value(5, 18).isBlank()) {
            ShowNotice(dialogs(), std::string("Csak az első vásárlás után") + kCrLf +
                                      "lehet a záró darabárat bevinni.");
            closeProductWithoutSaving();
            s.ProductName.clear();
            control("Combo1").clear();
            showPreview();
            SetFocus("Combo1");
            return;
        }
        RefreshProductDataRange(s);
    }
    productChosen_ = true;
    showPreview();
    SetFocus(control("Command1").enabled ? "Command1" : "Text1");
}

void Form17::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    Control &field = control("Text1");
    forgetFile();
    const std::string path = trimmedPath(field.text);
    if (path.empty()) {
        ShowNotice(dialogs(), "Adja meg a beolvasandó fájl nevét.");
        SetFocus("Text1");
        return;
    }
    try {
        content_ = ReadPriceFile(path, state().Today);
    } catch (const PriceFileError &e) {
        ShowNotice(dialogs(), e.what());
        SetFocus("Text1");
        return;
    }
    readPath_ = field.text;
    if (content_->days.empty())
        ShowNotice(dialogs(), std::string("A fájlban nincs beolvasható záró ár:") + kCrLf + path);
    showPreview();
    SetFocus(control("Command1").enabled ? "Command1" : "Text1");
}

void Form17::Text1_LostFocus() {
    // A path changed after the file was read no longer matches what the preview shows.
    if (content_ && control("Text1").text != readPath_) {
        forgetFile();
        showPreview();
    }
}

void Form17::forgetFile() {
    content_.reset();
    readPath_.clear();
    control("Label2").caption.clear();
    control("Label2").visible = false;
    control("Command1").enabled = false;
}

void Form17::showPreview() {
    Control &preview = control("Label2");
    if (!content_) {
        forgetFile();
        return;
    }
    const PriceFileContent &c = *content_;
    std::string text = "Beolvasott napok: " + std::to_string(c.days.size());
    if (!c.days.empty()) {
        text += "\nElső nap: " + c.days.front().day.toString() +
                "   Utolsó nap: " + c.days.back().day.toString();
        if (productChosen_) {
            openProductWorkbook();
            text += "\nMár van záró ára: " + std::to_string(CountDaysWithPrice(state(), c.days)) + " napnak";
        }
    }
    text += "\nHibás sorok: " + std::to_string(c.refused.size());
    for (std::size_t i = 0; i < c.refused.size() && i < kListedRefusedLines; ++i)
        text += "\n" + std::to_string(c.refused[i].line) + ". sor: " + c.refused[i].reason;
    if (c.refused.size() > kListedRefusedLines)
        text += "\n… és még " + std::to_string(c.refused.size() - kListedRefusedLines) + " hibás sor";
    preview.caption = text;
    preview.visible = true;
    control("Command1").enabled = productChosen_ && !c.days.empty();
}

void Form17::Command1_Click() {
    AppState &s = state();
    if (!content_ || content_->days.empty() || !productChosen_) return;
    openProductWorkbook();
    const int existing = CountDaysWithPrice(s, content_->days);
    bool overwrite = false;
    if (existing > 0)
        overwrite = AskYesNo(dialogs(),
                             "A fájl " + std::to_string(existing) + " napjára már van záró ár." +
                                 kCrLf + "Felülírja ?",
                             "Felülírás", MessageIcon::Exclamation);
    control("Label3").visible = true;
    const PriceImportResult result = ImportClosingPrices(s, content_->days, overwrite);
    if (result.recorded > 0) s.ProductWorkbook.commit();
    else s.ProductWorkbook.close();
    control("Label3").visible = false;

    std::string done = std::to_string(result.recorded) + " nap záró ára rögzítve.";
    if (result.kept > 0) done += kCrLf + std::to_string(result.kept) + " nap meglévő ára megmaradt.";
    ShowNotice(dialogs(), done);
    // The window stays for another file or product; this file is not offered twice.
    control("Text1").clear();
    forgetFile();
    SetFocus("Text1");
}

void Form17::Command2_Click() { app().ReturnToMainWindow(*this); }

void Form17::Command3_Click() { app().LeaveProgram(*this); }

} // namespace vandorix
