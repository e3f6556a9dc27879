#include "e2e/fixtures/board_library.h"
#include "e2e/fixtures/drawing_test.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <cmath>

namespace zentrel {
namespace {

constexpr int libraryTimeoutMs = 5000;
// A command that acts shows its window well within this.
constexpr int momentMs = 500;
const QString drawTitle = QStringLiteral("Draw");
const QRect rectangleFrame(300, 300, 200, 120);
const QLine arrowDrag(QPoint(510, 360), QPoint(800, 360));
const QPoint textPoint(300, 600);
// A word in a script that no font of the test machine has, shown as boxes right of the other.
const QString typedText = QStringLiteral("Hello नमस्ते");
const QRect typedBoxesArea(380, 590, 220, 50);
const QColor black(0, 0, 0);

// A board with every element kind, fill and stroke style and font family, laid out in a grid.
WhiteboardLibrary everyKindLibrary()
{
    WhiteboardBoard board = whiteBoardNamed("Every kind");
    board.showsGrid = true;
    const auto add = [&](WhiteboardElement element) {
        element.id = Uuid::generate(systemUuidRandomSource());
        element.style.strokeColor = "#1E1E1E";
        element.style.opacity = 1;
        element.style.strokeWidth = 3;
        board.elements.push_back(makeElement(std::move(element)));
    };
    const auto frameAt = [](int column, int row) {
        return RectF{80.0 + column * 220, 80.0 + row * 180, 160, 110};
    };
    int column = 0;
    for (const WhiteboardElementKind kind : {WhiteboardElementKind::rectangle,
                                             WhiteboardElementKind::ellipse,
                                             WhiteboardElementKind::diamond}) {
        for (int fill = 0; fill < 3; ++fill) {
            WhiteboardElement element;
            element.kind = kind;
            element.setFrame(frameAt(column % 5, column / 5));
            element.style.fillColor = fill == 0 ? "#A5D8FF" : fill == 1 ? "#FFC9C9" : "#B2F2BB";
            element.style.fillStyle = static_cast<WhiteboardFillStyle>(fill);
            element.style.strokeStyle = static_cast<WhiteboardStrokeStyle>(fill);
            element.style.roughness = fill + 1;
            element.style.roundnessType = kind == WhiteboardElementKind::rectangle && fill == 1
                                              ? std::optional<std::int64_t>(3)
                                              : std::nullopt;
            add(std::move(element));
            ++column;
        }
    }
    for (const WhiteboardElementKind kind :
         {WhiteboardElementKind::line, WhiteboardElementKind::arrow}) {
        WhiteboardElement element;
        element.kind = kind;
        const RectF frame = frameAt(column % 5, column / 5);
        element.setFrame({frame.x, frame.y + frame.height, frame.width, -frame.height});
        add(std::move(element));
        ++column;
    }
    WhiteboardElement pen;
    pen.kind = WhiteboardElementKind::freedraw;
    const RectF penFrame = frameAt(column % 5, column / 5);
    for (int p = 0; p <= 40; ++p) {
        pen.points.push_back({penFrame.x + p * 4, penFrame.y + 55 + 40 * std::sin(p * 0.3)});
    }
    add(std::move(pen));
    ++column;
    for (const WhiteboardFontFamily family : {WhiteboardFontFamily::handDrawn,
                                              WhiteboardFontFamily::system,
                                              WhiteboardFontFamily::monospace}) {
        WhiteboardElement text;
        text.kind = WhiteboardElementKind::text;
        text.setFrame(frameAt(column % 5, column / 5));
        text.text = "Hand-drawn\ntext 👍";
        text.fontFamily = family;
        text.fontSize = 28;
        add(std::move(text));
        ++column;
    }
    WhiteboardElement marker;
    marker.kind = WhiteboardElementKind::marker;
    marker.setFrame({frameAt(column % 5, column / 5).x, frameAt(column % 5, column / 5).y, 40, 40});
    marker.markerNumber = 7;
    marker.style.fillColor = "#E03131";
    add(std::move(marker));
    ++column;
    WhiteboardElement unsupported;
    unsupported.kind = WhiteboardElementKind::unsupported;
    unsupported.setFrame(frameAt(column % 5, column / 5));
    unsupported.isLocked = true;
    add(std::move(unsupported));

    return libraryOf(std::move(board));
}

// The whiteboard and Zevizu & Vozurir, opened by command URL on the drawing desktop.
class WhiteboardE2E : public DrawingTest
{
protected:
    void openFeature(const QString &url, const QString &title)
    {
        if (!m_zentrel.isRunning()) {
            const std::optional<std::uint32_t> icon = startAndWaitForDock();
            ASSERT_TRUE(icon.has_value())
                << "zentrel docked no tray icon; it " << stopAndDescribe();
            ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)));
        }
        ASSERT_TRUE(handOver(url));
        const auto window = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
        ASSERT_TRUE(window.has_value())
            << url.toStdString() << " showed no window; " << situation();
        m_feature = *window;
        ASSERT_TRUE(m_input.focus(m_feature.id)) << m_input.lastError().toStdString();
    }

    void drag(QPoint from, QPoint to)
    {
        ASSERT_TRUE(m_input.drag(from, to)) << m_input.lastError().toStdString();
    }

    // The library file once it holds `count` elements on the current board, or its last state.
    QJsonArray elementsOnDisk(int count)
    {
        const QDeadlineTimer deadline(libraryTimeoutMs);
        QJsonArray elements = m_zentrel.savedBoardElements();
        while (elements.size() != count && !deadline.hasExpired()) {
            QThread::msleep(50);
            elements = m_zentrel.savedBoardElements();
        }
        return elements;
    }

    // The frames of the active session once "Save to Session" has put one there, or none.
    QStringList savedFrames()
    {
        const QDeadlineTimer deadline(libraryTimeoutMs);
        QStringList frames;
        while (frames.isEmpty() && !deadline.hasExpired()) {
            QThread::msleep(50);
            QDirIterator found(m_zentrel.dataHome() + QStringLiteral("/Zentrel/Sessions"),
                               {QStringLiteral("*.png")},
                               QDir::Files,
                               QDirIterator::Subdirectories);
            while (found.hasNext()) {
                frames << found.next();
            }
        }
        return frames;
    }

    TopLevelWindow m_feature;
};

