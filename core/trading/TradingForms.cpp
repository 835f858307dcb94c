#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form3 and Form4); nullptr for any other name.
std::unique_ptr<Form> CreateTradingForm(Application &, std::string_view) { return nullptr; }

} // namespace vandorix
