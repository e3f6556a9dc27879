#include "e2e/fixtures/two_monitor_desk.h"

#include <QDeadlineTimer>
#include <QImage>
#include <QJsonObject>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <set>

namespace zentrel {
namespace {

// Each feature opened with the pointer on one monitor and then on the other. Variants add a
// compositing manager beside a window manager that does not composite, or run the projector at
// twice the main monitor's scale.
class TwoMonitors : public TwoMonitorDesk
{
protected:
    explicit TwoMonitors(const QRect &projectorFrame = projector,
                         int projectorScale = 1,
                         bool withCompositor = false,
                         const QRect &mainFrame = mainMonitor,
                         int desktopPercent = 100)
        : TwoMonitorDesk(projectorFrame, projectorScale, withCompositor, mainFrame, desktopPercent)
    {}

    // The scenarios, each run in every variant.
    void drawAndFreezePictureTheMonitorUnderThePointer();
    void aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer();
    void fullScreenTimerCoversTheMonitorUnderThePointer();
    void toolbarsTakeClicksOnEachMonitor();
    void runStaysOnItsMonitorUntilTheMonitorsChange();

    // Drags the break timer's card by its background onto the monitor, where it opens anew at
    // the size it has there and whole on it; m_main is the new card.
    void dragCardOnto(const QRect &monitor);
};

class TwoMonitorsComposited : public TwoMonitors
{
protected:
    TwoMonitorsComposited()
        : TwoMonitors(projector, 1, true)
    {}
};

class ProjectorAtDoubleScale : public TwoMonitors
{
protected:
    ProjectorAtDoubleScale()
        : TwoMonitors(fullHdProjector, 2, false)
    {}
};

class ProjectorAtDoubleScaleComposited : public TwoMonitors
{
protected:
    ProjectorAtDoubleScaleComposited()
        : TwoMonitors(fullHdProjector, 2, true)
    {}
};

// Two 1440p monitors at 150 %: Qt gives each as 1707 × 960 points, which scaled back reach a
// pixel into the next monitor or past the screen's edge.
class QhdPairAtOneAndAHalf : public TwoMonitors
{
protected:
    QhdPairAtOneAndAHalf()
        : TwoMonitors(qhdBeside, 1, false, qhdMonitor, 150)
    {}
};

// Its clicking variant: Draw's Save to Session and Save on each, under every window manager.
class QhdPairAtOneAndAHalfClicked : public QhdPairAtOneAndAHalf
{};

// The clicking variant: every window manager, the projector at twice the scale.
class ProjectorAtDoubleScaleClicked : public ProjectorAtDoubleScale
{};

void TwoMonitors::drawAndFreezePictureTheMonitorUnderThePointer()
{
    for (const QRect &monitor : m_monitors) {
        const QImage before = monitorBefore(monitor);
        ASSERT_NO_FATAL_FAILURE(openOn(
            monitor, QStringLiteral("zentrel://toggle/draw"), drawTitle, Shows::overlayAndToolbar));
        EXPECT_TRUE(covers(m_main, monitor));
        EXPECT_TRUE(isWholeOn(m_toolbar, monitor));
        EXPECT_TRUE(
            picturesTheScreen(copied(monitor, "draw_copy"), tintedImage(before, overlayTint)))
            << "Draw's copy on " << nameOf(monitor);
        ASSERT_NO_FATAL_FAILURE(closeRun(QStringLiteral("zentrel://toggle/draw")));

        ASSERT_NO_FATAL_FAILURE(openOn(monitor,
                                       QStringLiteral("zentrel://toggle/freeze"),
                                       freezeTitle,
                                       Shows::overlayAndToolbar));
        EXPECT_TRUE(covers(m_main, monitor));
        EXPECT_TRUE(isWholeOn(m_toolbar, monitor));
        EXPECT_TRUE(picturesTheScreen(copied(monitor, "frozen_copy"), before))
            << "the frozen screen on " << nameOf(monitor);
        ASSERT_NO_FATAL_FAILURE(closeRun(QStringLiteral("zentrel://toggle/freeze")));
    }
}

void TwoMonitors::aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer()
{
    struct Feature
    {
        QString url;
        QString title;
        Shows shows;
    };

    const std::array<Feature, 5> features{{
        {QStringLiteral("zentrel://toggle/zoom"),
         QStringLiteral("Zoom Loupe"),
         Shows::clickThroughOverlayAndToolbar},
        {QStringLiteral("zentrel://toggle/spotlight"),
         QStringLiteral("Spotlight"),
         Shows::clickThroughOverlayAndToolbar},
        {QStringLiteral("zentrel://toggle/halo"),
         QStringLiteral("Cursor Halo"),
         Shows::clickThroughOverlayAndToolbar},
        {QStringLiteral("zentrel://toggle/whiteboard"),
         QStringLiteral("Whiteboard"),
         Shows::overlayAndToolbar},
        {QStringLiteral("zentrel://toggle/timer"), timerTitle, Shows::onlyItsCard},
    }};
    // The break timer's card as it opens on each monitor, and as it lands there, dragged from
    // the other.
    std::array<QSize, 2> openedCards;
    std::array<QSize, 2> droppedCards;
    for (std::size_t index = 0; index < m_monitors.size(); ++index) {
        const QRect &monitor = m_monitors[index];
        const std::size_t other = m_monitors.size() - 1 - index;
        for (const Feature &feature : features) {
            ASSERT_NO_FATAL_FAILURE(openOn(monitor, feature.url, feature.title, feature.shows));
            if (feature.shows == Shows::onlyItsCard) {
                EXPECT_TRUE(isWholeOn(m_main, monitor)) << "the break timer's card";
                openedCards[index] = m_main.frame.size();
                ASSERT_NO_FATAL_FAILURE(dragCardOnto(m_monitors[other]));
                droppedCards[other] = m_main.frame.size();
            } else {
                EXPECT_TRUE(covers(m_main, monitor)) << feature.title.toStdString();
                EXPECT_TRUE(isWholeOn(m_toolbar, monitor)) << feature.title.toStdString();
            }
            // A window manager may stack the blocks above the loupe.
            if (feature.title == QStringLiteral("Zoom Loupe")
                && GetParam() == WindowManager::none) {
                EXPECT_TRUE(magnifiesTheBlockOf(monitor));
            }
            ASSERT_NO_FATAL_FAILURE(closeRun(feature.url));
        }
    }
    for (std::size_t index = 0; index < m_monitors.size(); ++index) {
        EXPECT_EQ(droppedCards[index], openedCards[index])
            << "the card dragged onto " << nameOf(m_monitors[index])
            << " keeps another size than it opens at there";
    }
}

void TwoMonitors::dragCardOnto(const QRect &monitor)
{
    // Within the card's padding, left of its header: its background.
    const QPoint grip(m_main.frame.left() + 10, m_main.frame.center().y());
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_TRUE(m_input.drag(grip, restingPlace(monitor))) << m_input.lastError().toStdString();
    auto card = waitForNew(before, timerTitle);
    ASSERT_TRUE(card.has_value()) << "the card dropped on " << nameOf(monitor)
                                  << " did not open anew there; " << situation();
    ASSERT_TRUE(settle(*card));
    keepScreenshot(m_xvfb.grabScreen(), artifact("dropped_card", monitor));
    EXPECT_TRUE(isWholeOn(*card, monitor)) << "the dropped card";
    m_main = *card;
}

void TwoMonitors::fullScreenTimerCoversTheMonitorUnderThePointer()
{
    ASSERT_TRUE(m_zentrel.writeDefaults(QJsonObject{
        {QStringLiteral("controls.allowsExternalCommandURLs"), true},
        {QStringLiteral("breakTimer.presentationStyle"), QStringLiteral("fullScreen")}}));
    for (const QRect &monitor : m_monitors) {
        ASSERT_NO_FATAL_FAILURE(openOn(
            monitor, QStringLiteral("zentrel://toggle/timer"), timerTitle, Shows::onlyItsCard));
        // Its controls are its own: a window larger than the monitor puts some off it.
        EXPECT_TRUE(covers(m_main, monitor)) << "the full-screen break timer";
        ASSERT_NO_FATAL_FAILURE(closeRun(QStringLiteral("zentrel://toggle/timer")));
    }
}

// "Save to Session" and the loupe's settings and close buttons, clicked on each monitor: a
// toolbar cut to a part of itself lets the clicks through to what lies below.
void TwoMonitors::toolbarsTakeClicksOnEachMonitor()
{
    for (const QRect &monitor : m_monitors) {
        const qreal scale =
            (monitor == m_monitors.front() ? 1 : m_projectorScale) * m_desktopPercent / 100.0;
        const QImage before = monitorBefore(monitor);
        ASSERT_NO_FATAL_FAILURE(openOn(
            monitor, QStringLiteral("zentrel://toggle/draw"), drawTitle, Shows::overlayAndToolbar));
        EXPECT_TRUE(isWholeOn(m_toolbar, monitor));
        const std::set<QString> framesBefore = sessionFrames();
        // Found at the toolbar's own scale, where its gaps are as wide as the finder expects.
        const auto saveButton = [&](const QImage &screen) {
            const QImage strip = screen.copy(m_toolbar.frame)
                                     .scaled(m_toolbar.frame.size() / scale,
                                             Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation);
            return saveToSessionButton(strip, strip.rect());
        };
        std::optional<QPoint> save = saveButton(
            grabUntil([&](const QImage &shown) { return saveButton(shown).has_value(); }));
        ASSERT_TRUE(save.has_value()) << "no Save to Session button in " << m_toolbar.describe();
        save = m_toolbar.frame.topLeft() + *save * scale;
        ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, *save));
        const QImage frame = newSessionFrame(framesBefore);
        keepScreenshot(frame, artifact("session_frame", monitor));

