// What the running program costs where a presenter feels it: CPU while the loupe runs, and
// resident memory after features are used and closed. The figures are printed, never judged:
// they depend on the machine, so they go into reports beside their targets.
#include "e2e/fixtures/board_library.h"
#include "e2e/fixtures/drawing_test.h"
#include "e2e/processes/process_use.h"
#include "e2e/x11/root_pixels.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <string>

namespace zentrel {
namespace {

const QSize fullHd(1920, 1080);
const QPoint screenCentre(960, 540);
constexpr int measureMs = 4000;
// Long enough for a closed feature's deferred deletions and saves to run.
constexpr int settleMs = 2000;
constexpr int boardElements = 10000;

// Ten thousand elements (or `elements`) of every kind on a grid far larger than the screen, 100
// to a row, each 60 by 50 points apart.
WhiteboardLibrary largeLibrary(int elements = boardElements)
{
    WhiteboardBoard board = whiteBoardNamed("Large");
    board.showsGrid = true;
    for (int i = 0; i < elements; ++i) {
        WhiteboardElement element;
        element.id = Uuid::generate(systemUuidRandomSource());
        element.kind = allWhiteboardElementKinds[std::size_t(i) % allWhiteboardElementKinds.size()];
        element.setFrame({(i % 100) * 60.0, (i / 100) * 50.0, 40.0 + i % 7, 30.0 - i % 5});
        element.style.strokeColor = "#1E1E1E";
        element.style.fillColor = i % 2 == 0 ? std::optional<std::string>("#A5D8FF") : std::nullopt;
        element.style.strokeWidth = 2;
        element.text = "Note " + std::to_string(i);
        element.markerNumber = i % 50;
        if (element.kind == WhiteboardElementKind::freedraw) {
            for (int p = 0; p < 20; ++p) {
                element.points.push_back({element.x + p * 2.0, element.y + 8 * std::sin(p * 0.4)});
            }
        }
        board.elements.push_back(makeElement(std::move(element)));
    }
    return libraryOf(std::move(board));
}

// `elements` small rough rectangles, ellipses and diamonds, 40 by 30 points, 1,000 to a row.
WhiteboardLibrary libraryOfShapes(int elements)
{
    static constexpr WhiteboardElementKind kinds[] = {WhiteboardElementKind::rectangle,
                                                      WhiteboardElementKind::ellipse,
                                                      WhiteboardElementKind::diamond};
    WhiteboardBoard board = whiteBoardNamed("Shapes");
    for (int i = 0; i < elements; ++i) {
        WhiteboardElement element;
        element.id = Uuid::generate(systemUuidRandomSource());
        element.kind = kinds[i % 3];
        element.setFrame({(i % 1000) * 60.0, (i / 1000) * 50.0, 40, 30});
        element.style.strokeColor = "#1E1E1E";
        board.elements.push_back(makeElement(std::move(element)));
    }
    return libraryOf(std::move(board));
}

class ResourceUse : public DrawingTest
{
protected:
    ResourceUse()
        : DrawingTest(fullHd)
    {}

    void start()
    {
        ASSERT_TRUE(startAndWaitForDock().has_value()) << "no tray icon; " << stopAndDescribe();
        ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
            << "zentrel never listened; " << stopAndDescribe();
        ASSERT_TRUE(m_input.moveTo(screenCentre)) << m_input.lastError().toStdString();
        QThread::msleep(settleMs);
    }

    // Starts with a library of one large board, written before the program reads it.
    void startWithLargeLibrary(int elements) { startWithLibrary(largeLibrary(elements)); }

    void startWithLibrary(const WhiteboardLibrary &library)
    {
        ASSERT_TRUE(saveLibraryIn(m_zentrel.dataHome().toStdString(), library));
        ASSERT_NO_FATAL_FAILURE(start());
    }

