#include "whiteboard/model/store/library_text_parts.h"

#include "common/json/limited_json.h"
#include "whiteboard/model/whiteboard_board_json.h"
#include "whiteboard/model/whiteboard_element_json.h"

#include <array>
#include <atomic>
#include <utility>

namespace zentrel {
namespace {

bool isJsonSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

constexpr std::array<bool, 256> marksOf(std::string_view characters)
{
    std::array<bool, 256> marks{};
    for (const char c : characters) {
        marks[static_cast<unsigned char>(c)] = true;
    }
    return marks;
}

constexpr std::array<bool, 256> stringEnds = marksOf("\"\\");
constexpr std::array<bool, 256> containerMarks = marksOf("\"{}[]");

// Walks the library's outline: the root's members, the boards and their members, and the
// elements as whole values. Everything it passes over whole is checked by the parts' parsing.
class LibraryTextSplitter
{
public:
    explicit LibraryTextSplitter(std::string_view text)
        : m_text(text)
    {}

    std::optional<LibraryTextParts> split()
    {
        skipSpace();
        if (!take('{') || !members(Level::root)) {
            return std::nullopt;
        }
        m_parts.skeleton.append(m_text.substr(m_copiedUpTo));
        return std::move(m_parts);
    }

private:
    enum class Level {
        root,
        board,
    };

    // The members of an object whose "{" was just taken, up to and past its "}".
    bool members(Level level)
    {
        const std::string_view listKey = level == Level::root ? "boards" : "elements";
        bool listSeen = false;
        skipSpace();
        if (take('}')) {
            return true;
        }
        for (;;) {
            std::string_view key;
            if (!readKey(key)) {
                return false;
            }
            if (key == listKey) {
                // JSON parsing keeps the last of repeated keys; this walk would keep them all.
                if (listSeen || !take('[')) {
                    return false;
                }
                listSeen = true;
                if (!(level == Level::root ? boards() : elements())) {
                    return false;
                }
            } else if (!skipValue()) {
                return false;
            }
            skipSpace();
            if (take('}')) {
                return true;
            }
            if (!take(',')) {
                return false;
            }
            skipSpace();
        }
    }

    // The boards, after the list's "[".
    bool boards()
    {
        skipSpace();
        if (take(']')) {
            return true;
        }
        for (;;) {
            if (!take('{')) {
                return false;
            }
            m_parts.boardElements.emplace_back();
            if (!members(Level::board)) {
                return false;
            }
            skipSpace();
            if (take(']')) {
                return true;
            }
            if (!take(',')) {
                return false;
            }
            skipSpace();
        }
    }

    // A board's elements, after the list's "[": each is cut out, and the skeleton goes on with the
    // list's "]".
    bool elements()
    {
        m_parts.skeleton.append(m_text.substr(m_copiedUpTo, m_pos - m_copiedUpTo));
        std::vector<std::string_view> &cut = m_parts.boardElements.back();
        skipSpace();
        while (!at(']')) {
            if (!at('{')) {
                return false;
            }
            const std::size_t start = m_pos;
            if (!skipContainer()) {
                return false;
            }
            cut.push_back(m_text.substr(start, m_pos - start));
            skipSpace();
            // A comma must be followed by another element, as JSON has no trailing commas.
            if (take(',')) {
                skipSpace();
                if (!at('{')) {
                    return false;
                }
            } else if (!at(']')) {
                return false;
            }
        }
        m_copiedUpTo = m_pos++;
        return true;
    }

    // A key and its colon. Keys spelled with escapes are refused, as they may spell the names
    // that matter here.
    bool readKey(std::string_view &key)
    {
        if (!at('"')) {
            return false;
        }
        const std::size_t start = m_pos + 1;
        if (!skipString()) {
            return false;
        }
        key = m_text.substr(start, m_pos - 1 - start);
        if (key.find('\\') != std::string_view::npos) {
            return false;
        }
        skipSpace();
        if (!take(':')) {
            return false;
        }
        skipSpace();
        return true;
    }

