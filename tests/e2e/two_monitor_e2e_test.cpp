#include "e2e/fixtures/under_window_manager.h"
#include "e2e/x11/window_shape.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QJsonObject>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <optional>
#include <set>
#include <utility>

namespace zentrel {
namespace {

// A presenter's desk: a 1080p monitor with a 720p projector at its right, tops aligned. At twice
// the scale the projector is a 1080p one: 960 × 540 as Qt lays out, where Draw's toolbar fits.
const QRect mainMonitor(0, 0, 1920, 1080);
const QRect projector(1920, 0, 1280, 720);
const QRect fullHdProjector(1920, 0, 1920, 1080);
// Blocks of colour low on each monitor, so a picture taken from the wrong place differs from the
// screen in more than one pixel in a hundred. Window managers may stack these override-redirect
// windows above ours, so they keep clear of every toolbar and panel that is clicked.
const std::array<std::pair<QRect, QColor>, 3> blocks{{
    {QRect(160, 820, 420, 200), QColor(0xc8, 0x8c, 0x3c)},
    {QRect(1940, 560, 300, 150), QColor(0x3c, 0x6e, 0xc8)},
    {QRect(2900, 560, 280, 150), QColor(0xb4, 0x3c, 0x8c)},
}};
// A corner of a panel's shape at twice its radius, left out when judging whether it is whole.
constexpr int cornerReach = 60;
constexpr int sessionTimeoutMs = 10000;
constexpr qint64 sessionPollMs = 100;
const QString freezeTitle = QStringLiteral("Zevizu & Vozurir");
const QString timerTitle = QStringLiteral("Break Timer");

// Where the pointer rests while a feature opens: over the monitor, clear of its panels.
QPoint restingPlace(const QRect &monitor)
{
    return monitor.center() + QPoint(0, monitor.height() / 4);
}

std::string nameOf(const QRect &monitor)
{
    return monitor == mainMonitor ? "the main monitor" : "the projector";
}

// Zentrel on a display of two monitors, each feature opened with the pointer on one and then on
// the other. Variants add a compositing manager beside a window manager that does not composite,
// or run the projector at twice the main monitor's scale, as KDE sets it.
class TwoMonitors : public UnderWindowManager
{
protected:
    explicit TwoMonitors(const QRect &projectorFrame = projector,
                         int projectorScale = 1,
                         bool withCompositor = false)
        : UnderWindowManager(MonitorLayout({mainMonitor, projectorFrame}))
        , m_monitors{mainMonitor, projectorFrame}
        , m_projectorScale(projectorScale)
        , m_withCompositor(withCompositor)
    {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DrawingTest::SetUp());
        if (m_projectorScale != 1) {
            m_zentrel.setEnvironment(QStringLiteral("QT_SCREEN_SCALE_FACTORS"),
                                     QStringLiteral("DUMMY0=1;DUMMY1=%1").arg(m_projectorScale));
        }
        for (const auto &[frame, colour] : blocks) {
            ASSERT_TRUE(m_desktop.showWindowAtBottom(frame, colour));
        }
        ASSERT_NO_FATAL_FAILURE(startWindowManager(GetParam()));
        if (m_withCompositor && !composites(GetParam())) {
            ASSERT_NO_FATAL_FAILURE(startCompositor());
        }
        // Mutter paints a wallpaper of its own and KWin a black desktop over the root's; a
        // desktop window shows the same wallpaper under both, as a desktop program's does.
        if (composites(GetParam())) {
            ASSERT_TRUE(m_desktop.showDesktopWindow(wallpaper));
        }
    }

    QString artifact(const char *what, const QRect &monitor) const
    {
        const auto *test = testing::UnitTest::GetInstance()->current_test_info();
        return QStringLiteral("two_monitors_%1_%2_%3.png")
            .arg(QString::fromLatin1(test->name()).replace(QLatin1Char('/'), QLatin1Char('_')),
                 QLatin1String(what),
                 monitor == mainMonitor ? QStringLiteral("main") : QStringLiteral("projector"));
    }

