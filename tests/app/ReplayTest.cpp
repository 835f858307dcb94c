#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <string>

namespace vandorix {
namespace {

using testing::ReplayRun;
using testing::TestInstallation;

const char *kEveryWindow = R"(# one share registered, then every window of the menu opened and left again
menu Befektetés/Részvény/Alapadatok
choose Combo1 Más részvény
type Text1 Alfa
type Text2 A1
click Command1
click Command4
menu Befektetés/Részvény/Alapadatok
click Command4
menu Befektetés/Részvény/Vétel
click Command3
menu Befektetés/Részvény/Eladás
click Command3
menu Befektetés/Részvény/Napi záró ár
choose Combo1 Alfa
answer OK
click Command4
menu Befektetés/Befektetési számla/Befizetés
click Command3
menu Befektetés/Befektetési számla/Brókerdíj visszatérítés
click Command3
menu Befektetés/Befektetési számla/Osztalék bevétel
click Command3
menu Befektetés/Befektetési számla/Kivét
click Command3
menu Befektetés/Befektetési számla/Számlavezetési kts
click Command3

menu Befektetés/Befektetési számla/Megtekintés
answer OK
menu Befektetés/Befektetési számla/Számla kivonat
click Command4
menu Befektetés/Információ/Eredmény
click Command4
menu Befektetés/Információ/Érték kinutatás
click Command2
menu Befektetés/Információ/Termék szlámla kivonat
click Command4
menu Befektetés/Karbantartás/Teljesülés  tr. kód módosítás
click Command4
menu Befektetés/Karbantartás/Adatsor törlés
click Command3
)";

TEST(Replay, OpensAndLeavesEveryWindowAndPrintsEachDialog) {
    TestInstallation inst;
    // The product data view comes last: until a range is shown it is left only by its exit.
    ReplayRun run = inst.replay(std::string(kEveryWindow) +
                                "menu Befektetés/Információ/Termék adatok\nclick Command3\n");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_EQ(run.output, "Felhívás\nCsak az első vásárlás után\nlehet a záró darabárat bevinni.\n"
                          "Kilépés\nA Befektetési fájlban\nMég nincs adat. Kilépés!\n");
}

TEST(Replay, StartupDialogsTakeTheAnswersAtTheTop) {
    TestInstallation inst("Vandorix12");
    ReplayRun run = inst.replay("answer OK\n");
    EXPECT_EQ(run.exitCode, 0) << run.output;
    EXPECT_NE(run.output.find("Felhívás\nTelpítési hiba."), std::string::npos) << run.output;
}

TEST(Replay, FailsNamingTheScriptLine) {
    struct Case {
        const char *script;
        const char *expected;
    };
    for (Case c : {
             // a dialog with no answer for it
             Case{"menu Befektetés/Befektetési számla/Megtekintés\n", "(1. sor)"},
             // an answer of the wrong kind
             Case{"menu Befektetés/Befektetési számla/Megtekintés\nanswer Yes\n", "(2. sor)"},
             Case{"menu Befektetés/Befektetési számla/Megtekintés\ninput 5\n", "(2. sor)"},
             // an answer that no dialog took
             Case{"menu Befektetés/Befektetési számla/Befizetés\nanswer OK\n", "(2. sor)"},
             // a control or menu item that does not exist, or is not usable
             Case{"menu Befektetés/Befektetési számla/Befizetés\nclick Command9\n", "(2. sor)"},
             Case{"# comment\n\nmenu Befektetés/Nincs\n", "(3. sor)"},
             Case{"click Command1\n", "(1. sor)"},
             // lines left after the program has ended
             Case{"menu Befektetés/Kilépés\nmenu Befektetés/Kilépés\n", "(2. sor)"},
             Case{"frobnicate Text1\n", "(1. sor)"},
         }) {
        TestInstallation inst;
        ReplayRun run = inst.replay(c.script);
        EXPECT_EQ(run.exitCode, 1) << c.script << run.output;
        EXPECT_NE(run.output.find(c.expected), std::string::npos) << c.script << run.output;
    }
}

} // namespace
} // namespace vandorix
