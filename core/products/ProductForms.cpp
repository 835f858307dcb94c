#include "products/ProductForms.h"

#include "app/Application.h"
#include "products/Form17.h"
#include "products/Form2.h"
#include "products/Form5.h"

namespace vandorix {

// The windows of this subsystem (Form2, Form5 and Form17); nullptr for any other name.
std::unique_ptr<Form> CreateProductForm(Application &app, std::string_view name) {
    if (name == "Form2") return std::make_unique<Form2>(app);
    if (name == "Form5") return std::make_unique<Form5>(app);
    if (name == "Form17") return std::make_unique<Form17>(app);
    return nullptr;
}

void RegisterProductWindows(WindowRegistry &registry) {
    registry.factories.push_back(&CreateProductForm);
}

} // namespace vandorix
