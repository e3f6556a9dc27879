#pragma once

#include "hotkeys/key_character_source.h"
#include "hotkeys/shortcut_grabber.h"

#include <QObject>

namespace zentrel {

// System-wide key combinations and the current keyboard layout, as the desktop provides them.
class KeyGrabber : public QObject,
                   public hotkeys::ShortcutGrabber,
                   public hotkeys::KeyCharacterSource
{
    Q_OBJECT

public:
    using QObject::QObject;

Q_SIGNALS:
    // One press and one release per stroke, however long the key is held, and the release
    // names the combination that was pressed even when the modifiers were let go first.
    void shortcutPressed(const zentrel::hotkeys::Shortcut &shortcut);
    void shortcutReleased(const zentrel::hotkeys::Shortcut &shortcut);
    // Keys may now sit elsewhere or type other characters; grabs must be taken anew.
    void keymapChanged();
};

} // namespace zentrel
