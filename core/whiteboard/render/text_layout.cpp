#include "whiteboard/render/text_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

namespace zentrel {

namespace {

// Excalidraw's numbers for its hand-drawn fonts.
constexpr std::int64_t virgilFontNumber = 1;
constexpr std::int64_t excalifontFontNumber = 5;

// Joining words onto a line allows for the rounding between one renderer's measure and
// another's; a word runs further past the box before it is broken (wordOverflowAllowance).
constexpr double lineFitSlack = 0.01;

using LineWidth = std::function<double(std::string_view)>;

bool isSpace(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view withoutTrailingSpaces(std::string_view text)
{
    while (!text.empty() && isSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// One place where a line may begin: the spaces before it (dropped when the line breaks there)
// and what follows up to the next such place.
struct Piece
{
    std::string_view gap;
    std::string_view body;
};

// A hyphen between two letters of a word ends a piece, so "hand-drawn" may break after "hand-".
std::vector<Piece> piecesOf(std::string_view paragraph)
{
    std::vector<Piece> pieces;
    std::size_t i = 0;
    while (i < paragraph.size()) {
        const std::size_t gapStart = i;
        while (i < paragraph.size() && isSpace(paragraph[i])) {
            ++i;
        }
        const std::size_t bodyStart = i;
        while (i < paragraph.size() && !isSpace(paragraph[i])) {
            const bool hyphenBreak = paragraph[i] == '-' && i > bodyStart
                                     && i + 1 < paragraph.size() && !isSpace(paragraph[i + 1]);
            ++i;
            if (hyphenBreak) {
                break;
            }
        }
        pieces.push_back({paragraph.substr(gapStart, bodyStart - gapStart),
                          paragraph.substr(bodyStart, i - bodyStart)});
    }
    return pieces;
}

// How many bytes the UTF-8 sequence led by `lead` takes; a stray byte counts alone.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead >> 5 == 0x6) {
        return 2;
    }
    if (lead >> 4 == 0xE) {
        return 3;
    }
    if (lead >> 3 == 0x1E) {
        return 4;
    }
    return 1;
}

// The code point starting at `text[i]` and the bytes it takes.
std::pair<char32_t, std::size_t> codePointAt(std::string_view text, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = sequenceLength(lead);
    if (length == 1 || i + length > text.size()) {
        return {lead, 1};
    }
    char32_t value = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if (next >> 6 != 0x2) {
            return {lead, 1};
        }
        value = (value << 6) | (next & 0x3F);
    }
    return {value, length};
}

// Marks that belong to the character before them: combining accents, variation selectors,
// emoji skin tones and the joiner of emoji sequences.
bool attachesToPrevious(char32_t c)
{
    return (c >= 0x0300 && c <= 0x036F) || (c >= 0x1AB0 && c <= 0x1AFF)
           || (c >= 0x1DC0 && c <= 0x1DFF) || (c >= 0x20D0 && c <= 0x20FF)
           || (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xFE20 && c <= 0xFE2F) || c == 0x200D
           || (c >= 0x1F3FB && c <= 0x1F3FF) || (c >= 0xE0100 && c <= 0xE01EF);
}

// Where a word may be cut without splitting a character from its marks: the end of each
// character, the last being the word's end.
std::vector<std::size_t> characterEnds(std::string_view word)
{
    std::vector<std::size_t> ends;
    char32_t previous = 0;
    for (std::size_t i = 0; i < word.size();) {
        const auto [c, length] = codePointAt(word, i);
        if (i > 0 && !attachesToPrevious(c) && previous != 0x200D) {
            ends.push_back(i);
        }
        previous = c;
        i += length;
    }
    ends.push_back(word.size());
    return ends;
}

// Greedy breaking, one paragraph at a time, in time linear in the text: measuring shapes the
// text, which is most of the cost, so each piece is measured once and a line's width is the sum
// of its pieces' until the line is done, when it is measured whole once.
class LineBreaker
{
public:
    LineBreaker(const LineWidth &lineWidth, double boxWidth, std::vector<TextLine> &lines)
        : m_lineWidth(lineWidth)
        , m_fit(boxWidth * (1 + lineFitSlack))
        , m_tooWide(boxWidth * (1 + wordOverflowAllowance))
        , m_lines(lines)
    {}

