#include "e2e/drawing_test.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace zentrel {
namespace {

constexpr int savedTimeoutMs = 5000;
constexpr qint64 savedPollMs = 50;
constexpr unsigned long personsPauseMs = 300;
const QColor blue(0x00, 0x7a, 0xff);
// Where a drag draws a shape: clear of every toolbar and panel.
const QRect shapeDrag(QPoint(420, 300), QPoint(720, 500));
const QRect secondShapeDrag(QPoint(780, 300), QPoint(1000, 460));
// Controls, from the top-left corner of their window.
const QPoint drawBlueSwatch(491, 27);
const QPoint boardRectangleTool(150, 27);
const QPoint propertyBlueStroke(152, 59);
const QPoint timerSettingsButton(415, 42);
const QPoint timerCloseButton(457, 42);
// The property panel's corner on the screen.
const QPoint propertyPanelCorner(24, 100);

// A hand-drawn stroke along the top edge of the shape dragged over area; a freehand stroke
// along the drag's diagonal never shows this.
testing::AssertionResult showsTopEdge(const QImage &screen, const QRect &area, const QColor &colour)
{
    return showsHandDrawnLine(
        screen, QLine(area.topLeft() + QPoint(20, 0), area.topRight() - QPoint(20, 0)), colour);
}

// Every scenario in which the user clicks a toolbar or panel, or types after such a click, on a
// bare X server and under each window manager our users run.
class UnderWindowManager : public DrawingTest, public testing::WithParamInterface<WindowManager>
{
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DrawingTest::SetUp());
        ASSERT_NO_FATAL_FAILURE(startWindowManager(GetParam()));
    }

    enum class Shows {
        overlayAndToolbar,
        // An overlay that lets every click through, so the pointer never finds it.
        clickThroughOverlayAndToolbar,
        onlyItsCard,
    };

    // Opens the feature by command URL; returns once its main window and, where it has one,
    // its toolbar are on screen and painted.
    void
    openFeature(const QString &url, const QString &title, Shows shows = Shows::overlayAndToolbar)
    {
        if (!m_zentrel.isRunning()) {
            ASSERT_TRUE(startAndWaitForDock().has_value())
                << "zentrel docked no tray icon; it " << stopAndDescribe();
            ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
                << "zentrel never listened for command URLs; it " << stopAndDescribe();
        }
        const std::set<std::uint32_t> before = m_windows.shownIds();
        ASSERT_TRUE(handOver(url));
        const auto main = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(main.has_value()) << url.toStdString() << " showed nothing; " << situation();
        m_main = *main;
        if (shows != Shows::clickThroughOverlayAndToolbar) {
            ASSERT_TRUE(settle(m_main));
        }
        if (shows == Shows::onlyItsCard) {
            return;
        }
        const auto toolbar = waitForNew(before, toolbarTitle);
        ASSERT_TRUE(toolbar.has_value())
            << url.toStdString() << " showed no toolbar; " << situation();
        m_toolbar = *toolbar;
        ASSERT_TRUE(settle(m_toolbar));
        ASSERT_TRUE(isPainted(grabOncePainted(m_toolbar.frame), m_toolbar.frame))
            << "the toolbar was never painted; " << situation();
    }

    // A window named `name` shown now that was not shown before.
    std::optional<TopLevelWindow> waitForNew(const std::set<std::uint32_t> &before,
                                             const QString &name)
    {
        return waitForWindow([&](const TopLevelWindow &window) {
            return window.name == name && !before.contains(window.id);
        });
    }

    // The first shown window that `matches`, once there is one.
    std::optional<TopLevelWindow>
    waitForWindow(const std::function<bool(const TopLevelWindow &)> &matches)
    {
        const QDeadlineTimer deadline(windowTimeoutMs);
        for (;;) {
            for (const TopLevelWindow &window : m_windows.topLevel()) {
                if (window.isShown && matches(window)) {
                    return window;
                }
            }
            if (deadline.hasExpired()) {
                return std::nullopt;
            }
            QThread::msleep(savedPollMs);
        }
    }

    // The pointer at `at` finds the window, or the window manager's frame around it, on top:
    // where a click there would go.
    testing::AssertionResult pointerFinds(const TopLevelWindow &window, QPoint at)
    {
        if (!m_input.moveTo(at)) {
            return testing::AssertionFailure() << m_input.lastError().toStdString();
        }
        const std::optional<std::uint32_t> under = m_windows.topLevelUnderPointer();
        if (under && *under == m_windows.topLevelHolding(window.id)) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << "at " << at.x() << ',' << at.y() << " the pointer finds window 0x" << std::hex
               << under.value_or(0) << std::dec << ", not " << window.describe() << "; "
               << situation();
    }

    // Waits until the window manager has put the window in its place and shows it on top there
    // (the pointer at its middle finds it), and updates `window` to where it is.
    testing::AssertionResult settle(TopLevelWindow &window)
    {
        const QDeadlineTimer deadline(windowTimeoutMs);
        std::optional<TopLevelWindow> last;
        for (;;) {
            const std::optional<TopLevelWindow> now = m_windows.window(window.id);
            if (!now || !now->isShown) {
                return testing::AssertionFailure() << window.describe() << " went away";
            }
            const bool isStill = last && last->frame == now->frame;
            last = now;
            if (isStill && m_input.moveTo(now->frame.center())
                && m_windows.topLevelUnderPointer() == m_windows.topLevelHolding(now->id)) {
                window = *now;
                return testing::AssertionSuccess();
            }
            if (deadline.hasExpired()) {
                return testing::AssertionFailure()
                       << window.describe() << " never settled on top; " << situation();
            }
            QThread::msleep(savedPollMs);
        }
    }

    // Clicks `at`, once the pointer there finds `window`.
    void clickOn(const TopLevelWindow &window, QPoint at)
    {
        ASSERT_TRUE(pointerFinds(window, at));
        ASSERT_TRUE(m_input.click(at)) << m_input.lastError().toStdString();
    }

    void dragOver(const QRect &area)
    {
        ASSERT_TRUE(m_input.drag(area.topLeft(), area.bottomRight()))
            << m_input.lastError().toStdString();
    }

    // Whatever `saved` reads from the program's files, once `holds` says it is as expected.
    template <typename Saved>
    auto waitForSaved(Saved saved, const std::function<bool(decltype(saved()))> &holds)
    {
        const QDeadlineTimer deadline(savedTimeoutMs);
        auto value = saved();
        while (!holds(value) && !deadline.hasExpired()) {
            QThread::msleep(savedPollMs);
            value = saved();
        }
        return value;
    }

    QJsonArray waitForElements(int count)
    {
        return waitForSaved(
            [this] { return m_zentrel.savedBoardElements(); },
            [count](const QJsonArray &elements) { return elements.size() == count; });
    }

    // The screen once it shows the shape's top edge, kept as this window manager's picture of
    // the feature.
    QImage screenWithEdge(const QRect &area, const QColor &colour, const QString &feature)
    {
        const QImage screen =
            grabUntil([&](const QImage &shown) { return showsTopEdge(shown, area, colour); });
        keepScreenshot(screen, QStringLiteral("%1_%2.png").arg(feature, nameOf(GetParam())));
        return screen;
    }

    std::optional<TopLevelWindow> propertyPanel()
    {
        return waitForWindow([](const TopLevelWindow &window) {
            return window.name == toolbarTitle && window.frame.topLeft() == propertyPanelCorner;
        });
    }

    // Opens the whiteboard or Zevizu & Vozurir, picks the rectangle on its toolbar and drags a
    // shape; returns where the tool's button is.
    QPoint drawWithToolbarRectangle(const QString &url, const QString &title)
    {
        openFeature(url, title);
        const QPoint rectangleTool = m_toolbar.frame.topLeft() + boardRectangleTool;
        if (!HasFatalFailure()) {
            clickOn(m_toolbar, rectangleTool);
        }
        if (!HasFatalFailure()) {
            dragOver(shapeDrag);
        }
        return rectangleTool;
    }

    // Settings button, then close button, of a feature whose toolbar has both.
    void settingsThenClose(QPoint settings, QPoint close)
    {
        const std::set<std::uint32_t> before = m_windows.shownIds();
        ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, settings));
        auto panel = waitForNew(before, toolbarTitle);
        ASSERT_TRUE(panel.has_value()) << "the settings button showed no panel; " << situation();
        EXPECT_TRUE(settle(*panel));
        EXPECT_TRUE(pointerFinds(m_toolbar, close));
        ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, close));
        EXPECT_TRUE(m_windows.waitUntilNotShown(m_main.name, QDeadlineTimer(windowTimeoutMs)))
            << "the close button left the feature open; " << situation();
    }

    TopLevelWindow m_main;
};

