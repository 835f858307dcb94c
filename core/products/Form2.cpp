#include "products/Form2.h"
#include "book/Sheets.h"

#include "app/Application.h"
#include "app/Form1.h"
#include "app/Startup.h"
#include "analytics/Indicators.h"
#include "products/ProductArchive.h"
#include "products/ProductRegister.h"
#include "book/Templates.h"
#include "app/WorkbookProtocol.h"

#include <optional>

namespace vandorix {

Form2::Form2(Application &app)
    : EntryFieldsForm(app, "Form2", "Részvény alapadatok", ProductList::Labelled, "Megnevezés",
                      "ISIN Kód") {
    addCommandButtons({"Felvétel", "Törlés", "Részvény vételhez", "Vissza a főmenübe", "Kilép"});
    bindCommandClicks(this, &Form2::Command1_Click, &Form2::Command2_Click, &Form2::Command3_Click,
                      &Form2::Command4_Click, &Form2::Command5_Click);
}

bool Form2::otherShareChosen() const {
    return control("Combo1").text == install::kOtherShareEntry;
}

void Form2::Form_Load() {
    clearFields();
    setFieldsVisible(false);
    enableControls({"Command1", "Command2", "Command3"}, false);
    enableControls({"Command4", "Command5"}, true);
    Control &list = control("Combo1");
    list.items.clear();
    list.clear();
    listRow_ = 0;
    AppState &s = state();
    if (!s.ProductListOpen()) OpenProductListWorkbook(s);
    s.host().activate(*s.ProductListWorkbook);
    list.items = ReadProductList(s.ProductListWorkbook->sheet(sheets::kProductList));
    list.visible = true;
    list.enabled = true;
}

void Form2::Combo1_Click() {
    AppState &s = state();
    s.ProductName = control("Combo1").text;
    // "Törlés" closes the product list while the window stays open for another choice.
    if (!s.ProductListOpen()) OpenProductListWorkbook(s);
    const Sheet &list = s.ProductListWorkbook->sheet(sheets::kProductList);
    if (std::optional<int> row = FindProductListRow(list, s.ProductName)) {
        listRow_ = *row;
        const CellValue &code = list.value(*row, kListColCode);
        s.ProductCode = code.text().value_or(code.display());
    }
    setFieldsVisible(true);
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
    if (!takeCheckedEntry(other)) return;
    if (ProductWorkbookExists(s, s.ProductName)) {
        refuseActiveProduct();
        return;
    }
    registerProduct(other);
    QuitSpreadsheetHost(s);
    control("Text1").clear();
    control("Text2").clear();
    control("Text1").enabled = control("Text2").enabled = false;
    control("Combo1").enabled = false;
    // The registered share can be bought at once.
    enableControls({"Command3", "Command4", "Command5"}, true);
    SetFocus("Command4");
}

bool Form2::takeCheckedEntry(bool other) {
    AppState &s = state();
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
            return false;
        }
    }
    if (std::optional<std::string> problem = ProductNameProblem(name)) {
        refuseEntry(*problem, "Text1");
        return false;
    }
    if (other && FindProductListRow(s.ProductListWorkbook->sheet(sheets::kProductList), name)) {
        refuseEntry(std::string("Ez a részvény már szerepel a listában.") + kCrLf +
                        "Válassza ki a listából.",
                    "Text1");
        return false;
    }
    s.ProductName = name;
    s.ProductCode = code;
    return true;
}

void Form2::refuseActiveProduct() {
    AppState &s = state();
    // Refused before the list changes, so the list never holds a product twice.
    s.ProductListWorkbook.close();
    dialogs().showMessage({std::string("A termék már aktív.") + kCrLf +
                               "Nem lehet újra felvenni !",
                           "Kilépés", MessageIcon::Exclamation, MessageButtons::Ok,
                           MessageAnswer::Ok, true});
    enableControls({"Command1", "Command2", "Command3", "Combo1"}, false);
    enableControls({"Command4", "Command5"}, true);
    if (s.HostRunning) QuitSpreadsheetHost(s);
}

void Form2::registerProduct(bool other) {
    AppState &s = state();
    if (other) {
        AddProductToList(s, listRow_);
        s.ProductListWorkbook.commit();
    } else if (s.ProductListOpen()) {
        s.ProductListWorkbook.close();
    }

    CreateProductWorkbook(s);
    EnterProductInAccountWorkbook(s);
    s.AccountWorkbook.commit();
    s.ProductWorkbook.commit();
    EnsureDeletionLogs(s);
}

void Form2::Command2_Click() {
    AppState &s = state();
    s.ProductName = control("Combo1").text;
    if (!ProductWorkbookExists(s, s.ProductName)) {
        dialogs().showMessage({std::string("Nincs ilyen aktív termék.") + kCrLf +
                                   "Visszatérés a főmenübe.",
                               "Kiléptetés", MessageIcon::Exclamation, MessageButtons::Ok,
                               MessageAnswer::Ok, true});
        s.ProductListWorkbook.close();
        QuitSpreadsheetHost(s);
        return;
    }
    if (!s.ProductWorkbookOpen()) {
        OpenProductWorkbook(s);
        PrepareProductWorkbook(s);
    }
    // A product without price rows takes its range from today.
    s.ReferenceDate = s.Today;
    RefreshProductDataRange(s);

    control("Command2").enabled = false;
    if (std::optional<std::string> archiveName = allowedArchiveName()) archiveProduct(*archiveName);
    else leaveAfterRefusal();
}

std::optional<std::string> Form2::allowedArchiveName() {
    AppState &s = state();
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
    if (!ArchiveAllowed) return std::nullopt;
    return ArchiveName;
}

void Form2::archiveProduct(const std::string &archiveName) {
    AppState &s = state();
    s.ProductListWorkbook.close();
    const ArchiveFigures figures = ComputeArchiveFigures(s);
    // The product workbook is archived as it was stored.
    s.ProductWorkbook.close();

    // The move and the account workbook's save reach the disk together when the command ends.
    s.host().moveFile(ProductWorkbookPath(s, s.ProductName), ArchiveWorkbookPath(s, archiveName));
    EnsureAccountWorkbook(s);
    s.host().activate(*s.AccountWorkbook);
    AppendArchiveRow(s, figures);
    RemoveProductFromAccountSheets(s);
    s.AccountWorkbook.commit();
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

} // namespace vandorix
