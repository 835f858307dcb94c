#include "products/Form2.h"

#include "app/Application.h"
#include "app/Form1.h"
#include "app/Startup.h"
#include "analytics/Indicators.h"
#include "book/Sheets.h"
#include "products/ProductArchive.h"
#include "products/ProductRegister.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <optional>

namespace vandorix {

Form2::Form2(Application &app) : Form(app, "Form2", "Részvény alapadatok") {
    addLabel("Label0", "Részvény");
    addComboBox("Combo1");
    addLabel("Label1", "Megnevezés");
    addTextBox("Text1");
    addLabel("Label2", "ISIN Kód");
    addTextBox("Text2");
    addButton("Command1", "Felvétel");
    addButton("Command2", "Törlés");
    addButton("Command3", "Részvény vételhez");
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

void Form2::showFields(bool show) {
    for (const char *name : {"Label1", "Text1", "Label2", "Text2"}) control(name).visible = show;
}

bool Form2::otherShareChosen() const {
    return control("Combo1").text == install::kOtherShareEntry;
}

void Form2::Form_Load() {
    control("Text1").clear();
    control("Text2").clear();
    showFields(false);
    enableControls({"Command1", "Command2", "Command3"}, false);
    enableControls({"Command4", "Command5"}, true);
    Control &list = control("Combo1");
    list.items.clear();
    list.clear();
    listRow_ = 0;
    AppState &s = state();
    if (!s.ProductListOpen) OpenProductListWorkbook(s);
    s.host().activate(*s.ProductListWorkbook);
    list.items = ReadProductList(s.ProductListWorkbook->sheet(sheets::kProductList));
    list.visible = true;
    list.enabled = true;
}

void Form2::Combo1_Click() {
    AppState &s = state();
    s.ProductName = control("Combo1").text;
    // "Törlés" closes the product list while the window stays open for another choice.
    if (!s.ProductListOpen) OpenProductListWorkbook(s);
    const Sheet &list = s.ProductListWorkbook->sheet(sheets::kProductList);
    if (std::optional<int> row = FindProductListRow(list, s.ProductName)) {
        listRow_ = *row;
        const CellValue &code = list.value(*row, kListColCode);
        s.ProductCode = code.text().value_or(code.display());
    }
    showFields(true);
    Control &name = control("Text1");
    Control &code = control("Text2");
    if (!otherShareChosen()) {
        name.text = s.ProductName;
        code.text = s.ProductCode;
        name.enabled = code.enabled = false;
        enableControls({"Command1", "Command2", "Command4", "Command5"}, true);
        SetFocus(ProductWorkbookExists(s, s.ProductName) ? "Command2" : "Command1");
    } else {
        // A new share starts from empty fields; "Felvétel" waits for the code to be entered,
        // so the values of an entry chosen before cannot be registered a second time.
        name.clear();
        code.clear();
        name.enabled = code.enabled = true;
        enableControls({"Command1", "Command2"}, false);
        SetFocus("Text1");
    }
}

void Form2::Text1_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    SetFocus("Text2");
}

void Form2::Text2_KeyPress(int &KeyAscii) {
    if (KeyAscii != kEnterKey) return;
    enableControls({"Command1", "Command2", "Command4", "Command5"}, true);
    control("Command2").enabled = false;
    SetFocus("Command1");
}

void Form2::refuseEntry(const std::string &text, const char *focusField) {
    ShowNotice(dialogs(), text);
    if (otherShareChosen()) {
        control("Text1").enabled = control("Text2").enabled = true;
        SetFocus(focusField);
    } else {
        SetFocus("Combo1");
    }
}

void Form2::Command1_Click() {
    AppState &s = state();
    enableControls({"Command1", "Command2"}, false);
    const bool other = otherShareChosen();

    // Everything about the entry is checked before any file is touched.
    std::string name = s.ProductName;
    std::string code = s.ProductCode;
    if (other) {
        name = control("Text1").text;
        code = control("Text2").text;
        const bool noName = name.find_first_not_of(' ') == std::string::npos;
        const bool noCode = code.find_first_not_of(' ') == std::string::npos;
        if (noName || noCode) {
            refuseEntry(std::string("Új részvény felvételéhez a megnevezést") + kCrLf +
                            "és az ISIN kódot is meg kell adni.",
                        noName ? "Text1" : "Text2");
            return;
        }
    }
    if (std::optional<std::string> problem = ProductNameProblem(name)) {
        refuseEntry(*problem, "Text1");
        return;
    }
    if (other && FindProductListRow(s.ProductListWorkbook->sheet(sheets::kProductList), name)) {
        refuseEntry(std::string("Ez a részvény már szerepel a listában.") + kCrLf +
                        "Válassza ki a listából.",
                    "Text1");
        return;
    }
    s.ProductName = name;
    s.ProductCode = code;

    if (ProductWorkbookExists(s, s.ProductName)) {
        // Refused before the list changes, so the list never holds a product twice.
        if (s.ProductListOpen) {
            s.WorkbookChanged = false;
            SaveProductListWorkbook(s);
            CloseProductListWorkbook(s);
        }
        dialogs().showMessage({std::string("A termék már aktív.") + kCrLf +
                                   "Nem lehet újra felvenni !",
                               "Kilépés", MessageIcon::Exclamation, MessageButtons::Ok,
                               MessageAnswer::Ok, true});
        enableControls({"Command1", "Command2", "Command3", "Combo1"}, false);
        enableControls({"Command4", "Command5"}, true);
        if (s.HostRunning) QuitSpreadsheetHost(s);
        return;
    }

    if (other) {
        AddProductToList(s, listRow_);
        s.WorkbookChanged = true;
        SaveProductListWorkbook(s);
        CloseProductListWorkbook(s);
    } else if (s.ProductListOpen) {
        s.WorkbookChanged = false;
        SaveProductListWorkbook(s);
        CloseProductListWorkbook(s);
    }

    CreateProductWorkbook(s);
    EnterProductInAccountWorkbook(s);
    s.WorkbookChanged = true;
    SaveAccountWorkbook(s);
    CloseAccountWorkbook(s);
    s.WorkbookChanged = true;
    SaveProductWorkbook(s);
    CloseProductWorkbook(s);
    EnsureDeletionLogs(s);

    QuitSpreadsheetHost(s);
    control("Text1").clear();
    control("Text2").clear();
    control("Text1").enabled = control("Text2").enabled = false;
    control("Combo1").enabled = false;
    // The registered share can be bought at once.
    enableControls({"Command3", "Command4", "Command5"}, true);
    SetFocus("Command4");
}

void Form2::Command2_Click() {
    AppState &s = state();
    s.ProductName = control("Combo1").text;
    if (!ProductWorkbookExists(s, s.ProductName)) {
        dialogs().showMessage({std::string("Nincs ilyen aktív termék.") + kCrLf +
                                   "Visszatérés a főmenübe.",
                               "Kiléptetés", MessageIcon::Exclamation, MessageButtons::Ok,
                               MessageAnswer::Ok, true});
        if (s.ProductListOpen) {
            s.WorkbookChanged = false;
            SaveProductListWorkbook(s);
            CloseProductListWorkbook(s);
        }
        QuitSpreadsheetHost(s);
        return;
    }
    if (!s.ProductWorkbookOpen) {
        OpenProductWorkbook(s);
        PrepareProductWorkbook(s);
    }
    // A product without price rows takes its range from today.
    s.ReferenceDate = s.Today;
    RefreshProductDataRange(s);

    control("Command2").enabled = false;
    bool ArchiveAllowed = true;
    auto refuse = [&](const std::string &text) {
        ArchiveAllowed = false;
        dialogs().showMessage({text, "Kilépés", MessageIcon::Exclamation, MessageButtons::Ok,
                               MessageAnswer::Ok, true});
    };
    for (ArchiveRefusal refusal : ArchiveRefusals(s)) refuse(ArchiveRefusalMessage(refusal));
    // The numbered name is settled before anything is written, so a product whose hundred
    // names are all taken stays active with every file as it was.
    std::optional<std::string> ArchiveName;
    if (ArchiveAllowed) {
        ArchiveName = FreeArchiveName(s);
        if (!ArchiveName)
            refuse(std::string("Nincs szabad archív fájlnév:") + kCrLf + s.ProductName + "1 … " +
                   s.ProductName + std::to_string(kMaxArchiveNumber) + " mind foglalt." + kCrLf +
                   "Nem lehet arhiválni !");
    }
    if (!ArchiveAllowed) {
        leaveAfterRefusal();
        return;
    }

    if (s.ProductListOpen) {
        s.WorkbookChanged = false;
        SaveProductListWorkbook(s);
        CloseProductListWorkbook(s);
    }
    const ArchiveFigures figures = ComputeArchiveFigures(s);
    // The product workbook is archived as it was stored.
    s.WorkbookChanged = false;
    SaveProductWorkbook(s);
    CloseProductWorkbook(s);

    // The move and the account workbook's save reach the disk together when the command ends.
    s.host().moveFile(ProductWorkbookPath(s, s.ProductName), ArchiveWorkbookPath(s, *ArchiveName));
    if (!s.AccountWorkbookOpen) {
        OpenAccountWorkbook(s);
        PrepareAccountWorkbook(s);
    }
    s.host().activate(*s.AccountWorkbook);
    AppendArchiveRow(s, figures);
    RemoveProductFromAccountSheets(s);
    s.WorkbookChanged = true;
    SaveAccountWorkbook(s);
    CloseAccountWorkbook(s);
    QuitSpreadsheetHost(s);
}

void Form2::leaveAfterRefusal() {
    control("Text1").clear();
    control("Text2").clear();
    control("Combo1").text.clear();
    control("Text1").enabled = control("Text2").enabled = false;
    enableControls({"Command1", "Command2", "Command3"}, false);
    // Closes the product list and the product workbook without writing and quits the host.
    app().ReturnToMainWindow(*this);
}

void Form2::Command3_Click() {
    // To the purchase window as the menu item "Vétel" opens it, through a fresh start-up.
    AppState &s = state();
    if (s.HostRunning) QuitSpreadsheetHost(s);
    app().hide(*this);
    if (!RunStartup(app())) return;
    Form &main = app().mainForm();
    app().hide(main);
    static_cast<Form1 &>(main).mnu2_vet_Click();
}

void Form2::Command4_Click() { app().ReturnToMainWindow(*this); }

void Form2::Command5_Click() { app().LeaveProgram(*this); }

} // namespace vandorix
