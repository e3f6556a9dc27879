#include "whiteboard/render/text_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

namespace zentrel {
namespace {

// Every byte 10 wide, so a line's width is plain to read off.
double tenPerByte(std::string_view line)
{
    return 10.0 * static_cast<double>(line.size());
}

std::vector<std::string> wrapped(std::string_view text, double boxWidth)
{
    std::vector<std::string> lines;
    for (const TextLine &line : wrapText(text, boxWidth, tenPerByte)) {
        lines.push_back(line.text);
    }
    return lines;
}

using Lines = std::vector<std::string>;

TEST(WrapText, BreaksBetweenWordsAndJoinsThemWhileTheyFit)
{
    EXPECT_EQ(wrapText("search payment", 70, tenPerByte),
              (std::vector<TextLine>{{"search", 60}, {"payment", 70}}));
    EXPECT_EQ(wrapped("a b c d e", 30), (Lines{"a b", "c d", "e"}));
    // The spaces at a break are dropped; several between words that stay together are kept.
    EXPECT_EQ(wrapped("one   two  three", 90), (Lines{"one   two", "three"}));
}

// A source that measured its words in its own copy of the font may find them a little narrower
// than here: such a word stays whole. Only a word clearly wider than the box alone is broken,
// each piece filling a line.
TEST(WrapText, BreaksAWordOnlyWhenItAloneIsClearlyWiderThanTheBox)
{
    EXPECT_EQ(wrapped("search payment", 65), (Lines{"search", "payment"}));
    EXPECT_EQ(wrapped("payment", 64), (Lines{"payment"}));
    EXPECT_EQ(wrapped("search payment", 50), (Lines{"searc", "h", "payme", "nt"}));
    EXPECT_EQ(wrapped("a verylongword b", 40), (Lines{"a", "very", "long", "word", "b"}));
    // A character wider than the box still takes a line of its own.
    EXPECT_EQ(wrapped("WW", 5), (Lines{"W", "W"}));
}

TEST(WrapText, KeepsParagraphsAndIndentationAndDropsTrailingSpaces)
{
    EXPECT_EQ(wrapped("  - one   \n\n- two\r\nthree", 1000),
              (Lines{"  - one", "", "- two", "three"}));
    EXPECT_EQ(wrapped("", 100), (Lines{""}));
    // A carriage return alone ends a paragraph too, in a box or not.
    EXPECT_EQ(wrapped("a\rb\r\r\nc\r", 1000), (Lines{"a", "b", "", "c", ""}));
    EXPECT_EQ(wrapped("a\rb", 0), (Lines{"a", "b"}));
}

TEST(WrapText, BreaksAfterAHyphenInsideAWord)
{
    EXPECT_EQ(wrapped("hand-drawn text", 60), (Lines{"hand-", "drawn", "text"}));
    EXPECT_EQ(wrapped("hand-drawn", 100), (Lines{"hand-drawn"}));
    // A leading or lone hyphen is no place to break.
    EXPECT_EQ(wrapped("-40 - 2", 30), (Lines{"-40", "- 2"}));
}

TEST(WrapText, NeverSeparatesACharacterFromItsMarks)
{
    const std::string accented = "e\u0301"; // e and a combining acute accent
    EXPECT_EQ(wrapped(accented + accented + accented, 15), (Lines{accented, accented, accented}));
    const std::string technologist = "\U0001F469\u200D\U0001F4BB"; // woman, joiner, laptop
    EXPECT_EQ(wrapped(technologist + technologist, 50), (Lines{technologist, technologist}));
}

TEST(WrapText, ABoxWithoutWidthWrapsNothing)
{
    EXPECT_EQ(wrapped("a long line\nand more ", 0), (Lines{"a long line", "and more"}));
    EXPECT_EQ(wrapped("a long line", -20), (Lines{"a long line"}));
    EXPECT_EQ(wrapped("a long line", std::numeric_limits<double>::quiet_NaN()),
              (Lines{"a long line"}));
}

// What a layout measured: shaping a line costs about its length, so the characters measured
// are the work done.
struct MeasureCount
{
    std::size_t calls = 0;
    std::size_t characters = 0;
};

std::size_t lineCount(std::string_view text, double boxWidth, MeasureCount &count)
{
    return wrapText(text,
                    boxWidth,
                    [&](std::string_view line) {
                        ++count.calls;
                        count.characters += line.size();
                        return tenPerByte(line);
                    })
        .size();
}

TEST(WrapText, MeasuresAboutEachCharacterOnceHoweverLongTheText)
{
    for (const std::size_t length : {10000u, 30000u}) {
        const std::string word(length, 'x');
        MeasureCount word10;
        EXPECT_EQ(lineCount(word, 100, word10), length / 10);
        MeasureCount word100;
        EXPECT_EQ(lineCount(word, 995, word100), length / 100);
        std::string words;
        while (words.size() < length) {
            words += "word ";
        }
        MeasureCount narrow;
        EXPECT_EQ(lineCount(words, 100, narrow), length / 10);
        MeasureCount oneLine;
        EXPECT_EQ(lineCount(words, 1e9, oneLine), 1u);
        for (const MeasureCount *count : {&word10, &word100, &narrow, &oneLine}) {
            EXPECT_LE(count->characters, 4 * length);
            EXPECT_LE(count->calls, length);
        }
    }
}

WhiteboardElement textElement(std::string text, RectF frame)
{
    WhiteboardElement element;
    element.kind = WhiteboardElementKind::text;
    element.setFrame(frame);
    element.text = std::move(text);
    return element;
}

// Half the size wide per byte, 1.2 × the size tall.
SizeF halfPerByte(std::string_view line, WhiteboardTypeface, double size)
{
    return {static_cast<double>(line.size()) * size * 0.5, size * 1.2};
}

TEST(LayOutText, AlignsEachLineInTheFrame)
{
    WhiteboardElement element = textElement("ab cdef", {10, 20, 30, 30});
    const auto boxes = [&] {
        std::vector<RectF> result;
        for (const PlacedTextLine &line :
             layOutText(element, WhiteboardTypeface::handDrawn, 10, halfPerByte)) {
            result.push_back(line.box);
        }
        return result;
    };
    // Without a line height the lines stand the font's own line height apart.
    EXPECT_EQ(boxes(), (std::vector<RectF>{{10, 20, 10, 12}, {10, 32, 20, 12}}));
    element.textAlignment = WhiteboardTextAlignment::center;
    EXPECT_EQ(boxes(), (std::vector<RectF>{{20, 20, 10, 12}, {15, 32, 20, 12}}));
    element.textAlignment = WhiteboardTextAlignment::right;
    EXPECT_EQ(boxes(), (std::vector<RectF>{{30, 20, 10, 12}, {20, 32, 20, 12}}));
}

// An Excalidraw text's frame is its lines × size × line height tall: the lines fill it, their
// glyphs centred in each line.
TEST(LayOutText, ALineHeightIsAFactorOfTheFontSize)
{
    WhiteboardElement element = textElement("one\ntwo\nsix", {0, 0, 100, 75});
    element.lineHeight = 1.25;
    const std::vector<PlacedTextLine> lines =
        layOutText(element, WhiteboardTypeface::excalifont, 20, halfPerByte);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].box, (RectF{0, 0.5, 30, 24}));
    EXPECT_EQ(lines[1].box, (RectF{0, 25.5, 30, 24}));
    EXPECT_EQ(lines[2].box.y + lines[2].box.height, 74.5);
}