    // Once what a closed feature left behind had time to go.
    void printMemoryAfterClosing(const std::string &what, double idle)
    {
        QThread::msleep(settleMs);
        const double after = rss();
        printFigure("memory after " + what, after, "MB");
        printFigure("memory after " + what + ", above idle", after - idle, "MB");
    }

    // The pointer's chains of moves take seconds.
    static constexpr int chainTimeoutMs = 60000;

    // Per cent of one core that zentrel used while `during` ran.
    double cpuPercentDuring(const std::function<void()> &during)
    {
        const qint64 pid = m_zentrel.processId();
        const double before = cpuSeconds(pid);
        QElapsedTimer wall;
        wall.start();
        during();
        const double used = cpuSeconds(pid) - before;
        return 100 * used / (double(wall.nsecsElapsed()) / 1e9);
    }

    double rss() { return residentMegabytes(m_zentrel.processId()); }

    // The pointer circles the screen's centre for about four seconds, at 60 steps a second.
    void circlePointer()
    {
        QStringList chain;
        constexpr int steps = measureMs * 60 / 1000;
        for (int i = 0; i <= steps; ++i) {
            const double angle = 2 * std::numbers::pi * i / steps;
            chain << QStringLiteral("mousemove")
                  << QString::number(screenCentre.x() + int(300 * std::cos(angle)))
                  << QString::number(screenCentre.y() + int(300 * std::sin(angle)))
                  << QStringLiteral("sleep") << QStringLiteral("0.016");
        }
        xdotool(chain, chainTimeoutMs);
    }

    void open(const QString &feature, const QString &title)
    {
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/") + feature));
        ASSERT_TRUE(m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs)).has_value())
            << feature.toStdString() << " showed no window; " << situation();
    }

    void close(const QString &feature, const QString &title)
    {
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/") + feature));
        ASSERT_TRUE(m_windows.waitUntilNotShown(title, QDeadlineTimer(windowTimeoutMs)))
            << feature.toStdString() << " stayed open; " << situation();
    }

    void measureLoupe(const std::string &desktop)
    {
        ASSERT_NO_FATAL_FAILURE(start());
        ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("zoom"), QStringLiteral("Zoom Loupe")));
        QThread::msleep(settleMs);
        printFigure("loupe, " + desktop + ", pointer still: CPU",
                    cpuPercentDuring([] { QThread::msleep(measureMs); }),
                    "% of one core");
        printFigure("loupe, " + desktop + ", pointer moving: CPU",
                    cpuPercentDuring([this] { circlePointer(); }),
                    "% of one core");
        ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("zoom"), QStringLiteral("Zoom Loupe")));
        EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
    }
};

TEST_F(ResourceUse, LoupeCpuWithoutCompositingManager)
{
    measureLoupe("no compositing manager");
}

TEST_F(ResourceUse, LoupeCpuWithCompositingManager)
{
    ASSERT_NO_FATAL_FAILURE(startCompositor());
    measureLoupe("xcompmgr");
}

