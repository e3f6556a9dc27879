#include "capture/break_timer_model.h"

#include "shell/shell_ports.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace zentrel {
namespace {

double clampedDuration(double seconds)
{
    if (std::isnan(seconds)) {
        return breakTimer::minimumDuration;
    }
    return std::clamp(seconds, breakTimer::minimumDuration, breakTimer::maximumDuration);
}

Timestamp::duration secondsDuration(double seconds)
{
    return std::chrono::duration_cast<Timestamp::duration>(std::chrono::duration<double>(seconds));
}

} // namespace

std::string formatRemaining(double remainingSeconds)
{
    // Far beyond any duration the model allows; it only keeps the conversion defined.
    constexpr double largest = 1e9;
    const double rounded = std::ceil(remainingSeconds);
    const auto total = rounded > 0 ? static_cast<std::int64_t>(std::min(rounded, largest)) : 0;
    char text[32];
    std::snprintf(text,
                  sizeof text,
                  "%02lld:%02lld",
                  static_cast<long long>(total / 60),
                  static_cast<long long>(total % 60));
    return text;
}

BreakTimerModel::BreakTimerModel(double durationSeconds,
                                 std::string message,
                                 const Clock &clock,
                                 Scheduler &scheduler)
    : m_clock(clock)
    , m_scheduler(scheduler)
    , m_message(std::move(message))
    , m_configuredDuration(clampedDuration(durationSeconds))
    , m_remainingSeconds(m_configuredDuration)
    , m_countdownLength(m_configuredDuration)
{}

BreakTimerModel::~BreakTimerModel() = default;

void BreakTimerModel::start()
{
    if (m_state != BreakTimerState::idle && m_state != BreakTimerState::finished) {
        return;
    }
    const Timestamp now = m_clock.now();
    // First, so a chime still sounding from the last run ends before the new one begins.
    if (onStarted) {
        onStarted();
    }
    if (m_state == BreakTimerState::finished) {
        m_remainingSeconds = m_configuredDuration;
        m_countdownLength = m_configuredDuration;
        m_didNotifyFinished = false;
    }
    m_state = BreakTimerState::running;
    m_deadline = now + secondsDuration(m_remainingSeconds);
    scheduleUpdates();
    changed.notify();
}

void BreakTimerModel::pause()
{
    if (m_state != BreakTimerState::running) {
        return;
    }
    refresh(m_clock.now());
    if (m_state != BreakTimerState::running) {
        return;
    }
    m_deadline.reset();
    m_state = BreakTimerState::paused;
    cancelUpdates();
    changed.notify();
}

void BreakTimerModel::resume()
{
    if (m_state != BreakTimerState::paused) {
        return;
    }
    m_deadline = m_clock.now() + secondsDuration(m_remainingSeconds);
    m_state = BreakTimerState::running;
    scheduleUpdates();
    changed.notify();
}

void BreakTimerModel::addMinute()
{
    const double amount = std::min(60.0, breakTimer::maximumDuration - m_remainingSeconds);
    if (!(amount > 0)) {
        return;
    }
    m_remainingSeconds += amount;
    m_countdownLength += amount;
    if (m_state == BreakTimerState::running && m_deadline) {
        *m_deadline += secondsDuration(amount);
    } else if (m_state == BreakTimerState::finished) {
        m_didNotifyFinished = false;
        m_state = BreakTimerState::paused;
    }
    changed.notify();
}

void BreakTimerModel::setDurationMinutes(int minutes, int seconds)
{
    if (m_state != BreakTimerState::idle && m_state != BreakTimerState::finished) {
        return;
    }
    const std::int64_t total =
        std::int64_t{std::max(minutes, 0)} * 60 + std::int64_t{std::max(seconds, 0)};
    const auto duration = static_cast<double>(
        std::clamp<std::int64_t>(total, 1, static_cast<std::int64_t>(breakTimer::maximumDuration)));
    m_configuredDuration = duration;
    m_remainingSeconds = duration;
    m_countdownLength = duration;
    m_state = BreakTimerState::idle;
    m_didNotifyFinished = false;
    changed.notify();
}

void BreakTimerModel::stop()
{
    cancelUpdates();
    m_deadline.reset();
}

void BreakTimerModel::refresh(Timestamp now)
{
    if (m_state != BreakTimerState::running || !m_deadline) {
        return;
    }
    const double left = std::chrono::duration<double>(*m_deadline - now).count();
    m_remainingSeconds = left > 0 ? left : 0;
    if (m_remainingSeconds == 0) {
        finish();
    } else {
        changed.notify();
    }
}

void BreakTimerModel::finish()
{
    cancelUpdates();
    m_deadline.reset();
    m_state = BreakTimerState::finished;
    changed.notify();
    if (!m_didNotifyFinished) {
        m_didNotifyFinished = true;
        if (onFinished) {
            onFinished();
        }
    }
}

void BreakTimerModel::scheduleUpdates()
{
    cancelUpdates();
    m_updateTimer = std::make_shared<bool>(true);
    scheduleNextTick();
}

void BreakTimerModel::scheduleNextTick()
{
    m_scheduler.postAfter(breakTimer::updateInterval,
                          [this, timer = std::weak_ptr<bool>(m_updateTimer)] {
                              // Gone with the model or replaced by a later schedule: nothing.
                              const auto alive = timer.lock();
                              if (!alive) {
                                  return;
                              }
                              refresh(m_clock.now());
                              if (m_updateTimer == alive) {
                                  scheduleNextTick();
                              }
                          });
}

void BreakTimerModel::cancelUpdates()
{
    m_updateTimer.reset();
}

} // namespace zentrel
