#include "e2e/fixtures/under_window_manager.h"
#include "e2e/x11/root_pixels.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QImage>
#include <QProcessEnvironment>
#include <QRect>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace zentrel {
namespace {

constexpr int fullHdWidth = 1920;
constexpr int fullHdHeight = 1080;
// The root's own colour where no wallpaper program set one.
const QColor plainBackground(0x3a, 0x6e, 0x5a);
const QColor framedColor(0xc8, 0x8c, 0x3c);
const QPoint framedPlace(1100, 500);
const QString framedTitle = QStringLiteral("Another Program");
// A GTK dialog draws its own rounded frame and shadow; it goes clear of everything else.
const QString dialogTitle = QStringLiteral("A GTK Dialog");
const QPoint dialogPlace(150, 560);
// Bare desktop, away from the toolbar, the tray host, the framed window and the settings.
const QPoint bareDesktop(260, 880);
// Inside the loupe's rim, which lies 118 px from its centre.
constexpr int loupeReach = 60;
constexpr int loupeRim = 118;
// The rim is not quite opaque.
constexpr int rimTolerance = 40;
// Zentrel's tray icon may change while a feature runs; edges blend by a step or two.
constexpr double allowedShare = 0.01;
constexpr int copyTimeoutMs = 10000;
constexpr int stillTimeoutMs = 10000;
constexpr int framedTimeoutMs = 3000;
constexpr int stillPollMs = 100;
constexpr int stillReads = 3;
// Antialiased edges may come out a step darker than the screen shows them.
constexpr int allowedBlack = 5;
// Around a window the window manager framed: its title bar, borders and shadow. A lost title bar
// is a sixth of it; a title bar drawn as it looks without the keyboard, a few hundredths.
constexpr double allowedFrameShare = 0.05;
constexpr int titleBarReach = 48;
// How far a window manager's frame may put a moved window from where it was asked to go.
constexpr int frameReach = 64;
// Within every window manager's title bar, right of the middle and clear of its buttons and of
// our settings window.
constexpr int titleBarClickRight = 80;
constexpr int titleBarClickDepth = 8;
constexpr int borderReach = 16;
// Where the framed window moves while Draw runs, and where a window that opens meanwhile goes:
// clear of each other, of the dialog, of the toolbar and of the shape.
const QPoint movedPlace(1100, 150);
const QString newcomerTitle = QStringLiteral("A Newcomer");
const QColor newcomerColor(0x5a, 0x78, 0xc8);
const QPoint newcomerPlace(1550, 600);

bool isBlack(QRgb pixel)
{
    return qRed(pixel) < 8 && qGreen(pixel) < 8 && qBlue(pixel) < 8;
}

// The picture matches what the screen showed outside `skipped`: at most one pixel in a hundred
// differs, and none is black where the screen was not.
testing::AssertionResult showsAsScreen(const QImage &picture,
                                       const QImage &screen,
                                       const QRect &area,
                                       const QRect &skipped = {},
                                       double share = allowedShare)
{
    if (picture.isNull() || !picture.rect().contains(area) || !screen.rect().contains(area)) {
        return testing::AssertionFailure() << "no picture of the whole area";
    }
    int counted = 0;
    int differing = 0;
    int black = 0;
    QPoint firstBlack;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (skipped.contains(x, y)) {
                continue;
            }
            const QRgb shown = screen.pixel(x, y);
            const QRgb taken = picture.pixel(x, y);
            ++counted;
            differing += isCloseTo(QColor(taken), QColor(shown)) ? 0 : 1;
            if (isBlack(taken) && !isBlack(shown) && black++ == 0) {
                firstBlack = QPoint(x, y);
            }
        }
    }
    if (differing <= counted * share && black <= allowedBlack) {
        return testing::AssertionSuccess();
    }
    auto failure = testing::AssertionFailure()
                   << differing << " of " << counted << " pixels differ from the screen";
    if (black > 0) {
        failure << ", " << black << " black where it is not, the first at " << firstBlack.x() << ','
                << firstBlack.y();
    }
    return failure;
}

