#pragma once

#include "common/clock.h"

namespace zentrel {

// A clock that stands still until the test moves it.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(Timestamp start = Timestamp{})
        : m_now(start)
    {}

    Timestamp now() const override { return m_now; }

    void set(Timestamp time) { m_now = time; }

    void advance(Timestamp::duration step) { m_now += step; }

private:
    Timestamp m_now;
};

} // namespace zentrel
