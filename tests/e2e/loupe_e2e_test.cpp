#include "e2e/fixtures/drawing_test.h"
#include "e2e/x11/root_pixels.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QRect>
#include <QRegularExpression>
#include <QStringList>
#include <QThread>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zentrel {

namespace {

constexpr int loupeDiameter = 240;
// Inside the white rim and its faint black inner rim, outside of anything near the centre.
constexpr int rimReach = 110;
// Just beyond the circle: what shows there is not the loupe's.
constexpr int beyondCircle = 130;
// A colour the loupe shows has been on screen at most this long before; the capture runs at up
// to 60 Hz, so this leaves room for a loaded machine while a colour of the cycle lasts 100 ms.
constexpr std::int64_t staleLimitMs = 350;
// A machine busy with other work holds the program back now and then: one late frame in a
// hundred samples is let pass, but a picture this old is a still one.
constexpr int samplesPerLateOne = 100;
constexpr std::int64_t stillPictureMs = 1000;
constexpr int liveWithinMs = 1000;
constexpr int samplePauseMs = 5;
constexpr int watchMs = 1500;
constexpr int settleTimeoutMs = 5000;
constexpr int defaultsTimeoutMs = 5000;
// Longer than a busy machine takes to paint a frame again, shorter than the 3 s it stayed stale.
constexpr int frameChangeTimeoutMs = 2000;

const QPoint pointer(640, 450);
// Around the pointer, 100 px square: at 2x it fills most of the circle, and a point 80 px right of
// the centre shows it only when magnified; the desktop itself shows wallpaper there.
const QRect cyclerFrame(590, 400, 100, 100);
const QPoint magnifiedOnly(80, 0);
// Far apart, none white like the rim, none grey like the wallpaper.
const std::vector<QColor> cycle{QColor(0xd0, 0x30, 0x30),
                                QColor(0x30, 0xa0, 0x40),
                                QColor(0x30, 0x50, 0xd0),
                                QColor(0xc0, 0xa0, 0x20),
                                QColor(0x20, 0xa0, 0xa0),
                                QColor(0xa0, 0x30, 0xb0)};
const QColor white(0xff, 0xff, 0xff);
// The rim is not quite opaque.
constexpr int rimTolerance = 40;
// Its left edge lies 30 px right of the pointer, so the loupe shows it 60 px right of its
// centre at 2x and 75 px at 2.5x.
const QColor edgeWindowColor(0x20, 0x40, 0x80);
const QRect edgeWindowFrame(670, 0, 400, 800);

std::int64_t monotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::optional<QColor> cycleColorOf(const QColor &pixel)
{
    for (const QColor &color : cycle) {
        if (isCloseTo(pixel, color)) {
            return color;
        }
    }
    return std::nullopt;
}

std::string nameOf(const QColor &color)
{
    return color.name().toStdString();
}

// One look at a pixel: what it showed and when the look began and ended.
struct Sample
{
    QPoint at;
    std::int64_t askedMs = 0;
    std::int64_t answeredMs = 0;
    QColor color;
};

// A colour the cycler showed from sinceMs on.
struct Shown
{
    std::int64_t sinceMs = 0;
    QColor color;
};

// How long before the sample its colour last showed in the window, 0 while it still did; nothing
// when the window never showed it before the sample ended.
std::optional<std::int64_t> ageOf(const Sample &sample, const std::vector<Shown> &shown)
{
    std::optional<std::int64_t> age;
    for (std::size_t i = 0; i < shown.size() && shown[i].sinceMs <= sample.answeredMs; ++i) {
        if (!isCloseTo(shown[i].color, sample.color)) {
            continue;
        }
        const std::int64_t until = i + 1 < shown.size() ? shown[i + 1].sinceMs : sample.answeredMs;
        age = std::max<std::int64_t>(0, sample.askedMs - until);
    }
    return age;
}

// The loupe magnifying the screen around the pointer, on the flat wallpaper of the drawing
// desktop, over windows of other programs.
class Loupe : public DrawingTest
{
protected:
    Loupe()
        : m_pixels(m_xvfb.display())
    {}

