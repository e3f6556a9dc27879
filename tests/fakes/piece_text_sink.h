#pragma once

#include "common/text_sink.h"

#include <algorithm>
#include <cstddef>
#include <string>

namespace zentrel {

// Hands the text on at every pause, as a file does once enough has gathered, and remembers the
// most it ever held at once and how often it paused.
class PieceTextSink final : public TextSink
{
public:
    void pause() override
    {
        ++m_pauses;
        m_mostHeld = std::max(m_mostHeld, m_text.size());
        m_handedOn += m_text;
        m_text.clear();
    }

    std::string whole() const { return m_handedOn + m_text; }

    std::size_t mostHeld() const { return std::max(m_mostHeld, m_text.size()); }

    int pauses() const { return m_pauses; }

private:
    std::string m_handedOn;
    std::size_t m_mostHeld = 0;
    int m_pauses = 0;
};

} // namespace zentrel
