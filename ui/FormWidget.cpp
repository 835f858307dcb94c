#include "FormWidget.h"

#include "AppWindows.h"
#include "app/Application.h"
#include "app/Form.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vandorix {

namespace {

QString qs(const std::string &text) { return QString::fromStdString(text); }

// Wide enough for a date, an amount or a product name.
constexpr int kFieldMinimumWidth = 260;
constexpr int kButtonRowGap = 12;

bool isField(ControlKind kind) { return kind == ControlKind::TextBox || kind == ControlKind::ComboBox; }

bool takesFocus(const Control &c) {
    return c.kind != ControlKind::Label && c.enabled && c.visible &&
           !(c.kind == ControlKind::TextBox && c.locked);
}

QStringList itemList(const std::vector<std::string> &items) {
    QStringList list;
    for (const std::string &item : items) list << qs(item);
    return list;
}

// True when `focus` is `widget` or lies inside it (an editable combo box's line edit).
bool holdsFocus(const QWidget *widget, const QWidget *focus) {
    return focus && (focus == widget || widget->isAncestorOf(focus));
}

} // namespace

FormWidget::FormWidget(AppWindows &windows, Form &form, QWidget *parent)
    : QWidget(parent), windows_(windows), app_(windows.app()), form_(form) {
    setObjectName(qs(form.name()));
    build();
    refresh();
}

void FormWidget::build() {
    fields_ = new QGridLayout;
    fields_->setColumnStretch(1, 1);
    fields_->setColumnMinimumWidth(1, kFieldMinimumWidth);
    buttons_ = new QHBoxLayout;
    buttons_->addStretch(1);

    const std::vector<Control> &controls = form_.controls();
    int row = 0;
    int labelWidth = 0;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind == ControlKind::OptionButton) i = addOptionGroup(controls, i, row);
        else i = addControl(controls, i, row, labelWidth);
    }
    // The fields keep their place when names are shown or hidden beside them.
    fields_->setColumnMinimumWidth(0, labelWidth);
    arrange();
}

std::size_t FormWidget::addOptionGroup(const std::vector<Control> &controls, std::size_t i, int &row) {
    // Options that follow each other are one choice: they share a frame.
    auto *group = new QFrame(this);
    group->setFrameShape(QFrame::StyledPanel);
    auto *column = new QVBoxLayout(group);
    for (; i < controls.size() && controls[i].kind == ControlKind::OptionButton; ++i) {
        QWidget *option = makeWidget(controls[i], group);
        widgets_.emplace(controls[i].name, option);
        column->addWidget(option);
    }
    optionGroups_.push_back(group);
    fields_->addWidget(group, row++, 0, 1, 2);
    return i - 1;
}

std::size_t FormWidget::addControl(const std::vector<Control> &controls, std::size_t i, int &row,
                                   int &labelWidth) {
    const Control &c = controls[i];
    QWidget *widget = makeWidget(c, this);
    widgets_.emplace(c.name, widget);
    if (c.kind == ControlKind::Button) {
        buttons_->addWidget(widget);
    } else if (c.kind == ControlKind::Label && i + 1 < controls.size() && isField(controls[i + 1].kind)) {
        // The label names the field that follows it.
        const Control &field = controls[++i];
        QWidget *fieldWidget = makeWidget(field, this);
        widgets_.emplace(field.name, fieldWidget);
        auto *label = static_cast<QLabel *>(widget);
        label->setBuddy(fieldWidget);
        // A field's name stays on one line beside it; only free-standing texts wrap.
        label->setWordWrap(false);
        labelWidth = std::max(labelWidth, label->sizeHint().width());
        fields_->addWidget(widget, row, 0);
        fields_->addWidget(field.filePath ? withBrowseButton(field, fieldWidget) : fieldWidget, row++, 1);
    } else if (isField(c.kind)) {
        fields_->addWidget(widget, row++, 1);
    } else {
        fields_->addWidget(widget, row++, 0, 1, 2);
    }
    return i;
}

void FormWidget::arrange() {
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields_);
    layout->addStretch(1);
    // The buttons stand apart from the fields, also when the window is at its smallest.
    layout->addSpacing(kButtonRowGap);
    layout->addLayout(buttons_);
    if (!parentWidget()) {
        // A window of its own confirms there what its commands saved.
        status_ = new QLabel(this);
        status_->setObjectName(QStringLiteral("statusLine"));
        status_->setTextFormat(Qt::PlainText);
        status_->setWordWrap(true);
        layout->addWidget(status_);
    }
    // The window is never smaller than its controls need, so no caption is cut off.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    // It opens at the size its controls need when all of them are shown (the widgets carry
    // their first captions and none is hidden yet): controls that the window shows later fit
    // in without the window changing its size under the user.
    resize(layout->sizeHint());
}

QWidget *FormWidget::controlWidget(const std::string &name) const {
    auto it = widgets_.find(name);
    return it == widgets_.end() ? nullptr : it->second;
}

