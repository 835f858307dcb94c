#include "app/Application.h"
#include "app/Validation.h"
#include "support/ScriptedDialogsFake.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

// A window with two fields, as the entry windows have.
struct EntryForm : Form {
    explicit EntryForm(Application &app) : Form(app, "FormT", "Teszt") {
        addTextBox("Text1");
        addTextBox("Text2");
    }
};

TEST(NumberField, QuantitiesAndCodesOutsideTheirRangeAreRefusedNotWrapped) {
    struct Case {
        const char *text;
        bool quantity, accepted;
    };
    for (Case c : {Case{"1", true, true}, {"32767", true, true}, {"32 767", true, true},
                   {"32768", true, false}, {"0", true, false}, {"-5", true, false},
                   {"2,5", true, false}, {"100000", true, false}, {"2147483647", false, true},
                   {"2147483648", false, false}, {"4294967297", false, false},
                   {"0", false, false}, {"12,0", false, true}}) {
        testing::ScriptedDialogsFake dialogs;
        Application app{dialogs, StartupEnvironment{}};
        EntryForm form(app);
        Control &field = form.control("Text1");
        field.text = c.text;
        form.SetFocus("Text2"); // the focus was elsewhere before the check
        if (!c.accepted) dialogs.answer(MessageAnswer::Ok);
        const bool ok = c.quantity ? CheckQuantityField(dialogs, form, field)
                                   : CheckCodeField(dialogs, form, field);
        EXPECT_EQ(ok, c.accepted) << c.text;
        if (c.accepted) continue;
        ASSERT_EQ(dialogs.messages().size(), 1u) << c.text;
        EXPECT_NE(dialogs.messages()[0].text.find(c.quantity ? "32767" : "2147483647"),
                  std::string::npos);
        EXPECT_EQ(field.text, "");
        EXPECT_EQ(form.focus(), "Text1");
    }
}

} // namespace
} // namespace vandorix