        QTemporaryDir folder;
        const QString saved = folder.filePath(QStringLiteral("drawing.png"));
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/save")));
        ASSERT_NO_FATAL_FAILURE(answerFileDialog(QStringLiteral("Save Drawing"), saved));
        ASSERT_TRUE(waitForFile(saved)) << "Save left no file; " << situation();
        ASSERT_NO_FATAL_FAILURE(closeRun(QStringLiteral("zentrel://toggle/draw")));
        // A busy mutter may paint its own background afresh, or give it up, while the run is
        // open: the pictures show the screen as it was before the run or as it is after it.
        const QImage after = monitorBefore(monitor);
        const auto picturesTheScreenWithoutTheRun = [&](const QImage &picture) {
            const testing::AssertionResult asBefore =
                picturesTheScreen(picture, tintedImage(before, overlayTint));
            return asBefore || picturesTheScreen(picture, tintedImage(after, overlayTint))
                       ? testing::AssertionSuccess()
                       : asBefore;
        };
        EXPECT_TRUE(picturesTheScreenWithoutTheRun(frame))
            << "the session frame on " << nameOf(monitor) << ", Save to Session clicked at "
            << save->x() << "," << save->y() << " in " << m_toolbar.describe();
        EXPECT_TRUE(
            picturesTheScreenWithoutTheRun(QImage(saved).convertToFormat(QImage::Format_RGB32)))
            << "the saved drawing on " << nameOf(monitor);