TEST_F(ResourceUse, MemoryAfterEveryFeatureOnce)
{
    ASSERT_NO_FATAL_FAILURE(start());
    const double idle = rss();
    printFigure("memory at idle", idle, "MB");
    const QLine stroke(QPoint(600, 500), QPoint(1200, 700));
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("draw"), drawTitle));
    ASSERT_TRUE(m_input.drag(stroke.p1(), stroke.p2()));
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("draw"), drawTitle));
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("zoom"), QStringLiteral("Zoom Loupe")));
    ASSERT_TRUE(m_input.moveTo(stroke.p2()));
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("zoom"), QStringLiteral("Zoom Loupe")));
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("spotlight"), QStringLiteral("Spotlight")));
    ASSERT_TRUE(m_input.moveTo(stroke.p1()));
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("spotlight"), QStringLiteral("Spotlight")));
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("halo"), QStringLiteral("Cursor Halo")));
    ASSERT_TRUE(m_input.click(stroke.p2()));
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("halo"), QStringLiteral("Cursor Halo")));
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("timer"), QStringLiteral("Break Timer")));
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("timer"), QStringLiteral("Break Timer")));
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("r")));
    ASSERT_TRUE(m_input.drag(stroke.p1(), stroke.p2()));
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("freeze"), QStringLiteral("Zevizu & Vozurir")));
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("freeze"), QStringLiteral("Zevizu & Vozurir")));
    printMemoryAfterClosing("every feature once, closed", idle);
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(ResourceUse, MemoryAfterLargeBoard)
{
    ASSERT_NO_FATAL_FAILURE(startWithLargeLibrary(boardElements));
    const double idle = rss();
    printFigure("memory at idle, 10,000-element library", idle, "MB");
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
    QThread::msleep(settleMs);
    // Wheel notches pan; with Ctrl held they zoom, out until the whole board shows and back.
    const QStringList pan{QStringLiteral("click"),
                          QStringLiteral("--repeat"),
                          QStringLiteral("40"),
                          QStringLiteral("--delay"),
                          QStringLiteral("30"),
                          QStringLiteral("5")};
    ASSERT_NO_FATAL_FAILURE(xdotool(pan, chainTimeoutMs));
    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("keydown"),
                                     QStringLiteral("ctrl"),
                                     QStringLiteral("click"),
                                     QStringLiteral("--repeat"),
                                     QStringLiteral("12"),
                                     QStringLiteral("--delay"),
                                     QStringLiteral("60"),
                                     QStringLiteral("5"),
                                     QStringLiteral("click"),
                                     QStringLiteral("--repeat"),
                                     QStringLiteral("12"),
                                     QStringLiteral("--delay"),
                                     QStringLiteral("60"),
                                     QStringLiteral("4"),
                                     QStringLiteral("keyup"),
                                     QStringLiteral("ctrl")},
                                    chainTimeoutMs));
    ASSERT_NO_FATAL_FAILURE(xdotool(pan, chainTimeoutMs));
    QThread::msleep(settleMs);
    printFigure("memory with the 10,000-element board open after pan and zoom", rss(), "MB");
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
    printMemoryAfterClosing("the 10,000-element board closed", idle);
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// Wheel notches, each painted sharp before the next, out over a board of 200,000 small shapes and
// back: what the canvas keeps to paint them stays within its budget, so the program's memory
// peaks well below what keeping every element it showed would take, and comes back to about what
// it held once the board opened.
TEST_F(ResourceUse, MemoryThroughZoomsOnTwoHundredThousandShapes)
{
    constexpr int notches = 12;
    constexpr int idleTimeoutMs = 120000;
    ASSERT_NO_FATAL_FAILURE(startWithLibrary(libraryOfShapes(200000)));
    const qint64 pid = m_zentrel.processId();
    resetPeakResident(pid);
    ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
    // The pointer moves over the board once, as a person's does before the wheel turns.
    ASSERT_TRUE(m_input.moveTo(screenCentre + QPoint(40, 30))) << m_input.lastError().toStdString();
    waitUntilIdle(pid, idleTimeoutMs);
    const double opened = rss();
    for (int notch = 0; notch < 2 * notches; ++notch) {
        const QString button = notch < notches ? QStringLiteral("5") : QStringLiteral("4");
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("keydown"),
                                         QStringLiteral("ctrl"),
                                         QStringLiteral("click"),
                                         button,
                                         QStringLiteral("keyup"),
                                         QStringLiteral("ctrl")}));
        waitUntilIdle(pid, idleTimeoutMs);
    }
    const double peak = peakResidentMegabytes(pid);
    const double back = rss();
    printFigure("memory with the 200,000-shape board just opened", opened, "MB");
    printFigure("memory at the peak of 12 notches out and 12 back", peak, "MB");
    printFigure("memory after zooming back in", back, "MB");
    EXPECT_LT(peak, 1200);
    EXPECT_LT(back, 1.1 * opened);
    ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// How long a presenter waits for a large board: from the command URL that toggles the whiteboard
