#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form13 and Form15); nullptr for any other name.
std::unique_ptr<Form> CreateMaintenanceForm(Application &, std::string_view) { return nullptr; }

} // namespace vandorix
