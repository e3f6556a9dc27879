#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace zentrel {

// Mouse and keyboard through xdotool, which uses XTEST: the program sees them as a person at
// the machine. Each call returns once xdotool is done; false when it failed (see lastError()).
class XInput
{
public:
    static constexpr int defaultTimeoutMs = 10000;

    explicit XInput(const QString &display);

    // Clicks closer together than a double-click interval would make a double click, which is
    // not what a test means by clicking twice, so a click waits until that much time has passed.
    bool click(QPoint at);
    // Moves the pointer there, pressing nothing.
    bool moveTo(QPoint at);
    // Left button down at from, a few moves along the straight line, up at to. Motion arrives
    // merged, so a program may see little more than the ends. Spaced out as clicks are.
    bool drag(QPoint from, QPoint to);
    // Keys go wherever the keyboard is focused or grabbed, as typed keys do. Not `key --window`:
    // when a key closes its window, xdotool may send the release by another route, and the key
    // stays held down, auto-repeating into whatever window comes next.
    bool pressKeys(const QStringList &keys);
    // Down until releaseKeys: a held key auto-repeats as a person's does.
    bool holdKeys(const QStringList &keys);
    // Types the text as key strokes into the focused window.
    bool typeText(const QString &text);
    bool releaseKeys(const QStringList &keys);
    bool focus(std::uint32_t window);
    bool raise(std::uint32_t window);
    // Any other xdotool command line, such as wheel clicks or a chain of moves with pauses in
    // it, which takes as long as its pauses add up to.
    bool run(const QStringList &arguments, int timeoutMs = defaultTimeoutMs);

    QString lastError() const { return m_lastError; }

private:
    void waitPastDoubleClick();

    QString m_display;
    QString m_lastError;
    QElapsedTimer m_sinceClick;
};

} // namespace zentrel
