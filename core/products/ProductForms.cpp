#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form2 and Form5); nullptr for any other name.
std::unique_ptr<Form> CreateProductForm(Application &, std::string_view) { return nullptr; }

} // namespace vandorix