TEST_P(UnderWindowManager, DrawToolbarTakesClicksAndLeavesTheKeysWithTheCanvas)
{
    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    const QPoint swatch = m_toolbar.frame.topLeft() + drawBlueSwatch;
    ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, swatch));
    const QJsonObject defaults =
        waitForSaved([this] { return m_zentrel.savedDefaults(); },
                     [](const QJsonObject &saved) {
                         return saved[QStringLiteral("drawing.color")] == "#007AFF";
                     });
    EXPECT_EQ(defaults[QStringLiteral("drawing.color")].toString(), QStringLiteral("#007AFF"))
        << "the click on the blue swatch did not change the colour";

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    const QImage screen = screenWithEdge(shapeDrag, blue, QStringLiteral("draw"));
    EXPECT_TRUE(showsTopEdge(screen, shapeDrag, blue))
        << "3 pressed after a toolbar click did not draw a rectangle; " << situation();
    // The canvas was clicked and dragged on: its toolbar must still be above it.
    EXPECT_TRUE(pointerFinds(m_toolbar, swatch));

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    EXPECT_TRUE(m_windows.waitUntilNotShown(drawTitle, QDeadlineTimer(windowTimeoutMs)))
        << "Escape did not close Draw; " << situation();
}

TEST_P(UnderWindowManager, OverlayCoversTheDesktopsDockAndStaysOutOfTaskListsWithToolTips)
{
    constexpr int dockHeight = 30;
    const QColor dockColour(0x20, 0x60, 0x20);
    ASSERT_TRUE(m_desktop.showTopDock(dockHeight, dockColour));
    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    EXPECT_EQ(m_main.frame, QRect(0, 0, XvfbSession::screenWidth, XvfbSession::screenHeight));
    EXPECT_TRUE(pointerFinds(m_main, QPoint(60, dockHeight / 2)))
        << "the desktop's dock stays above the overlay";
    const QStringList states = m_windows.statesOf(m_main.id);
    for (const QString &state : {QStringLiteral("_NET_WM_STATE_FULLSCREEN"),
                                 QStringLiteral("_NET_WM_STATE_SKIP_TASKBAR"),
                                 QStringLiteral("_NET_WM_STATE_SKIP_PAGER")}) {
        EXPECT_TRUE(states.contains(state)) << "the overlay is not " << state.toStdString() << ": "
                                            << states.join(' ').toStdString();
    }

    // A help text shows over a toolbar button, though the toolbar never has the keyboard.
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_TRUE(m_input.moveTo(m_toolbar.frame.topLeft() + boardRectangleTool));
    EXPECT_TRUE(m_windows.waitForNewPopup(before, QDeadlineTimer(windowTimeoutMs)).has_value())
        << "no tooltip over the toolbar; " << situation();
}