    void wrap(std::string_view paragraph)
    {
        const std::vector<Piece> pieces = piecesOf(paragraph);
        if (pieces.empty()) {
            m_lines.push_back({});
            return;
        }
        // The first line keeps its indentation.
        const std::string_view first =
            paragraph.substr(0, pieces.front().gap.size() + pieces.front().body.size());
        begin(first, m_lineWidth(first));
        for (std::size_t i = 1; i < pieces.size(); ++i) {
            add(pieces[i]);
        }
        pushCurrent();
    }

private:
    void pushCurrent()
    {
        const std::string_view kept = withoutTrailingSpaces(m_current);
        const bool measured = m_currentIsMeasured && kept.size() == m_current.size();
        m_lines.push_back({std::string(kept), measured ? m_currentWidth : m_lineWidth(kept)});
    }

    // Starts a line with `text` of `width`, first breaking off the pieces of a word too wide for
    // any line.
    void begin(std::string_view text, double width)
    {
        if (width > m_tooWide) {
            breakWord(text, width);
        }
        m_current.assign(text);
        m_currentWidth = width;
        m_currentIsMeasured = true;
    }

    void add(const Piece &piece)
    {
        if (piece.body.empty()) {
            return; // spaces at the paragraph's end
        }
        const double bodyWidth = m_lineWidth(piece.body);
        const double width = m_currentWidth + gapWidth(piece.gap) + bodyWidth;
        if (width <= m_fit) {
            m_current.append(piece.gap).append(piece.body);
            m_currentWidth = width;
            m_currentIsMeasured = false;
            return;
        }
        pushCurrent();
        begin(piece.body, bodyWidth);
    }

    // Gaps are nearly always one space, so the last one's width is kept.
    double gapWidth(std::string_view gap)
    {
        if (gap != m_lastGap) {
            m_lastGap.assign(gap);
            m_lastGapWidth = m_lineWidth(gap);
        }
        return m_lastGapWidth;
    }

    // Breaks whole lines off the front of `word`, each as long as fits, leaving in `word` and
    // `width` the rest, which fits a line.
    void breakWord(std::string_view &word, double &width)
    {
        const std::vector<std::size_t> ends = characterEnds(word);
        std::size_t first = 0; // index in `ends` of the first character left
        std::size_t start = 0; // where that character begins in `word`
        std::size_t guess = 1; // characters per line: the lines of a word are much alike
        while (true) {
            const auto [count, lineWidth] = longestFittingStart(word, ends, first, start, guess);
            const std::size_t end = ends[first + count - 1];
            if (first + count == ends.size()) {
                word = word.substr(start);
                width = lineWidth;
                return;
            }
            m_lines.push_back({std::string(word.substr(start, end - start)), lineWidth});
            first += count;
            start = end;
            guess = count;
        }
    }

    // How many characters from `first` on fill a line, and their width: at least one, so every
    // line holds something. The search starts at `guess` and widens its steps from there, so a
    // line costs a few measures of about its own length.
    std::pair<std::size_t, double> longestFittingStart(std::string_view word,
                                                       const std::vector<std::size_t> &ends,
                                                       std::size_t first,
                                                       std::size_t start,
                                                       std::size_t guess) const
    {
        const std::size_t most = ends.size() - first;
        const auto widthOf = [&](std::size_t count) {
            return m_lineWidth(word.substr(start, ends[first + count - 1] - start));
        };
        // `low` characters fit (or are one, taken anyway); `high` do not, or are past the end.
        std::size_t low = 0;
        double lowWidth = 0;
        std::size_t high = most + 1;
        std::size_t probe = std::min(std::max<std::size_t>(guess, 1), most);
        for (std::size_t step = 1; low + 1 < high; step *= 2) {
            const double width = widthOf(probe);
            if (width <= m_fit || probe == 1) {
                low = probe;
                lowWidth = width;
                if (width > m_fit) {
                    break; // one character wider than the box
                }
                probe = high > most ? std::min(low + step, most) : (low + high) / 2;
                if (probe == low) {
                    break; // the rest fits whole
                }
            } else {
                high = probe;
                probe = low > 0 ? (low + high) / 2 : (probe > step ? probe - step : 1);
            }
        }
        return {low, lowWidth};
    }

