#include "trading/Form4.h"

#include "app/AppState.h"

namespace vandorix {

namespace {
constexpr const char *kLifo = "LIFO.Legutóbbiak";
constexpr const char *kFifo = "FIFO.Legkorábbiak";
} // namespace

Form4::Form4(Application &app)
    : TradeForm(app, "Form4", "Részvény eladás", TradeWindowKind::Sale, "Combo2",
                "Az eladás előtt a részvényt") {
    onClick("Combo1", [this] { Combo1_Click(); });
    onClick("Combo2", [this] { Combo2_Click(); });
}

void Form4::loadOwnLists() {
    Control &order = control("Combo1");
    order.clear();
    order.items = {kLifo, kFifo};
    order.visible = order.enabled = true;
    control("Label8").visible = true;
    // The product list waits for the sale order.
    control("Label9").visible = false;
}

void Form4::Combo1_Click() {
    state().SaleOrder = control("Combo1").text == kLifo ? "LIFO" : "FIFO";
    control("Label9").visible = true;
    Control &products = productList();
    products.visible = products.enabled = true;
    SetFocus(products.name);
}

void Form4::Combo2_Click() { productChosen(); }

} // namespace vandorix
