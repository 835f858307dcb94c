#include "ProductInstallation.h"

#include "products/ProductRegister.h"

namespace vandorix {
namespace {

namespace fs = std::filesystem;
using namespace testing;
using Names = std::vector<std::string>;

const std::string kOpen = "menu Befektetés/Részvény/Alapadatok\n";
const std::string kNewShare = kOpen + "choose Combo1 Más részvény\n";

std::string Repeated(const char *text, int times) {
    std::string s;
    for (int i = 0; i < times; ++i)
        s += text;
    return s;
}

TEST(ProductRegister, NewSharesListedSortedWithTemplateWorkbooksRefusalsWriteNothingArchivedAgain) {
    ProductInstallation t;
    const fs::path account = t.inst.accountWorkbook();
    const fs::path seged = t.root() / "Seged";
    // The closing price window before any share is registered ends the program.
    EXPECT_EQ(t.run("menu Befektetés/Részvény/Napi záró ár\nanswer OK\n"),
              "Felhívás\nA záró darabár bevitele előtt a részvényt\n"
              "a Részvény alapadatok menüpontban\nfel kell venni. Kilépés.\n");
    // An existing account log (here: a copy of the product log template) is kept as it is.
    fs::copy_file(seged / "Terméktöröltsorokminta.xls", t.archive("Befszlatöröltsorok.xls"));
    const std::string kept = FileBytes(t.archive("Befszlatöröltsorok.xls"));
    t.run(RegisterScript("Delta", "HU0000000004"));
    EditWorkbookFile(account, [](Workbook &wb) {
        wb.sheet("Ertek01").setValue(6, 4, Amount("1234,5"));
        wb.sheet("Eredmeny01").setValue(6, 12, Amount("-77"));
    });
    // "Vétel" after the registration, then back from the purchase window.
    EXPECT_EQ(t.run(RegisterScript("Béta", "HU0000000002") + kNewShare +
                    "type Text1 Alfa Nyrt\ntype Text2 HU0000123456\nclick Command1\n"
                    "click Command3\nclick Command3\nmenu Befektetés/Kilépés\n"),
              "");

    // Insertion order below "Más részvény": the latest first.
    EXPECT_EQ(Column(t.list(), "BET01", 2, 5),
              (Names{"Más részvény", "Alfa Nyrt", "Béta", "Delta"}));
    EXPECT_EQ(Column(t.list(), "BET01", 3, 6),
              (Names{"HU0000123456", "HU0000000002", "HU0000000004"}));
    // By name in the value and result sheets, each code beside its name.
    for (const char *sheet : {"Ertek01", "Eredmeny01"}) {
        EXPECT_EQ(Column(account, sheet, 1, 6), (Names{"Alfa Nyrt", "Béta", "Delta"})) << sheet;
        EXPECT_EQ(Column(account, sheet, 2, 6),
                  (Names{"HU0000123456", "HU0000000002", "HU0000000004"}))
            << sheet;
    }
    {
        // The sort moves whole rows; the header rows above the products are not part of it.
        auto wb = ReadWorkbookFile(account);
        ExpectCells(wb->sheet("Ertek01"), {{8, 4, Amount("1234,5")}, {5, 1, "Befektetési számla"}});
        EXPECT_TRUE(wb->sheet("Ertek01").value(6, 4).isBlank());
        ExpectCells(wb->sheet("Eredmeny01"),
                    {{8, 12, Amount("-77")}, {5, 1, "Archivált termékek"}});
    }
    auto listBook = ReadWorkbookFile(t.list());
    EXPECT_TRUE(listBook->structureProtected());
    EXPECT_TRUE(listBook->sheet("BET01").isProtected());
    EXPECT_EQ(t.run(kOpen + "choose Combo1 Béta\nclick Command4\n"), "");

    EXPECT_EQ(FileBytes(t.archive("Befszlatöröltsorok.xls")), kept);
    EXPECT_EQ(FileBytes(t.archive("Terméktöröltsorok.xls")),
              FileBytes(seged / "Terméktöröltsorokminta.xls"));
    auto wb = ReadWorkbookFile(t.product("Alfa Nyrt"));
    ASSERT_EQ(wb->sheetCount(), 5);
    const char *names[] = {"Alfa Nyrt01", "Alfa Nyrt02", "Szla", "Szla02", "Segéd01"};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(wb->sheetAt(i + 1).name(), names[i]);
        EXPECT_EQ(wb->sheetAt(i + 1).visible(), i < 2) << names[i];
        EXPECT_TRUE(wb->sheetAt(i + 1).isProtected()) << names[i];
    }
    EXPECT_TRUE(wb->structureProtected());
    const Sheet &prices = wb->sheet("Alfa Nyrt01");
    ExpectCells(prices,
                {{1, 1, "Alfa Nyrt"}, {2, 1, "2026. 12. 06. - tól"}, {2, 9, "HU0000123456"}});
    EXPECT_EQ(prices.cellFormat(6, 2), prices.cellFormat(5, 2));
    EXPECT_TRUE(prices.value(5, 2).isBlank());
    ExpectCells(
        wb->sheet("Alfa Nyrt02"),
        {{2, 1, "Alfa Nyrt  adat kivonat"}, {3, 1, "2026. 12. 06. - tól"}, {2, 9, "HU0000123456"}});
    const Sheet &trades = wb->sheet("Szla");
    ExpectCells(trades, {{1, 1, "Alfa Nyrt"}, {1, 18, "HU0000123456"}});
    ExpectIntegers(trades, {{2, 19, 7}, {7, 18, 0}});
    EXPECT_TRUE(trades.value(5, 1).isBlank());
    ExpectCells(wb->sheet("Szla02"),
                {{1, 1, "Alfa Nyrt  számla kivonat"}, {1, 18, "HU0000123456"}});
    EXPECT_EQ(wb->sheet("Szla02").value(2, 19).integer(), 7);