    // The monitor's part of the screen as it shows before a run, the pointer resting on it, once
    // it stays as it is: a compositing window manager paints its own background a little late.
    QImage monitorBefore(const QRect &monitor)
    {
        EXPECT_TRUE(m_input.moveTo(restingPlace(monitor))) << m_input.lastError().toStdString();
        const QRect block = blocks.front().first;
        QImage last;
        const QImage screen = grabUntil([&](const QImage &shown) {
            const bool isStill = shown == last;
            last = shown;
            return isStill && isCloseTo(shown.pixelColor(block.center()), blocks.front().second);
        });
        keepScreenshot(screen, artifact("before", monitor));
        return screen.copy(monitor);
    }

    // Opens the feature with the pointer on the monitor.
    void openOn(const QRect &monitor, const QString &url, const QString &title, Shows shows)
    {
        ASSERT_TRUE(m_input.moveTo(restingPlace(monitor))) << m_input.lastError().toStdString();
        ASSERT_NO_FATAL_FAILURE(openFeature(url, title, shows));
        keepScreenshot(m_xvfb.grabScreen(), artifact(qPrintable(title.left(6)), monitor));
    }

    // Opening the feature again ends its run.
    void closeRun(const QString &url)
    {
        ASSERT_TRUE(handOver(url));
        ASSERT_TRUE(m_windows.waitUntilNotShown(m_main.id, QDeadlineTimer(windowTimeoutMs)))
            << url.toStdString() << " left its run open; " << situation();
    }

    testing::AssertionResult covers(const TopLevelWindow &window, const QRect &monitor)
    {
        if (window.frame == monitor) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << window.describe() << " does not cover exactly "
                                           << nameOf(monitor) << "; " << situation();
    }

    // Inside the monitor, and shown whole: the X shape covers the window but for its corners.
    testing::AssertionResult isWholeOn(const TopLevelWindow &window, const QRect &monitor)
    {
        if (!monitor.contains(window.frame)) {
            return testing::AssertionFailure()
                   << window.describe() << " is not inside " << nameOf(monitor);
        }
        const std::optional<QRegion> shape = boundingShapeOf(m_xvfb.display(), window.id);
        if (!shape) {
            return testing::AssertionFailure() << window.describe() << " has no shape";
        }
        const QRect whole(QPoint(0, 0), window.frame.size());
        const int corner = std::min({cornerReach, whole.width() / 3, whole.height() / 3});
        const QRect shown = shape->boundingRect();
        if (shown == whole && shape->contains(whole.adjusted(corner, 0, -corner, 0))
            && shape->contains(whole.adjusted(0, corner, 0, -corner))) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << window.describe() << " shows only " << shape->rectCount() << " rectangles within "
               << shown.width() << "x" << shown.height() << "+" << shown.x() << "+" << shown.y()
               << " on " << nameOf(monitor);
    }

    // With the pointer just left of the monitor's block, the loupe shows the edge of the block
    // twice as far out: the stream reads the monitor where the pointer is, not another place.
    testing::AssertionResult magnifiesTheBlockOf(const QRect &monitor)
    {
        const auto &[block, colour] = monitor == mainMonitor ? blocks[0] : blocks[2];
        const QPoint pointer(block.left() - 40, block.center().y());
        if (!m_input.moveTo(pointer)) {
            return testing::AssertionFailure() << m_input.lastError().toStdString();
        }
        // Shown 60 px right of the pointer: 30 px of desktop, still left of the block's edge.
        const QPoint desktop = pointer + QPoint(60, 0);
        const QPoint inBlock = pointer + QPoint(110, 0);
        const auto magnifies = [&](const QImage &shown) {
            return isCloseTo(shown.pixelColor(desktop), wallpaper)
                   && isCloseTo(shown.pixelColor(inBlock), colour);
        };
        const QImage screen = grabUntil(magnifies);
        keepScreenshot(screen, artifact("loupe", monitor));
        if (magnifies(screen)) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << "the loupe on " << nameOf(monitor) << " shows "
               << screen.pixelColor(desktop).name().toStdString() << " and "
               << screen.pixelColor(inBlock).name().toStdString() << " beside the pointer";
    }

    // The PNG that action/copy puts on the clipboard, once it is not the one copied before.
    QImage copied(const QRect &monitor, const char *what)
    {
        EXPECT_TRUE(handOver(QStringLiteral("zentrel://action/copy")));
        const QDeadlineTimer deadline(windowTimeoutMs);
        QImage picture = m_clipboard.waitForPng(deadline);
        while (!picture.isNull() && picture == m_lastCopy && !deadline.hasExpired()) {
            QThread::msleep(sessionPollMs);
            picture = m_clipboard.waitForPng(deadline);
        }
        keepScreenshot(picture, artifact(what, monitor));
        m_lastCopy = picture;
        return picture.convertToFormat(QImage::Format_RGB32);
    }

