#include "platform/canberra_sound_player.h"

#include <QApplication>
#include <QTimer>

#include <canberra.h>

#include <algorithm>
#include <chrono>

namespace zentrel {
namespace {

// A theme sound that ends at once (a sound server that plays nothing) is not replayed faster
// than this, so the loop never spins.
constexpr std::chrono::milliseconds shortestRepeat{1000};
constexpr std::uint32_t loopSoundId = 1;

// Handed to libcanberra with each play; its callback runs on a thread of libcanberra's own.
struct PlayTicket
{
    std::weak_ptr<int> alive;
    CanberraSoundPlayer *player;
    std::uint64_t loop;
};

} // namespace

void CanberraSoundPlayer::ContextDeleter::operator()(ca_context *context) const
{
    ca_context_destroy(context);
}

CanberraSoundPlayer::CanberraSoundPlayer() = default;

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    stopLoop();
}

bool CanberraSoundPlayer::startLoop(const QString &soundName)
{
    stopLoop();
    if (!m_context) {
        ca_context *context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS) {
            return false;
        }
        m_context.reset(context);
        ca_context_change_props(m_context.get(), CA_PROP_APPLICATION_NAME, "Zentrel", nullptr);
    }
    m_soundName = soundName;
    m_isLooping = true;
    if (!playOnce()) {
        m_isLooping = false;
        return false;
    }
    return true;
}

void CanberraSoundPlayer::stopLoop()
{
    ++m_loop;
    if (m_isLooping && m_context) {
        ca_context_cancel(m_context.get(), loopSoundId);
    }
    m_isLooping = false;
}

void CanberraSoundPlayer::beep()
{
    QApplication::beep();
}

bool CanberraSoundPlayer::playOnce()
{
    ca_proplist *properties = nullptr;
    if (ca_proplist_create(&properties) != CA_SUCCESS) {
        return false;
    }
    ca_proplist_sets(properties, CA_PROP_EVENT_ID, m_soundName.toUtf8().constData());
    auto *ticket = new PlayTicket{m_alive, this, m_loop};
    const auto finished = [](ca_context *, std::uint32_t, int error, void *data) {
        auto *played = static_cast<PlayTicket *>(data);
        if (error == CA_SUCCESS) {
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [ended = *played] {
                    if (ended.alive.lock()) {
                        ended.player->onPlayed(ended.loop);
                    }
                },
                Qt::QueuedConnection);
        }
        delete played;
    };
    m_sinceStart.start();
    const int result =
        ca_context_play_full(m_context.get(), loopSoundId, properties, finished, ticket);
    ca_proplist_destroy(properties);
    // A play refused at once never calls back.
    if (result != CA_SUCCESS) {
        delete ticket;
        return false;
    }
    return true;
}

void CanberraSoundPlayer::onPlayed(std::uint64_t loop)
{
    if (!m_isLooping || loop != m_loop) {
        return;
    }
    const auto elapsed = std::chrono::milliseconds(m_sinceStart.elapsed());
    QTimer::singleShot(
        std::max(shortestRepeat - elapsed, std::chrono::milliseconds{0}), this, [this, loop] {
            if (m_isLooping && loop == m_loop) {
                playOnce();
            }
        });
}

} // namespace zentrel
