// The Qt widgets of a window's controls, each wired back to the application's user actions.
#include "FormWidget.h"

#include "AppWindows.h"
#include "app/Application.h"
#include "app/Form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace vandorix {

namespace {

QString qs(const std::string &text) { return QString::fromStdString(text); }

} // namespace

QWidget *FormWidget::withBrowseButton(const Control &c, QWidget *field) {
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(field, 1);
    auto *browse = new QPushButton(QStringLiteral("Tallózás…"), row);
    browse->setObjectName(qs(c.name + "Browse"));
    browse->setAutoDefault(false);
    layout->addWidget(browse);
    const std::string name = c.name;
    connect(browse, &QPushButton::clicked, this, [this, name, field] {
        if (!usable(name, true)) return;
        const QString chosen = QFileDialog::getOpenFileName(
            this, QStringLiteral("Fájl megnyitása"), QString(),
            QStringLiteral("Árfolyamfájlok (*.csv *.txt *.xlsx);;Minden fájl (*)"));
        if (chosen.isEmpty()) return;
        // The chosen file is read as if its path had been typed and Enter pressed.
        static_cast<QLineEdit *>(field)->setText(chosen);
        enterPressed(name);
    });
    return row;
}

QWidget *FormWidget::makeWidget(const Control &c, QWidget *parent) {
    const std::string name = c.name;
    switch (c.kind) {
    case ControlKind::Label: {
        auto *label = new QLabel(parent);
        label->setTextFormat(Qt::PlainText);
        label->setText(qs(c.caption));
        label->setWordWrap(true);
        label->setObjectName(qs(name));
        return label;
    }
    case ControlKind::TextBox: return makeLineEdit(c);
    case ControlKind::ComboBox: return makeComboBox(c);
    case ControlKind::Button: {
        auto *button = new QPushButton(qs(c.caption), parent);
        // Enter presses the focused button, as the windows lead the user from the last field
        // to their command button. The window is no dialog, so no button is pressed by an
        // Enter in a field.
        button->setAutoDefault(true);
        return clickThrough(button, name);
    }
    case ControlKind::OptionButton: {
        auto *option = new QRadioButton(qs(c.caption), parent);
        // The model decides which option is checked.
        option->setAutoExclusive(false);
        return clickThrough(option, name);
    }
    case ControlKind::CheckBox: return clickThrough(new QCheckBox(qs(c.caption), parent), name);
    }
    return new QWidget(parent);
}

QWidget *FormWidget::clickThrough(QAbstractButton *button, const std::string &name) {
    button->setObjectName(qs(name));
    connect(button, &QAbstractButton::clicked, this,
            [this, name] { windows_.act(name, [&] { app_.click(name); }); });
    return button;
}

QLineEdit *FormWidget::makeLineEdit(const Control &c) {
    const std::string name = c.name;
    auto *edit = new QLineEdit(this);
    edit->setObjectName(qs(name));
    fieldNames_.emplace(edit, name);
    edit->installEventFilter(this);
    connect(edit, &QLineEdit::returnPressed, this, [this, name] { enterPressed(name); });
    return edit;
}

QComboBox *FormWidget::makeComboBox(const Control &c) {
    const std::string name = c.name;
    auto *combo = new QComboBox(this);
    combo->setObjectName(qs(name));
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    fieldNames_.emplace(combo, name);
    // The combo box has the focus and hands its focus events to its line edit, so the
    // filter sits on the combo box.
    combo->installEventFilter(this);
    QLineEdit *edit = combo->lineEdit();
    connect(edit, &QLineEdit::returnPressed, this, [this, name, edit] {
        committedComboText_ = edit->text().toStdString();
        enterPressed(name);
    });
    // Connected after the combo box's own handler, which may raise an activation.
    connect(edit, &QLineEdit::editingFinished, this, [this] { committedComboText_.reset(); });
    connect(combo, &QComboBox::activated, this, [this, name, combo](int index) {
        if (index < 0 || windows_.busy()) return;
        const std::string item = combo->itemText(index).toStdString();
        const bool typed = committedComboText_ == item;
        committedComboText_.reset();
        if (typed) return;
        windows_.act(name, [&] { app_.choose(name, item); });
    });
    return combo;
}

} // namespace vandorix