    // A session frame saved after `before` was listed, once there is one.
    QImage newSessionFrame(const std::set<QString> &before) const
    {
        const QDeadlineTimer deadline(sessionTimeoutMs);
        for (;;) {
            for (const QString &frame : sessionFrames()) {
                if (!before.contains(frame)) {
                    return QImage(frame).convertToFormat(QImage::Format_RGB32);
                }
            }
            if (deadline.hasExpired()) {
                return {};
            }
            QThread::msleep(sessionPollMs);
        }
    }

    std::set<QString> sessionFrames() const
    {
        std::set<QString> frames;
        QDirIterator found(m_zentrel.dataHome() + QStringLiteral("/Zentrel/Sessions"),
                           {QStringLiteral("*.png")},
                           QDir::Files,
                           QDirIterator::Subdirectories);
        while (found.hasNext()) {
            frames.insert(found.next());
        }
        return frames;
    }

    // The scenarios, each run in every variant.
    void drawAndFreezePictureTheMonitorUnderThePointer();
    void aidsWhiteboardAndTimerOpenOnTheMonitorUnderThePointer();
    void fullScreenTimerCoversTheMonitorUnderThePointer();
    void toolbarsTakeClicksOnEachMonitor();
    void runStaysOnItsMonitorUntilTheMonitorsChange();

    const std::array<QRect, 2> m_monitors;
    const int m_projectorScale;
    const bool m_withCompositor;
    QImage m_lastCopy;
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
    for (const QRect &monitor : m_monitors) {
        for (const Feature &feature : features) {
            ASSERT_NO_FATAL_FAILURE(openOn(monitor, feature.url, feature.title, feature.shows));
            if (feature.shows == Shows::onlyItsCard) {
                EXPECT_TRUE(isWholeOn(m_main, monitor)) << "the break timer's card";
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
        if (monitor != mainMonitor && GetParam() == WindowManager::xfwm4) {
            GTEST_SKIP() << "xfwm4 makes a full-screen window cover the first monitor, wherever "
                            "the window asked to be: no run opens on the projector there yet";
        }
        const qreal scale = monitor == mainMonitor ? 1 : m_projectorScale;
        const QImage before = monitorBefore(monitor);
        ASSERT_NO_FATAL_FAILURE(openOn(
            monitor, QStringLiteral("zentrel://toggle/draw"), drawTitle, Shows::overlayAndToolbar));
        EXPECT_TRUE(isWholeOn(m_toolbar, monitor));
        const std::set<QString> framesBefore = sessionFrames();
        // Found at the toolbar's own scale, where its gaps are as wide as the finder expects.
        const QImage strip = grabOncePainted(m_toolbar.frame)
                                 .copy(m_toolbar.frame)
                                 .scaled(m_toolbar.frame.size() / scale,
                                         Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation);
        std::optional<QPoint> save = saveToSessionButton(strip, strip.rect());
        ASSERT_TRUE(save.has_value()) << "no Save to Session button in " << m_toolbar.describe();
        save = m_toolbar.frame.topLeft() + *save * scale;
        ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, *save));
        const QImage frame = newSessionFrame(framesBefore);
        keepScreenshot(frame, artifact("session_frame", monitor));
        EXPECT_TRUE(picturesTheScreen(frame, tintedImage(before, overlayTint)))
            << "the session frame on " << nameOf(monitor) << ", Save to Session clicked at "
            << save->x() << "," << save->y() << " in " << m_toolbar.describe();

        QTemporaryDir folder;
        const QString saved = folder.filePath(QStringLiteral("drawing.png"));
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://action/save")));
        ASSERT_NO_FATAL_FAILURE(answerFileDialog(QStringLiteral("Save Drawing"), saved));
        ASSERT_TRUE(waitForFile(saved)) << "Save left no file; " << situation();
        EXPECT_TRUE(picturesTheScreen(QImage(saved).convertToFormat(QImage::Format_RGB32),
                                      tintedImage(before, overlayTint)))
            << "the saved drawing on " << nameOf(monitor);
        ASSERT_NO_FATAL_FAILURE(closeRun(QStringLiteral("zentrel://toggle/draw")));

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
                         ProjectorAtDoubleScaleClicked,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
