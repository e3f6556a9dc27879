#pragma once

#include "platform/sound_player.h"

#include <QString>
#include <QStringList>

namespace zentrel {

// Records what was asked of it; plays a loop only while `canPlay` is true.
class FakeSoundPlayer final : public SoundPlayer
{
public:
    bool startLoop(const QString &soundName) override
    {
        calls << QStringLiteral("start %1").arg(soundName);
        isLooping = canPlay;
        return canPlay;
    }

    void stopLoop() override
    {
        calls << QStringLiteral("stop");
        isLooping = false;
    }

    void beep() override { ++beeps; }

    bool canPlay = true;
    bool isLooping = false;
    int beeps = 0;
    QStringList calls;
};

} // namespace zentrel
