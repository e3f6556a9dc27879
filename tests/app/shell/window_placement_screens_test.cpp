#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_tray_host_watch.h"
#include "shell/app_preferences.h"
#include "shell/message_box_alert_presenter.h"
#include "shell/tray/tray_fallback_window.h"
#include "shell/tray/tray_icon.h"
#include "shell/window_placement.h"

#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace zentrel {
namespace {

// The size of the welcome window, which opens in the middle of the active screen.
constexpr QSize welcomeSize(520, 430);

// A point on the screen away from its middle and its corners, where a pointer may rest.
QPoint restingPoint(const QScreen &screen)
{
    const QRect frame = screen.geometry();
    return frame.topLeft() + QPoint(frame.width() / 4, frame.height() / 3);
}

testing::AssertionResult isCentredOn(const QRect &frame, const QScreen &screen)
{
    const QPoint offset = frame.center() - screen.availableGeometry().center();
    if (offset.manhattanLength() <= 2) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "off the middle of " << screen.name().toStdString()
                                       << " by " << offset.x() << "," << offset.y();
}

TrayFallbackWindow *shownFallbackWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        auto *fallback = qobject_cast<TrayFallbackWindow *>(window);
        if (fallback && fallback->isVisible()) {
            return fallback;
        }
    }
    return nullptr;
}

// Zentrel's way into the menu on a desktop with no tray.
struct WithoutTray
{
    // Starts it with the pointer resting on the screen; returns the window in place of the tray
    // once it is exposed, none when it never is.
    TrayFallbackWindow *startWithPointerOn(const QScreen &screen)
    {
        QCursor::setPos(restingPoint(screen));
        trayIcon.emplace(preferences, noTray, &menu);
        TrayFallbackWindow *launcher = shownFallbackWindow();
        return launcher && QTest::qWaitForWindowExposed(launcher) ? launcher : nullptr;
    }

    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    QMenu menu;
    FakeTrayHostWatch noTray{false};
    std::optional<TrayIcon> trayIcon;
};

} // namespace

// Without a tray, the window holding the menu opens where a launcher sits: in the bottom-right
// corner of the screen under the pointer, clear of the welcome window in its middle, and drawn
// at that screen's scale. An alert opens in the middle of the screen under the pointer, not by
// that window, wherever the window manager would put a dialog of ours.
TEST(WindowPlacementOnScreens, LauncherInTheCornerAndAlertsInTheMiddleOfTheScreenUnderThePointer)
{
    MessageBoxAlertPresenter presenter;
    for (QScreen *screen : QGuiApplication::screens()) {
        const std::string name = screen->name().toStdString();
        WithoutTray desk;
        TrayFallbackWindow *launcher = desk.startWithPointerOn(*screen);
        ASSERT_NE(launcher, nullptr) << name;
        EXPECT_EQ(launcher->screen(), screen) << name;
        EXPECT_EQ(launcher->devicePixelRatioF(), screen->devicePixelRatio()) << name;
        const QRect area = screen->availableGeometry();
        const QRect corner = launcher->frameGeometry();
        EXPECT_TRUE(area.contains(corner)) << name;
        EXPECT_LE((area.bottomRight() - corner.bottomRight()).manhattanLength(), 40) << name;
        QRect welcome(QPoint(), welcomeSize);
        welcome.moveCenter(area.center());
        EXPECT_FALSE(corner.intersects(welcome)) << name;

        bool closed = false;
        presenter.present(
            "The Zentrel command URL is invalid.", {}, [&](AlertOutcome) { closed = true; });
        QMessageBox *alert = presenter.currentAlert();
        ASSERT_NE(alert, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(alert));
        EXPECT_EQ(alert->screen(), screen) << name;
        EXPECT_EQ(alert->devicePixelRatioF(), screen->devicePixelRatio()) << name;
        EXPECT_TRUE(isCentredOn(alert->frameGeometry(), *screen));
        alert->button(QMessageBox::Ok)->click();
        EXPECT_TRUE(closed);
    }
}

// Moved by the user, the launcher comes back there after a run, on its screen, wherever the
// pointer is then; a start of `zentrel` calls it into the corner of the screen under the pointer.
TEST(WindowPlacementOnScreens, LauncherComesBackWhereTheUserPutItAndARevealCallsItToThePointer)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    ASSERT_GE(screens.size(), 2);
    QScreen &projector = *screens[1];
    QScreen &doubled = *screens.back();
    WithoutTray desk;
    TrayFallbackWindow *launcher = desk.startWithPointerOn(*screens[0]);
    ASSERT_NE(launcher, nullptr);
    const QPoint moved = projector.availableGeometry().topLeft() + QPoint(200, 120);
    launcher->setScreen(&projector);
    launcher->move(moved);

    for (QScreen *pointerScreen : screens) {
        QCursor::setPos(restingPoint(*pointerScreen));
        desk.trayIcon->setFeatureRunning(true);
        EXPECT_FALSE(launcher->isVisible());
        desk.trayIcon->setFeatureRunning(false);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(launcher));
        EXPECT_EQ(launcher->screen(), &projector) << pointerScreen->name().toStdString();
        EXPECT_EQ(launcher->pos(), moved) << pointerScreen->name().toStdString();
    }

    QCursor::setPos(restingPoint(doubled));
    desk.trayIcon->reveal();
    EXPECT_EQ(launcher->screen(), &doubled);
    const QRect area = doubled.availableGeometry();
    EXPECT_LE((area.bottomRight() - launcher->frameGeometry().bottomRight()).manhattanLength(), 40);
}

// Dragged onto a screen of another scale, where Qt keeps a window's pixels, a window of ours
// takes the size it had there and lies whole on it once let go: the launcher from 200 % to
// 100 %, and a window that opened filling the 200 % screen onto the smaller projector at 100 %.
TEST(WindowPlacementOnScreens, AWindowDraggedOntoAnotherScaleTakesItsSizeThereWhole)
{
    const auto named = [](const char *name) {
        for (QScreen *screen : QGuiApplication::screens()) {
            if (screen->name() == QLatin1String(name)) {
                return screen;
            }
        }
        return static_cast<QScreen *>(nullptr);
    };
    QScreen *monitor = named("monitor");
    QScreen *projector = named("projector");
    QScreen *doubled = named("doubled");
    ASSERT_TRUE(monitor && projector && doubled);
    WithoutTray desk;
    QWidget *launcher = desk.startWithPointerOn(*doubled);
    ASSERT_NE(launcher, nullptr);
    QWidget sessions;
    sessions.resize(900, 500);
    fitOnScreen(sessions, *doubled, WindowPlace::middle);
    sessions.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&sessions));

    for (const auto &[window, target] : {std::pair{launcher, monitor}, {&sessions, projector}}) {
        const QSize size = window->size();
        const QPoint drop = restingPoint(*target);
        QCursor::setPos(drop);
        window->setScreen(target);
        window->move(drop - QPoint(10, 10));
        window->resize(size * doubled->devicePixelRatio());
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->size() == size; }, 3000))
            << window->size().width() << "x" << window->size().height();
        EXPECT_EQ(window->screen(), target);
        EXPECT_TRUE(target->availableGeometry().contains(window->frameGeometry()));
        EXPECT_TRUE(window->frameGeometry().contains(drop)) << "not where it was dropped";
    }
}

} // namespace zentrel
