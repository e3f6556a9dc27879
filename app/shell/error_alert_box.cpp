#include "shell/error_alert_box.h"

#include "common/readable_message_box.h"
#include "shell/window_placement.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>

namespace zentrel {

ErrorAlertBox::ErrorAlertBox(const QString &text)
    : QMessageBox(
        QMessageBox::Warning, QStringLiteral("Zentrel"), QStringLiteral("Zentrel"), QMessageBox::Ok)
{
    // Not modal (a message box is, unless told): some window managers (xfwm4) keep the keyboard
    // in a modal one whatever the user clicks, and a feature run must get its keys with a click
    // while the alert waits. First, as it sets the window's flags afresh.
    setWindowModality(Qt::NonModal);
    // On the active screen before the text is measured against that screen.
    if (QScreen *screen = activeScreen()) {
        setScreen(screen);
    }
    setInformativeText(text);
    setReadableWidth(*this);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    // The button has the keyboard focus, so it gets the keys first.
    for (QAbstractButton *button : buttons()) {
        button->installEventFilter(this);
    }
}

void ErrorAlertBox::showEvent(QShowEvent *event)
{
    // Sized by now, and not yet mapped: placed before the window manager places it, by the window
    // of ours it takes for its parent or in a corner.
    QMessageBox::showEvent(event);
    if (!event->spontaneous()) {
        fitOnActiveScreen(*this);
    }
}

void ErrorAlertBox::keyPressEvent(QKeyEvent *event)
{
    if (!takeKey(*event)) {
        QMessageBox::keyPressEvent(event);
    }
}

void ErrorAlertBox::keyReleaseEvent(QKeyEvent *event)
{
    if (!takeKey(*event)) {
        QMessageBox::keyReleaseEvent(event);
    }
}

bool ErrorAlertBox::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        return takeKey(*static_cast<QKeyEvent *>(event));
    }
    return QMessageBox::eventFilter(watched, event);
}

// Return, Enter and Escape answer it as they are released, and only after being pressed in it:
// a key held down before it opened, still auto-repeating, does not answer it unread, and the
// alert is still open for the release of the key that does, so that release is not lost with
// its window and the key is never left held down.
bool ErrorAlertBox::takeKey(const QKeyEvent &event)
{
    const int key = event.key();
    if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape) {
        return false;
    }
    if (event.isAutoRepeat()) {
        return true;
    }
    if (event.type() == QEvent::KeyPress) {
        m_keysDown.insert(key);
    } else if (m_keysDown.remove(key)) {
        button(QMessageBox::Ok)->click();
    }
    return true;
}

void showAlertBeforeQuitting(const QString &text,
                             std::optional<std::chrono::milliseconds> timeLimit)
{
    ErrorAlertBox alert(text);
    // It lives on this stack; exec would delete it on closing.
    alert.setAttribute(Qt::WA_DeleteOnClose, false);
    // Answered from the keyboard at once, also where no window manager hands it the focus.
    QTimer::singleShot(0, &alert, [&alert] {
        alert.raise();
        alert.activateWindow();
    });
    if (timeLimit) {
        QTimer::singleShot(*timeLimit, &alert, &QDialog::reject);
    }
    alert.exec();
}

} // namespace zentrel
