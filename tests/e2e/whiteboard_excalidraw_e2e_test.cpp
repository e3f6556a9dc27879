#include "core/whiteboard/model/excalidraw/excalidraw_losses.h"
#include "e2e/fixtures/text_ink_measure.h"
#include "e2e/fixtures/under_window_manager.h"

#include <QByteArray>
#include <QColor>
#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonObject>
#include <QLine>
#include <QPoint>
#include <QRect>
#include <QStringList>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <string_view>

namespace zentrel {
namespace {

// An image in a frame, a five-point zig-zag line and three rows of text, the second ending in a
// cluster of a script no font of the test machine has, all where the whiteboard's first view
// (scale 1, no offset) shows them: a scene point is a screen pixel.
const QString document = QStringLiteral(ZENTREL_FIXTURE_DIR)
                         + QStringLiteral("/whiteboard/image_frame_line_text.excalidraw");
const QStringList importedKinds{QStringLiteral("unsupported"),
                                QStringLiteral("unsupported"),
                                QStringLiteral("line"),
                                QStringLiteral("text")};
const QColor lineBlue(0x19, 0x71, 0xc2);
const std::array<QPoint, 5> lineVertices{
    {{560, 160}, {660, 410}, {760, 220}, {860, 410}, {960, 160}}};
// The straight way from the line's first point to its last, where a line drawn through its
// ends alone would lie; 60 points or more from every segment of the zig-zag.
const QLine chordMiddle(QPoint(640, 160), QPoint(880, 160));
// The text's frame with room around it, clear of the line and the placeholders.
const QRect textArea(100, 455, 620, 180);
constexpr int textRows = 3;
// A row of capitals at 36 points is about 26 pixels high; a band under 10 is a stray mark.
constexpr int rowHeight = 10;
const QString importTitle = QStringLiteral("Import Excalidraw Document");
// Counted up from the last item of the whiteboard toolbar's "…" menu.
constexpr int importItem = 3;
constexpr int exportItem = 2;

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string_view textOf(const QByteArray &bytes)
{
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

testing::AssertionResult showsZigZag(const QImage &screen)
{
    for (std::size_t i = 0; i + 1 < lineVertices.size(); ++i) {
        const testing::AssertionResult shown =
            showsHandDrawnLine(screen, QLine(lineVertices[i], lineVertices[i + 1]), lineBlue);
        if (!shown) {
            return testing::AssertionFailure() << "segment " << i + 1 << ": " << shown.message();
        }
    }
    for (int x = chordMiddle.x1(); x <= chordMiddle.x2(); x += handDrawnReach) {
        if (showsColorNear(screen, QPoint(x, chordMiddle.y1()), lineBlue, handDrawnReach)) {
            return testing::AssertionFailure()
                   << "the line runs straight from its first point to its last, through " << x
                   << ',' << chordMiddle.y1();
        }
    }
    return testing::AssertionSuccess();
}

// Bands of ink of a text's height, one per row of the text.
int textRowsIn(const QImage &screen)
{
    int rows = 0;
    for (const QRect &band : inkRowsIn(screen, textArea)) {
        rows += band.height() >= rowHeight ? 1 : 0;
    }
    return rows;
}

// The ids of the boards the library file lists, in order.
QStringList savedBoardIds(const QJsonObject &library)
{
    QStringList ids;
    for (const QJsonValue board : library[QStringLiteral("boards")].toArray()) {
        ids << board[QStringLiteral("id")].toString();
    }
    return ids;
}

TEST_P(UnderWindowManager, ExcalidrawDocumentImportedThroughTheMenuShowsAndExportsWhole)
{
    const QByteArray original = contentsOf(document);
    ASSERT_FALSE(original.isEmpty()) << "cannot read " << document.toStdString();
    // The board takes the file's name; a short path is quick to type.
    const QString imported = m_zentrel.dataHome() + QStringLiteral("/Diagram.excalidraw");
    ASSERT_TRUE(QFile::copy(document, imported));

    // The user's own board, which the import must keep.
    ASSERT_NO_FATAL_FAILURE(drawWithToolbarRectangle(QStringLiteral("zentrel://toggle/whiteboard"),
                                                     QStringLiteral("Whiteboard")));
    ASSERT_EQ(waitForElements(1).size(), 1) << "the drag saved no rectangle; " << situation();
    const QJsonArray drawn = m_zentrel.savedBoardElements();
    const QString drawnBoard =
        m_zentrel.savedLibrary()[QStringLiteral("currentBoardID")].toString();

    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(importItem));
    ASSERT_NO_FATAL_FAILURE(answerFileDialog(importTitle, imported));
    // The image and the frame become placeholders, which an alert reports. The dialog showed
    // the file name's completions in a popup of the same name as the alert.
    auto alert = waitForWindow([&](const TopLevelWindow &window) {
        return window.name == toolbarTitle && !window.isOverrideRedirect
               && !before.contains(window.id);
    });
    ASSERT_TRUE(alert.has_value()) << "no alert about the placeholders; " << situation();
    ASSERT_TRUE(settle(*alert));
    ASSERT_TRUE(m_windows.waitForKeyboard(alert->id, QDeadlineTimer(windowTimeoutMs)))
        << "the alert never took the keyboard; " << situation();
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("Return")));
    ASSERT_TRUE(m_windows.waitUntilNotShown(alert->id, QDeadlineTimer(windowTimeoutMs)))
        << "Return did not answer the alert; " << situation();
    EXPECT_TRUE(m_windows.waitForKeyboard(m_main.id, QDeadlineTimer(windowTimeoutMs)))
        << "the keyboard did not come back to the whiteboard; " << situation();

