#pragma once

#include "app/Form.h"
#include "app/Validation.h"

namespace vandorix {

// Which product list a window shows above its entry fields.
enum class ProductList { None, Unlabelled, Labelled };

// A window with two captioned entry fields, "Label1"/"Text1" and "Label2"/"Text2" (a date
// range, a date and a price, a name and a code), each answering Enter; optionally the list
// of products "Combo1" above them, captioned "Részvény" by "Label0". The window's own
// controls and buttons follow.
class EntryFieldsForm : public Form {
public:
    virtual void Combo1_Click() {}
    virtual void Text1_KeyPress(int &KeyAscii) = 0;
    virtual void Text2_KeyPress(int &KeyAscii) = 0;
    // The last two buttons of the five-button windows: back to the main window, what is open
    // let go unwritten, and the end of the program.
    void Command4_Click();
    void Command5_Click();

protected:
    EntryFieldsForm(Application &app, std::string name, std::string caption, ProductList list,
                    const char *field1, const char *field2);

    // Shows or hides both fields with their captions.
    void setFieldsVisible(bool visible);
    // Enables or disables both fields and shows or hides them with their captions.
    void setFieldsShown(bool shown);
    // Empties both fields.
    void clearFields();
    // Empties both fields and disables them.
    void clearAndDisableFields();
    // Enter in "Text1", the first day of a period: true, with the focus on "Text2", for a
    // date; anything else gets the date message.
    bool firstDayEntered(int KeyAscii, DateFieldVariant variant);
};

// An entry window for a period, the first day in "Text1" and the last in "Text2": Enter on a
// date in "Text1" enables "Text2" and moves the focus there; anything else gets the date message
// of the window's variant.
class PeriodEntryForm : public EntryFieldsForm {
public:
    void Text1_KeyPress(int &KeyAscii) final;

protected:
    PeriodEntryForm(Application &app, std::string name, std::string caption, ProductList list,
                    const char *field1, const char *field2, DateFieldVariant firstDayVariant);

private:
    DateFieldVariant firstDayVariant_;
};

// Offers in `list` the products of "Ertek01" of the open account workbook, which it brings to
// the front; false, with the list left empty, when no product is registered yet.
bool ListValueSheetProducts(AppState &s, Control &list);
// Makes `chosen` the product of the command. One product workbook is open at a time and it
// must be the chosen product's: one chosen before without writing is let go unwritten; the
// chosen one is opened and prepared unless it is open. True when it was opened now.
bool ChooseProductWorkbook(AppState &s, const std::string &chosen);
// Brings the open account workbook to the front on "Ertek01" with its statement, result and
// archive sheets hidden, as the windows that offer a product for a period show it.
void ShowValueSheetAlone(AppState &s);
// `ShowValueSheetAlone` and `ListValueSheetProducts`, no product chosen yet; false, with the
// notice that no product is registered yet, when there is none.
bool OfferProductsForPeriod(AppState &s, Dialogs &dialogs, Control &list);
// Lets the open account workbook go unwritten, its sheets shown again as they are stored: the
// period windows need only the chosen product's workbook.
void CloseAccountShowingSheets(AppState &s);

} // namespace vandorix
