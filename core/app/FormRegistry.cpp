#include "app/Application.h"
#include "app/Form1.h"
#include "app/PendingForm.h"

#include <array>

namespace vandorix {

namespace {

struct PendingWindow {
    const char *name;
    const char *caption;
    const char *backButton;
    const char *backCaption;
    const char *exitButton;
    const char *exitCaption;
};

constexpr std::array kPendingWindows = {
    PendingWindow{"Form2", "Részvény alapadatok", "Command4", "Vissza a főmenübe", "Command5",
                  "Kilép"},
    PendingWindow{"Form3", "Részvény vétel", "Command3", "Vissza a főmenübe", "Command4",
                  "Kilépés"},
    PendingWindow{"Form4", "Részvény eladás", "Command3", "Vissza a főmenübe", "Command4",
                  "Kilépés"},
    PendingWindow{"Form5", "Adatbevitel-Napi záró árak", "Command4", "Vissza a főmenübe",
                  "Command5", "Kilépés"},
    PendingWindow{"Form6", "Befizetés a befektetési számlára", "Command3", "Vissza a főmenüre",
                  "Command4", "Kilép"},
    PendingWindow{"Form7", "Pénz kivét a befektetési számláról", "Command3",
                  "Vissza a főmenüre", "Command4", "Kilép"},
    PendingWindow{"Form8", "Befektetési számlavezetési költség", "Command3",
                  "Vissza a főmenühöz", "Command4", "Kilép"},
    PendingWindow{"Form9", "Eredmény kimutatás", "Command4", "Vissza a főmenüre", "Command5",
                  "Kilép"},
    PendingWindow{"Form10", "Befektetési számla kivonat", "Command4", "Vissza a főmenübe",
                  "Command5", "Kilép"},
    PendingWindow{"Form11", "Termékfájl számla kivonat", "Command4", "Vissza a főmenübe",
                  "Command5", "Kilép"},
    PendingWindow{"Form12", "Osztalék bevétel", "Command3", "Vissza a főmenübe", "Command4",
                  "Kilép"},
    PendingWindow{"Form13", "Teljesítés tranzakciós kód csere", "Command4", "Vissza a főmenübe",
                  "Command5", "Kilép"},
    PendingWindow{"Form14", "Érték kimutatása", "Command2", "Vissza a főmenübe", "Command3",
                  "Kilép"},
    PendingWindow{"Form15", "Adatsor törlés", "Command3", "Vissza a főmenübe", "Command4",
                  "Kilép"},
    PendingWindow{"Form16", "Termék adatok.", "Command2", "Vissza a főmenübe", "Command3",
                  "Kilépés"},
};

} // namespace

std::unique_ptr<Form> CreateForm(Application &app, std::string_view name) {
    if (name == "Form1") return std::make_unique<Form1>(app);
    for (auto create : {&CreateProductForm, &CreateTradingForm, &CreateAccountForm,
                        &CreateReportForm, &CreateAnalyticsForm, &CreateMaintenanceForm})
        if (std::unique_ptr<Form> form = create(app, name)) return form;
    for (const PendingWindow &w : kPendingWindows)
        if (name == w.name)
            return std::make_unique<PendingForm>(app, w.name, w.caption, w.backButton,
                                                 w.backCaption, w.exitButton, w.exitCaption);
    return nullptr;
}

} // namespace vandorix