    const QJsonArray elements = waitForElements(int(importedKinds.size()));
    ASSERT_TRUE(m_zentrel.isRunning()) << "zentrel " << stopAndDescribe();
    QStringList kinds;
    for (const QJsonValue element : elements) {
        kinds << element[QStringLiteral("kind")].toString();
    }
    EXPECT_EQ(kinds, importedKinds) << "the imported board was not saved; " << situation();
    EXPECT_TRUE(elements.last()[QStringLiteral("text")].toString().contains(u"ROW क्ष"));
    const QJsonObject library = m_zentrel.savedLibrary();
    const QStringList boards = savedBoardIds(library);
    ASSERT_EQ(boards.size(), 2) << "the import did not come as a board of its own";
    EXPECT_EQ(boards[0], drawnBoard);
    EXPECT_EQ(library[QStringLiteral("boards")][0][QStringLiteral("elements")], drawn)
        << "the import changed the board that was current";

    const QImage screen = grabUntil(
        [](const QImage &shown) { return showsZigZag(shown) && textRowsIn(shown) == textRows; });
    keepScreenshot(screen, QStringLiteral("excalidraw_imported_%1.png").arg(nameOf(GetParam())));
    EXPECT_TRUE(showsZigZag(screen)) << situation();
    EXPECT_EQ(textRowsIn(screen), textRows) << "the text's lines are not on rows of their own";

    const QString exported = m_zentrel.dataHome() + QStringLiteral("/Exported.excalidraw");
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(exportItem));
    ASSERT_NO_FATAL_FAILURE(answerFileDialog(QStringLiteral("Save"), exported));
    ASSERT_TRUE(waitForFile(exported)) << "nothing was exported; " << situation();
    EXPECT_THAT(excalidrawLosses(textOf(original), textOf(contentsOf(exported))),
                testing::IsEmpty());

    // The Boards menu, the menu's first item, lists the drawn board first.
    ASSERT_NO_FATAL_FAILURE(pressInToolbarMenu(
        {QStringLiteral("Down"), QStringLiteral("Right"), QStringLiteral("Return")}));
    const QJsonArray shown = waitForSaved([this] { return m_zentrel.savedBoardElements(); },
                                          [&](const QJsonArray &saved) { return saved == drawn; });
    EXPECT_EQ(shown, drawn) << "the Boards menu did not bring back the drawn board; "
                            << situation();
}

} // namespace
} // namespace zentrel