// The screen as `after` shows it, but in each of `parts` (where a window moved or opened) as
// `before` showed it wherever the picture shows that instead.
QImage asAfterOrBefore(const QImage &picture,
                       const QImage &before,
                       const QImage &after,
                       const std::vector<QRect> &parts)
{
    QImage screen = after.convertToFormat(QImage::Format_RGB32);
    for (const QRect &part : parts) {
        if (!showsAsScreen(picture, after, part, {}, allowedFrameShare)
            && showsAsScreen(picture, before, part, {}, allowedFrameShare)) {
            for (int y = part.top(); y <= part.bottom(); ++y) {
                for (int x = part.left(); x <= part.right(); ++x) {
                    screen.setPixel(x, y, before.pixel(x, y));
                }
            }
        }
    }
    return screen;
}

// Pixels black in the loupe's picture within `reach` of `at` while the screen it magnifies
// has none there.
int blackInLoupe(const QImage &loupe, const QImage &screen, QPoint at, int reach)
{
    int screenBlack = 0;
    int loupeBlack = 0;
    for (int y = at.y() - reach; y <= at.y() + reach; ++y) {
        for (int x = at.x() - reach; x <= at.x() + reach; ++x) {
            screenBlack += isBlack(screen.pixel(x, y)) ? 1 : 0;
            loupeBlack += isBlack(loupe.pixel(x, y)) ? 1 : 0;
        }
    }
    return screenBlack > 0 ? 0 : loupeBlack;
}

// The screen with Draw's tint over it, as Draw's pictures show it.
QImage tintedAsDraw(const QImage &screen, double tint)
{
    QImage tinted = screen.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < tinted.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(tinted.scanLine(y));
        for (int x = 0; x < tinted.width(); ++x) {
            line[x] = zentrel::tinted(QColor(line[x]), tint).rgb();
        }
    }
    return tinted;
}

// The screen as it shows with our settings window open, but with what lay behind it before it
// opened where it and the shadow a window manager may draw around it are.
QImage withoutWindow(const QImage &before, const QImage &after, const QRect &window)
{
    constexpr int shadowReach = 48;
    QImage screen = after.convertToFormat(QImage::Format_RGB32);
    const QRect behind = window.adjusted(-shadowReach, -shadowReach, shadowReach, shadowReach);
    for (int y = behind.top(); y <= behind.bottom(); ++y) {
        for (int x = behind.left(); x <= behind.right(); ++x) {
            if (screen.rect().contains(x, y)) {
                screen.setPixel(x, y, before.pixel(x, y));
            }
        }
    }
    return screen;
}

