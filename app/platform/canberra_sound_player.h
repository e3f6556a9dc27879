#pragma once

#include "platform/sound_player.h"

#include <QElapsedTimer>
#include <QObject>

#include <cstdint>
#include <memory>

struct ca_context;

namespace zentrel {

// Theme sounds through libcanberra, looped by playing the sound again each time it ends.
class CanberraSoundPlayer final : public QObject, public SoundPlayer
{
    Q_OBJECT

public:
    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;

    bool startLoop(const QString &soundName) override;
    void stopLoop() override;
    void beep() override;

private:
    struct ContextDeleter
    {
        void operator()(ca_context *context) const;
    };

    bool playOnce();
    void onPlayed(std::uint64_t loop);

    std::unique_ptr<ca_context, ContextDeleter> m_context;
    // Plays that end after the player is gone find this expired.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
    QString m_soundName;
    // Counts loops, so an ending reported for a loop since stopped starts nothing.
    std::uint64_t m_loop = 0;
    bool m_isLooping = false;
    QElapsedTimer m_sinceStart;
};

} // namespace zentrel