TEST_P(UnderWindowManager, WhiteboardToolbarAndPropertyPanelTakeClicksAndKeysStillPickTools)
{
    QPoint rectangleTool;
    ASSERT_NO_FATAL_FAILURE(
        rectangleTool = drawWithToolbarRectangle(QStringLiteral("zentrel://toggle/whiteboard"),
                                                 QStringLiteral("Whiteboard")));
    QJsonArray elements = waitForElements(1);
    ASSERT_EQ(elements.size(), 1) << "the drag saved no element; " << situation();
    EXPECT_EQ(elements[0][QStringLiteral("kind")].toString(), QStringLiteral("rectangle"));
    EXPECT_TRUE(pointerFinds(m_toolbar, rectangleTool));

    const auto properties = propertyPanel();
    ASSERT_TRUE(properties.has_value())
        << "no property panel for the new rectangle; " << situation();
    ASSERT_NO_FATAL_FAILURE(clickOn(*properties, properties->frame.topLeft() + propertyBlueStroke));
    elements = waitForSaved(
        [this] { return m_zentrel.savedBoardElements(); },
        [](const QJsonArray &saved) {
            return !saved.isEmpty()
                   && saved[0][QStringLiteral("style")][QStringLiteral("strokeColor")] == "#007AFF";
        });
    EXPECT_EQ(elements[0][QStringLiteral("style")][QStringLiteral("strokeColor")].toString(),
              QStringLiteral("#007AFF"))
        << "the property panel's blue stroke did not reach the rectangle";

    // Keys go to the canvas after a click on the panel: 4 is the ellipse.
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("4")));
    ASSERT_NO_FATAL_FAILURE(dragOver(secondShapeDrag));
    elements = waitForElements(2);
    ASSERT_EQ(elements.size(), 2) << "4 and a drag after a panel click saved nothing; "
                                  << situation();
    EXPECT_EQ(elements[1][QStringLiteral("kind")].toString(), QStringLiteral("ellipse"));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+z")));
    EXPECT_EQ(waitForElements(1).size(), 1) << "Ctrl+Z did not undo the ellipse; " << situation();
    keepScreenshot(m_xvfb.grabScreen(),
                   QStringLiteral("whiteboard_%1.png").arg(nameOf(GetParam())));
    EXPECT_TRUE(pointerFinds(m_toolbar, rectangleTool));
}