    const LineWidth &m_lineWidth;
    double m_fit;
    double m_tooWide;
    std::vector<TextLine> &m_lines;
    std::string m_current;
    double m_currentWidth = 0;
    bool m_currentIsMeasured = true; // else `m_currentWidth` sums its pieces
    std::string m_lastGap;
    double m_lastGapWidth = 0;
};

// The part of a text that is laid out: all of it up to the limit, else its start, cut between
// characters, and an ellipsis, made in `storage`.
std::string_view laidOutPart(std::string_view text, std::string &storage)
{
    if (text.size() <= maxLaidOutTextBytes) {
        return text;
    }
    std::size_t cut = maxLaidOutTextBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
        --cut;
    }
    storage.assign(text.substr(0, cut)).append("\u2026");
    return storage;
}

} // namespace

WhiteboardTypeface whiteboardTypeface(WhiteboardFontFamily family)
{
    switch (family) {
    case WhiteboardFontFamily::system:
        return WhiteboardTypeface::system;
    case WhiteboardFontFamily::monospace:
        return WhiteboardTypeface::monospace;
    case WhiteboardFontFamily::handDrawn:
        break;
    }
    return WhiteboardTypeface::handDrawn;
}

WhiteboardTypeface whiteboardTypeface(const WhiteboardElement &element)
{
    const WhiteboardTypeface typeface =
        whiteboardTypeface(element.fontFamily.value_or(WhiteboardFontFamily::handDrawn));
    if (typeface != WhiteboardTypeface::handDrawn) {
        return typeface;
    }
    switch (element.fontFamilyID.value_or(0)) {
    case virgilFontNumber:
        return WhiteboardTypeface::virgil;
    case excalifontFontNumber:
        return WhiteboardTypeface::excalifont;
    default:
        return WhiteboardTypeface::handDrawn;
    }
}

std::vector<TextLine> wrapText(std::string_view text, double boxWidth, const LineWidth &lineWidth)
{
    std::vector<TextLine> lines;
    const bool wraps = boxWidth > 0 && std::isfinite(boxWidth);
    LineBreaker breaker(lineWidth, boxWidth, lines);
    while (true) {
        // A line feed, a carriage return or both end a paragraph, as Excalidraw reads them.
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view paragraph = text.substr(0, end);
        if (wraps) {
            breaker.wrap(paragraph);
        } else {
            const std::string_view kept = withoutTrailingSpaces(paragraph);
            lines.push_back({std::string(kept), lineWidth(kept)});
        }
        if (end == std::string_view::npos) {
            return lines;
        }
        const bool pair = text.compare(end, 2, "\r\n") == 0;
        text.remove_prefix(end + (pair ? 2 : 1));
    }
}

std::vector<PlacedTextLine> layOutText(const WhiteboardElement &element,
                                       WhiteboardTypeface typeface,
                                       double fontSize,
                                       const TextMeasurer &measure)
{
    const auto measured = [&](std::string_view line) {
        return measure ? measure(line, typeface, fontSize) : SizeF{};
    };
    const double glyphHeight = measured({}).height;
    const double advance = element.lineHeight ? *element.lineHeight * fontSize : glyphHeight;
    const double boxWidth = element.width;
    const auto lineWidth = [&](std::string_view line) {
        return measured(line).width;
    };
    const WhiteboardTextAlignment alignment =
        element.textAlignment.value_or(WhiteboardTextAlignment::left);
    std::vector<PlacedTextLine> placed;
    double top = element.y + (advance - glyphHeight) / 2;
    std::string storage;
    const std::string_view text =
        laidOutPart(element.text ? std::string_view(*element.text) : std::string_view(), storage);
    for (TextLine &line : wrapText(text, boxWidth, lineWidth)) {
        double left = element.x;
        if (alignment == WhiteboardTextAlignment::center) {
            left += (boxWidth - line.width) / 2;
        } else if (alignment == WhiteboardTextAlignment::right) {
            left += boxWidth - line.width;
        }
        placed.push_back({std::move(line.text), {left, top, line.width, glyphHeight}});
        top += advance;
    }
    return placed;
}

} // namespace zentrel