// Zentrel's pictures of the screen, compared with the screen itself, under each window manager
// with a framed window of another program open and a desktop background that is not black.
class CaptureAsShown : public UnderWindowManager
{
protected:
    CaptureAsShown()
        : UnderWindowManager(QSize(fullHdWidth, fullHdHeight))
        , m_pixels(m_xvfb.display())
    {}

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(DrawingTest::SetUp());
        if (!m_hasTray) {
            // Gone before the window manager starts, as on a desktop that never had one.
            m_host.reset();
        }
        ASSERT_NO_FATAL_FAILURE(startWindowManager(GetParam()));
        // Mutter paints its own wallpaper, KWin alone a black desktop, which a desktop window
        // covers here; elsewhere the root shows a wallpaper, or without one (no window manager
        // here) its plain colour.
        if (!composites(GetParam())) {
            ASSERT_NO_FATAL_FAILURE(startCompositor());
        }
        if (GetParam() == WindowManager::none) {
            ASSERT_TRUE(m_desktop.setPlainBackground(plainBackground));
        }
        if (GetParam() == WindowManager::kwin) {
            ASSERT_TRUE(m_desktop.showDesktopWindow(plainBackground));
        }
        ASSERT_NO_FATAL_FAILURE(showTerminal());
        ASSERT_NO_FATAL_FAILURE(showGtkDialog());
    }

    // Window managers may place a new window where they like; users move it where they want it.
    // Returns once the window is there, give or take its frame.
    void moveTo(const QString &title, QPoint place)
    {
        const auto window = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(window.has_value()) << title.toStdString() << " never showed; " << situation();
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("windowmove"),
                                         QString::number(window->id),
                                         QString::number(place.x()),
                                         QString::number(place.y())}));
        const QDeadlineTimer deadline(windowTimeoutMs);
        std::optional<TopLevelWindow> now = window;
        while (now && (now->frame.topLeft() - place).manhattanLength() > frameReach
               && !deadline.hasExpired()) {
            QThread::msleep(stillPollMs);
            now = m_windows.window(window->id);
        }
        ASSERT_TRUE(now && (now->frame.topLeft() - place).manhattanLength() <= frameReach)
            << title.toStdString() << " never moved; " << situation();
    }

    // A terminal: it draws its cursor again as it gains and loses the keyboard, so the window
    // manager's frame around it changes, and the window with it, once a run starts.
    void showTerminal()
    {
        ASSERT_TRUE(start(m_terminal,
                          QStringLiteral("xterm"),
                          {QStringLiteral("-T"),
                           framedTitle,
                           QStringLiteral("-bg"),
                           framedColor.name(),
                           QStringLiteral("-fg"),
                           QStringLiteral("#202020"),
                           QStringLiteral("-geometry"),
                           QStringLiteral("60x16"),
                           QStringLiteral("-e"),
                           QStringLiteral("sleep"),
                           QStringLiteral("infinity")}));
    }

    // Another terminal, in a colour of its own, where a user would put it.
    void showNewcomer()
    {
        ASSERT_TRUE(start(m_newcomer,
                          QStringLiteral("xterm"),
                          {QStringLiteral("-T"),
                           newcomerTitle,
                           QStringLiteral("-bg"),
                           newcomerColor.name(),
                           QStringLiteral("-geometry"),
                           QStringLiteral("60x16"),
                           QStringLiteral("-e"),
                           QStringLiteral("sleep"),
                           QStringLiteral("infinity")}));
        ASSERT_NO_FATAL_FAILURE(moveTo(newcomerTitle, newcomerPlace));
    }

    // With decorations GTK draws itself: rounded corners and a shadow of its own in an ARGB
    // window, as GNOME's dialogs have them.
    void showGtkDialog()
    {
        ASSERT_TRUE(start(m_dialog,
                          QStringLiteral("zenity"),
                          {QStringLiteral("--info"),
                           QStringLiteral("--title=") + dialogTitle,
                           QStringLiteral("--text=Decorated by GTK itself")}));
        ASSERT_NO_FATAL_FAILURE(moveTo(dialogTitle, dialogPlace));
    }

    bool start(ChildProcess &program, const QString &name, const QStringList &arguments)
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), m_xvfb.display());
        environment.insert(QStringLiteral("HOME"), m_programsHome.path());
        environment.insert(QStringLiteral("PATH"), qEnvironmentVariable("PATH"));
        environment.insert(QStringLiteral("GDK_BACKEND"), QStringLiteral("x11"));
        environment.insert(QStringLiteral("NO_AT_BRIDGE"), QStringLiteral("1"));
        environment.insert(QStringLiteral("GTK_CSD"), QStringLiteral("1"));
        return program.start(name, arguments, environment);
    }

    // As a user's terminal has it when they start a run; its frame changes once the run takes
    // the keyboard.
    void giveKeyboardToFramed()
    {
        const auto framed = m_windows.waitForShown(framedTitle, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(framed.has_value()) << situation();
        if (GetParam() == WindowManager::none) {
            ASSERT_NO_FATAL_FAILURE(
                xdotool({QStringLiteral("windowfocus"), QString::number(framed->id)}));
        } else {
            // On its title bar: a click on a terminal's text would select some of it.
            const QPoint titleBar(framed->frame.center().x() + titleBarClickRight,
                                  framed->frame.top() - titleBarClickDepth);
            ASSERT_NO_FATAL_FAILURE(clickOn(*framed, titleBar));
        }
        ASSERT_TRUE(m_input.moveTo(bareDesktop)) << m_input.lastError().toStdString();
    }

    // Ends the run and gives the framed window the keyboard back before the next one starts.
    void endRun(const QString &title)
    {
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
        ASSERT_TRUE(m_windows.waitUntilNotShown(title, QDeadlineTimer(windowTimeoutMs)))
            << situation();
        ASSERT_NO_FATAL_FAILURE(giveKeyboardToFramed());
    }

    QString artifact(const char *what) const
    {
        return QStringLiteral("capture_%1_%2.png").arg(QLatin1String(what), nameOf(GetParam()));
    }

    // A screenshot once the screen `shows` what it should and stays as it is for a while:
    // window managers animate windows in, and a busy compositing manager draws late.
    QImage stillScreen(const std::function<bool(const QImage &)> &shows)
    {
        const QRect whole(QPoint(0, 0), QSize(fullHdWidth, fullHdHeight));
        const QDeadlineTimer deadline(stillTimeoutMs);
        QImage last = m_pixels.area(whole);
        int unchanged = 0;
        while (unchanged < stillReads && !deadline.hasExpired()) {
            QThread::msleep(stillPollMs);
            const QImage next = m_pixels.area(whole);
            unchanged = next == last && shows(next) ? unchanged + 1 : 0;
            last = next;
        }
        return m_xvfb.grabScreen();
    }

    // What action/copy puts on the clipboard, once `isNew` tells it from an earlier copy.
    QImage copyWhen(const std::function<bool(const QImage &)> &isNew, const char *what)
    {
        const testing::AssertionResult handed = handOver(QStringLiteral("zentrel://action/copy"));
        if (!handed) {
            ADD_FAILURE() << handed.message();
            return {};
        }
        const QDeadlineTimer deadline(copyTimeoutMs);
        QImage copied = m_clipboard.waitForPng(deadline);
        while (!copied.isNull() && !isNew(copied) && !deadline.hasExpired()) {
            copied = m_clipboard.waitForPng(deadline);
        }
        keepScreenshot(copied, artifact(what));
        return copied;
    }

    // The screen once the other program's window shows on it, the pointer out of the way.
    QImage bareScreen()
    {
        auto framed = m_windows.waitForShown(framedTitle, QDeadlineTimer(framedTimeoutMs));
        if (!framed) {
            // Openbox, just started, now and then leaves a window's first map request unanswered
            // when no other program has a window yet; the program opens another.
            m_terminal.stop(QDeadlineTimer(windowTimeoutMs));
            showTerminal();
            framed = m_windows.waitForShown(framedTitle, QDeadlineTimer(windowTimeoutMs));
        }
        if (framed) {
            moveTo(framedTitle, framedPlace);
            framed = m_windows.window(framed->id);
        }
        if (!framed || !settle(*framed) || !m_input.moveTo(bareDesktop)) {
            ADD_FAILURE() << "the other program's window never showed; " << situation();
            return {};
        }
        giveKeyboardToFramed();
        return stillScreen([&](const QImage &shown) {
            return isCloseTo(shown.pixelColor(framed->frame.center()), framedColor);
        });
    }

    // The screen as it shows with a window of ours open, but with what lay behind it on `bare`
    // where it is; kept under `name`.
    QImage screenBehind(TopLevelWindow window, const QImage &bare, const char *name)
    {
        if (!settle(window) || !m_input.moveTo(bareDesktop)) {
            ADD_FAILURE() << window.describe() << " never settled; " << situation();
            return {};
        }
        const QImage screen = withoutWindow(
            bare,
            stillScreen([&](const QImage &shown) { return isPainted(shown, window.frame); }),
            window.frame);
        keepScreenshot(screen, artifact(name));
        return screen;
    }

    // Draw's picture: the screen under its tint, with the rectangle dragged over shapeDrag.
    void expectDrawing(const QImage &picture, const QImage &screen, const char *what)
    {
        EXPECT_TRUE(showsStroke(picture)) << what << " lacks the rectangle";
        EXPECT_TRUE(showsAsScreen(picture,
                                  tintedAsDraw(screen, overlayTint),
                                  screen.rect(),
                                  shapeDrag.adjusted(-20, -20, 20, 20)))
            << what;
        expectFramedAsShown(picture, tintedAsDraw(screen, overlayTint), what);
    }

    // The frame the window manager draws around the other program's window, title bar and all.
    void expectFramedAsShown(const QImage &picture, const QImage &screen, const char *what)
    {
        const auto framed = m_windows.shown(framedTitle);
        ASSERT_TRUE(framed.has_value());
        const QRect decorated =
            framed->frame.adjusted(-borderReach, -titleBarReach, borderReach, borderReach)
            & screen.rect();
        EXPECT_TRUE(showsAsScreen(picture, screen, decorated, {}, allowedFrameShare))
            << what << ", around the framed window";
    }

    // Zevizu & Vozurir started straight from Draw, while Draw's windows may still be on their
    // way out: its copy shows the screen and nothing of Draw.
    void expectFreezeAfterDraw(const QImage &screen, const char *what)
    {
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/freeze")));
        ASSERT_TRUE(m_windows.waitForShown(QStringLiteral("Zevizu & Vozurir"),
                                           QDeadlineTimer(windowTimeoutMs)));
        const QImage frozen =
            copyWhen([this](const QImage &copied) { return !showsStroke(copied); }, what);
        EXPECT_TRUE(showsAsScreen(frozen, screen, screen.rect())) << what;
        expectFramedAsShown(frozen, screen, what);
    }

    testing::AssertionResult showsStroke(const QImage &picture) const
    {
        return showsColorNear(
            picture, QPoint(shapeDrag.center().x(), shapeDrag.top()), green, handDrawnReach);
    }

    // The first frame saved to a session, once there is one.
    QImage savedFrame() const
    {
        const QDeadlineTimer deadline(copyTimeoutMs);
        for (;;) {
            QDirIterator frames(m_zentrel.dataHome() + QStringLiteral("/Zentrel/Sessions"),
                                {QStringLiteral("*.png")},
                                QDir::Files,
                                QDirIterator::Subdirectories);
            if (frames.hasNext() || deadline.hasExpired()) {
                return frames.hasNext() ? QImage(frames.next()) : QImage();
            }
            QThread::msleep(stillPollMs);
        }
    }

    RootPixels m_pixels;
    bool m_hasTray = true;
    QTemporaryDir m_programsHome;
    ChildProcess m_terminal;
    ChildProcess m_dialog;
    ChildProcess m_newcomer;
};

