#pragma once

#include "app/Form.h"

namespace vandorix {

// A window whose work is not built yet: its caption and its two leave buttons.
class PendingForm : public Form {
public:
    PendingForm(Application &app, std::string name, std::string caption, std::string backButton,
                std::string backCaption, std::string exitButton, std::string exitCaption);
};

} // namespace vandorix
