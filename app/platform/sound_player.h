#pragma once

#include <QString>

namespace zentrel {

// Event sounds of the desktop's sound theme, and the plain beep where none can play.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;

    // Plays the theme's sound of that name again and again until stopLoop; false when it cannot
    // be played at all.
    virtual bool startLoop(const QString &soundName) = 0;
    virtual void stopLoop() = 0;
    virtual void beep() = 0;
};

} // namespace zentrel
