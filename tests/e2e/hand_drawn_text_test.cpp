#include "e2e/hand_drawn_text_test.h"

#include "common/clock.h"
#include "e2e/text_ink_measure.h"
#include "whiteboard/model/whiteboard_library_store.h"

#include <QDeadlineTimer>
#include <QFile>

namespace zentrel {

HandDrawnTextTest::HandDrawnTextTest(const QString &fontFileName)
    : m_bundledFont(QStringLiteral(ZENTREL_BUILD_RESOURCES) + QStringLiteral("/Resources/Fonts/")
                    + fontFileName)
{}

void HandDrawnTextTest::SetUp()
{
    if (!QFile::exists(m_bundledFont)) {
        GTEST_SKIP() << "the build could not fetch the hand-drawn fonts";
    }
    DrawingTest::SetUp();
}

QSize HandDrawnTextTest::inkInBundledFont(int pixelSize, const QString &text) const
{
    return measuredInk(m_bundledFont, pixelSize, text);
}

void HandDrawnTextTest::openWhiteboardOn(const WhiteboardLibrary &library)
{
    SystemClock clock;
    const WhiteboardLibraryStore store(
        (m_zentrel.dataHome() + QStringLiteral("/Zentrel")).toStdString(),
        clock,
        systemUuidRandomSource());
    ASSERT_TRUE(store.save(library));
    const std::optional<std::uint32_t> icon = startAndWaitForDock();
    ASSERT_TRUE(icon.has_value()) << "zentrel docked no tray icon; it " << stopAndDescribe();
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/whiteboard")));
    ASSERT_TRUE(
        m_windows.waitForShown(QStringLiteral("Whiteboard"), QDeadlineTimer(windowTimeoutMs))
            .has_value())
        << "the whiteboard did not open; " << situation();
}

} // namespace zentrel