// until the board shows painted, and how much of that wait the main thread computed.
class LargeBoardOpening : public ResourceUse
{
protected:
    // Half the filled elements are this blue; nothing else on the desktop is.
    static inline const QColor boardFill{0xA5, 0xD8, 0xFF};
    // Some rows and columns of the board's grid around the screen's centre.
    static inline const QRect centreArea{screenCentre - QPoint(100, 100), QSize(201, 201)};
    static constexpr int paintTimeoutMs = 30000;

    LargeBoardOpening()
        : m_pixels(m_xvfb.display())
    {}

    void measureOpening(int elements, const std::string &board)
    {
        ASSERT_NO_FATAL_FAILURE(startWithLargeLibrary(elements));
        const qint64 pid = m_zentrel.processId();
        // Starting `zentrel URL` is part of the wait measured below; this says how much.
        QElapsedTimer handOverOnly;
        handOverOnly.start();
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://stop")));
        printFigure("handing a command URL over alone", milliseconds(handOverOnly), "ms");
        const double cpuBefore = mainThreadCpuSeconds(pid);
        QElapsedTimer wall;
        wall.start();
        ASSERT_NO_FATAL_FAILURE(open(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
        const bool painted = waitUntilBoardShows();
        const double waited = milliseconds(wall);
        const double computed = 1000 * (mainThreadCpuSeconds(pid) - cpuBefore);
        ASSERT_TRUE(painted) << "the board never showed its elements; " << situation();
        const std::string what = "opening the " + board + "-element board";
        printFigure(what + ", toggle until painted", waited, "ms");
        printFigure(what + ", main-thread CPU", computed, "ms");
        printFigure("memory with the " + board + "-element board just opened", rss(), "MB");
        ASSERT_NO_FATAL_FAILURE(close(QStringLiteral("whiteboard"), QStringLiteral("Whiteboard")));
        EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
    }

    // Looks at a small area only: a whole screenshot takes a tenth of a second or more.
    bool waitUntilBoardShows()
    {
        const QDeadlineTimer deadline(paintTimeoutMs);
        const QPoint centre = screenCentre - centreArea.topLeft();
        const int reach = centreArea.width() / 2;
        while (!showsColorNear(m_pixels.area(centreArea), centre, boardFill, reach)) {
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(1);
        }
        return true;
    }

    static double milliseconds(const QElapsedTimer &timer)
    {
        return double(timer.nsecsElapsed()) / 1e6;
    }

    RootPixels m_pixels;
};

TEST_F(LargeBoardOpening, TenThousandElements)
{
    measureOpening(boardElements, "10,000");
}

TEST_F(LargeBoardOpening, FiftyThousandElements)
{
    measureOpening(50000, "50,000");
}

// What a person's pan, zoom and drag steps cost the running program on a large board. The main
// thread's time is what delays the next event; the whole program's adds the pool threads it
// hands painting to, for as long as it waits on them or not.
class LargeBoardSteps : public ResourceUse
{
protected:
    static constexpr int steps = 60;
    // Wheel notches zoom by e^0.24; from 100 %, in to the largest zoom, out to the smallest and in
    // again, each notch at a scale not shown before.
    static constexpr int zoomInNotches = 7;       // to 500 %
    static constexpr int zoomOutNotches = 17;     // to 10 %
    static constexpr int zoomInAgainNotches = 16; // to 465 %
    static constexpr int idleTimeoutMs = 120000;
    // A person's pointer reports about every 20 ms.
    static inline const QString stepPause = QStringLiteral("0.02");
    static constexpr int stepPauseMs = 20;

    void openBoard(int elements)
    {
        ASSERT_NO_FATAL_FAILURE(startWithLargeLibrary(elements));
        ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/whiteboard")));
        const auto window =
            m_windows.waitForShown(QStringLiteral("Whiteboard"), QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(window.has_value()) << "the whiteboard showed no window; " << situation();
        ASSERT_TRUE(m_input.focus(window->id)) << m_input.lastError().toStdString();
        waitUntilIdle();
    }

    // Until the program spends next to nothing for a while: the board is shown, saves are done.
    void waitUntilIdle() { zentrel::waitUntilIdle(m_zentrel.processId(), idleTimeoutMs); }

    // Prints the CPU time per step that `run` took, for `count` steps, on the main thread and in
    // the whole program, how long per step the main thread was kept from its event loop, and the
    // longest it was kept away at once: steps that come while it is away share one frame.
    void measureSteps(const std::string &what, int count, const std::function<void()> &run)
    {
        const qint64 pid = m_zentrel.processId();
        const double mainBefore = mainThreadCpuSeconds(pid);
        const double allBefore = cpuSeconds(pid);
        QElapsedTimer wall;
        wall.start();
        MainThreadBusyness busyness(pid);
        run();
        // The last step's event is handled well within a step's pause.
        QThread::msleep(stepPauseMs);
        const MainThreadBusyness::Result busy = busyness.stop();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        const double perStep = 1000.0 / count;
        printFigure(what + ": main thread CPU per step",
                    (mainThreadCpuSeconds(pid) - mainBefore) * perStep,
                    "ms");
        printFigure(what + ": main thread busy per step, waits for its pool threads included",
                    busy.busyShare * seconds * perStep,
                    "ms");
        printFigure(
            what + ": main thread longest busy stretch", busy.longestBusySeconds * 1000, "ms");
        printFigure(
            what + ": whole program CPU per step", (cpuSeconds(pid) - allBefore) * perStep, "ms");
    }

    // What the program does once the steps stop, such as a sharp repaint after a zoom.
    void measureSettling(const std::string &what)
    {
        const qint64 pid = m_zentrel.processId();
        const double mainBefore = mainThreadCpuSeconds(pid);
        const double allBefore = cpuSeconds(pid);
        QThread::msleep(settleMs);
        printFigure(
            what + ": main thread CPU", (mainThreadCpuSeconds(pid) - mainBefore) * 1000, "ms");
        printFigure(what + ": whole program CPU", (cpuSeconds(pid) - allBefore) * 1000, "ms");
    }

    // Space held, the pointer dragged from the centre up and to the left, a step at a time.
    void pan(const std::string &board)
    {
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("mousemove"),
                                         QString::number(screenCentre.x()),
                                         QString::number(screenCentre.y()),
                                         QStringLiteral("keydown"),
                                         QStringLiteral("space"),
                                         QStringLiteral("mousedown"),
                                         QStringLiteral("1")}));
        measureSteps(board + ", pan (Space and drag)", steps, [this] {
            xdotool(relativeMoves(QPoint(-9, -5)));
        });
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("mouseup"),
                                         QStringLiteral("1"),
                                         QStringLiteral("keyup"),
                                         QStringLiteral("space")}));
        waitUntilIdle();
    }

    // Control and the wheel, about the centre, `notches` times in one direction.
    void zoom(const std::string &what, int notches, bool in)
    {
        ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("mousemove"),
                                         QString::number(screenCentre.x()),
                                         QString::number(screenCentre.y())}));
        measureSteps(what, notches, [this, notches, in] {
            xdotool({QStringLiteral("keydown"),
                     QStringLiteral("ctrl"),
                     QStringLiteral("click"),
                     QStringLiteral("--repeat"),
                     QString::number(notches),
                     QStringLiteral("--delay"),
                     QString::number(stepPauseMs),
                     in ? QStringLiteral("4") : QStringLiteral("5"),
                     QStringLiteral("keyup"),
                     QStringLiteral("ctrl")});
        });
        measureSettling(what + ", settling");
        waitUntilIdle();
    }

    QStringList relativeMoves(QPoint step) const
    {
        QStringList chain;
        for (int i = 0; i < steps; ++i) {
            chain << QStringLiteral("mousemove_relative") << QStringLiteral("--")
                  << QString::number(step.x()) << QString::number(step.y())
                  << QStringLiteral("sleep") << stepPause;
        }
        return chain;
    }
};

