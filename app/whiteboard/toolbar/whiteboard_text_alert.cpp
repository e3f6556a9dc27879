#include "whiteboard/toolbar/whiteboard_text_alert.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentrel {

namespace {

constexpr int fieldWidth = 260;

} // namespace

WhiteboardTextAlert::WhiteboardTextAlert(const QString &title,
                                         const QString &placeholder,
                                         QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(title);
    setWindowModality(Qt::ApplicationModal);
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(title, this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);
    m_field = new QLineEdit(this);
    m_field->setPlaceholderText(placeholder);
    m_field->setMinimumWidth(fieldWidth);
    layout->addWidget(m_field);
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch(1);
    layout->addLayout(m_buttons);
}

QPushButton *
WhiteboardTextAlert::addAction(const QString &text, Role role, std::function<void()> action)
{
    auto *button = new QPushButton(text, this);
    button->setAutoDefault(false);
    if (role == Role::confirm) {
        button->setDefault(true);
    }
    if (role == Role::destructive) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::ButtonText, QColor(0xFF, 0x3B, 0x30));
        button->setPalette(palette);
    }
    if (role == Role::cancel) {
        // Escape and the close button reject the dialog: the same as this button.
        connect(this, &QDialog::rejected, this, [action] { action(); });
        connect(button, &QPushButton::clicked, this, &QDialog::reject);
    } else {
        connect(button, &QPushButton::clicked, this, [this, action = std::move(action)] {
            accept();
            action();
        });
    }
    m_buttons->addWidget(button);
    return button;
}

void WhiteboardTextAlert::present(const QString &text)
{
    m_field->setText(text);
    m_field->selectAll();
    m_field->setFocus();
    show();
    raise();
    activateWindow();
}

} // namespace zentrel
