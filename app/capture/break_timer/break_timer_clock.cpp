#include "capture/break_timer/break_timer_clock.h"

#include <QString>

#include <chrono>
#include <cmath>

namespace zentrel {
namespace {

class FastClock final : public Clock
{
public:
    explicit FastClock(double speed)
        : m_speed(speed)
        , m_start(std::chrono::system_clock::now())
    {}

    Timestamp now() const override
    {
        const auto passed = std::chrono::system_clock::now() - m_start;
        return m_start + std::chrono::duration_cast<Timestamp::duration>(passed * m_speed);
    }

private:
    double m_speed;
    Timestamp m_start;
};

} // namespace

std::unique_ptr<Clock> makeBreakTimerClock()
{
    bool isNumber = false;
    const double speed = qEnvironmentVariable("ZENTREL_TEST_CLOCK_SPEED").toDouble(&isNumber);
    if (isNumber && std::isfinite(speed) && speed > 1) {
        return std::make_unique<FastClock>(speed);
    }
    return std::make_unique<SystemClock>();
}

} // namespace zentrel
