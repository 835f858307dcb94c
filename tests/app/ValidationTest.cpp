#include "app/Application.h"
#include "app/Validation.h"
#include "support/ScriptedDialogsFake.h"

#include <gtest/gtest.h>

namespace vandorix {
namespace {

using testing::ScriptedDialogsFake;

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

} // namespace
} // namespace vandorix
