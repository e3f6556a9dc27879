#include "e2e/fixtures/text_ink_measure.h"
#include "e2e/fixtures/under_window_manager.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <utility>

namespace zentrel {
namespace {

constexpr unsigned long personsPauseMs = 300;
const QColor blue(0x00, 0x7a, 0xff);
// Where a second drag draws a shape: clear of every toolbar and panel.
const QRect secondShapeDrag(QPoint(780, 300), QPoint(1000, 460));
// Controls, from the top-left corner of their window.
const QPoint drawBlueSwatch(491, 27);
const QPoint propertyBlueStroke(152, 59);
const QPoint boardTextTool(372, 27);
// "More properties" at the panel's 13 px is about 100 px wide.
constexpr int morePropertiesInkWidth = 80;
const QPoint timerSettingsButton(415, 42);
const QPoint timerCloseButton(457, 42);

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
    // A help text shows just below and beside the pointer.
    constexpr int tooltipReach = 64;
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

    // A help text shows over a toolbar button, though the toolbar never has the keyboard. The
    // hover that settled the toolbar may have shown one already, whose window Qt moves to the
    // next button: a help text is told by where it shows, not by being a new window.
    const QPoint button = m_toolbar.frame.topLeft() + boardRectangleTool;
    ASSERT_TRUE(m_input.moveTo(button));
    const auto showsHelpAtButton = [&] {
        for (const TopLevelWindow &window : m_windows.topLevel()) {
            if (window.isShown && window.isOverrideRedirect && window.frame.top() > button.y()
                && window.frame.top() < button.y() + tooltipReach
                && std::abs(window.frame.left() - button.x()) < tooltipReach) {
                return true;
            }
        }
        return false;
    };
    const QDeadlineTimer deadline(windowTimeoutMs);
    while (!showsHelpAtButton() && !deadline.hasExpired()) {
        QThread::msleep(savedPollMs);
    }
    EXPECT_TRUE(showsHelpAtButton()) << "no tooltip over the toolbar; " << situation();
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

// The last row of a property panel, "More properties", drawn in ink on the panel's own colour
// down to the panel's bottom edge: neither cut away nor left as the screen below.
testing::AssertionResult showsMoreProperties(const QImage &screen, const QRect &panel)
{
    const QColor panelColour = screen.pixelColor(panel.topLeft() + QPoint(40, 12));
    const QRect bottomEdge(panel.left() + 12, panel.bottom() - 12, panel.width() - 24, 6);
    if (testing::AssertionResult painted =
            showsOnly(screen, bottomEdge, panelColour, colorTolerance);
        !painted) {
        return painted << " at the panel's bottom edge";
    }
    const QRect row(panel.left() + 18, panel.bottom() - 45, panel.width() - 36, 30);
    const QRect ink = inkIn(screen, row);
    if (ink.width() < morePropertiesInkWidth) {
        return testing::AssertionFailure()
               << "no text in the panel's last row, only " << ink.width() << " px of ink";
    }
    return testing::AssertionSuccess();
}

// Choosing the text tool adds its size choices to the panel above "More properties".
TEST_P(UnderWindowManager, PropertyPanelGrownForTheTextToolIsPaintedWhole)
{
    ASSERT_NO_FATAL_FAILURE(drawWithToolbarRectangle(QStringLiteral("zentrel://toggle/freeze"),
                                                     QStringLiteral("Zevizu & Vozurir")));
    auto properties = propertyPanel();
    ASSERT_TRUE(properties.has_value())
        << "no property panel for the new rectangle; " << situation();
    ASSERT_TRUE(settle(*properties));
    const QRect before = properties->frame;

    ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, m_toolbar.frame.topLeft() + boardTextTool));
    const auto grown = waitForWindow([&](const TopLevelWindow &window) {
        return window.id == properties->id && window.frame.height() > before.height();
    });
    ASSERT_TRUE(grown.has_value()) << "the panel did not grow; " << situation();
    const QImage screen =
        grabUntil([&](const QImage &shown) { return showsMoreProperties(shown, grown->frame); });
    keepScreenshot(screen, QStringLiteral("grown_property_panel_%1.png").arg(nameOf(GetParam())));
    EXPECT_TRUE(showsMoreProperties(screen, grown->frame))
        << before.height() << " px grew to " << grown->frame.height() << " px; " << situation();
    EXPECT_TRUE(screen.rect().contains(grown->frame));

