#pragma once

#include <QWidget>

#include <map>
#include <optional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QFrame;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;

namespace vandorix {

class AppWindows;
class Application;
class Form;
struct Control;

// Shows any Form: its caption as the window title, its controls in order (a label and the
// field after it on one row, option buttons that follow each other in one frame, check boxes
// on rows of their own, the buttons in a row at the bottom). Hidden controls give their room
// to the rows below; the window opens at the size all its controls need. What the user does
// goes back to the application as its user actions; what the window shows comes from the
// model at each refresh.
class FormWidget : public QWidget {
    Q_OBJECT
public:
    FormWidget(AppWindows &windows, Form &form, QWidget *parent = nullptr);

    Form &form() { return form_; }
    // The widget that shows the control of that name, or nullptr.
    QWidget *controlWidget(const std::string &name) const;
    // The status line at the bottom of a window of its own; nullptr inside a main window,
    // which has a status bar.
    QLabel *statusLine() const { return status_; }

    // Shows the model's texts, lists, checks, enabled and visible states and the caption.
    void refresh();
    // Gives the keyboard focus to the control's widget, telling the model nothing.
    void focusControl(const std::string &name);
    // The focus of a window being opened: the model's, else the first control that takes it.
    void focusOnOpen();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void build();
    // Adds the run of option buttons from `i` in one frame on `row`; returns the last one's index.
    std::size_t addOptionGroup(const std::vector<Control> &controls, std::size_t i, int &row);
    // Adds control `i` (with the field after it, for the label that names it); returns the
    // index of the last control added.
    std::size_t addControl(const std::vector<Control> &controls, std::size_t i, int &row, int &labelWidth);
    // The fields above the button row and the status line of a window of its own.
    void arrange();
    QWidget *makeWidget(const Control &control, QWidget *parent);
    QLineEdit *makeLineEdit(const Control &control);
    QComboBox *makeComboBox(const Control &control);
    // Names the button after its control and passes its clicks to the control's handler.
    QWidget *clickThrough(QAbstractButton *button, const std::string &name);
    // A path field with a "Tallózás…" button beside it that fills it from a file dialog.
    QWidget *withBrowseButton(const Control &control, QWidget *field);
    void refreshControl(const Control &control, QWidget *widget);
    // What the user has to do before a disabled control can be used.
    QString disabledHint(const Control &control) const;

    // The text a field shows now, as the user left it.
    std::string fieldText(const std::string &name) const;
    // True when the visible form is this one and the control can be acted on.
    bool usable(const std::string &name, bool forWriting) const;
    void enterPressed(const std::string &name);
    void focusLeft(const std::string &name, Qt::FocusReason reason);

    AppWindows &windows_;
    Application &app_;
    Form &form_;
    QGridLayout *fields_ = nullptr;
    QHBoxLayout *buttons_ = nullptr;
    QLabel *status_ = nullptr;
    std::map<std::string, QWidget *, std::less<>> widgets_;
    std::map<QObject *, std::string> fieldNames_;
    // The frames around runs of option buttons, hidden when none of their options is shown.
    std::vector<QFrame *> optionGroups_;
    // The edit text of a combo box being committed by Enter or focus loss: Qt raises an
    // activation when a typed text matches a list entry, which is no choice of the user.
    std::optional<std::string> committedComboText_;
};

} // namespace vandorix