    // Refused entries write nothing. "Omega" has a workbook but is not in the list yet.
    t.run(RegisterScript("Alfa", "A1"));
    fs::copy_file(seged / "Termékminta.xls", t.product("Omega"));
    const std::string missing =
        "Új részvény felvételéhez a megnevezést\nés az ISIN kódot is meg kell adni.";
    const std::string tooLong = "A részvény megnevezése legfeljebb 29 karakter lehet.";
    const std::string clash = "Ez a megnevezés a termékfájl egy munkalapjának\nnevével ütközne. "
                              "Válasszon más megnevezést.";
    const std::string active = "Kilépés\nA termék már aktív.\nNem lehet újra felvenni !\n";
    const struct {
        std::string name, code, shown;
    } cases[] = {
        {"", "HU1", missing},
        {"Alfa2", "", missing},
        {"Alfa/Béta", "HU1",
         "A részvény megnevezésében nem lehet\n\\ / : * ? \" < > | [ ] és vezérlő karakter."},
        {" Alfa2", "HU1", "A részvény megnevezése nem kezdődhet\nés nem végződhet szóközzel."},
        {std::string(30, 'x'), "HU1", tooLong},
        {Repeated("Ő", 30), "HU1", tooLong},
        {"Szla", "HU1", clash},
        {"segéd", "HU1", clash},
    };
    const auto files = DataFiles(t.root());
    for (const auto &c : cases) {
        const std::string shown = t.run(kNewShare + "type Text1 " + c.name + "\ntype Text2 " +
                                        c.code + "\nclick Command1\nanswer OK\nclick Command4\n");
        EXPECT_EQ(shown, "Felhívás\n" + c.shown + "\n") << c.name;
    }
    // An active share chosen from the list, or typed as new while its workbook exists.
    EXPECT_EQ(t.run(kOpen + "choose Combo1 Alfa\nclick Command1\nanswer OK\nclick Command4\n"),
              active);
    EXPECT_EQ(t.run(kNewShare + "type Text1 Omega\ntype Text2 O1\nclick Command1\nanswer OK\n"
                                "click Command4\n"),
              active);
    // Without a purchase the closing price window stores nothing.
    t.run("menu Befektetés/Részvény/Napi záró ár\nchoose Combo1 Alfa\nanswer OK\nclick Command4\n");
    EXPECT_EQ(DataFiles(t.root()), files);

    // Archived: the workbook moved away and the account rows removed, the list entry kept.
    fs::rename(t.product("Alfa"), t.archive("Alfa1.xls"));
    EditWorkbookFile(account, [](Workbook &wb) {
        wb.sheet("Ertek01").deleteRow(6);
        wb.sheet("Eredmeny01").deleteRow(6);
    });
    const std::string list = FileBytes(t.list());
    EXPECT_EQ(t.run(kNewShare + "type Text1 Alfa\ntype Text2 A2\nclick Command1\nanswer OK\n"
                                "click Command4\n"),
              "Felhívás\nEz a részvény már szerepel a listában.\nVálassza ki a listából.\n");
    EXPECT_EQ(FileBytes(t.list()), list);
    EXPECT_FALSE(fs::exists(t.product("Alfa")));
    EXPECT_EQ(t.run(kOpen + "choose Combo1 Alfa\nclick Command1\nclick Command4\n"), "");
    EXPECT_EQ(Column(t.list(), "BET01", 2, 5),
              (Names{"Más részvény", "Alfa", "Alfa Nyrt", "Béta", "Delta"}));
    EXPECT_EQ(ReadWorkbookFile(t.product("Alfa"))->sheet("Szla").value(1, 18), CellValue("A1"));
    EXPECT_EQ(Column(account, "Ertek01", 1, 6), (Names{"Alfa", "Alfa Nyrt", "Béta", "Delta"}));

    // The longest name that fits a sheet name is accepted.
    const std::string longest = Repeated("Á", 29);
    t.run(RegisterScript(longest, "HU1"));
    ASSERT_TRUE(fs::exists(t.product(longest)));
    EXPECT_NE(ReadWorkbookFile(t.product(longest))->findSheet(longest + "01"), nullptr);

    // A script line cannot end in a blank, so the trailing blank is checked on the rule itself;
    // so is every forbidden character.
    EXPECT_EQ(ProductNameProblem("Alfa "),
              std::optional<std::string>("A részvény megnevezése nem kezdődhet\r\n"
                                         "és nem végződhet szóközzel."));
    EXPECT_EQ(ProductNameProblem("Alfa  Béta Nyrt."), std::nullopt);
    for (std::string bad : {"Alfa\tBéta", "'Alfa"})
        EXPECT_TRUE(ProductNameProblem(bad).has_value()) << bad;
    for (char c : std::string("\\/:*?\"<>|[]"))
        EXPECT_TRUE(ProductNameProblem(std::string("Al") + c + "fa").has_value()) << c;
}

} // namespace
} // namespace vandorix