// With the board's top left corner 400 points across and 200 down the view: a marquee from the
// empty space beside it around the 4 by 4 block of elements in its corner, clear of every other
// element, and the middle of the first element, a filled rectangle, to press on. All of it lies
// right of where the property panel shows once something is selected.
const QPoint boardCorner(400, 200);
const QLine blockMarquee(QPoint(350, 150), QPoint(633, 390));
const QPoint blockRectangle(420, 215);

TEST_F(LargeBoardSteps, PanZoomAndDragOnTenThousandElements)
{
    ASSERT_NO_FATAL_FAILURE(openBoard(boardElements));
    const std::string board = "10,000-element board";
    ASSERT_NO_FATAL_FAILURE(pan(board));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+0")));
    waitUntilIdle();
    ASSERT_NO_FATAL_FAILURE(zoom(board + ", wheel zoom in to 500 %", zoomInNotches, true));
    ASSERT_NO_FATAL_FAILURE(zoom(board + ", wheel zoom out to 10 %", zoomOutNotches, false));
    ASSERT_NO_FATAL_FAILURE(zoom(board + ", wheel zoom in to 465 %", zoomInAgainNotches, true));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+0")));
    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("mousemove"),
                                     QString::number(screenCentre.x()),
                                     QString::number(screenCentre.y()),
                                     QStringLiteral("keydown"),
                                     QStringLiteral("space"),
                                     QStringLiteral("mousedown"),
                                     QStringLiteral("1"),
                                     QStringLiteral("sleep"),
                                     stepPause,
                                     QStringLiteral("mousemove"),
                                     QString::number(screenCentre.x() + boardCorner.x()),
                                     QString::number(screenCentre.y() + boardCorner.y()),
                                     QStringLiteral("sleep"),
                                     stepPause,
                                     QStringLiteral("mouseup"),
                                     QStringLiteral("1"),
                                     QStringLiteral("keyup"),
                                     QStringLiteral("space")}));
    waitUntilIdle();
    ASSERT_TRUE(m_input.drag(blockMarquee.p1(), blockMarquee.p2()));
    // Grouped, so a press on one of them drags them all.
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+g")));
    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("mousemove"),
                                     QString::number(blockRectangle.x()),
                                     QString::number(blockRectangle.y()),
                                     QStringLiteral("mousedown"),
                                     QStringLiteral("1")}));
    measureSteps(board + ", dragging 16 selected elements", steps, [this] {
        xdotool(relativeMoves(QPoint(5, 3)));
    });
    ASSERT_NO_FATAL_FAILURE(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
    waitUntilIdle();
    // The steps measured were a drag of the whole block, and of nothing else.
    const QJsonArray saved = m_zentrel.savedBoardElements();
    ASSERT_EQ(saved.size(), boardElements);
    const auto movedBy = [&saved](int row, int column) {
        const QJsonObject element = saved[row * 100 + column].toObject();
        // A stroke moves by its points.
        const QJsonArray points = element[QStringLiteral("points")].toArray();
        const double x = points.isEmpty() ? element[QStringLiteral("x")].toDouble()
                                          : points[0].toObject()[QStringLiteral("x")].toDouble();
        return x - column * 60;
    };
    EXPECT_GT(movedBy(0, 0), steps);
    for (int row = 0; row < 5; ++row) {
        for (int column = 0; column < 5; ++column) {
            EXPECT_EQ(movedBy(row, column), row < 4 && column < 4 ? movedBy(0, 0) : 0)
                << "row " << row << ", column " << column;
        }
    }
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(LargeBoardSteps, PanOnFiftyThousandElements)
{
    ASSERT_NO_FATAL_FAILURE(openBoard(5 * boardElements));
    ASSERT_NO_FATAL_FAILURE(pan("50,000-element board"));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace
} // namespace zentrel
