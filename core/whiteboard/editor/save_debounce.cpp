#include "whiteboard/editor/save_debounce.h"

#include <algorithm>

namespace zentrel {

std::chrono::milliseconds SaveDebounce::delayAfterChange(Timestamp now)
{
    if (!m_burstStart || now < *m_burstStart) {
        // A clock set back must not stretch the burst past its longest wait.
        m_burstStart = now;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - *m_burstStart);
    return std::clamp(m_longestWait - elapsed, std::chrono::milliseconds{0}, m_pause);
}

} // namespace zentrel
