#pragma once

#include "common/iso_date.h"

#include <chrono>
#include <optional>

namespace zentrel {

// When the whiteboard's debounced save runs: a burst of changes is written once, after its last
// change, but work that never pauses is still written every so often, so a crash loses little.
class SaveDebounce
{
public:
    SaveDebounce(std::chrono::milliseconds pause, std::chrono::milliseconds longestWait)
        : m_pause(pause)
        , m_longestWait(longestWait)
    {}

    // How long to wait before saving after a change made at `now`: the pause, cut short so the
    // save runs no later than the longest wait after the first change not yet saved.
    std::chrono::milliseconds delayAfterChange(Timestamp now);

    // A save has taken the library: the next change starts a new burst.
    void saveStarted() { m_burstStart.reset(); }

private:
    std::chrono::milliseconds m_pause;
    std::chrono::milliseconds m_longestWait;
    std::optional<Timestamp> m_burstStart;
};

} // namespace zentrel
