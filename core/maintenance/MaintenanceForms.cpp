#include "maintenance/MaintenanceForms.h"

#include "app/Application.h"
#include "maintenance/Form13.h"
#include "maintenance/Form15.h"
#include "maintenance/UndoAndBackup.h"

namespace vandorix {

// The windows of this subsystem (Form13 and Form15); nullptr for any other name.
std::unique_ptr<Form> CreateMaintenanceForm(Application &app, std::string_view name) {
    if (name == "Form13") return std::make_unique<Form13>(app);
    if (name == "Form15") return std::make_unique<Form15>(app);
    return nullptr;
}

void RegisterMaintenanceWindows(WindowRegistry &registry) {
    registry.factories.push_back(&CreateMaintenanceForm);
    registry.undoLastCommand = &UndoLastCommand;
    registry.makeBackup = &MakeBackup;
}

} // namespace vandorix