// Whether fontconfig knows the colour emoji font, without which an emoji shows no colour.
bool hasColourEmojiFont()
{
    QProcess list;
    list.start(QStringLiteral("fc-list"), {QStringLiteral("Noto Color Emoji")});
    return list.waitForFinished(libraryTimeoutMs) && !list.readAllStandardOutput().isEmpty();
}

// Pixels of strong colour in `area`, where the board's own ink is dark and its ground white.
int colourfulPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.hsvSaturation() > 100 && pixel.value() > 150 ? 1 : 0;
        }
    }
    return count;
}

TEST_F(WhiteboardE2E, BoardDrawnWithKeysAndDragsIsSavedUndoneAndBackAfterARestart)
{
    const QString open = QStringLiteral("zentrel://toggle/whiteboard");
    ASSERT_NO_FATAL_FAILURE(openFeature(open, QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("r")));
    ASSERT_NO_FATAL_FAILURE(drag(rectangleFrame.topLeft(), rectangleFrame.bottomRight()));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("a")));
    ASSERT_NO_FATAL_FAILURE(drag(arrowDrag.p1(), arrowDrag.p2()));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("t")));
    ASSERT_TRUE(m_input.click(textPoint));
    ASSERT_TRUE(m_input.typeText(typedText));
    // A press elsewhere ends the edit and keeps the text.
    ASSERT_TRUE(m_input.click({900, 700}));

    QJsonArray elements = elementsOnDisk(3);
    ASSERT_TRUE(m_zentrel.isRunning()) << "zentrel " << stopAndDescribe();
    ASSERT_EQ(elements.size(), 3) << situation();
    EXPECT_EQ(elements[0][QStringLiteral("kind")].toString(), QStringLiteral("rectangle"));
    EXPECT_EQ(elements[1][QStringLiteral("kind")].toString(), QStringLiteral("arrow"));
    EXPECT_EQ(elements[1][QStringLiteral("startBindingID")].toString(),
              elements[0][QStringLiteral("id")].toString());
    EXPECT_EQ(elements[2][QStringLiteral("text")].toString(), typedText);
    keepScreenshot(m_xvfb.grabScreen(), QStringLiteral("whiteboard_board.png"));

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+z")));
    EXPECT_EQ(elementsOnDisk(2).size(), 2);
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+shift+z")));
    EXPECT_EQ(elementsOnDisk(3).size(), 3);

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    ASSERT_TRUE(m_windows.waitUntilNotShown(m_feature.id, QDeadlineTimer(windowTimeoutMs)))
        << "Escape left the whiteboard open; " << situation();

    ASSERT_TRUE(m_zentrel.stop().kind == ProcessExit::Kind::exited);
    ASSERT_NO_FATAL_FAILURE(openFeature(open, QStringLiteral("Whiteboard")));
    const QImage screen = grabUntil([](const QImage &shown) {
        return showsColorAlong(
                   shown, QLine(rectangleFrame.topLeft(), rectangleFrame.topRight()), black)
               && darkPixelsIn(shown, typedBoxesArea, 100) > 200;
    });
    keepScreenshot(screen, QStringLiteral("whiteboard_after_restart.png"));
    EXPECT_TRUE(showsColorAlong(
        screen,
        QLine(rectangleFrame.topLeft() + QPoint(20, 0), rectangleFrame.topRight() - QPoint(20, 0)),
        black))
        << situation();
    EXPECT_GT(darkPixelsIn(screen, typedBoxesArea, 100), 200) << "the typed word is not shown";
}

