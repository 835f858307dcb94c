#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form9, Form10, Form11 and Form14); nullptr for any other name.
std::unique_ptr<Form> CreateReportForm(Application &, std::string_view) { return nullptr; }

} // namespace vandorix