        ASSERT_NO_FATAL_FAILURE(openOn(monitor,
                                       QStringLiteral("zentrel://toggle/zoom"),
                                       QStringLiteral("Zoom Loupe"),
                                       Shows::overlayAndToolbar));
        const int middle = m_toolbar.frame.center().y();
        const std::set<std::uint32_t> shownBefore = m_windows.shownIds();
        ASSERT_NO_FATAL_FAILURE(
            clickOn(m_toolbar, QPoint(m_toolbar.frame.left() + int(28 * scale), middle)));
        auto panel = waitForNew(shownBefore, toolbarTitle);
        ASSERT_TRUE(panel.has_value()) << "the settings button showed no panel; " << situation();
        EXPECT_TRUE(settle(*panel));
        EXPECT_TRUE(isWholeOn(*panel, monitor)) << "the loupe's settings";
        ASSERT_NO_FATAL_FAILURE(
            clickOn(m_toolbar, QPoint(m_toolbar.frame.right() - int(26 * scale), middle)));
        EXPECT_TRUE(m_windows.waitUntilNotShown(m_main.id, QDeadlineTimer(windowTimeoutMs)))
            << "the loupe's close button left it open on " << nameOf(monitor) << "; "
            << situation();
    }
}

void TwoMonitors::runStaysOnItsMonitorUntilTheMonitorsChange()
{
    const QRect &other = m_monitors.back();
    const QImage before = monitorBefore(other);
    ASSERT_NO_FATAL_FAILURE(openOn(
        other, QStringLiteral("zentrel://toggle/draw"), drawTitle, Shows::overlayAndToolbar));
    ASSERT_TRUE(m_input.moveTo(restingPlace(mainMonitor))) << m_input.lastError().toStdString();
    EXPECT_TRUE(picturesTheScreen(copied(other, "draw_copy_pointer_away"),
                                  tintedImage(before, overlayTint)))
        << "Draw's copy with the pointer on the other monitor";
    const std::optional<TopLevelWindow> draw = m_windows.window(m_main.id);
    ASSERT_TRUE(draw.has_value()) << "Draw closed as the pointer left its monitor";
    EXPECT_TRUE(covers(*draw, other));

    ASSERT_TRUE(m_xvfb.turnOff(1)) << m_xvfb.output().toStdString();
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_main.id, QDeadlineTimer(windowTimeoutMs)))
        << "Draw stayed open when its monitor went; " << situation();

    // Qt keeps the last monitor as a screen of its old size once it is off, and says nothing: a
    // run ends all the same, the whiteboard saving what was drawn.
    ASSERT_TRUE(m_input.moveTo(restingPlace(mainMonitor))) << m_input.lastError().toStdString();
    ASSERT_NO_FATAL_FAILURE(drawWithToolbarRectangle(QStringLiteral("zentrel://toggle/whiteboard"),
                                                     QStringLiteral("Whiteboard")));
    ASSERT_TRUE(m_xvfb.turnOff(0)) << m_xvfb.output().toStdString();
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_main.id, QDeadlineTimer(windowTimeoutMs)))
        << "the whiteboard stayed open when the last monitor went; " << situation();
    EXPECT_EQ(waitForElements(1).size(), 1) << "the rectangle was not saved";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_P(TwoMonitors, DrawAndFreezePictureTheMonitorUnderThePointer)
{
    drawAndFreezePictureTheMonitorUnderThePointer();
}

