#include "e2e/under_window_manager.h"

namespace zentrel {
namespace {

// The property panel's corner on the screen.
const QPoint propertyPanelCorner(24, 100);

} // namespace

testing::AssertionResult
UnderWindowManager::showsTopEdge(const QImage &screen, const QRect &area, const QColor &colour)
{
    return showsHandDrawnLine(
        screen, QLine(area.topLeft() + QPoint(20, 0), area.topRight() - QPoint(20, 0)), colour);
}

void UnderWindowManager::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(DrawingTest::SetUp());
    ASSERT_NO_FATAL_FAILURE(startWindowManager(GetParam()));
}

void UnderWindowManager::openFeature(const QString &url, const QString &title, Shows shows)
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
    ASSERT_TRUE(toolbar.has_value()) << url.toStdString() << " showed no toolbar; " << situation();
    m_toolbar = *toolbar;
    ASSERT_TRUE(settle(m_toolbar));
    ASSERT_TRUE(isPainted(grabOncePainted(m_toolbar.frame), m_toolbar.frame))
        << "the toolbar was never painted; " << situation();
}

std::optional<TopLevelWindow> UnderWindowManager::waitForNew(const std::set<std::uint32_t> &before,
                                                             const QString &name)
{
    return waitForWindow([&](const TopLevelWindow &window) {
        return window.name == name && !before.contains(window.id);
    });
}

std::optional<TopLevelWindow>
UnderWindowManager::waitForWindow(const std::function<bool(const TopLevelWindow &)> &matches)
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

testing::AssertionResult UnderWindowManager::pointerFinds(const TopLevelWindow &window, QPoint at)
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
           << under.value_or(0) << std::dec << ", not " << window.describe() << "; " << situation();
}

testing::AssertionResult UnderWindowManager::settle(TopLevelWindow &window)
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

void UnderWindowManager::clickOn(const TopLevelWindow &window, QPoint at)
{
    ASSERT_TRUE(pointerFinds(window, at));
    ASSERT_TRUE(m_input.click(at)) << m_input.lastError().toStdString();
}

void UnderWindowManager::dragOver(const QRect &area)
{
    ASSERT_TRUE(m_input.drag(area.topLeft(), area.bottomRight()))
        << m_input.lastError().toStdString();
}

QJsonArray UnderWindowManager::waitForElements(int count)
{
    return waitForSaved([this] { return m_zentrel.savedBoardElements(); },
                        [count](const QJsonArray &elements) { return elements.size() == count; });
}

QImage
UnderWindowManager::screenWithEdge(const QRect &area, const QColor &colour, const QString &feature)
{
    const QImage screen =
        grabUntil([&](const QImage &shown) { return showsTopEdge(shown, area, colour); });
    keepScreenshot(screen, QStringLiteral("%1_%2.png").arg(feature, nameOf(GetParam())));
    return screen;
}

std::optional<TopLevelWindow> UnderWindowManager::propertyPanel()
{
    return waitForWindow([](const TopLevelWindow &window) {
        return window.name == toolbarTitle && window.frame.topLeft() == propertyPanelCorner;
    });
}

QPoint UnderWindowManager::drawWithToolbarRectangle(const QString &url, const QString &title)
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

void UnderWindowManager::settingsThenClose(QPoint settings, QPoint close)
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

} // namespace zentrel