    bool skipValue()
    {
        if (at('"')) {
            return skipString();
        }
        if (at('{') || at('[')) {
            return skipContainer();
        }
        // A number, true, false or null.
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() && !isJsonSpace(m_text[m_pos])
               && std::string_view(",:{}[]\"").find(m_text[m_pos]) == std::string_view::npos) {
            ++m_pos;
        }
        return m_pos > start;
    }

    // Past the string that starts here.
    bool skipString()
    {
        ++m_pos;
        for (;;) {
            m_pos = nextOf(stringEnds);
            if (m_pos >= m_text.size()) {
                return false;
            }
            if (m_text[m_pos] == '"') {
                ++m_pos;
                return true;
            }
            m_pos += 2; // the backslash and the character it escapes
        }
    }

    // Past the object or array that starts here. Counts rather than recurses, so no nesting
    // reaches the stack; parsing the part then applies the depth limit.
    bool skipContainer()
    {
        std::size_t depth = 0;
        for (;;) {
            m_pos = nextOf(containerMarks);
            if (m_pos >= m_text.size()) {
                return false;
            }
            const char c = m_text[m_pos];
            if (c == '"') {
                if (!skipString()) {
                    return false;
                }
                continue;
            }
            ++m_pos;
            if (c == '{' || c == '[') {
                ++depth;
            } else if (--depth == 0) {
                return true;
            }
        }
    }

    // The first position from here on that holds one of `marks`, or the end. Most of a library
    // is indentation, names and numbers, which this passes in a tight loop.
    std::size_t nextOf(const std::array<bool, 256> &marks) const
    {
        std::size_t pos = m_pos;
        while (pos < m_text.size() && !marks[static_cast<unsigned char>(m_text[pos])]) {
            ++pos;
        }
        return pos;
    }

    void skipSpace()
    {
        while (m_pos < m_text.size() && isJsonSpace(m_text[m_pos])) {
            ++m_pos;
        }
    }

    bool at(char c) const { return m_pos < m_text.size() && m_text[m_pos] == c; }

    bool take(char c)
    {
        if (!at(c)) {
            return false;
        }
        ++m_pos;
        return true;
    }

    std::string_view m_text;
    std::size_t m_pos = 0;
    // The skeleton holds the text before this position, less the elements cut out so far.
    std::size_t m_copiedUpTo = 0;
    LibraryTextParts m_parts;
};

} // namespace

std::optional<LibraryTextParts> splitLibraryText(std::string_view text)
{
    return LibraryTextSplitter(text).split();
}

std::optional<WhiteboardLibrary> decodeLibraryInParts(std::string_view text,
                                                      const ParallelWork &run)
{
    const std::optional<LibraryTextParts> parts = splitLibraryText(text);
    if (!parts) {
        return std::nullopt;
    }
    const auto skeleton = parseLimitedJson(parts->skeleton);
    if (!skeleton) {
        return std::nullopt;
    }
    auto library = decodeWhiteboardLibrary(*skeleton);
    if (!library || library->boards.size() != parts->boardElements.size()) {
        return std::nullopt;
    }
    std::vector<std::string_view> texts;
    for (const std::vector<std::string_view> &board : parts->boardElements) {
        texts.insert(texts.end(), board.begin(), board.end());
    }
    // The element lies this deep in the whole text, so the whole text's limit still holds.
    constexpr std::size_t depthWithin = jsonMaxNestingDepth - (libraryElementDepth - 1);
    std::vector<ElementPtr> elements(texts.size());
    std::atomic<bool> failed = false;
    run(texts.size(), [&](std::size_t i) {
        if (failed.load(std::memory_order_relaxed)) {
            return;
        }
        const auto json = parseLimitedJson(texts[i], depthWithin);
        if (!json) {
            failed = true;
            return;
        }
        auto element = decodeWhiteboardElement(*json);
        if (!element) {
            failed = true;
            return;
        }
        elements[i] = makeElement(std::move(*element));
    });
    if (failed) {
        return std::nullopt;
    }
    auto next = elements.begin();
    for (std::size_t board = 0; board < library->boards.size(); ++board) {
        const auto count = static_cast<std::ptrdiff_t>(parts->boardElements[board].size());
        library->boards[board].elements.assign(std::make_move_iterator(next),
                                               std::make_move_iterator(next + count));
        next += count;
    }
    return std::move(*library);
}

} // namespace zentrel
