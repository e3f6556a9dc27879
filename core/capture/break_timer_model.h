#pragma once

#include "common/clock.h"
#include "common/signal.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zentrel {

class Scheduler;

enum class BreakTimerState {
    idle,     // configured, not started
    running,  // counting down
    paused,   // stopped part-way; resumes from the same remaining time
    finished, // reached zero
};

namespace breakTimer {
// The upper bound of every duration: two hours.
constexpr double maximumDuration = 7200;
constexpr double minimumDuration = 1;
constexpr std::chrono::milliseconds updateInterval{200};
} // namespace breakTimer

// "%02d:%02d" of the whole minutes and seconds left, a partial second counting as a whole one;
// minutes are not limited to two digits (7200 s shows as "120:00").
std::string formatRemaining(double remainingSeconds);

// The countdown of one break. It runs against a deadline, so it never drifts however late the
// 0.2 s refresh comes; the refresh exists exactly while the countdown runs. Main thread only.
class BreakTimerModel
{
public:
    // The duration is kept within 1…7200 s. The scheduler and clock must outlive the model.
    BreakTimerModel(double durationSeconds,
                    std::string message,
                    const Clock &clock,
                    Scheduler &scheduler);
    ~BreakTimerModel();
    BreakTimerModel(const BreakTimerModel &) = delete;
    BreakTimerModel &operator=(const BreakTimerModel &) = delete;

    BreakTimerState state() const { return m_state; }

    double remainingSeconds() const { return m_remainingSeconds; }

    double configuredDuration() const { return m_configuredDuration; }

    // What the ring measures this countdown against: the configured duration and every minute
    // added to it since, so an added minute never empties the ring.
    double countdownLength() const { return m_countdownLength; }

    // The break message when the run was made; views show the live preference instead.
    const std::string &message() const { return m_message; }

    std::optional<Timestamp> deadline() const { return m_deadline; }

    bool isUpdating() const { return m_updateTimer != nullptr; }

    std::string formattedRemaining() const { return formatRemaining(m_remainingSeconds); }

    // From idle or finished: a fresh run of the configured duration (from finished) or of what
    // remains (from idle). Nothing otherwise.
    void start();
    // A pause that finds the deadline passed finishes the countdown instead.
    void pause();
    void resume();
    // Up to one minute, never past two hours; a finished countdown becomes a paused one.
    void addMinute();
    // Only while idle or finished: a new length (negative counts as 0), back to idle.
    void setDurationMinutes(int minutes, int seconds);
    // Ends the refresh for good; state and remaining time stay as they are.
    void stop();

    // Called once per run when the countdown reaches zero.
    std::function<void()> onFinished;
    // Called on every successful start, before anything changes.
    std::function<void()> onStarted;

    // Sent after the state or the remaining time changed.
    Signal<> changed;

private:
    void refresh(Timestamp now);
    void finish();
    void scheduleUpdates();
    void scheduleNextTick();
    void cancelUpdates();

    const Clock &m_clock;
    Scheduler &m_scheduler;
    std::string m_message;
    BreakTimerState m_state = BreakTimerState::idle;
    double m_configuredDuration;
    double m_remainingSeconds;
    double m_countdownLength;
    std::optional<Timestamp> m_deadline;
    // The pending refresh tick holds this weakly; dropping it cancels the tick.
    std::shared_ptr<bool> m_updateTimer;
    bool m_didNotifyFinished = false;
};

} // namespace zentrel
