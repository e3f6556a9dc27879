#include "whiteboard/model/excalidraw/excalidraw_document_scanner.h"

#include <iterator>
#include <string>

namespace zentrel {
namespace {

// The parser reports no positions, so the input is read through an iterator that notes how far
// it has got: a foreign element's text is then cut from the bytes between its braces.
class TrackedIterator
{
public:
    using iterator_category = std::input_iterator_tag;
    using value_type = char;
    using difference_type = std::ptrdiff_t;
    using pointer = const char *;
    using reference = const char &;

    TrackedIterator(const char *at, const char **reach)
        : m_at(at)
        , m_reach(reach)
    {}

    reference operator*() const { return *m_at; }

    TrackedIterator &operator++()
    {
        *m_reach = ++m_at;
        return *this;
    }

    TrackedIterator operator++(int)
    {
        TrackedIterator before = *this;
        ++*this;
        return before;
    }

    friend bool operator==(const TrackedIterator &a, const TrackedIterator &b)
    {
        return a.m_at == b.m_at;
    }

private:
    const char *m_at;
    const char **m_reach;
};

} // namespace

tl::expected<ExcalidrawScannedDocument, ExcalidrawError>
scanExcalidrawDocument(std::string_view data, std::size_t maxBytes, std::size_t maxDepth)
{
    if (data.size() > maxBytes) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::tooLarge,
                                              std::to_string(data.size()) + " bytes"});
    }
    ExcalidrawScanHandler handler(maxDepth);
    const char *begin = data.data();
    const bool parsed = nlohmann::json::sax_parse(TrackedIterator(begin, &handler.reach),
                                                  TrackedIterator(begin + data.size(), nullptr),
                                                  &handler,
                                                  nlohmann::json::input_format_t::json,
                                                  /*strict*/ true,
                                                  /*ignore_comments*/ false);
    if (handler.isTooDeep()) {
        return tl::unexpected(ExcalidrawError{ExcalidrawError::Kind::nestedTooDeeply,
                                              "more than " + std::to_string(maxDepth) + " levels"});
    }
    if (!parsed) {
        return tl::unexpected(
            ExcalidrawError{ExcalidrawError::Kind::notJson, handler.parseError()});
    }
    return handler.takeResult();
}

} // namespace zentrel
