#include "app/CommandDescription.h"

#include "app/AppState.h"
#include "app/ForintText.h"

#include <set>
#include <utility>

namespace vandorix {

namespace {

std::string textOf(const CommandTrace &c, const std::string &control) {
    auto it = c.texts.find(control);
    return it == c.texts.end() ? std::string() : it->second;
}

// A typed date in the Hungarian form the windows show, or as typed when it is no date.
std::string dateOf(const CommandTrace &c, const std::string &control) {
    const std::string typed = textOf(c, control);
    auto d = Date::parse(typed);
    return d ? d->toString() : typed;
}

std::string amountOf(const CommandTrace &c, const std::string &control) {
    const std::string typed = textOf(c, control);
    auto a = Currency::parse(typed);
    return a ? FormatForint(*a) : typed;
}

bool deleting(const CommandTrace &c) {
    return c.controlCaption == "Törlés";
}

// The status line's words.

std::string cashMovement(const CommandTrace &c, const std::string &what) {
    return dateOf(c, "Text1") + " – " + what + ", " + amountOf(c, "Text2") +
           (deleting(c) ? " – törölve" : "");
}

std::string trade(const AppState &s, const char *kind) {
    std::string text = s.TradeDate.toString() + " – " + s.ProductName + ", " +
                       std::to_string(s.TradeQuantity) + " db " + kind;
    if (s.EntryMode == EntryMode::Delete)
        text += " – törölve";
    else if (s.EntryMode == EntryMode::Modify)
        text += " – módosítva";
    return text;
}

std::string describe(const CommandTrace &c, const AppState &s) {
    const std::string &f = c.form;
    if (f == "Form3")
        return trade(s, "vétel");
    if (f == "Form4")
        return trade(s, "eladás");
    if (f == "Form5")
        return dateOf(c, "Text1") + " – " + textOf(c, "Combo1") + ", záró ár " +
               amountOf(c, "Text2");
    if (f == "Form6")
        return cashMovement(c, s.BrokerFeeRefundMode ? "Brókerdíj visszatérítés" : "Kp befizetés");
    if (f == "Form7")
        return cashMovement(c, "Kp kivét");
    if (f == "Form8")
        return cashMovement(c, "Számlavezetési díj");
    if (f == "Form12")
        return cashMovement(c, textOf(c, "Text3") + " osztalék bevétel");
    if (f == "Form2" && !textOf(c, "Text1").empty())
        return textOf(c, "Text1") + (deleting(c) ? " – törölve" : " – részvény nyilvántartva");
    return {};
}

// The buttons that record, delete or change data.
const std::set<std::pair<std::string, std::string>> kRecordingButtons = {
    {"Form2", "Command1"}, {"Form2", "Command2"},  {"Form3", "Command1"},  {"Form3", "Command2"},
    {"Form4", "Command1"}, {"Form4", "Command2"},  {"Form5", "Command1"},  {"Form6", "Command1"},
    {"Form6", "Command2"}, {"Form7", "Command1"},  {"Form7", "Command2"},  {"Form8", "Command1"},
    {"Form8", "Command2"}, {"Form12", "Command1"}, {"Form12", "Command2"}, {"Form13", "Command1"},
    {"Form15", "Command1"}};

// The undo list's words.

std::string tradeWords(const char *kind, const std::string &product, const CommandTrace &c,
                       const AppState &s) {
    std::string words = kind;
    if (s.EntryMode == EntryMode::Delete) words += " törlése";
    if (s.EntryMode == EntryMode::Modify) words += " módosítása";
    return words + ": " + product + ", " + textOf(c, "Text2") + " db, " +
           dateOf(c, "Text1");
}

// The cash windows: kind, amount and day.
const char *cashKind(const std::string &form, const std::string &caption) {
    if (form == "Form6")
        return caption == "Brókerdíj visszatérítés" ? "Brókerdíj visszatérítés" : "Befizetés";
    if (form == "Form7") return "Kivét";
    if (form == "Form8") return "Számlavezetési költség";
    if (form == "Form12") return "Osztalék bevétel";
    return nullptr;
}

} // namespace

std::string SavedNotice(const CommandTrace &command, const AppState &state) {
    const std::string what = describe(command, state);
    return what.empty() ? std::string("Elmentve.") : "Elmentve: " + what;
}

std::string NothingSavedNotice(const CommandTrace &command) {
    if (!kRecordingButtons.count({command.form, command.control}))
        return {};
    return "Nem történt mentés.";
}

std::string DescribeCommand(const CommandTrace &c, const std::string &caption,
                            const AppState &state) {
    const std::string &name = c.form;
    if (name == "Form3") return tradeWords("Vétel", textOf(c, "Combo1"), c, state);
    if (name == "Form4") return tradeWords("Eladás", textOf(c, "Combo2"), c, state);
    if (const char *kind = cashKind(name, caption))
        return std::string(kind) + ": " + textOf(c, "Text2") + " Ft, " + dateOf(c, "Text1");
    if (name == "Form5")
        return "Napi záró ár: " + textOf(c, "Combo1") + ", " + dateOf(c, "Text1") + ", " +
               textOf(c, "Text2");
    if (name == "Form2" && c.action == "Command1")
        return "Új részvény: " + textOf(c, "Text1") + ", " + textOf(c, "Text2");
    if (name == "Form2" && c.action == "Command2")
        return "Arhiválás: " + textOf(c, "Combo1");
    if (name == "Form13")
        return "Teljesítés kód csere: " + textOf(c, "Text1") + " -> " + textOf(c, "Text2");
    if (name == "Form15") return "Adatsor törlés: " + textOf(c, "Text1");
    return caption;
}

} // namespace vandorix
