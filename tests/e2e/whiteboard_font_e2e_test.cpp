#include "common/clock.h"
#include "e2e/board_library.h"
#include "e2e/drawing_test.h"
#include "e2e/text_ink_measure.h"
#include "whiteboard/model/store/whiteboard_library_store.h"

#include <QDeadlineTimer>
#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>

namespace zentrel {
namespace {

// Antialiased edges cross the ink threshold a pixel early or late on each side.
constexpr int inkTolerance = 3;
const QString bundledVirgil =
    QStringLiteral(ZENTREL_BUILD_RESOURCES) + QStringLiteral("/Resources/Fonts/Virgil.otf");
const QString sample = QStringLiteral("Hand-drawn minimum");
constexpr int sampleSize = 48;
const RectF sampleFrame{100, 300, 1000, 80};
// The frame with room around it for letters that reach past it.
const QRect sampleArea(80, 280, 1040, 120);

WhiteboardLibrary sampleLibrary()
{
    WhiteboardBoard board;
    board.id = Uuid::generate(systemUuidRandomSource());
    board.name = "Hand-drawn text";
    board.background = WhiteboardBackground::white();
    WhiteboardElement text;
    text.id = Uuid::generate(systemUuidRandomSource());
    text.kind = WhiteboardElementKind::text;
    text.setFrame(sampleFrame);
    text.text = sample.toStdString();
    text.fontSize = sampleSize;
    text.style.strokeColor = "#1E1E1E";
    text.style.opacity = 1;
    board.elements.push_back(makeElement(std::move(text)));

    return libraryOf(std::move(board));
}

using WhiteboardFontE2E = DrawingTest;

TEST_F(WhiteboardFontE2E, TextIsDrawnInTheBundledHandDrawnFont)
{
    if (!QFile::exists(bundledVirgil)) {
        GTEST_SKIP() << "the build could not fetch the hand-drawn fonts";
    }
    const QSize virgil = measuredInk(bundledVirgil, sampleSize, sample);
    const QSize fallback = measuredInk(QString(), sampleSize, sample);
    ASSERT_FALSE(virgil.isEmpty() || fallback.isEmpty()) << "text_ink measured nothing";
    ASSERT_GT(std::abs(virgil.width() - fallback.width()), 4 * inkTolerance)
        << "the fallback font is too like Virgil for the screen to tell them apart";

    SystemClock clock;
    const WhiteboardLibraryStore store(
        (m_zentrel.dataHome() + QStringLiteral("/Zentrel")).toStdString(),
        clock,
        systemUuidRandomSource());
    ASSERT_TRUE(store.save(sampleLibrary()));
    const std::optional<std::uint32_t> icon = startAndWaitForDock();
    ASSERT_TRUE(icon.has_value()) << "zentrel docked no tray icon; it " << stopAndDescribe();
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/whiteboard")));
    ASSERT_TRUE(
        m_windows.waitForShown(QStringLiteral("Whiteboard"), QDeadlineTimer(windowTimeoutMs))
            .has_value())
        << "the whiteboard did not open; " << situation();

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