// A window's frame with its title bar, borders and shadow.
QRect decorationAround(const QRect &frame)
{
    return frame.adjusted(-borderReach, -titleBarReach, borderReach, borderReach)
           & QRect(0, 0, fullHdWidth, fullHdHeight);
}

// Draw's picture, where `parts` show windows that moved or opened during the run: there the screen
// as it shows them after or as it showed before the run, the rest as it shows after.
void expectAsShownOrBefore(const QImage &picture,
                           const QImage &before,
                           const QImage &after,
                           const std::vector<QRect> &parts,
                           const QRect &skipped,
                           const char *what)
{
    const QImage screen = asAfterOrBefore(picture, before, after, parts);
    for (const QRect &part : parts) {
        EXPECT_TRUE(showsAsScreen(picture, screen, part, {}, allowedFrameShare))
            << what << ", where a window moved or opened at " << part.x() << ',' << part.y();
    }
    EXPECT_TRUE(showsAsScreen(picture, screen, screen.rect(), skipped)) << what;
}

// Windows that move or open while Draw runs show in its pictures as the screen shows them, title
// bar and all, or as the screen showed them when Draw opened: never black, never in two places.
TEST_P(CaptureAsShown, WindowsThatMoveOrOpenDuringARunShowAsShownOrAsBefore)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    const QImage bare = bareScreen();
    ASSERT_FALSE(bare.isNull());
    const auto framed = m_windows.shown(framedTitle);
    ASSERT_TRUE(framed.has_value());

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    m_draw = m_main;
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    ASSERT_NO_FATAL_FAILURE(moveTo(framedTitle, movedPlace));
    ASSERT_NO_FATAL_FAILURE(showNewcomer());
    // Back to Draw, so that the newcomer shows without the keyboard, as after the run.
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    const auto moved = m_windows.shown(framedTitle);
    const auto newcomer = m_windows.shown(newcomerTitle);
    ASSERT_TRUE(moved.has_value() && newcomer.has_value()) << situation();
    const QImage drawn = stillScreen([](const QImage &) { return true; });
    keepScreenshot(drawn, artifact("changed_during_draw"));
    const QImage copied =
        copyWhen([this](const QImage &copy) { return showsStroke(copy); }, "changed_copy");
    const std::optional<QPoint> save = saveToSessionButton(drawn, m_toolbar.frame);
    ASSERT_TRUE(save.has_value()) << "no Save to Session button in " << m_toolbar.describe();
    ASSERT_TRUE(m_input.click(*save)) << m_input.lastError().toStdString();
    const QImage saved = savedFrame();
    keepScreenshot(saved, artifact("changed_session_frame"));

    // The screen as Draw's pictures should show it: without Draw, under its tint, with the
    // keyboard where it was when the run began, so that the newcomer is drawn without it.
    ASSERT_NO_FATAL_FAILURE(endRun(drawTitle));
    const QImage after = stillScreen([&](const QImage &shown) {
        return isCloseTo(shown.pixelColor(moved->frame.center()), framedColor)
               && isCloseTo(shown.pixelColor(newcomer->frame.center()), newcomerColor);
    });
    keepScreenshot(after, artifact("changed_after"));
    const QImage before = tintedAsDraw(bare, overlayTint);
    const QImage now = tintedAsDraw(after, overlayTint);
    const std::vector<QRect> parts{decorationAround(framed->frame | moved->frame),
                                   decorationAround(newcomer->frame)};
    const QRect stroke = shapeDrag.adjusted(-20, -20, 20, 20);
    expectAsShownOrBefore(copied, before, now, parts, stroke, "changed_copy");
    expectAsShownOrBefore(saved, before, now, parts, stroke, "changed_session_frame");
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A desktop without a tray host, as GNOME without a tray extension: Zentrel shows a small window
// of its own instead.
class CaptureWithoutTray : public CaptureAsShown
{
protected:
    CaptureWithoutTray() { m_hasTray = false; }
};