    void startCycler()
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), m_xvfb.display());
        QStringList arguments{QString::number(cyclerFrame.x()),
                              QString::number(cyclerFrame.y()),
                              QString::number(cyclerFrame.width()),
                              QString::number(cyclerFrame.height())};
        for (const QColor &color : cycle) {
            arguments << color.name();
        }
        ASSERT_TRUE(
            m_cycler.start(QStringLiteral(COLOUR_CYCLER_EXECUTABLE), arguments, environment));
        static const QRegularExpression ready(QStringLiteral("^ready$"));
        ASSERT_TRUE(m_cycler.waitForLine(ready, QDeadlineTimer(windowTimeoutMs)).has_value())
            << "the colour cycler showed no window:\n"
            << m_cycler.output().toStdString();
    }

    // Every colour the cycler has shown so far, in turn.
    std::vector<Shown> cyclerHistory()
    {
        static const QRegularExpression line(QStringLiteral("^colour (#[0-9a-f]{6}) at (\\d+)$"),
                                             QRegularExpression::MultilineOption);
        // Without an event loop the output reaches us only while asking after the process.
        m_cycler.isRunning();
        std::vector<Shown> shown;
        auto matches = line.globalMatch(m_cycler.output());
        while (matches.hasNext()) {
            const QRegularExpressionMatch match = matches.next();
            shown.push_back({match.captured(2).toLongLong(), QColor(match.captured(1))});
        }
        return shown;
    }

    // Starts zentrel, rests the pointer and toggles the loupe on there.
    void startLoupe()
    {
        ASSERT_TRUE(startAndWaitForDock().has_value()) << "no tray icon; " << stopAndDescribe();
        ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(10000)))
            << "zentrel never listened; " << stopAndDescribe();
        ASSERT_NO_FATAL_FAILURE(moveTo(pointer));
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/zoom")));
        const auto loupe =
            m_windows.waitForShown(QStringLiteral("Zoom Loupe"), QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(loupe.has_value()) << "toggle/zoom showed no loupe; " << situation();
        const auto toolbar = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(toolbar.has_value()) << "no toolbar; " << situation();
        m_loupe = *loupe;
        m_toolbar = *toolbar;
    }

    void moveTo(QPoint at)
    {
        xdotool({QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y())});
    }

    // Whether the white rim is where the circle ends, on all four sides of the pointer.
    bool showsRim()
    {
        constexpr int middleOfRim = loupeDiameter / 2 - 2;
        for (const QPoint side : {QPoint(middleOfRim, 0),
                                  QPoint(-middleOfRim, 0),
                                  QPoint(0, middleOfRim),
                                  QPoint(0, -middleOfRim)}) {
            if (!isCloseTo(m_pixels.at(pointer + side).value_or(QColor()), white, rimTolerance)) {
                return false;
            }
        }
        return true;
    }

    bool waitForRim()
    {
        const QDeadlineTimer deadline(settleTimeoutMs);
        while (!showsRim()) {
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(10);
        }
        return true;
    }

    // Spaced a little, so the samples leave the server time for the programs being watched.
    Sample sample(QPoint at)
    {
        QThread::msleep(samplePauseMs);
        Sample taken;
        taken.at = at;
        taken.askedMs = monotonicMs();
        taken.color = m_pixels.at(at).value_or(QColor());
        taken.answeredMs = monotonicMs();
        return taken;
    }

    // The loupe's centre follows the cycling window under it: one of its colours in every sample,
    // a new one within a second, and each shown by the window a moment before. So does a point
    // where only the magnified window can show it.
    void expectCentreFollowsCycler(const QString &artifactPrefix)
    {
        // Until the loupe paints, the window under the pointer shows there by itself.
        ASSERT_TRUE(waitForRim()) << "the loupe's rim never showed around the pointer; "
                                  << situation();
        const Sample first = sample(pointer);
        const QImage opened = m_xvfb.grabScreen();
        keepScreenshot(opened, artifactPrefix + QStringLiteral("_opened.png"));
        ASSERT_TRUE(cycleColorOf(first.color))
            << "the loupe's centre does not show the window under the pointer, but "
            << nameOf(first.color) << "; " << situation();

        std::vector<Sample> samples{first};
        std::set<QRgb> seen{cycleColorOf(first.color)->rgb()};
        const QDeadlineTimer live(liveWithinMs);
        while (seen.size() < 3 && !live.hasExpired()) {
            samples.push_back(sample(pointer));
            if (const auto color = cycleColorOf(samples.back().color)) {
                seen.insert(color->rgb());
            }
        }
        const QImage changed = m_xvfb.grabScreen();
        keepScreenshot(changed, artifactPrefix + QStringLiteral("_live.png"));
        EXPECT_GE(seen.size(), 3U)
            << "within a second the loupe's centre showed only " << seen.size()
            << " colour(s) of the window under it, which changes every 100 ms: a still picture";

        const QDeadlineTimer watch(watchMs);
        while (!watch.hasExpired()) {
            samples.push_back(sample(pointer));
            samples.push_back(sample(pointer + magnifiedOnly));
        }
        const std::vector<Shown> shown = cyclerHistory();
        ASSERT_FALSE(shown.empty()) << "the cycler reported no colours";
        int foreign = 0;
        int whites = 0;
        int stale = 0;
        std::int64_t oldest = 0;
        std::string firstProblem;
        for (const Sample &taken : samples) {
            // The cycler may not have told of its latest colours yet.
            if (taken.answeredMs > shown.back().sinceMs) {
                continue;
            }
            if (isCloseTo(taken.color, white, rimTolerance)) {
                ++whites;
            }
            if (!cycleColorOf(taken.color)) {
                if (foreign++ == 0 && firstProblem.empty()) {
                    firstProblem = nameOf(taken.color) + " at " + where(taken) + " at "
                                   + std::to_string(taken.askedMs);
                }
                continue;
            }
            const std::optional<std::int64_t> age = ageOf(taken, shown);
            const std::int64_t years = age.value_or(staleLimitMs + 1);
            oldest = std::max(oldest, years);
            if (years > staleLimitMs && stale++ == 0 && firstProblem.empty()) {
                firstProblem = nameOf(taken.color) + " at " + where(taken) + " at "
                               + std::to_string(taken.askedMs) + ", last shown "
                               + std::to_string(years) + " ms before";
            }
        }
        EXPECT_EQ(whites, 0) << whites << " of " << samples.size()
                             << " samples show the loupe's white rim: it "
                                "magnifies a picture of itself";
        EXPECT_EQ(foreign, 0) << foreign << " of " << samples.size()
                              << " samples are none of the window's colours; "
                              << "first: " << firstProblem;
        EXPECT_LE(oldest, stillPictureMs) << "a still picture; first: " << firstProblem;
        EXPECT_LE(stale, int(samples.size()) / samplesPerLateOne)
            << stale << " of " << samples.size()
            << " samples show a colour the window had left more "
            << "than " << staleLimitMs << " ms before (oldest " << oldest
            << " ms); first: " << firstProblem;
    }

    static std::string where(const Sample &taken)
    {
        return taken.at == pointer ? "the centre" : "80 px right of the centre";
    }

    // How far right of the centre, along a row just above it, the edge of the window beside the
    // pointer shows in the loupe; nothing when it does not.
    static std::optional<int> edgeOffset(const QImage &screen)
    {
        const int y = pointer.y() - 20;
        for (int dx = 0; dx < rimReach; ++dx) {
            const QColor pixel = screen.pixelColor(pointer.x() + dx, y);
            if (pixel.blue() > pixel.red() + 48) {
                return dx;
            }
        }
        return std::nullopt;
    }

    // The outermost white of the rim left of the centre.
    static int rimRadius(const QImage &screen)
    {
        int radius = 0;
        for (int dx = loupeDiameter / 4; dx < loupeDiameter; ++dx) {
            const QPoint at(pointer.x() - dx, pointer.y());
            if (screen.rect().contains(at)
                && isCloseTo(screen.pixelColor(at), white, rimTolerance)) {
                radius = dx;
            }
        }
        return radius;
    }

    double savedValue(const QString &key, double fallback)
    {
        QFile file(m_zentrel.configHome() + QStringLiteral("/Zentrel/defaults.json"));
        if (!file.open(QIODevice::ReadOnly)) {
            return fallback;
        }
        return QJsonDocument::fromJson(file.readAll()).object().value(key).toDouble(fallback);
    }

    // The value defaults.json holds for key once it is expected, or the last one read.
    double waitForSaved(const QString &key, double expected)
    {
        const QDeadlineTimer deadline(defaultsTimeoutMs);
        double value = savedValue(key, 0);
        while (std::abs(value - expected) > 1e-6 && !deadline.hasExpired()) {
            QThread::msleep(20);
            value = savedValue(key, 0);
        }
        return value;
    }

    testing::AssertionResult stopsByUrl()
    {
        const testing::AssertionResult handed = handOver(QStringLiteral("zentrel://stop"));
        if (!handed) {
            return handed;
        }
        if (!m_windows.waitUntilNotShown(m_loupe.id, QDeadlineTimer(windowTimeoutMs))) {
            return testing::AssertionFailure() << "stop left the loupe open; " << situation();
        }
        return testing::AssertionSuccess();
    }

    // A terminal of 100 columns whose frame's corner is at `place`, once it is shown.
    std::optional<TopLevelWindow>
    showTerminal(ChildProcess &terminal, const QString &title, QPoint place)
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), m_xvfb.display());
        environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        const QString geometry = QStringLiteral("100x8+%1+%2").arg(place.x()).arg(place.y());
        if (!terminal.start(QStringLiteral("xterm"),
                            {QStringLiteral("-T"), title, QStringLiteral("-geometry"), geometry},
                            environment)) {
            ADD_FAILURE() << "xterm did not start";
            return std::nullopt;
        }
        auto window = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
        if (!window) {
            ADD_FAILURE() << title.toStdString() << " never showed; " << situation();
        }
        return window;
    }

    RootPixels m_pixels;
    ChildProcess m_terminal;
    ChildProcess m_otherTerminal;
    ChildProcess m_cycler;
    TopLevelWindow m_loupe;
};

