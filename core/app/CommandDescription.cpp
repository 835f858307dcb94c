#include "app/CommandDescription.h"

#include "app/AppState.h"

namespace vandorix {

namespace {

std::string entry(const std::vector<Control> &entries, std::string_view name) {
    for (const Control &c : entries)
        if (c.name == name) return c.text;
    return {};
}

// A typed date in the Hungarian short form; as typed when it is no date.
std::string day(const std::string &typed) {
    auto d = Date::parse(typed);
    return d ? d->toString() : typed;
}

std::string tradeWords(const char *kind, const std::string &product,
                       const std::vector<Control> &entries, const AppState &s) {
    std::string words = kind;
    if (s.EntryMode == EntryMode::Delete) words += " törlése";
    if (s.EntryMode == EntryMode::Modify) words += " módosítása";
    return words + ": " + product + ", " + entry(entries, "Text2") + " db, " +
           day(entry(entries, "Text1"));
}

// The cash windows: kind, amount and day.
const char *cashKind(const Form &window) {
    if (window.name() == "Form6")
        return window.caption() == "Brókerdíj visszatérítés" ? "Brókerdíj visszatérítés"
                                                               : "Befizetés";
    if (window.name() == "Form7") return "Kivét";
    if (window.name() == "Form8") return "Számlavezetési költség";
    if (window.name() == "Form12") return "Osztalék bevétel";
    return nullptr;
}

} // namespace

std::string DescribeCommand(const Form &window, const std::vector<Control> &entries,
                            std::string_view action, const AppState &state) {
    const std::string &name = window.name();
    if (name == "Form3") return tradeWords("Vétel", entry(entries, "Combo1"), entries, state);
    if (name == "Form4") return tradeWords("Eladás", entry(entries, "Combo2"), entries, state);
    if (const char *kind = cashKind(window))
        return std::string(kind) + ": " + entry(entries, "Text2") + " Ft, " +
               day(entry(entries, "Text1"));
    if (name == "Form5")
        return "Napi záró ár: " + entry(entries, "Combo1") + ", " + day(entry(entries, "Text1")) +
               ", " + entry(entries, "Text2");
    if (name == "Form2" && action == "Command1")
        return "Új részvény: " + entry(entries, "Text1") + ", " + entry(entries, "Text2");
    if (name == "Form2" && action == "Command2")
        return "Arhiválás: " + entry(entries, "Combo1");
    if (name == "Form13")
        return "Teljesítés kód csere: " + entry(entries, "Text1") + " -> " +
               entry(entries, "Text2");
    if (name == "Form15") return "Adatsor törlés: " + entry(entries, "Text1");
    return window.caption();
}

} // namespace vandorix
