#pragma once

#include "common/signal.h"
#include "hotkeys/hotkey_name.h"
#include "hotkeys/shortcut_recorder_rules.h"

#include <QLineEdit>
#include <QPointer>

#include <functional>
#include <optional>
#include <vector>

class QMessageBox;

namespace zentrel::hotkeys {
class HotkeyRegistry;
class KeyCharacterSource;
class ShortcutGrabber;
} // namespace zentrel::hotkeys

namespace zentrel {

class SoundPlayer;

// The box in which the user gives one named hot key a new combination: it shows the stored one,
// records while it has the focus (empty then, asking for a chord, and holding the keyboard, so
// no hot key fires meanwhile), and stores the next acceptable chord. Delete clears, Escape
// cancels, the clear button clears. A key alone (other than a function key) is refused, with a
// reason too long for the box: whoever places the box shows it (see refusalChanged).
class ShortcutRecorder : public QLineEdit
{
    Q_OBJECT

public:
    struct Services
    {
        hotkeys::HotkeyRegistry &hotkeys;
        const hotkeys::KeyCharacterSource &layout;
        // For the trial grab that finds combinations other programs hold.
        hotkeys::ShortcutGrabber &grabber;
        // The combinations the program's hot keys use, for the clash warning.
        std::function<std::vector<hotkeys::NamedShortcut>()> takenShortcuts;
        // The beep for a refused chord.
        SoundPlayer &sounds;
    };

    ShortcutRecorder(Services services, hotkeys::Name name, QWidget *parent = nullptr);
    ~ShortcutRecorder() override;

    const hotkeys::Name &shortcutName() const { return m_name; }

    void setShortcutName(const hotkeys::Name &name);

    bool isRecording() const { return m_isRecording; }

    // Why the last chord was refused, while the box still records after it; empty otherwise.
    const QString &refusal() const { return m_refusal; }

    // The clash warning while it is open.
    QMessageBox *clashAlert() const;

    QSize sizeHint() const override;

Q_SIGNALS:
    // After the user stored or cleared a combination.
    void shortcutChanged(const std::optional<zentrel::hotkeys::Shortcut> &shortcut);
    void refusalChanged(const QString &refusal);

protected:
    bool event(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void startRecording();
    void endRecording();
    void handleKeyPress(const QKeyEvent &event);
    void askForModifier(const hotkeys::Shortcut &shortcut);
    void setRefusal(const QString &refusal, const QString &explanation);
    void showPrompt(const QString &text);
    void store(const hotkeys::Shortcut &shortcut);
    void clearShortcut();
    void warn(const QString &text,
              const QString &informative,
              std::optional<hotkeys::Shortcut> storable);
    void showStoredShortcut();

    Services m_services;
    hotkeys::Name m_name;
    bool m_isRecording = false;
    bool m_resumesAfterWarning = false;
    QString m_refusal;
    QPointer<QMessageBox> m_alert;
    ScopedConnection m_shortcutConnection;
    ScopedConnection m_keymapConnection;
};

} // namespace zentrel
