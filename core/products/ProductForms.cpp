#include "products/ProductForms.h"

#include "products/Form17.h"
#include "products/Form2.h"
#include "products/Form5.h"

namespace vandorix {

// The windows of this subsystem: Form2, Form5 and Form17.
void RegisterProductWindows(WindowRegistry &registry) {
    registry.add<Form2>("Form2");
    registry.add<Form5>("Form5");
    registry.add<Form17>("Form17");
}

} // namespace vandorix