TEST_P(UnderWindowManager, FreezeToolbarShowsItsToolsDrawAndItSavesToTheSession)
{
    QPoint rectangleTool;
    ASSERT_NO_FATAL_FAILURE(rectangleTool =
                                drawWithToolbarRectangle(QStringLiteral("zentrel://toggle/freeze"),
                                                         QStringLiteral("Zevizu & Vozurir")));
    const QImage screen = screenWithEdge(shapeDrag, green, QStringLiteral("freeze"));
    EXPECT_TRUE(showsTopEdge(screen, shapeDrag, green))
        << "the toolbar's rectangle tool drew no rectangle; " << situation();
    EXPECT_TRUE(isPainted(screen, m_toolbar.frame)) << "the toolbar is not on screen";
    EXPECT_TRUE(pointerFinds(m_toolbar, rectangleTool));

    const QPoint saveToSession(m_toolbar.frame.right() - 61, m_toolbar.frame.center().y());
    ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, saveToSession));
    const QJsonArray frames =
        waitForSaved([this] { return m_zentrel.savedSessionFrames(); },
                     [](const QJsonArray &saved) { return !saved.isEmpty(); });
    ASSERT_EQ(frames.size(), 1) << "Save to Session stored no frame; " << situation();
    EXPECT_EQ(frames[0][QStringLiteral("source")].toString(), QStringLiteral("freeze"));
}

TEST_P(UnderWindowManager, LoupeToolbarOpensItsSettingsAndCloses)
{
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/zoom"), QStringLiteral("Zoom Loupe")));
    const int middle = m_toolbar.frame.center().y();
    settingsThenClose(QPoint(m_toolbar.frame.left() + 28, middle),
                      QPoint(m_toolbar.frame.right() - 26, middle));
}

TEST_P(UnderWindowManager, HaloToolbarOpensItsSettingsAndCloses)
{
    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/halo"),
                                        QStringLiteral("Cursor Halo"),
                                        Shows::clickThroughOverlayAndToolbar));
    const int middle = m_toolbar.frame.center().y();
    settingsThenClose(QPoint(m_toolbar.frame.right() - 75, middle),
                      QPoint(m_toolbar.frame.right() - 24, middle));
}

TEST_P(UnderWindowManager, BreakTimerButtonsOpenItsSettingsAndClose)
{
    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/timer"),
                                        QStringLiteral("Break Timer"),
                                        Shows::onlyItsCard));
    ASSERT_TRUE(isPainted(grabOncePainted(m_main.frame), m_main.frame));
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, m_main.frame.topLeft() + timerSettingsButton));
    auto settings = m_windows.waitForShown(QStringLiteral("Break timer settings"),
                                           QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(settings.has_value()) << "the settings button showed no panel; " << situation();
    EXPECT_TRUE(settle(*settings));
    ASSERT_NO_FATAL_FAILURE(clickOn(m_main, m_main.frame.topLeft() + timerCloseButton));
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_main.name, QDeadlineTimer(windowTimeoutMs)))
        << "the close button left the break timer open; " << situation();
}

TEST_P(UnderWindowManager, ErrorAlertShowsAboveARunningOverlayAndGivesTheKeysBack)
{
    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://nonsense")));
    auto alert = waitForNew(before, toolbarTitle);
    ASSERT_TRUE(alert.has_value()) << "no alert for a bad command URL; " << situation();
    EXPECT_TRUE(settle(*alert)) << "the alert is not on top";
    const QImage screen = grabOncePainted(alert->frame);
    keepScreenshot(screen, QStringLiteral("alert_%1.png").arg(nameOf(GetParam())));
    EXPECT_TRUE(isPainted(screen, alert->frame)) << "the alert was never painted";

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Return")));
    ASSERT_TRUE(m_windows.waitUntilNotShown(alert->id, QDeadlineTimer(windowTimeoutMs)))
        << "Return did not answer the alert; " << situation();
    ASSERT_TRUE(m_windows.waitForKeyboard(m_main.id, QDeadlineTimer(windowTimeoutMs)))
        << "the keyboard did not come back to the canvas; " << situation();
    // A person's next key comes far later than the program hears that the keyboard is back.
    QThread::msleep(personsPauseMs);
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    EXPECT_TRUE(showsTopEdge(
        screenWithEdge(shapeDrag, green, QStringLiteral("after_alert")), shapeDrag, green))
        << "after the alert the keys did not reach the canvas; " << situation();
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         UnderWindowManager,
                         testing::ValuesIn(everyWindowManager()),
                         [](const testing::TestParamInfo<WindowManager> &param) {
                             return nameOf(param.param).toStdString();
                         });

} // namespace
} // namespace zentrel
