#include "app/Form.h"

#include "app/Application.h"

namespace vandorix {

Form::Form(Application &app, std::string name, std::string caption)
    : app_(app), name_(std::move(name)), caption_(std::move(caption)) {}

AppState &Form::state() { return app_.state(); }
Dialogs &Form::dialogs() { return app_.dialogs(); }

Control *Form::findControl(std::string_view name) {
    for (Control &c : controls_)
        if (c.name == name) return &c;
    return nullptr;
}

Control &Form::control(std::string_view name) {
    if (Control *c = findControl(name)) return *c;
    throw ActionError("Nincs ilyen vezérlő a(z) " + name_ + " ablakban: " + std::string(name));
}

const Control &Form::control(std::string_view name) const {
    return const_cast<Form *>(this)->control(name);
}

void Form::SetFocus(std::string_view control) { focus_ = this->control(control).name; }

Control &Form::add(Control control) {
    if (findControl(control.name))
        throw std::logic_error("Duplicate control " + control.name + " in " + name_);
    controls_.push_back(std::move(control));
    return controls_.back();
}

namespace {

Control makeControl(std::string name, ControlKind kind, std::string caption = {}) {
    Control c;
    c.name = std::move(name);
    c.kind = kind;
    c.caption = std::move(caption);
    return c;
}

} // namespace

Control &Form::addLabel(std::string name, std::string caption) {
    return add(makeControl(std::move(name), ControlKind::Label, std::move(caption)));
}

Control &Form::addTextBox(std::string name) {
    return add(makeControl(std::move(name), ControlKind::TextBox));
}

Control &Form::addComboBox(std::string name) {
    return add(makeControl(std::move(name), ControlKind::ComboBox));
}

Control &Form::addButton(std::string name, std::string caption) {
    return add(makeControl(std::move(name), ControlKind::Button, std::move(caption)));
}

Control &Form::addOption(std::string name, std::string caption, ControlKind kind) {
    return add(makeControl(std::move(name), kind, std::move(caption)));
}

void Form::addCommandButtons(std::initializer_list<const char *> captions) {
    int number = 0;
    for (const char *caption : captions) addButton("Command" + std::to_string(++number), caption);
}

void Form::onKeyPress(std::string name, std::function<void(int &)> handler) {
    handlers_[std::move(name)].keyPress = std::move(handler);
}

void Form::onClick(std::string name, std::function<void()> handler) {
    handlers_[std::move(name)].click = std::move(handler);
}

void Form::onLostFocus(std::string name, std::function<void()> handler) {
    handlers_[std::move(name)].lostFocus = std::move(handler);
}

bool Form::handlesKeyPress(std::string_view control) const {
    auto it = handlers_.find(control);
    return it != handlers_.end() && it->second.keyPress;
}

void Form::raiseKeyPress(std::string_view control, int &key) {
    auto it = handlers_.find(control);
    if (it != handlers_.end() && it->second.keyPress) it->second.keyPress(key);
}

void Form::raiseClick(std::string_view control) {
    auto it = handlers_.find(control);
    if (it != handlers_.end() && it->second.click) it->second.click();
}

void Form::raiseLostFocus(std::string_view control) {
    auto it = handlers_.find(control);
    if (it != handlers_.end() && it->second.lostFocus) it->second.lostFocus();
}

const MenuItem &Form::menuItem(const std::vector<std::string> &captions) const {
    const std::vector<MenuItem> *level = &menu_;
    const MenuItem *found = nullptr;
    std::string path;
    for (const std::string &caption : captions) {
        path += (path.empty() ? "" : "/") + caption;
        found = nullptr;
        for (const MenuItem &item : *level)
            if (!item.separator && item.caption == caption) found = &item;
        if (!found) throw ActionError("Nincs ilyen menüpont: " + path);
        if (!found->visible || !found->enabled)
            throw ActionError("A menüpont nem választható: " + path);
        level = &found->items;
    }
    if (!found) throw ActionError("Üres menüút");
    return *found;
}

void Form::raiseMenuClick(const std::vector<std::string> &captions) {
    const MenuItem &item = menuItem(captions);
    if (item.onClick) item.onClick();
}

void Form::enableControls(std::initializer_list<const char *> names, bool enabled) {
    for (const char *name : names) control(name).enabled = enabled;
}

void Form::clearEntryFields() {
    for (Control &c : controls_)
        if (c.kind == ControlKind::TextBox || c.kind == ControlKind::ComboBox) c.clear();
}

} // namespace vandorix