TEST_F(WhiteboardE2E, ShowsEveryElementKindFillAndFontOfASavedBoard)
{
    ASSERT_TRUE(saveLibraryIn(m_zentrel.dataHome().toStdString(), everyKindLibrary()));
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/whiteboard"), QStringLiteral("Whiteboard")));
    // The solid blue fill of the first rectangle, drawn once everything is in.
    const QColor solidBlue(0xA5, 0xD8, 0xFF);
    const QImage screen = grabUntil(
        [&](const QImage &shown) { return showsColorNear(shown, QPoint(160, 135), solidBlue); });
    keepScreenshot(screen, QStringLiteral("whiteboard_every_kind.png"));
    EXPECT_TRUE(showsColorNear(screen, QPoint(160, 135), solidBlue)) << situation();
    // The marker's red disc (fourth row, first column) and the first text's dark glyphs.
    EXPECT_TRUE(showsColorNear(screen, QPoint(90, 640), QColor(0xE0, 0x31, 0x31)));
    EXPECT_GT(darkPixelsIn(screen, QRect(520, 440, 160, 110), 100), 200)
        << "the text was not drawn";
    EXPECT_TRUE(m_zentrel.isRunning());

    // The texts' emoji keep their colours in the session's frame of the board.
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(7));
    const QStringList frames = savedFrames();
    ASSERT_EQ(frames.size(), 1) << situation();
    if (hasColourEmojiFont()) {
        EXPECT_GT(colourfulPixels(QImage(frames.front()), {520, 440, 160, 110}), 100)
            << "the emoji lost its colours";
    }
}