void FormWidget::refresh() {
    const QString title = qs(form_.caption());
    if (windowTitle() != title) setWindowTitle(title);
    for (const Control &c : form_.controls())
        if (QWidget *widget = controlWidget(c.name)) refreshControl(c, widget);
    // A field's name goes with its field.
    for (const Control &c : form_.controls())
        if (auto *label = qobject_cast<QLabel *>(controlWidget(c.name)); label && label->buddy())
            if (label->buddy()->isHidden()) label->setHidden(true);
    if (status_) {
        const bool current = !app_.ended() && app_.visibleForm() == &form_;
        const QString text = current ? qs(app_.statusLine()) : QString();
        if (status_->text() != text) status_->setText(text);
    }
    for (QFrame *group : optionGroups_) {
        bool anyShown = false;
        for (QWidget *option : group->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            anyShown = anyShown || !option->isHidden();
        group->setHidden(!anyShown);
    }
}

QString FormWidget::disabledHint(const Control &c) const {
    // The nearest field above the control that the user can fill now is the next step.
    const Control *field = nullptr;
    const Control *fieldLabel = nullptr;
    const Control *previous = nullptr;
    for (const Control &other : form_.controls()) {
        if (&other == &c) break;
        if (isField(other.kind) && other.enabled && other.visible && !other.locked) {
            field = &other;
            fieldLabel = previous && previous->kind == ControlKind::Label ? previous : nullptr;
        }
        previous = &other;
    }
    if (!field) return QStringLiteral("Még nem használható: előbb töltse ki a fenti mezőket.");
    const QString name = fieldLabel ? QStringLiteral("„") + qs(fieldLabel->caption) +
                                          QStringLiteral("” ")
                                    : QString();
    if (field->kind == ControlKind::ComboBox)
        return QStringLiteral("Még nem használható: előbb válasszon a(z) ") + name +
               QStringLiteral("listából.");
    return QStringLiteral("Még nem használható: előbb töltse ki a(z) ") + name +
           QStringLiteral("mezőt, és nyomjon Entert.");
}

void FormWidget::refreshControl(const Control &c, QWidget *widget) {
    widget->setHidden(!c.visible);
    widget->setEnabled(c.enabled);
    if (c.kind != ControlKind::Label) {
        const QString hint = c.enabled ? QString() : disabledHint(c);
        if (widget->toolTip() != hint) widget->setToolTip(hint);
    }
    switch (c.kind) {
    case ControlKind::Label:
        static_cast<QLabel *>(widget)->setText(qs(c.caption));
        break;
    case ControlKind::TextBox: {
        auto *edit = static_cast<QLineEdit *>(widget);
        if (edit->text() != qs(c.text)) edit->setText(qs(c.text));
        edit->setReadOnly(c.locked);
        break;
    }
    case ControlKind::ComboBox: {
        auto *combo = static_cast<QComboBox *>(widget);
        const QStringList items = itemList(c.items);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        if (shown != items) {
            combo->clear();
            combo->addItems(items);
        }
        if (combo->currentIndex() != c.listIndex) combo->setCurrentIndex(c.listIndex);
        if (combo->currentText() != qs(c.text)) combo->setEditText(qs(c.text));
        break;
    }
    case ControlKind::Button:
        static_cast<QPushButton *>(widget)->setText(qs(c.caption));
        break;
    case ControlKind::OptionButton:
    case ControlKind::CheckBox: {
        auto *button = static_cast<QAbstractButton *>(widget);
        button->setText(qs(c.caption));
        button->setChecked(c.checked);
        break;
    }
    }
}

void FormWidget::focusControl(const std::string &name) {
    QWidget *widget = controlWidget(name);
    if (!widget || holdsFocus(widget, QApplication::focusWidget())) return;
    if (widget->isVisibleTo(this) && widget->isEnabled()) widget->setFocus(Qt::OtherFocusReason);
}

void FormWidget::focusOnOpen() {
    if (!form_.focus().empty()) {
        focusControl(form_.focus());
        return;
    }
    for (const Control &c : form_.controls())
        if (takesFocus(c)) {
            focusControl(c.name);
            return;
        }
}

std::string FormWidget::fieldText(const std::string &name) const {
    QWidget *widget = controlWidget(name);
    if (auto *edit = qobject_cast<QLineEdit *>(widget)) return edit->text().toStdString();
    if (auto *combo = qobject_cast<QComboBox *>(widget)) return combo->currentText().toStdString();
    return {};
}

bool FormWidget::usable(const std::string &name, bool forWriting) const {
    if (app_.ended() || app_.visibleForm() != &form_) return false;
    const Control *c = form_.findControl(name);
    return c && c->enabled && c->visible && !(forWriting && c->locked);
}

void FormWidget::enterPressed(const std::string &name) {
    const std::string text = fieldText(name);
    windows_.act(name, [&] {
        if (usable(name, true)) app_.setText(name, text);
        if (usable(name, false)) app_.pressKey(name, kEnterKey);
    });
}

void FormWidget::focusLeft(const std::string &name, Qt::FocusReason reason) {
    // A window or popup taking the focus is not the user leaving the field.
    if (reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason) return;
    if (!usable(name, false)) return;
    const std::string text = fieldText(name);
    const bool changed = text != form_.control(name).text;
    // Tabbing away leaves the field; a click elsewhere is followed by the action it makes,
    // which raises the field's focus loss itself.
    const bool tabbed = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
    if (!changed && !tabbed) return;
    if (qobject_cast<QComboBox *>(controlWidget(name))) committedComboText_ = text;
    windows_.act(tabbed ? std::string() : name, [&] {
        if (changed && usable(name, true)) app_.setText(name, text);
        if (tabbed && usable(name, false)) app_.leave(name);
    });
}

bool FormWidget::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusOut && !windows_.busy()) {
        auto it = fieldNames_.find(watched);
        if (it != fieldNames_.end())
            focusLeft(it->second, static_cast<QFocusEvent *>(event)->reason());
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vandorix
