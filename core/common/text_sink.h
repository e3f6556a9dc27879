#pragma once

#include <string>

namespace zentrel {

// Where a writer of a large document puts its text, front to back. Writers append to text() and
// call pause() between pieces; this sink keeps the whole text, while one that writes elsewhere
// hands the text on at a pause, so the document is never whole in memory.
class TextSink
{
public:
    TextSink() = default;
    TextSink(TextSink &&) noexcept = default;
    TextSink &operator=(TextSink &&) noexcept = default;
    virtual ~TextSink() = default;

    std::string &text() { return m_text; }

    virtual void pause() {}

protected:
    std::string m_text;
};

} // namespace zentrel