TEST_F(WhiteboardE2E, BoardExportedThroughTheDialogsComesBackByImport)
{
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/whiteboard"), QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("r")));
    ASSERT_NO_FATAL_FAILURE(drag(rectangleFrame.topLeft(), rectangleFrame.bottomRight()));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("a")));
    ASSERT_NO_FATAL_FAILURE(drag(arrowDrag.p1(), arrowDrag.p2()));
    const QJsonArray drawn = elementsOnDisk(2);
    ASSERT_EQ(drawn.size(), 2) << situation();
    // The new arrow is selected, so the property panel shows beside it.
    keepScreenshot(m_xvfb.grabScreen(), QStringLiteral("whiteboard_properties.png"));

    const QString excalidraw = m_zentrel.dataHome() + QStringLiteral("/board.excalidraw");
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(2));
    ASSERT_NO_FATAL_FAILURE(answerFileDialog(QStringLiteral("Save"), excalidraw));
    ASSERT_TRUE(waitForFile(excalidraw)) << situation();

    const QString svg = m_zentrel.dataHome() + QStringLiteral("/board.svg");
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(4));
    ASSERT_NO_FATAL_FAILURE(answerFileDialog(QStringLiteral("Save"), svg));
    ASSERT_TRUE(waitForFile(svg)) << situation();
    QFile svgFile(svg);
    ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svgFile.readAll().startsWith("<svg"));

    // Something more on the board, which the import leaves where it is.
    ASSERT_TRUE(m_input.focus(m_feature.id));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("o")));
    ASSERT_NO_FATAL_FAILURE(drag({700, 500}, {800, 600}));
    ASSERT_EQ(elementsOnDisk(3).size(), 3);
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(3));
    ASSERT_NO_FATAL_FAILURE(
        answerFileDialog(QStringLiteral("Import Excalidraw Document"), excalidraw));
    const QJsonArray imported = elementsOnDisk(2);
    ASSERT_EQ(imported.size(), 2) << situation();
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(imported[i][QStringLiteral("kind")], drawn[i][QStringLiteral("kind")]);
        EXPECT_EQ(imported[i][QStringLiteral("x")].toDouble(),
                  drawn[i][QStringLiteral("x")].toDouble());
    }
    keepScreenshot(m_xvfb.grabScreen(), QStringLiteral("whiteboard_imported.png"));

    // "Save to Session" puts the picture of the board into the active session's frames.
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(7));
    const QStringList frames = savedFrames();
    ASSERT_EQ(frames.size(), 1) << situation();
    EXPECT_EQ(QImage(frames.front()).size(), m_xvfb.grabScreen().size());
}

TEST_F(WhiteboardE2E, FirstEscapeEndsTheTextEditAndTheNextCloses)
{
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/whiteboard"), QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("t")));
    ASSERT_TRUE(m_input.click(textPoint)) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_input.typeText(QStringLiteral("abc"))) << m_input.lastError().toStdString();

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    EXPECT_FALSE(m_windows.waitUntilNotShown(m_feature.id, QDeadlineTimer(momentMs)))
        << "one Escape during a text edit closed the whiteboard; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_feature.id, QDeadlineTimer(windowTimeoutMs)))
        << "a second Escape left the whiteboard open; " << situation();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// A save dialog runs inside the whiteboard run: a hot key or a command URL that stopped the run
// meanwhile would pull the dialog's window from under it.
TEST_F(WhiteboardE2E, HotKeysAndURLsWaitWhileASaveDialogAsks)
{
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/whiteboard"), QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+s")));
    const auto dialog =
        m_windows.waitForShown(QStringLiteral("Save"), QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(dialog.has_value()) << "Ctrl+S showed no save dialog; " << situation();

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+alt+d")));
    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/draw")));
    EXPECT_FALSE(m_windows.waitForShown(drawTitle, QDeadlineTimer(momentMs)).has_value())
        << "Draw replaced the whiteboard under its dialog; " << situation();
    ASSERT_TRUE(m_zentrel.isRunning()) << "zentrel " << stopAndDescribe();

    ASSERT_TRUE(m_input.focus(dialog->id));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Escape")));
    // The URL waited for the answer; the hot key was the dialog's.
    EXPECT_TRUE(m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs)).has_value())
        << "the waiting URL never ran; " << situation();
    EXPECT_TRUE(m_windows.waitUntilNotShown(m_feature.id, QDeadlineTimer(windowTimeoutMs)));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(WhiteboardE2E, FreezeShowsTheStillScreenAndCopiesItWithTheArrowDrawnOnIt)
{
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/freeze"), QStringLiteral("Zevizu & Vozurir")));
    const QImage frozen =
        grabUntil([](const QImage &shown) { return showsBare(shown, quietCorner); });
    keepScreenshot(frozen, QStringLiteral("freeze_started.png"));
    EXPECT_TRUE(showsBare(frozen, quietCorner)) << "the frozen screen is not the desktop";

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("a")));
    const QLine arrow(QPoint(300, 400), QPoint(600, 400));
    ASSERT_NO_FATAL_FAILURE(drag(arrow.p1(), arrow.p2()));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+c")));
    const QImage copied = m_clipboard.waitForPng(QDeadlineTimer(windowTimeoutMs));
    keepScreenshot(copied, QStringLiteral("freeze_copied.png"));
    ASSERT_FALSE(copied.isNull()) << m_clipboard.lastError().toStdString();
    EXPECT_TRUE(showsOnly(copied, quietCorner, wallpaper));
    EXPECT_TRUE(showsColorAlong(
        copied, QLine(arrow.p1() + QPoint(20, 0), arrow.p2() - QPoint(40, 0)), green));
}

