#include "e2e/fixtures/board_library.h"
#include "e2e/fixtures/hand_drawn_text_test.h"
#include "e2e/fixtures/text_ink_measure.h"

#include <gtest/gtest.h>

namespace zentrel {
namespace {

// Antialiased edges cross the ink threshold a pixel early or late on each side.
constexpr int inkTolerance = 3;
const QString word = QStringLiteral("Handwriting");
constexpr int wordSize = 48;
// A bent line as Excalidraw documents keep one: five points, its frame from the first to the
// last.
const std::vector<WhiteboardPoint> zigzag{
    {100, 200}, {200, 450}, {300, 200}, {400, 450}, {500, 200}};
const QColor ink(0x1E, 0x1E, 0x1E);

// The line, and the word in a frame a little narrower than it, as a document measured in
// another copy of the font would give it.
WhiteboardLibrary shapesLibrary(double wordFrameWidth)
{
    WhiteboardBoard board = whiteBoardNamed("Imported shapes");
    const auto add = [&](WhiteboardElement element) {
        element.id = Uuid::generate(systemUuidRandomSource());
        element.style.strokeColor = "#1E1E1E";
        element.style.opacity = 1;
        board.elements.push_back(makeElement(std::move(element)));
    };
    WhiteboardElement line;
    line.kind = WhiteboardElementKind::line;
    line.setFrame({zigzag.front().x,
                   zigzag.front().y,
                   zigzag.back().x - zigzag.front().x,
                   zigzag.back().y - zigzag.front().y});
    line.points = zigzag;
    line.style.strokeWidth = 4;
    add(std::move(line));
    WhiteboardElement text;
    text.kind = WhiteboardElementKind::text;
    text.setFrame({600, 200, wordFrameWidth, wordSize * 1.25});
    text.text = word.toStdString();
    text.fontSize = wordSize;
    text.lineHeight = 1.25;
    text.fontFamily = WhiteboardFontFamily::handDrawn;
    text.fontFamilyID = 5;
    add(std::move(text));

    return libraryOf(std::move(board));
}

class WhiteboardShapesE2E : public HandDrawnTextTest
{
protected:
    WhiteboardShapesE2E()
        : HandDrawnTextTest(QStringLiteral("Excalifont.otf"))
    {}
};

TEST_F(WhiteboardShapesE2E, ShowsEveryBendOfALineAndKeepsAWordWholeInItsFont)
{
    const QSize wordSizeOnScreen = inkInBundledFont(wordSize, word);
    ASSERT_FALSE(wordSizeOnScreen.isEmpty()) << "text_ink measured nothing";
    ASSERT_NO_FATAL_FAILURE(openWhiteboardOn(shapesLibrary(wordSizeOnScreen.width() * 0.97)));

    const QImage screen = grabUntil(
        [&](const QImage &shown) { return showsColorNear(shown, QPoint(300, 205), ink); });
    keepScreenshot(screen, QStringLiteral("whiteboard_bent_line_and_whole_word.png"));
    // The line bends at each point in between; the straight way from its first point to its
    // last stays bare.
    for (const QPoint corner : {QPoint(200, 445), QPoint(300, 205), QPoint(400, 445)}) {
        EXPECT_TRUE(showsColorNear(screen, corner, ink)) << situation();
    }
    EXPECT_FALSE(showsColorNear(screen, QPoint(150, 200), ink));
    EXPECT_FALSE(showsColorNear(screen, QPoint(450, 200), ink));

    // The word stands whole on one line: one line's height, the whole word's width.
    const QRect wordInkOnScreen = inkIn(screen, QRect(580, 180, 500, 240));
    EXPECT_NEAR(wordInkOnScreen.width(), wordSizeOnScreen.width(), inkTolerance) << situation();
    EXPECT_NEAR(wordInkOnScreen.height(), wordSizeOnScreen.height(), inkTolerance) << situation();
}

} // namespace
} // namespace zentrel