    ASSERT_NO_FATAL_FAILURE(clickOn(m_toolbar, m_toolbar.frame.topLeft() + boardRectangleTool));
    EXPECT_TRUE(waitForWindow([&](const TopLevelWindow &window) {
                    return window.id == properties->id && window.frame == before;
                }).has_value())
        << "the panel did not shrink back without the text size; " << situation();
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

// The spotlight and the halo let a click through to the program below and stay above it; the
// Escape that ends them is theirs alone, while every other key still reaches that program.
TEST_P(UnderWindowManager, SpotlightAndHaloLetClicksThroughAndKeepTheirEscape)
{
    const QTemporaryDir folder;
    const QString typedPath = folder.filePath(QStringLiteral("typed"));
    ChildProcess terminal;
    const auto typedInto =
        showTerminalTypingInto(terminal, QStringLiteral("Typed Into"), typedPath);
    ASSERT_TRUE(typedInto.has_value());
    // What a middle click on the terminal pastes there: it arrives only where the click does.
    ChildProcess selection;
    ASSERT_NO_FATAL_FAILURE(offerPrimarySelection(selection, QStringLiteral("clicked")));
    QString typed;
    const auto type = [&](const QString &line) {
        typed += line + QLatin1Char('\n');
        return m_input.typeText(line + QLatin1Char('\n'));
    };
    ASSERT_TRUE(type(QStringLiteral("before"))) << m_input.lastError().toStdString();
    for (const auto &[url, title] :
         {std::pair{QStringLiteral("zentrel://toggle/spotlight"), QStringLiteral("Spotlight")},
          std::pair{QStringLiteral("zentrel://toggle/halo"), QStringLiteral("Cursor Halo")}}) {
        ASSERT_NO_FATAL_FAILURE(openFeature(url, title, Shows::clickThroughOverlayAndToolbar));
        ASSERT_TRUE(m_input.moveTo(typedInto->frame.center()));
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("click"), QStringLiteral("2")}));
        typed += QStringLiteral("clicked\n");
        EXPECT_EQ(waitForTyped(typedPath, typed).toStdString(), typed.toStdString())
            << "a click during " << title.toStdString() << " missed the terminal; " << situation();
        EXPECT_TRUE(liesAbove(m_main, *typedInto))
            << "the click raised the terminal over " << title.toStdString();
        ASSERT_TRUE(m_windows.waitForKeyboard(typedInto->id, QDeadlineTimer(windowTimeoutMs)));
        ASSERT_TRUE(type(QStringLiteral("during"))) << m_input.lastError().toStdString();
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
        ASSERT_TRUE(m_windows.waitUntilNotShown(m_main.id, QDeadlineTimer(windowTimeoutMs)))
            << "Escape left " << title.toStdString() << " open; " << situation();
        ASSERT_TRUE(type(QStringLiteral("after"))) << m_input.lastError().toStdString();
        EXPECT_EQ(waitForTyped(typedPath, typed).toStdString(), typed.toStdString())
            << "keys typed during " << title.toStdString()
            << " went elsewhere, or its Escape reached the terminal; " << situation();
    }
    // With no run left, Escape is the terminal's again.
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    typed += QChar(0x1b);
    ASSERT_TRUE(type(QStringLiteral("free"))) << m_input.lastError().toStdString();
    EXPECT_EQ(waitForTyped(typedPath, typed).toStdString(), typed.toStdString())
        << "Escape stayed taken after the runs; " << situation();
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
                         testNameOf);

} // namespace
} // namespace zentrel
