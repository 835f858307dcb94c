#pragma once

#include "app/Form.h"
#include "products/PriceFile.h"

#include <optional>
#include <string>

namespace vandorix {

// "Árfolyamok betöltése fájlból": a share's closing prices for many days from a CSV, text or
// OOXML spreadsheet file, recorded in one step by the rules of the closing-price window. The
// file is read on Enter in the path field and previewed; "Betöltés" records it.
class Form17 : public Form {
public:
    explicit Form17(Application &app);

    void Form_Load() override;
    void Combo1_Click();
    void Text1_KeyPress(int &KeyAscii);
    void Text1_LostFocus();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

private:
    // Opens and prepares the chosen product's workbook unless it is open.
    void openProductWorkbook();
    void closeProductWithoutSaving();
    void forgetFile();
    // The preview of the file read, and "Betöltés" enabled when there is something to record.
    void showPreview();

    std::optional<PriceFileContent> content_;
    std::string readPath_; // the field's text when the file was read
    bool productChosen_ = false;
};

} // namespace vandorix