// The frozen screen zooms with the marks on it: a rectangle drawn around a window still
// surrounds it after zooming in about the window, on screen and in the copied picture.
TEST_F(WhiteboardE2E, FreezeKeepsMarksAroundWhatTheyMarkWhenZoomed)
{
    const QColor blue(0x20, 0x40, 0xd0);
    const QRectF box(400, 250, 120, 80);
    ASSERT_TRUE(m_desktop.showWindowAtBottom(box.toRect(), blue));
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/freeze"), QStringLiteral("Zevizu & Vozurir")));
    const QImage frozen = grabUntil(
        [&](const QImage &shown) { return showsOnly(shown, box.toRect(), blue, colorTolerance); });
    ASSERT_TRUE(showsOnly(frozen, box.toRect(), blue, colorTolerance))
        << "the frozen screen lacks the window; " << situation();

    const QRectF mark = box.adjusted(-20, -20, 20, 20);
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("r")));
    ASSERT_NO_FATAL_FAILURE(drag(mark.topLeft().toPoint(), mark.bottomRight().toPoint()));
    const QPointF anchor = box.center();
    ASSERT_TRUE(m_input.moveTo(anchor.toPoint())) << m_input.lastError().toStdString();
    for (int step = 0; step < 3; ++step) {
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+equal")));
    }
    // Three zoom steps of 1.25 about the pointer.
    const double scale = 1.25 * 1.25 * 1.25;
    const auto zoomed = [&](const QRectF &rect) {
        return QRectF(anchor + (rect.topLeft() - anchor) * scale, rect.size() * scale);
    };
    const QRect boxInside = zoomed(box).toAlignedRect().adjusted(6, 6, -6, -6);
    const QRectF markShown = zoomed(mark);
    // Between the mark's left side and the window.
    const QRect gap = zoomed(QRectF(box.left() - 13, box.top(), 6, box.height())).toRect();
    const auto marksAroundBox = [&](const QImage &image) {
        return showsOnly(image, boxInside, blue, colorTolerance)
               && showsHandDrawnLine(image,
                                     QLineF(markShown.topLeft() + QPointF(30, 0),
                                            markShown.topRight() - QPointF(30, 0))
                                         .toLine(),
                                     green)
               && showsHandDrawnLine(image,
                                     QLineF(markShown.bottomLeft() + QPointF(30, 0),
                                            markShown.bottomRight() - QPointF(30, 0))
                                         .toLine(),
                                     green)
               && showsBare(image, gap);
    };
    const QImage shown = grabUntil(marksAroundBox);
    keepScreenshot(shown, QStringLiteral("freeze_zoomed.png"));
    EXPECT_TRUE(marksAroundBox(shown)) << situation();

    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+c")));
    const QImage copied = m_clipboard.waitForPng(QDeadlineTimer(windowTimeoutMs));
    keepScreenshot(copied, QStringLiteral("freeze_zoomed_copied.png"));
    ASSERT_FALSE(copied.isNull()) << m_clipboard.lastError().toStdString();
    EXPECT_TRUE(marksAroundBox(copied));
}

} // namespace
} // namespace zentrel
