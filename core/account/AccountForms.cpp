#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form6, Form7, Form8 and Form12); nullptr for any other name.
std::unique_ptr<Form> CreateAccountForm(Application &, std::string_view) { return nullptr; }

} // namespace vandorix
