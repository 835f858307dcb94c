#include "maintenance/MaintenanceForms.h"

#include "maintenance/Form13.h"
#include "maintenance/Form15.h"
#include "maintenance/UndoAndBackup.h"

namespace vandorix {

// The windows of this subsystem: Form13 and Form15.
void RegisterMaintenanceWindows(WindowRegistry &registry) {
    registry.add<Form13>("Form13");
    registry.add<Form15>("Form15");
    registry.undoLastCommand = &UndoLastCommand;
    registry.makeBackup = &MakeBackup;
}

} // namespace vandorix