// However long a text, laying it out costs no more than the limit's worth: the rest is left
// to an ellipsis, cut between characters.
TEST(LayOutText, LaysOutALongTextUpToTheLimitAndAnEllipsis)
{
    const std::string start(maxLaidOutTextBytes - 1, 'x');
    const std::string accented = "\u00e9"; // two bytes, across the limit
    WhiteboardElement element =
        textElement(start + accented + std::string(1000000, 'y'), {0, 0, 995, 30});
    std::size_t measured = 0;
    const TextMeasurer counting = [&](std::string_view line, WhiteboardTypeface, double size) {
        measured += line.size();
        return SizeF{static_cast<double>(line.size()) * size, size};
    };
    std::string laidOut;
    for (const PlacedTextLine &line :
         layOutText(element, WhiteboardTypeface::handDrawn, 10, counting)) {
        laidOut += line.text;
    }
    EXPECT_EQ(laidOut, start + "\u2026");
    EXPECT_LE(measured, 4 * maxLaidOutTextBytes);

    element.text = start;
    EXPECT_EQ(layOutText(element, WhiteboardTypeface::handDrawn, 10, counting).size(),
              (start.size() + 99) / 100)
        << "100 bytes a line";
}

TEST(WhiteboardTypeface, ExcalidrawNumbersNameTheirHandDrawnFonts)
{
    WhiteboardElement element;
    EXPECT_EQ(whiteboardTypeface(element), WhiteboardTypeface::handDrawn);
    element.fontFamilyID = 1; // Virgil, which Excalidraw's family 1 was; imported without family
    EXPECT_EQ(whiteboardTypeface(element), WhiteboardTypeface::virgil);
    element.fontFamily = WhiteboardFontFamily::handDrawn;
    element.fontFamilyID = 5;
    EXPECT_EQ(whiteboardTypeface(element), WhiteboardTypeface::excalifont);
    element.fontFamilyID = 8; // a family Zentrel does not ship
    EXPECT_EQ(whiteboardTypeface(element), WhiteboardTypeface::handDrawn);
    // A chosen family wins over a number left from before.
    element.fontFamily = WhiteboardFontFamily::monospace;
    element.fontFamilyID = 1;
    EXPECT_EQ(whiteboardTypeface(element), WhiteboardTypeface::monospace);
    EXPECT_EQ(whiteboardTypeface(WhiteboardFontFamily::system), WhiteboardTypeface::system);
}

} // namespace
} // namespace zentrel
