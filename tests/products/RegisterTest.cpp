#include "products/ProductRegister.h"
#include "book/Templates.h"
#include "support/ProductFiles.h"
#include "support/SheetExpect.h"
#include "support/TestInstallation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vandorix {
namespace {

namespace fs = std::filesystem;
using namespace testing;

struct Register {
    TestInstallation inst;
    fs::path list() const { return inst.root() / "Seged" / "ISIN01.xls"; }
    fs::path product(const std::string &name) const {
        return inst.root() / "Termekek" / (name + ".xls");
    }
    fs::path archive(const std::string &file) const { return inst.root() / "Arhiv" / file; }

    ReplayRun run(const std::string &script) const {
        ReplayRun r = inst.replay(script);
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return r;
    }
    std::vector<std::string> column(const fs::path &file, const char *sheet, int col,
                                    int from) const {
        auto wb = ReadWorkbookFile(file);
        std::vector<std::string> out;
        const Sheet &s = wb->sheet(sheet);
        for (int r = from; !s.value(r, col).isBlank(); ++r) out.push_back(*s.value(r, col).text());
        return out;
    }
};

TEST(ProductRegister, NewSharesGoDirectlyBelowOtherShareAndTheAccountSheetsStaySorted) {
    Register t;
    t.run(RegisterScript("Delta", "HU0000000004") + RegisterScript("Béta", "HU0000000002") +
          RegisterScript("Alfa", "HU0000000001"));

    // Insertion order below "Más részvény": the latest first.
    EXPECT_EQ(t.column(t.list(), "BET01", 2, 5),
              (std::vector<std::string>{"Más részvény", "Alfa", "Béta", "Delta"}));
    EXPECT_EQ(t.column(t.list(), "BET01", 3, 6),
              (std::vector<std::string>{"HU0000000001", "HU0000000002", "HU0000000004"}));

    // By name in the value and result sheets, each code beside its name.
    for (const char *sheet : {"Ertek01", "Eredmeny01"}) {
        EXPECT_EQ(t.column(t.inst.accountWorkbook(), sheet, 1, 6),
                  (std::vector<std::string>{"Alfa", "Béta", "Delta"}))
            << sheet;
        EXPECT_EQ(t.column(t.inst.accountWorkbook(), sheet, 2, 6),
                  (std::vector<std::string>{"HU0000000001", "HU0000000002", "HU0000000004"}))
            << sheet;
    }
    // The list is stored protected again.
    auto list = ReadWorkbookFile(t.list());
    EXPECT_TRUE(list->structureProtected());
    EXPECT_TRUE(list->sheet("BET01").isProtected());
    // The window opened again lists the new shares in list order.
    ReplayRun again = t.run("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Béta\n"
                            "click Command4\n");
    EXPECT_EQ(again.output, "");
}

TEST(ProductRegister, SortMovesWholeRowsSoStoredFiguresStayWithTheirName) {
    Register t;
    t.run(RegisterScript("Zeta", "Z1"));
    EditWorkbookFile(t.inst.accountWorkbook(), [](Workbook &wb) {
        wb.sheet("Ertek01").setValue(6, 4, Amount("1234,5"));
        wb.sheet("Eredmeny01").setValue(6, 12, Amount("-77"));
    });
    t.run(RegisterScript("Alfa", "A1"));
    auto wb = ReadWorkbookFile(t.inst.accountWorkbook());
    // The header rows above the products (row 5) are not part of the sort.
    ExpectCells(wb->sheet("Ertek01"),
                {{7, 1, "Zeta"}, {7, 4, Amount("1234,5")}, {5, 1, "Befektetési számla"}});
    EXPECT_TRUE(wb->sheet("Ertek01").value(6, 4).isBlank());
    ExpectCells(wb->sheet("Eredmeny01"), {{7, 12, Amount("-77")}, {5, 1, "Archivált termékek"}});
}

TEST(ProductRegister, ProductWorkbookIsTheTemplateRenamedAndTheMissingDeletionLogCopied) {
    Register t;
    const fs::path seged = t.inst.root() / "Seged";
    // An existing account log (here: a copy of the product log template) is kept as it is.
    fs::copy_file(seged / "Terméktöröltsorokminta.xls", t.archive("Befszlatöröltsorok.xls"));
    const std::string kept = FileBytes(t.archive("Befszlatöröltsorok.xls"));
    t.run(RegisterScript("Alfa Nyrt", "HU0000123456"));
    EXPECT_EQ(FileBytes(t.archive("Befszlatöröltsorok.xls")), kept);
    EXPECT_EQ(FileBytes(t.archive("Terméktöröltsorok.xls")),
              FileBytes(seged / "Terméktöröltsorokminta.xls"));
    ASSERT_TRUE(fs::exists(t.product("Alfa Nyrt")));
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
    ExpectCells(prices, {{1, 1, "Alfa Nyrt"}, {2, 1, "2026. 12. 06. - tól"}, {2, 9, "HU0000123456"}});
    EXPECT_EQ(prices.cellFormat(6, 2), prices.cellFormat(5, 2));
    EXPECT_TRUE(prices.value(5, 2).isBlank());

    const Sheet &chart = wb->sheet("Alfa Nyrt02");
    ExpectCells(chart, {{2, 1, "Alfa Nyrt  adat kivonat"}, {3, 1, "2026. 12. 06. - tól"},
                        {2, 9, "HU0000123456"}});

    const Sheet &trades = wb->sheet("Szla");
    ExpectCells(trades, {{1, 1, "Alfa Nyrt"}, {1, 18, "HU0000123456"}});
    ExpectIntegers(trades, {{2, 19, 7}, {7, 18, 0}});
    EXPECT_TRUE(trades.value(5, 1).isBlank());

    const Sheet &statement = wb->sheet("Szla02");
    ExpectCells(statement, {{1, 1, "Alfa Nyrt  számla kivonat"}, {1, 18, "HU0000123456"}});
    EXPECT_EQ(statement.value(2, 19).integer(), 7);
}

TEST(ProductRegister, ArchivedProductIsRegisteredAgainWithoutASecondListRow) {
    Register t;
    t.run(RegisterScript("Alfa", "A1"));
    // Archived: the workbook moved away and the account rows removed, the list entry kept.
    fs::rename(t.product("Alfa"), t.archive("Alfa1.xls"));
    EditWorkbookFile(t.inst.accountWorkbook(), [](Workbook &wb) {
        wb.sheet("Ertek01").deleteRow(6);
        wb.sheet("Eredmeny01").deleteRow(6);
    });
    ReplayRun r = t.run("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Alfa\n"
                        "click Command1\nclick Command4\n");
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(t.column(t.list(), "BET01", 2, 5), (std::vector<std::string>{"Más részvény", "Alfa"}));
    ASSERT_TRUE(fs::exists(t.product("Alfa")));
    EXPECT_EQ(ReadWorkbookFile(t.product("Alfa"))->sheet("Szla").value(1, 18), CellValue("A1"));
    EXPECT_EQ(t.column(t.inst.accountWorkbook(), "Ertek01", 1, 6), std::vector<std::string>{"Alfa"});
}

TEST(ProductRegister, ActiveProductOrAListedNameTypedAsNewShareIsRefused) {
    Register t;
    t.run(RegisterScript("Alfa", "A1"));
    // A workbook of a product not in the list yet.
    fs::copy_file(t.inst.root() / "Seged" / "Termékminta.xls", t.product("Omega"));
    {
        const std::string list = FileBytes(t.list());
        const std::string account = FileBytes(t.inst.accountWorkbook());
        const std::string alfa = FileBytes(t.product("Alfa"));

        ReplayRun chosen = t.run("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Alfa\n"
                                 "click Command1\nanswer OK\nclick Command4\n");
        EXPECT_EQ(chosen.output, "Kilépés\nA termék már aktív.\nNem lehet újra felvenni !\n");
        ReplayRun omega = t.run("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\n"
                                "type Text1 Omega\ntype Text2 O1\nclick Command1\nanswer OK\n"
                                "click Command4\n");
        EXPECT_EQ(omega.output, "Kilépés\nA termék már aktív.\nNem lehet újra felvenni !\n");
        EXPECT_EQ(FileBytes(t.list()), list);
        EXPECT_EQ(FileBytes(t.inst.accountWorkbook()), account);
        EXPECT_EQ(FileBytes(t.product("Alfa")), alfa);
    }
    fs::remove(t.product("Alfa"));
    const std::string list = FileBytes(t.list());
    ReplayRun r = t.run("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\n"
                        "type Text1 Alfa\ntype Text2 A2\nclick Command1\nanswer OK\n"
                        "click Command4\n");
    EXPECT_EQ(r.output, "Felhívás\nEz a részvény már szerepel a listában.\nVálassza ki a listából.\n");
    EXPECT_EQ(FileBytes(t.list()), list);
    EXPECT_FALSE(fs::exists(t.product("Alfa")));
}

struct BadEntry {
    const char *label;
    std::string name;
    std::string code;
    const char *message;
};

class RefusedEntry : public ::testing::TestWithParam<BadEntry> {};

TEST_P(RefusedEntry, IsRefusedWithItsMessageBeforeAnythingIsWritten) {
    const BadEntry &e = GetParam();
    Register t;
    const std::string list = FileBytes(t.list());
    const std::string account = FileBytes(t.inst.accountWorkbook());
    ReplayRun r = t.run("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\n"
                        "type Text1 " + e.name + "\ntype Text2 " + e.code +
                        "\nclick Command1\nanswer OK\nclick Command4\n");
    EXPECT_EQ(r.output, std::string("Felhívás\n") + e.message + "\n");
    EXPECT_EQ(FileBytes(t.list()), list);
    EXPECT_EQ(FileBytes(t.inst.accountWorkbook()), account);
    EXPECT_TRUE(fs::is_empty(t.inst.root() / "Termekek"));
    EXPECT_TRUE(fs::is_empty(t.inst.root() / "Arhiv"));
}

const char *kMissing = "Új részvény felvételéhez a megnevezést\nés az ISIN kódot is meg kell adni.";
const char *kCharacters =
    "A részvény megnevezésében nem lehet\n\\ / : * ? \" < > | [ ] és vezérlő karakter.";
const char *kBlanks = "A részvény megnevezése nem kezdődhet\nés nem végződhet szóközzel.";
const char *kTooLong = "A részvény megnevezése legfeljebb 29 karakter lehet.";
const char *kClash = "Ez a megnevezés a termékfájl egy munkalapjának\nnevével ütközne. Válasszon más megnevezést.";

INSTANTIATE_TEST_SUITE_P(
    ProductRegister, RefusedEntry,
    ::testing::Values(BadEntry{"EmptyName", "", "HU1", kMissing},
                      BadEntry{"EmptyCode", "Alfa", "", kMissing},
                      BadEntry{"Slash", "Alfa/Béta", "HU1", kCharacters},
                      BadEntry{"Brackets", "Alfa[1]", "HU1", kCharacters},
                      BadEntry{"LeadingBlank", " Alfa", "HU1", kBlanks},
                      BadEntry{"ThirtyCharacters", std::string(30, 'x'), "HU1", kTooLong},
                      BadEntry{"ThirtyAccentedCharacters", [] {
                                   std::string s;
                                   for (int i = 0; i < 30; ++i) s += "Ő";
                                   return s;
                               }(), "HU1", kTooLong},
                      BadEntry{"ClashesWithTradeStatement", "Szla", "HU1", kClash},
                      BadEntry{"ClashesWithAuxiliarySheet", "segéd", "HU1", kClash}),
    [](const ::testing::TestParamInfo<BadEntry> &info) { return std::string(info.param.label); });

// A script line cannot end in a blank, so the trailing blank is checked on the rule itself.
TEST(ProductRegister, NameRuleRefusesATrailingBlankAndAcceptsInnerOnes) {
    EXPECT_EQ(ProductNameProblem("Alfa "), std::optional<std::string>(
                                               "A részvény megnevezése nem kezdődhet\r\n"
                                               "és nem végződhet szóközzel."));
    EXPECT_EQ(ProductNameProblem("Alfa  Béta Nyrt."), std::nullopt);
    EXPECT_EQ(ProductNameProblem("Alfa\tBéta").has_value(), true);
    for (char c : std::string("\\/:*?\"<>|[]"))
        EXPECT_TRUE(ProductNameProblem(std::string("Al") + c + "fa").has_value()) << c;
    EXPECT_EQ(ProductNameProblem("'Alfa").has_value(), true);
}

TEST(ProductRegister, PurchaseButtonAfterARegistrationAndTheLongestNameThatFitsASheetName) {
    Register t;
    ReplayRun r = t.run("menu Befektetés/Részvény/Alapadatok\nchoose Combo1 Más részvény\n"
                        "type Text1 Alfa\ntype Text2 A1\nclick Command1\nclick Command3\n"
                        "click Command3\nmenu Befektetés/Kilépés\n");
    EXPECT_EQ(r.output, "");
    EXPECT_TRUE(fs::exists(t.product("Alfa")));
    // The longest name that fits a sheet name is accepted.
    std::string name;
    for (int i = 0; i < 29; ++i) name += "Á";
    t.run(RegisterScript(name, "HU1"));
    ASSERT_TRUE(fs::exists(t.product(name)));
    EXPECT_NE(ReadWorkbookFile(t.product(name))->findSheet(name + "01"), nullptr);
}

} // namespace
} // namespace vandorix
