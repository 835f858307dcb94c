#pragma once

#include "app/Form.h"

namespace vandorix {

// The main window: the menu from which every window is opened. Its load procedure is the
// start-up sequence.
class Form1 : public Form {
public:
    explicit Form1(Application &app);

    void Form_Load() override;

    void mnu2_alap_Click();
    void mnu2_vet_Click();
    void mnu2_elad_Click();
    void mnu2_napiza_Click();
    void mnu2_arfolyam_fajl_Click();
    void mnu2_bef_Click();
    void mnu2_Brvissza_Click();
    void mnu2_oszt_Click();
    void mnu2_Kiv_Click();
    void mnu2_havik_Click();
    void mnu2_megtek_Click();
    void mnu2_befszlakivonat_Click();
    void mnu2_eredm_Click();
    void mnu2_ertkim_Click();
    void mnu2_term_szlakiv_Click();
    void mnu2_term_adatok_Click();
    void mnu2_teljtrkcser_Click();
    void mnu2_adatsor_törl_Click();
    void mnu2_visszavon_Click();
    void mnu2_mentes_Click();
    void mnu1_ki_Click();

private:
    enum class Focus { None, FirstField, Repaint };
    // Runs the window's load procedure, shows it and hides the main window.
    void openWindow(const char *formName, Focus focus);
};

} // namespace vandorix
