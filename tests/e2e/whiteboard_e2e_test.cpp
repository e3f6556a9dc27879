#include "e2e/drawing_test.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>

namespace zentrel {
namespace {

constexpr int libraryTimeoutMs = 5000;
const QRect rectangleFrame(300, 300, 200, 120);
const QLine arrowDrag(QPoint(510, 360), QPoint(800, 360));
const QPoint textPoint(300, 600);
const QColor black(0, 0, 0);

// The elements of the current board as the library file on disk holds them.
QJsonArray savedElements(const QString &libraryPath)
{
    QFile file(libraryPath);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QJsonObject library = QJsonDocument::fromJson(file.readAll()).object();
    const QString current = library[QStringLiteral("currentBoardID")].toString();
    for (const QJsonValue board : library[QStringLiteral("boards")].toArray()) {
        if (board[QStringLiteral("id")].toString() == current) {
            return board[QStringLiteral("elements")].toArray();
        }
    }
    return {};
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

    void press(const QStringList &keys)
    {
        ASSERT_TRUE(m_input.pressKeys(keys)) << m_input.lastError().toStdString();
    }

    void drag(QPoint from, QPoint to)
    {
        ASSERT_TRUE(m_input.drag(from, to)) << m_input.lastError().toStdString();
    }

    // The library file once it holds `count` elements on the current board, or its last state.
    QJsonArray elementsOnDisk(int count)
    {
        const QString path =
            m_zentrel.dataHome() + QStringLiteral("/Zentrel/WhiteboardLibrary.json");
        const QDeadlineTimer deadline(libraryTimeoutMs);
        QJsonArray elements = savedElements(path);
        while (elements.size() != count && !deadline.hasExpired()) {
            QThread::msleep(50);
            elements = savedElements(path);
        }
        return elements;
    }

    TopLevelWindow m_feature;
};

TEST_F(WhiteboardE2E, BoardDrawnWithKeysAndDragsIsSavedUndoneAndBackAfterARestart)
{
    const QString open = QStringLiteral("zentrel://toggle/whiteboard");
    ASSERT_NO_FATAL_FAILURE(openFeature(open, QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("r")}));
    ASSERT_NO_FATAL_FAILURE(drag(rectangleFrame.topLeft(), rectangleFrame.bottomRight()));
    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("a")}));
    ASSERT_NO_FATAL_FAILURE(drag(arrowDrag.p1(), arrowDrag.p2()));
    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("t")}));
    ASSERT_TRUE(m_input.click(textPoint));
    ASSERT_TRUE(m_input.typeText(QStringLiteral("Hello")));
    // A press elsewhere ends the edit and keeps the text.
    ASSERT_TRUE(m_input.click({900, 700}));

    QJsonArray elements = elementsOnDisk(3);
    ASSERT_EQ(elements.size(), 3) << situation();
    EXPECT_EQ(elements[0][QStringLiteral("kind")].toString(), QStringLiteral("rectangle"));
    EXPECT_EQ(elements[1][QStringLiteral("kind")].toString(), QStringLiteral("arrow"));
    EXPECT_EQ(elements[1][QStringLiteral("startBindingID")].toString(),
              elements[0][QStringLiteral("id")].toString());
    EXPECT_EQ(elements[2][QStringLiteral("text")].toString(), QStringLiteral("Hello"));
    keepScreenshot(m_xvfb.grabScreen(), QStringLiteral("whiteboard_board.png"));

    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("ctrl+z")}));
    EXPECT_EQ(elementsOnDisk(2).size(), 2);
    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("ctrl+shift+z")}));
    EXPECT_EQ(elementsOnDisk(3).size(), 3);

    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("Escape")}));
    ASSERT_TRUE(m_windows.waitUntilNotShown(m_feature.id, QDeadlineTimer(windowTimeoutMs)))
        << "Escape left the whiteboard open; " << situation();

    ASSERT_TRUE(m_zentrel.stop().kind == ProcessExit::Kind::exited);
    ASSERT_NO_FATAL_FAILURE(openFeature(open, QStringLiteral("Whiteboard")));
    const QImage screen = grabUntil([](const QImage &shown) {
        return showsColorAlong(
            shown, QLine(rectangleFrame.topLeft(), rectangleFrame.topRight()), black);
    });
    keepScreenshot(screen, QStringLiteral("whiteboard_after_restart.png"));
    EXPECT_TRUE(showsColorAlong(
        screen,
        QLine(rectangleFrame.topLeft() + QPoint(20, 0), rectangleFrame.topRight() - QPoint(20, 0)),
        black))
        << situation();
}

TEST_F(WhiteboardE2E, FreezeShowsTheStillScreenAndCopiesItWithTheArrowDrawnOnIt)
{
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/freeze"), QStringLiteral("Zevizu & Vozurir")));
    const QImage frozen =
        grabUntil([](const QImage &shown) { return showsBare(shown, quietCorner); });
    keepScreenshot(frozen, QStringLiteral("freeze_started.png"));
    EXPECT_TRUE(showsBare(frozen, quietCorner)) << "the frozen screen is not the desktop";

    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("a")}));
    const QLine arrow(QPoint(300, 400), QPoint(600, 400));
    ASSERT_NO_FATAL_FAILURE(drag(arrow.p1(), arrow.p2()));
    ASSERT_NO_FATAL_FAILURE(press({QStringLiteral("ctrl+c")}));
    const QImage copied = m_clipboard.waitForPng(QDeadlineTimer(windowTimeoutMs));
    keepScreenshot(copied, QStringLiteral("freeze_copied.png"));
    ASSERT_FALSE(copied.isNull()) << m_clipboard.lastError().toStdString();
    EXPECT_TRUE(showsOnly(copied, quietCorner, wallpaper));
    EXPECT_TRUE(showsColorAlong(
        copied, QLine(arrow.p1() + QPoint(20, 0), arrow.p2() - QPoint(40, 0)), green));
}

} // namespace
} // namespace zentrel
