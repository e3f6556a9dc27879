#include "e2e/fixtures/board_library.h"
#include "e2e/fixtures/hand_drawn_text_test.h"
#include "e2e/fixtures/text_ink_measure.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace zentrel {
namespace {

// Antialiased edges cross the ink threshold a pixel early or late on each side.
constexpr int inkTolerance = 3;
const QString sample = QStringLiteral("Hand-drawn minimum");
constexpr int sampleSize = 48;
const RectF sampleFrame{100, 300, 1000, 80};
// The frame with room around it for letters that reach past it.
const QRect sampleArea(80, 280, 1040, 120);

class WhiteboardFontE2E : public HandDrawnTextTest
{
protected:
    WhiteboardFontE2E()
        : HandDrawnTextTest(QStringLiteral("Virgil.otf"))
    {}
};

TEST_F(WhiteboardFontE2E, TextIsDrawnInTheBundledHandDrawnFont)
{
    const QSize virgil = inkInBundledFont(sampleSize, sample);
    const QSize fallback = measuredInk(QString(), sampleSize, sample);
    ASSERT_FALSE(virgil.isEmpty() || fallback.isEmpty()) << "text_ink measured nothing";
    ASSERT_GT(std::abs(virgil.width() - fallback.width()), 4 * inkTolerance)
        << "the fallback font is too like Virgil for the screen to tell them apart";

    ASSERT_NO_FATAL_FAILURE(openWhiteboardOn(
        libraryWithText("Hand-drawn text", sampleFrame, sample.toStdString(), sampleSize)));

    const QImage screen = grabUntil([&](const QImage &shown) {
        return std::abs(inkIn(shown, sampleArea).width() - virgil.width()) <= inkTolerance;
    });
    keepScreenshot(screen, QStringLiteral("whiteboard_hand_drawn_text.png"));
    const QRect ink = inkIn(screen, sampleArea);
    EXPECT_NEAR(ink.width(), virgil.width(), inkTolerance)
        << "the text is not drawn in Virgil; the fallback font would be " << fallback.width()
        << " pixels wide; " << situation();
    EXPECT_NEAR(ink.height(), virgil.height(), inkTolerance) << situation();
}

} // namespace
} // namespace zentrel
