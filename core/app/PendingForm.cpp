#include "app/PendingForm.h"

#include "app/Application.h"

namespace vandorix {

PendingForm::PendingForm(Application &app, std::string name, std::string caption,
                         std::string backButton, std::string backCaption,
                         std::string exitButton, std::string exitCaption)
    : Form(app, std::move(name), std::move(caption)) {
    addLabel("Label1", "Ez a funkció még nem érhető el.");
    addButton(backButton, std::move(backCaption));
    addButton(exitButton, std::move(exitCaption));
    onClick(backButton, [this] { this->app().ReturnToMainWindow(*this); });
    onClick(exitButton, [this] { this->app().LeaveProgram(*this); });
}

} // namespace vandorix
