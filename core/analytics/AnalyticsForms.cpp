#include "app/Application.h"

namespace vandorix {

// The windows of this subsystem (Form16); nullptr for any other name.
std::unique_ptr<Form> CreateAnalyticsForm(Application &, std::string_view) { return nullptr; }

} // namespace vandorix
