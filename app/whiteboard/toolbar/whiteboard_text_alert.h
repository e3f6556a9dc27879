#pragma once

#include <QDialog>

#include <functional>

class QHBoxLayout;
class QLineEdit;
class QPushButton;

namespace zentrel {

// A small alert with a title, one text field and a row of buttons, each of which closes it: the
// toolbar's "Rename Board" and the property panel's "Element Link". It floats above the
// overlay panels.
class WhiteboardTextAlert : public QDialog
{
    Q_OBJECT

public:
    enum class Role {
        plain,
        // Also answers Escape and the window's close button.
        cancel,
        destructive,
        // Also answers Return.
        confirm,
    };

    WhiteboardTextAlert(const QString &title, const QString &placeholder, QWidget *parent);

    QLineEdit *field() const { return m_field; }

    // Buttons line up in the order they are added; a click closes the alert, then runs `action`.
    QPushButton *addAction(const QString &text, Role role, std::function<void()> action);

    // Shows the alert with `text` in the field.
    void present(const QString &text);

private:
    QLineEdit *m_field = nullptr;
    QHBoxLayout *m_buttons = nullptr;
};

} // namespace zentrel