TEST_P(TwoMonitors, AidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer)
{
    aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer();
}

TEST_P(TwoMonitors, FullScreenTimerCoversTheMonitorUnderThePointer)
{
    fullScreenTimerCoversTheMonitorUnderThePointer();
}

TEST_P(TwoMonitors, RunStaysOnItsMonitorUntilTheMonitorsChange)
{
    runStaysOnItsMonitorUntilTheMonitorsChange();
}

TEST_P(ProjectorAtDoubleScale, RunStaysOnItsMonitorUntilTheMonitorsChange)
{
    runStaysOnItsMonitorUntilTheMonitorsChange();
}

TEST_P(TwoMonitorsComposited, DrawAndFreezePictureTheMonitorUnderThePointer)
{
    drawAndFreezePictureTheMonitorUnderThePointer();
}

TEST_P(TwoMonitorsComposited, AidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer)
{
    aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer();
}

TEST_P(TwoMonitorsComposited, FullScreenTimerCoversTheMonitorUnderThePointer)
{
    fullScreenTimerCoversTheMonitorUnderThePointer();
}

TEST_P(ProjectorAtDoubleScale, DrawAndFreezePictureTheMonitorUnderThePointer)
{
    drawAndFreezePictureTheMonitorUnderThePointer();
}

TEST_P(ProjectorAtDoubleScale, AidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer)
{
    aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer();
}

TEST_P(ProjectorAtDoubleScale, FullScreenTimerCoversTheMonitorUnderThePointer)
{
    fullScreenTimerCoversTheMonitorUnderThePointer();
}

TEST_P(ProjectorAtDoubleScaleComposited, DrawAndFreezePictureTheMonitorUnderThePointer)
{
    drawAndFreezePictureTheMonitorUnderThePointer();
}

TEST_P(ProjectorAtDoubleScaleComposited, AidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer)
{
    aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer();
}

TEST_P(ProjectorAtDoubleScaleComposited, FullScreenTimerCoversTheMonitorUnderThePointer)
{
    fullScreenTimerCoversTheMonitorUnderThePointer();
}

TEST_P(QhdPairAtOneAndAHalf, DrawAndFreezePictureTheMonitorUnderThePointer)
{
    drawAndFreezePictureTheMonitorUnderThePointer();
}

TEST_P(QhdPairAtOneAndAHalf, AidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer)
{
    aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer();
}

TEST_P(QhdPairAtOneAndAHalfClicked, ToolbarsTakeClicksOnEachMonitor)
{
    toolbarsTakeClicksOnEachMonitor();
}

TEST_P(ProjectorAtDoubleScaleClicked, ToolbarsTakeClicksOnEachMonitor)
{
    toolbarsTakeClicksOnEachMonitor();
}

// Every feature with no window manager, and under one that composites by itself; clicks under
// every window manager.
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         TwoMonitors,
                         testing::Values(WindowManager::none, WindowManager::kwin),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         TwoMonitorsComposited,
                         testing::Values(WindowManager::none),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         ProjectorAtDoubleScale,
                         testing::Values(WindowManager::none),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         ProjectorAtDoubleScaleComposited,
                         testing::Values(WindowManager::none),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         QhdPairAtOneAndAHalf,
                         testing::Values(WindowManager::none, WindowManager::kwin),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         ProjectorAtDoubleScaleClicked,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         QhdPairAtOneAndAHalfClicked,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
