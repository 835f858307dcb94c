#include "app/Form1.h"

#include "app/Application.h"
#include "app/Startup.h"
#include "app/WindowRegistry.h"
#include "app/WorkbookProtocol.h"

namespace vandorix {

namespace {

MenuItem item(std::string name, std::string caption, std::function<void()> onClick) {
    MenuItem m;
    m.name = std::move(name);
    m.caption = std::move(caption);
    m.onClick = std::move(onClick);
    return m;
}

MenuItem submenu(std::string name, std::string caption, std::vector<MenuItem> items) {
    MenuItem m;
    m.name = std::move(name);
    m.caption = std::move(caption);
    m.items = std::move(items);
    return m;
}

MenuItem separator(std::string name, std::string caption) {
    MenuItem m;
    m.name = std::move(name);
    m.caption = std::move(caption);
    m.separator = true;
    return m;
}

} // namespace

Form1::Form1(Application &app) : Form(app, "Form1", "Vandorix") {
    menuBar() = {submenu(
        "mnu1_bef", "Befektetés",
        {
            submenu("mnu1_reszv", "Részvény",
                    {item("mnu2_alap", "Alapadatok", [this] { mnu2_alap_Click(); }),
                     item("mnu2_vet", "Vétel", [this] { mnu2_vet_Click(); }),
                     item("mnu2_elad", "Eladás", [this] { mnu2_elad_Click(); }),
                     item("mnu2_napiza", "Napi záró ár", [this] { mnu2_napiza_Click(); }),
                     item("mnu2_arfolyam_fajl", "Árfolyamok betöltése fájlból",
                          [this] { mnu2_arfolyam_fajl_Click(); })}),
            submenu("mnu1_befszla", "Befektetési számla",
                    {item("mnu2_bef", "Befizetés", [this] { mnu2_bef_Click(); }),
                     item("mnu2_Brvissza", "Brókerdíj visszatérítés",
                          [this] { mnu2_Brvissza_Click(); }),
                     item("mnu2_oszt", "Osztalék bevétel", [this] { mnu2_oszt_Click(); }),
                     item("mnu2_Kiv", "Kivét", [this] { mnu2_Kiv_Click(); }),
                     item("mnu2_havik", "Számlavezetési kts", [this] { mnu2_havik_Click(); }),
                     item("mnu2_megtek", "Megtekintés", [this] { mnu2_megtek_Click(); }),
                     item("mnu2_befszlakivonat", "Számla kivonat",
                          [this] { mnu2_befszlakivonat_Click(); })}),
            submenu("nnu1_inf", "Információ",
                    {item("mnu2_eredm", "Eredmény", [this] { mnu2_eredm_Click(); }),
                     item("mnu2_ertkim", "Érték kinutatás", [this] { mnu2_ertkim_Click(); }),
                     item("mnu2_term_szlakiv", "Termék szlámla kivonat",
                          [this] { mnu2_term_szlakiv_Click(); }),
                     item("mnu2_term_adatok", "Termék adatok",
                          [this] { mnu2_term_adatok_Click(); })}),
            separator("mnu1_vonal1", "-----"),
            submenu("mnu1_karb", "Karbantartás",
                    {item("mnu2_teljtrkcser", "Teljesülés  tr. kód módosítás",
                          [this] { mnu2_teljtrkcser_Click(); }),
                     item("mnu2_adatsor_törl", "Adatsor törlés",
                          [this] { mnu2_adatsor_törl_Click(); }),
                     item("mnu2_visszavon", "Utolsó művelet visszavonása",
                          [this] { mnu2_visszavon_Click(); }),
                     item("mnu2_mentes", "Biztonsági mentés", [this] { mnu2_mentes_Click(); })}),
            separator("mnu_vonal2", "----"),
            item("mnu1_ki", "Kilépés", [this] { mnu1_ki_Click(); }),
        })};
}

void Form1::Form_Load() { RunStartup(app()); }

void Form1::openWindow(const char *formName, Focus focus) {
    Form &target = app().form(formName);
    target.Form_Load();
    if (app().ended()) return;
    app().show(target);
    app().hide(*this);
    if (focus == Focus::FirstField && target.findControl("Text1")) target.SetFocus("Text1");
}

void Form1::mnu2_alap_Click() { openWindow("Form2", Focus::None); }
void Form1::mnu2_vet_Click() { openWindow("Form3", Focus::None); }
void Form1::mnu2_elad_Click() { openWindow("Form4", Focus::None); }
void Form1::mnu2_napiza_Click() { openWindow("Form5", Focus::None); }
void Form1::mnu2_arfolyam_fajl_Click() { openWindow("Form17", Focus::None); }

void Form1::mnu2_bef_Click() {
    state().BrokerFeeRefundMode = false;
    openWindow("Form6", Focus::FirstField);
}

void Form1::mnu2_Brvissza_Click() {
    state().BrokerFeeRefundMode = true;
    openWindow("Form6", Focus::FirstField);
}

void Form1::mnu2_oszt_Click() { openWindow("Form12", Focus::FirstField); }
void Form1::mnu2_Kiv_Click() { openWindow("Form7", Focus::FirstField); }
void Form1::mnu2_havik_Click() { openWindow("Form8", Focus::FirstField); }

void Form1::mnu2_megtek_Click() {
    Windows().viewAccountWorkbook(state(), dialogs(), [this] { app().hide(*this); });
    if (!app().ended()) app().show(*this);
}

void Form1::mnu2_befszlakivonat_Click() { openWindow("Form10", Focus::FirstField); }
void Form1::mnu2_eredm_Click() { openWindow("Form9", Focus::None); }
void Form1::mnu2_ertkim_Click() { openWindow("Form14", Focus::None); }
void Form1::mnu2_term_szlakiv_Click() { openWindow("Form11", Focus::None); }
void Form1::mnu2_term_adatok_Click() { openWindow("Form16", Focus::None); }
void Form1::mnu2_teljtrkcser_Click() { openWindow("Form13", Focus::Repaint); }
// The ledger-row deletion window is offered under "Karbantartás", beside the code change.
void Form1::mnu2_adatsor_törl_Click() { openWindow("Form15", Focus::FirstField); }

// Both run from the main window without a window of their own; it stays visible.
void Form1::mnu2_visszavon_Click() { Windows().undoLastCommand(state(), dialogs()); }
void Form1::mnu2_mentes_Click() { Windows().makeBackup(state(), dialogs()); }

void Form1::mnu1_ki_Click() {
    app().hide(*this);
    ExitProgram(state());
    app().closeAllWindows();
}

} // namespace vandorix
