#include "app/Application.h"
#include "app/Validation.h"
#include "support/ScriptedDialogsFake.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

using testing::ScriptedDialogsFake;

const Date kToday = *Date::fromYmd(2026, 12, 6);

// A window with two fields, as the entry windows have.
class EntryForm : public Form {
public:
    explicit EntryForm(Application &app) : Form(app, "FormT", "Teszt") {
        addTextBox("Text1");
        addTextBox("Text2");
    }
};

struct Fixture {
    ScriptedDialogsFake dialogs;
    Application app{dialogs, StartupEnvironment{}};
    EntryForm form{app};
    Control &field = form.control("Text1");

    void typed(const std::string &text) {
        field.text = text;
        form.SetFocus("Text2"); // the focus was elsewhere before the check
    }
};

TEST(DateField, TodayIsAcceptedTomorrowIsRefusedAsAFutureEntry) {
    Fixture f;
    f.typed("2026. 12. 06.");
    EXPECT_TRUE(CheckDateNotAfterToday(f.dialogs, f.form, f.field, kToday));
    EXPECT_TRUE(f.dialogs.messages().empty());
    EXPECT_EQ(f.field.text, "2026. 12. 06.");

    f.dialogs.answer(MessageAnswer::Ok);
    f.typed("2026-12-07");
    EXPECT_FALSE(CheckDateNotAfterToday(f.dialogs, f.form, f.field, kToday));
    ASSERT_EQ(f.dialogs.messages().size(), 1u);
    const MessageRequest &m = f.dialogs.messages()[0];
    EXPECT_EQ(m.text, "A dátum nagyobb a rendszerdátumnál.\r\nElőre bevitel nem lehetséges");
    EXPECT_EQ(m.title, "Dátum hiba");
    EXPECT_EQ(m.icon, MessageIcon::None);
    EXPECT_EQ(f.field.text, "");
    EXPECT_EQ(f.form.focus(), "Text1");
}

TEST(DateField, EmptyOrNonDateTextIsRefusedWithTheFormatMessage) {
    for (const char *text : {"", "   ", "tegnap", "2026.13.01", "2026.02.29", "26.12.06"}) {
        Fixture f;
        f.dialogs.answer(MessageAnswer::Ok);
        f.typed(text);
        EXPECT_FALSE(CheckDateNotAfterToday(f.dialogs, f.form, f.field, kToday)) << text;
        ASSERT_EQ(f.dialogs.messages().size(), 1u) << text;
        EXPECT_EQ(f.dialogs.messages()[0].text, "Itt csak dátum lehet.");
        EXPECT_EQ(f.dialogs.messages()[0].title, "Felhívás");
        EXPECT_EQ(f.dialogs.messages()[0].icon, MessageIcon::Exclamation);
        EXPECT_EQ(f.field.text, "");
        EXPECT_EQ(f.form.focus(), "Text1");
    }
}

TEST(DateField, FormatOnlyVariantsEmptyOrKeepTheText) {
    Fixture f;
    f.typed("2099.01.01");
    EXPECT_TRUE(CheckDateFormat(f.dialogs, f.form, f.field, DateFieldVariant::EmptyOnReject))
        << "a format-only field has no today limit";

    f.dialogs.answer(MessageAnswer::Ok);
    f.typed("2026.1x.01");
    EXPECT_FALSE(CheckDateFormat(f.dialogs, f.form, f.field, DateFieldVariant::EmptyOnReject));
    EXPECT_EQ(f.dialogs.messages().back().text, "Itt csak dátum lehet.");
    EXPECT_EQ(f.field.text, "");

    f.dialogs.answer(MessageAnswer::Ok);
    f.typed("2026.1x.01");
    EXPECT_FALSE(CheckDateFormat(f.dialogs, f.form, f.field, DateFieldVariant::KeepOnReject));
    EXPECT_EQ(f.dialogs.messages().back().text, "Itt csak dátum lehet, javítson.");
    EXPECT_EQ(f.dialogs.messages().back().title, "Felhívás");
    EXPECT_EQ(f.field.text, "2026.1x.01");
    EXPECT_EQ(f.form.focus(), "Text1");
}

TEST(NumberField, LettersAreTypedFreelyAndRefusedOnlyByTheCheck) {
    Fixture f;
    f.dialogs.answer(MessageAnswer::Ok);
    f.typed("12a");
    EXPECT_FALSE(CheckNumberField(f.dialogs, f.form, f.field));
    EXPECT_EQ(f.dialogs.messages().back().text, "Itt csak számérték lehet.");
    EXPECT_EQ(f.field.text, "");
    EXPECT_EQ(f.form.focus(), "Text1");

    f.dialogs.answer(MessageAnswer::Ok);
    f.typed("");
    EXPECT_FALSE(CheckNumberField(f.dialogs, f.form, f.field));

    f.typed("-1 234,50");
    EXPECT_TRUE(CheckNumberField(f.dialogs, f.form, f.field));
    EXPECT_EQ(f.field.text, "-1 234,50");
    EXPECT_TRUE(f.dialogs.allAnswersTaken());
}

TEST(NumberField, QuantitiesAndCodesOutsideTheirRangeAreRefusedNotWrapped) {
    struct Case {
        const char *text;
        bool quantity;
        bool accepted;
    };
    for (Case c : {Case{"1", true, true}, Case{"32767", true, true}, Case{"32 767", true, true},
                   Case{"32768", true, false}, Case{"0", true, false}, Case{"-5", true, false},
                   Case{"2,5", true, false}, Case{"100000", true, false},
                   Case{"2147483647", false, true}, Case{"2147483648", false, false},
                   Case{"4294967297", false, false}, Case{"0", false, false},
                   Case{"12,0", false, true}}) {
        Fixture f;
        f.typed(c.text);
        if (!c.accepted) f.dialogs.answer(MessageAnswer::Ok);
        bool ok = c.quantity ? CheckQuantityField(f.dialogs, f.form, f.field)
                             : CheckCodeField(f.dialogs, f.form, f.field);
        EXPECT_EQ(ok, c.accepted) << c.text;
        if (!c.accepted) {
            ASSERT_EQ(f.dialogs.messages().size(), 1u) << c.text;
            EXPECT_NE(f.dialogs.messages()[0].text.find(c.quantity ? "32767" : "2147483647"),
                      std::string::npos);
            EXPECT_EQ(f.field.text, "");
            EXPECT_EQ(f.form.focus(), "Text1");
        }
    }
}

TEST(Parsers, WholeNumbersOfQuantitiesAndCodes) {
    EXPECT_EQ(ParseQuantityText("1 000"), 1000);
    EXPECT_EQ(ParseQuantityText("+12"), 12);
    EXPECT_FALSE(ParseQuantityText("12,5"));
    EXPECT_EQ(ParseCodeText("2147483647"), 2147483647);
    EXPECT_FALSE(ParseCodeText("-1"));
    EXPECT_FALSE(ParseCodeText("99999999999999999999"));
}

} // namespace
} // namespace vandorix