TEST_P(CaptureAsShown, PicturesShowTheDesktopAndWhatLiesBehindOurWindows)
{
    ASSERT_NO_FATAL_FAILURE(startZentrel());
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
    const QImage bare = bareScreen();
    ASSERT_FALSE(bare.isNull());
    const QRect whole = bare.rect();

    // Our settings window stays open beside every run; pictures show what lies behind it.
    const auto settings = openSettings();
    ASSERT_TRUE(settings.has_value());
    ASSERT_NO_FATAL_FAILURE(giveKeyboardToFramed());
    const QImage screen = screenBehind(*settings, bare, "screen");
    ASSERT_FALSE(screen.isNull());

    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/freeze"), QStringLiteral("Zevizu & Vozurir")));
    keepScreenshot(m_xvfb.grabScreen(), artifact("frozen"));
    const QImage frozen = copyWhen([](const QImage &) { return true; }, "frozen_copy");
    EXPECT_TRUE(showsAsScreen(frozen, screen, whole)) << "Zevizu & Vozurir's copy";
    expectFramedAsShown(frozen, screen, "Zevizu & Vozurir's copy");
    ASSERT_NO_FATAL_FAILURE(endRun(QStringLiteral("Zevizu & Vozurir")));

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/draw"), drawTitle));
    m_draw = m_main;
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    expectDrawing(
        copyWhen([this](const QImage &copied) { return showsStroke(copied); }, "draw_copy"),
        screen,
        "draw_copy");
    ASSERT_NO_FATAL_FAILURE(expectFreezeAfterDraw(screen, "frozen_after_draw"));
    ASSERT_NO_FATAL_FAILURE(endRun(QStringLiteral("Zevizu & Vozurir")));

    ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/zoom"),
                                        QStringLiteral("Zoom Loupe"),
                                        Shows::clickThroughOverlayAndToolbar));
    ASSERT_TRUE(m_input.moveTo(bareDesktop)) << m_input.lastError().toStdString();
    const QRect magnified(bareDesktop - QPoint(loupeReach, loupeReach),
                          bareDesktop + QPoint(loupeReach, loupeReach));
    const QPoint rimPoint = bareDesktop + QPoint(loupeRim, 0);
    const QDeadlineTimer magnifying(stillTimeoutMs);
    const auto showsLoupe = [&] {
        const QImage shown = m_pixels.area(whole);
        return isCloseTo(shown.pixelColor(rimPoint), Qt::white, rimTolerance)
               && showsAsScreen(shown, screen, magnified);
    };
    while (!showsLoupe() && !magnifying.hasExpired()) {
        QThread::msleep(stillPollMs);
    }
    const QImage loupe = m_xvfb.grabScreen();
    keepScreenshot(loupe, artifact("loupe"));
    const QColor rim = loupe.pixelColor(rimPoint);
    ASSERT_TRUE(isCloseTo(rim, Qt::white, rimTolerance))
        << "no loupe around the pointer, but " << rim.name().toStdString() << "; " << situation();
    EXPECT_TRUE(showsAsScreen(loupe, screen, magnified)) << "the loupe over bare desktop";

    // Over the framed window's edge, where a compositing manager draws its border and shadow.
    const auto framed = m_windows.shown(framedTitle);
    ASSERT_TRUE(framed.has_value());
    const QPoint edge(framed->frame.left(), framed->frame.top() + loupeReach);
    ASSERT_TRUE(m_input.moveTo(edge)) << m_input.lastError().toStdString();
    QThread::msleep(stillPollMs * stillReads);
    const QImage overEdge = stillScreen([&](const QImage &shown) {
        return isCloseTo(shown.pixelColor(edge + QPoint(loupeRim, 0)), Qt::white, rimTolerance);
    });
    keepScreenshot(overEdge, artifact("loupe_edge"));
    EXPECT_LE(blackInLoupe(overEdge, screen, edge, loupeReach), allowedBlack)
        << "black in the loupe over the framed window's edge";

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// Draw's session frames and the frozen screen show what lies behind the window Zentrel shows in
// place of a tray icon.
TEST_P(CaptureWithoutTray, FallbackWindowLeavesNoTraceInSessionFramesOrFrozenScreen)
{
    const QImage bare = bareScreen();
    ASSERT_FALSE(bare.isNull());
    ASSERT_TRUE(m_zentrel.start(m_xvfb.display()));
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
        << "zentrel never listened for command URLs; it " << stopAndDescribe();
    const auto fallback = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(fallback.has_value()) << "no window in place of the tray icon; " << situation();
    ASSERT_NO_FATAL_FAILURE(giveKeyboardToFramed());
    const QImage screen = screenBehind(*fallback, bare, "screen_with_fallback");
    ASSERT_FALSE(screen.isNull());

    // The fallback window stays on top of Draw, where the pointer would look for Draw.
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/draw")));
    const auto draw = m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs));
    auto toolbar = waitForNew(before, toolbarTitle);
    ASSERT_TRUE(draw.has_value() && toolbar.has_value()) << "Draw did not open; " << situation();
    ASSERT_TRUE(settle(*toolbar));
    m_draw = *draw;
    m_toolbar = *toolbar;
    ASSERT_NO_FATAL_FAILURE(pressInDraw(QStringLiteral("3")));
    ASSERT_NO_FATAL_FAILURE(dragOver(shapeDrag));
    const QImage drawn = grabUntil([this](const QImage &shown) { return showsStroke(shown); });
    const std::optional<QPoint> save = saveToSessionButton(drawn, m_toolbar.frame);
    ASSERT_TRUE(save.has_value()) << "no Save to Session button in " << m_toolbar.describe();
    ASSERT_TRUE(m_input.click(*save)) << m_input.lastError().toStdString();
    const QImage frame = savedFrame();
    keepScreenshot(frame, artifact("session_frame"));
    expectDrawing(frame, screen, "session_frame");
    ASSERT_NO_FATAL_FAILURE(expectFreezeAfterDraw(screen, "frozen_with_fallback"));

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         CaptureAsShown,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);
INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         CaptureWithoutTray,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
