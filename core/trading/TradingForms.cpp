#include "trading/TradingForms.h"

#include "trading/Form3.h"
#include "trading/Form4.h"

namespace vandorix {

// The windows of this subsystem: Form3 and Form4.
void RegisterTradingWindows(WindowRegistry &registry) {
    registry.add<Form3>("Form3");
    registry.add<Form4>("Form4");
}

} // namespace vandorix
