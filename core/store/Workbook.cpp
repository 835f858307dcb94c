#include "store/Workbook.h"

#include "store/HostError.h"

#include <algorithm>

namespace vandorix {

Workbook::Workbook(std::string path) : path_(std::move(path)) {}

std::string Workbook::fileName() const {
    auto slash = path_.find_last_of('/');
    return slash == std::string::npos ? path_ : path_.substr(slash + 1);
}

Sheet &Workbook::sheetAt(int index) {
    if (index < 1 || index > sheetCount())
        throw SheetMissingError(fileName(), "#" + std::to_string(index));
    return *sheets_[index - 1];
}

const Sheet &Workbook::sheetAt(int index) const {
    return const_cast<Workbook *>(this)->sheetAt(index);
}

Sheet *Workbook::findSheet(const std::string &name) {
    for (auto &s : sheets_)
        if (s->name() == name) return s.get();
    return nullptr;
}

const Sheet *Workbook::findSheet(const std::string &name) const {
    return const_cast<Workbook *>(this)->findSheet(name);
}

Sheet &Workbook::sheet(const std::string &name) {
    if (Sheet *s = findSheet(name)) return *s;
    throw SheetMissingError(fileName(), name);
}

const Sheet &Workbook::sheet(const std::string &name) const {
    return const_cast<Workbook *>(this)->sheet(name);
}

int Workbook::indexOf(const Sheet &sheet) const {
    for (std::size_t i = 0; i < sheets_.size(); ++i)
        if (sheets_[i].get() == &sheet) return static_cast<int>(i) + 1;
    return 0;
}

void Workbook::checkStructureWritable() const {
    if (structureProtected_) throw ProtectedError(fileName() + " (munkafüzet szerkezete)");
}

void Workbook::checkNameFree(const std::string &name) const {
    if (name.empty()) throw HostError("Üres munkalapnév: " + fileName());
    if (findSheet(name)) throw HostError("Ilyen nevű munkalap már van: " + name + " (" + fileName() + ")");
}

Sheet &Workbook::addSheet(const std::string &name, const Sheet *before, SheetKind kind) {
    checkStructureWritable();
    checkNameFree(name);
    auto sheet = std::make_unique<Sheet>(*this, name, kind);
    Sheet &ref = *sheet;
    int at = before ? indexOf(*before) : 0;
    if (at >= 1) {
        sheets_.insert(sheets_.begin() + (at - 1), std::move(sheet));
    } else {
        sheets_.push_back(std::move(sheet));
    }
    active_ = indexOf(ref) - 1;
    markChanged();
    return ref;
}

void Workbook::deleteSheet(const std::string &name) {
    checkStructureWritable();
    Sheet &s = sheet(name);
    if (sheetCount() == 1) throw HostError("Az utolsó munkalap nem törölhető: " + name);
    int idx = indexOf(s) - 1;
    sheets_.erase(sheets_.begin() + idx);
    if (active_ >= sheetCount()) active_ = sheetCount() - 1;
    if (active_ > idx) --active_;
    if (!sheets_[active_]->visible()) {
        for (int i = 0; i < sheetCount(); ++i)
            if (sheets_[i]->visible()) { active_ = i; break; }
    }
    markChanged();
}

void Workbook::moveSheet(const std::string &name, const std::string &before) {
    checkStructureWritable();
    Sheet &s = sheet(name);
    Sheet &b = sheet(before);
    if (&s == &b) return;
    Sheet *active = sheets_[active_].get();
    int from = indexOf(s) - 1;
    auto owned = std::move(sheets_[from]);
    sheets_.erase(sheets_.begin() + from);
    int to = indexOf(b) - 1;
    sheets_.insert(sheets_.begin() + to, std::move(owned));
    active_ = indexOf(*active) - 1;
    markChanged();
}

void Workbook::renameSheet(const std::string &from, const std::string &to) {
    checkStructureWritable();
    Sheet &s = sheet(from);
    if (from == to) return;
    checkNameFree(to);
    s.rename(to);
    markChanged();
}

Sheet &Workbook::activeSheet() {
    if (sheets_.empty()) throw SheetMissingError(fileName(), "(nincs munkalap)");
    return *sheets_[active_];
}

void Workbook::activate(Sheet &sheet) {
    int idx = indexOf(sheet);
    if (idx == 0) throw SheetMissingError(fileName(), sheet.name());
    active_ = idx - 1;
}

void Workbook::protect(const std::string &password) {
    if (structureProtected_) return;
    structureProtected_ = true;
    structureHash_ = password.empty() ? 0 : passwordHash(password);
    markChanged();
}

void Workbook::unprotect(const std::string &password) {
    if (!structureProtected_) return;
    std::uint16_t given = password.empty() ? 0 : passwordHash(password);
    if (given != structureHash_) throw WrongPasswordError(fileName() + " (munkafüzet)");
    structureProtected_ = false;
    markChanged();
}

void Workbook::setStoredProtection(bool isProtected, std::uint16_t hash) {
    structureProtected_ = isProtected;
    structureHash_ = isProtected ? hash : 0;
}

bool Workbook::sameContent(const Workbook &o) const {
    if (sheetCount() != o.sheetCount() || structureProtected_ != o.structureProtected_ ||
        structureHash_ != o.structureHash_)
        return false;
    for (int i = 0; i < sheetCount(); ++i)
        if (!sheets_[i]->sameContent(*o.sheets_[i])) return false;
    return true;
}

} // namespace vandorix