TEST_F(Loupe, WithCompositorCentreFollowsLiveWindowUnderPointer)
{
    ASSERT_NO_FATAL_FAILURE(startCompositor());
    ASSERT_NO_FATAL_FAILURE(startCycler());
    ASSERT_NO_FATAL_FAILURE(startLoupe());
    EXPECT_EQ(m_loupe.frame, QRect(0, 0, XvfbSession::screenWidth, XvfbSession::screenHeight))
        << m_loupe.describe();
    ASSERT_NO_FATAL_FAILURE(expectCentreFollowsCycler(QStringLiteral("loupe_composited")));

    // Translucent around the circle: the desktop shows as it is.
    const QImage screen = m_xvfb.grabScreen();
    EXPECT_TRUE(showsBare(screen, quietCorner)) << situation();
    EXPECT_TRUE(isCloseTo(screen.pixelColor(pointer + QPoint(0, 240)), wallpaper, shadeTolerance));
    ASSERT_TRUE(stopsByUrl());
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Loupe, WithoutCompositorShapedCircleFollowsLiveWindowUnderPointer)
{
    ASSERT_NO_FATAL_FAILURE(startCycler());
    ASSERT_NO_FATAL_FAILURE(startLoupe());
    ASSERT_NO_FATAL_FAILURE(expectCentreFollowsCycler(QStringLiteral("loupe_shaped")));

    // Beyond the circle the desktop shows itself, not a black window.
    const QImage screen = m_xvfb.grabScreen();
    keepScreenshot(screen, QStringLiteral("loupe_shaped_around.png"));
    EXPECT_TRUE(
        isCloseTo(screen.pixelColor(pointer + QPoint(beyondCircle, 0)), wallpaper, shadeTolerance))
        << "just beyond the circle the wallpaper does not show; " << situation();
    EXPECT_TRUE(showsBare(screen, quietCorner)) << situation();
    ASSERT_TRUE(stopsByUrl());
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// openbox draws a frame's title bar into the frame itself, active or not: as the keyboard moves
// from one terminal to another, the loupe over the first one's title bar shows it turn inactive
// as the screen beside the circle does.
TEST_F(Loupe, UnderOpenboxWithCompositorFramesShowAsTheyChange)
{
    ASSERT_NO_FATAL_FAILURE(startWindowManager(WindowManager::openbox));
    ASSERT_NO_FATAL_FAILURE(startCompositor());
    const auto other = showTerminal(m_otherTerminal, QStringLiteral("Other"), QPoint(40, 60));
    const auto framed = showTerminal(m_terminal, QStringLiteral("Framed"), QPoint(340, 380));
    ASSERT_TRUE(other && framed);
    // Along the middle of the title bar, right of its title and left of its buttons: the
    // loupe's centre and a point beyond its circle.
    const QRect decorated = m_windows.framed(*framed);
    ASSERT_GT(framed->frame.top() - decorated.top(), 8) << "no title bar; " << situation();
    const QPoint centre(decorated.center().x() + 100, (decorated.top() + framed->frame.top()) / 2);
    const QPoint beside = centre + QPoint(beyondCircle, 0);
    ASSERT_NO_FATAL_FAILURE(startLoupe());
    ASSERT_NO_FATAL_FAILURE(moveTo(centre));
    const auto showsTheTitleBarAsItIs = [&] {
        const QDeadlineTimer deadline(frameChangeTimeoutMs);
        std::optional<QColor> shown = m_pixels.at(centre);
        while (!(shown && isCloseTo(*shown, m_pixels.at(beside).value_or(QColor())))
               && !deadline.hasExpired()) {
            QThread::msleep(10);
            shown = m_pixels.at(centre);
        }
        return shown;
    };

    for (const TopLevelWindow &keyboardHolder : {*framed, *other}) {
        const QColor before = m_pixels.at(beside).value_or(QColor());
        ASSERT_TRUE(m_input.focus(keyboardHolder.id)) << m_input.lastError().toStdString();
        ASSERT_TRUE(m_windows.waitForKeyboard(keyboardHolder.id, QDeadlineTimer(windowTimeoutMs)));
        const QDeadlineTimer repainted(frameChangeTimeoutMs);
        while (keyboardHolder.id == other->id
               && isCloseTo(m_pixels.at(beside).value_or(before), before)
               && !repainted.hasExpired()) {
            QThread::msleep(10);
        }
        const std::optional<QColor> shown = showsTheTitleBarAsItIs();
        keepScreenshot(m_xvfb.grabScreen(),
                       QStringLiteral("loupe_frame_%1.png").arg(keyboardHolder.name.toLower()));
        const QColor real = m_pixels.at(beside).value_or(QColor());
        EXPECT_TRUE(keyboardHolder.id == framed->id || !isCloseTo(real, before))
            << "the title bar did not change as the keyboard left; " << situation();
        EXPECT_TRUE(shown && isCloseTo(*shown, real))
            << "with " << keyboardHolder.name.toStdString() << " holding the keyboard the loupe "
            << "shows the title bar as " << nameOf(shown.value_or(QColor())) << ", not as "
            << nameOf(real) << "; " << situation();
    }
    ASSERT_TRUE(stopsByUrl());
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Loupe, WheelZoomsInAndCtrlWheelWidensCircleAndBothAreSaved)
{
    ASSERT_TRUE(m_desktop.showWindowAtBottom(edgeWindowFrame, edgeWindowColor));
    ASSERT_NO_FATAL_FAILURE(startLoupe());
    const auto atTwice = [](const QImage &shown) {
        const std::optional<int> edge = edgeOffset(shown);
        return edge && std::abs(*edge - 60) <= 3;
    };
    QImage screen = grabUntil(atTwice);
    keepScreenshot(screen, QStringLiteral("loupe_zoom_2.png"));
    ASSERT_TRUE(atTwice(screen)) << "the window edge 30 px right of the pointer is not 60 px "
                                    "right of the loupe's centre but at "
                                 << edgeOffset(screen).value_or(-1) << "; " << situation();
    const int rimBefore = rimRadius(screen);
    EXPECT_NEAR(rimBefore, loupeDiameter / 2 - 2, 2) << "no white rim where the circle ends";

    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("click"), QStringLiteral("4")}));
    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("click"), QStringLiteral("4")}));
    EXPECT_DOUBLE_EQ(waitForSaved(QStringLiteral("zoom.factor"), 2.5), 2.5)
        << "two notches up did not save a zoom of 2.5";
    const auto atTwoAndAHalf = [](const QImage &shown) {
        const std::optional<int> edge = edgeOffset(shown);
        return edge && std::abs(*edge - 75) <= 3;
    };
    screen = grabUntil(atTwoAndAHalf);
    keepScreenshot(screen, QStringLiteral("loupe_zoom_2_5.png"));
    EXPECT_TRUE(atTwoAndAHalf(screen))
        << "at 2.5x the window edge shows " << edgeOffset(screen).value_or(-1)
        << " px right of the centre, not 75";

    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("keydown"),
                                     QStringLiteral("ctrl"),
                                     QStringLiteral("click"),
                                     QStringLiteral("4"),
                                     QStringLiteral("keyup"),
                                     QStringLiteral("ctrl")}));
    EXPECT_DOUBLE_EQ(waitForSaved(QStringLiteral("zoom.diameter"), 250), 250)
        << "Ctrl with a notch up did not save a diameter of 250";
    EXPECT_DOUBLE_EQ(savedValue(QStringLiteral("zoom.factor"), 0), 2.5)
        << "Ctrl with the wheel changed the zoom too";
    const auto widened = [&](const QImage &shown) {
        return rimRadius(shown) >= rimBefore + 4;
    };
    screen = grabUntil(widened);
    keepScreenshot(screen, QStringLiteral("loupe_diameter_250.png"));
    EXPECT_NEAR(rimRadius(screen), rimBefore + 5, 1) << "the circle did not widen by 10";

    ASSERT_TRUE(m_input.focus(m_loupe.id)) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Escape")})) << m_input.lastError().toStdString();
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_loupe.id, QDeadlineTimer(windowTimeoutMs)))
        << "Escape left the loupe open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(Loupe, MagnifiesWallpaperUnderPointerAsItShows)
{
    ASSERT_NO_FATAL_FAILURE(startLoupe());
    ASSERT_TRUE(waitForRim()) << "the loupe's rim never showed around the pointer; " << situation();
    const QRect nearCentre =
        QRect(pointer, pointer).adjusted(-rimReach / 2, -rimReach / 2, rimReach / 2, rimReach / 2);
    // The still at first and the live picture that replaces it within a second both show the
    // wallpaper as it is, so it shows all along.
    int others = 0;
    int samples = 0;
    QColor firstOther;
    const QDeadlineTimer watch(watchMs);
    while (!watch.hasExpired()) {
        for (const QPoint corner : {nearCentre.topLeft(), nearCentre.bottomRight()}) {
            const Sample taken = sample(corner);
            ++samples;
            if (!isCloseTo(taken.color, wallpaper, shadeTolerance) && others++ == 0) {
                firstOther = taken.color;
            }
        }
    }
    const QImage screen = m_xvfb.grabScreen();
    keepScreenshot(screen, QStringLiteral("loupe_wallpaper.png"));
    EXPECT_EQ(others, 0) << others << " of " << samples
                         << " samples in the loupe are not the wallpaper under it; first: "
                         << nameOf(firstOther);
    EXPECT_TRUE(showsBare(screen, nearCentre))
        << "the loupe does not show the wallpaper under the pointer; " << situation();
    ASSERT_TRUE(stopsByUrl());
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
