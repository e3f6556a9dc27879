// The program answers its user while a board opens: a command sent right after the whiteboard
// opens waits for no text to be laid out, however rare the characters of the board's texts.
#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"
#include "e2e/fixtures/board_library.h"
#include "e2e/fixtures/drawing_test.h"
#include "e2e/fixtures/under_window_manager.h"
#include "e2e/processes/process_use.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace zentrel {
namespace {

const QString whiteboardTitle = QStringLiteral("Whiteboard");
const QString toggleWhiteboard = QStringLiteral("zentrel://toggle/whiteboard");
const QString answeredCommand = QStringLiteral("zentrel://action/color/green");
constexpr int idleTimeoutMs = 60000;
// As a user or a script sends a command just after the board opened.
constexpr int commandAfterOpeningMs = 200;
// The second start takes some of it itself.
constexpr double answeredWithinMs = 500;
constexpr int senderGivesUpMs = 12000;

// Counted up from the last item of the whiteboard toolbar's "…" menu.
constexpr int importItem = 3;
constexpr int textsOfRareCharacters = 6;
constexpr int charactersPerText = 1500;

// Texts of thousands of distinct characters, in each face: most have no font on the machine
// and are looked for in every font it has.
WhiteboardLibrary rareCharactersLibrary()
{
    constexpr WhiteboardFontFamily families[] = {WhiteboardFontFamily::handDrawn,
                                                 WhiteboardFontFamily::system,
                                                 WhiteboardFontFamily::monospace};
    WhiteboardBoard board = whiteBoardNamed("Rare characters");
    for (int i = 0; i < textsOfRareCharacters; ++i) {
        WhiteboardElement text;
        text.id = Uuid::generate(systemUuidRandomSource());
        text.kind = WhiteboardElementKind::text;
        text.setFrame({40.0 + (i % 3) * 420, 80.0 + (i / 3) * 300, 400, 280});
        text.text = rareCharacters(charactersPerText, std::uint32_t(i + 1));
        text.fontSize = 16;
        text.fontFamily = families[i % 3];
        text.style.strokeColor = "#1E1E1E";
        board.elements.push_back(makeElement(std::move(text)));
    }
    return libraryOf(std::move(board));
}

// The same texts as an Excalidraw document, in its hand-drawn fonts.
QByteArray rareCharactersDocument()
{
    QJsonArray elements;
    for (int i = 0; i < textsOfRareCharacters; ++i) {
        const std::string text = rareCharacters(charactersPerText, std::uint32_t(i + 11));
        elements.append(QJsonObject{{QStringLiteral("type"), QStringLiteral("text")},
                                    {QStringLiteral("id"), QStringLiteral("rare%1").arg(i)},
                                    {QStringLiteral("x"), 40 + (i % 3) * 420},
                                    {QStringLiteral("y"), 80 + (i / 3) * 300},
                                    {QStringLiteral("width"), 400},
                                    {QStringLiteral("height"), 280},
                                    {QStringLiteral("fontSize"), 16},
                                    {QStringLiteral("fontFamily"), i % 2 == 0 ? 1 : 5},
                                    {QStringLiteral("text"), QString::fromStdString(text)}});
    }
    const QJsonObject document{{QStringLiteral("type"), QStringLiteral("excalidraw")},
                               {QStringLiteral("version"), 2},
                               {QStringLiteral("elements"), elements}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

// How long a command sent a moment from now waited for its answer.
double commandWait(ZentrelProcess &zentrel, const std::string &when)
{
    QThread::msleep(commandAfterOpeningMs);
    QElapsedTimer wall;
    wall.start();
    const ProcessExit answered =
        zentrel.runAgain({answeredCommand}, QDeadlineTimer(senderGivesUpMs));
    const double waited = double(wall.nsecsElapsed()) / 1e6;
    printFigure("command answered " + when + " after", waited, "ms");
    EXPECT_TRUE(exitedCleanly(answered)) << "unanswered " << when;
    return waited;
}

class BoardOpening : public DrawingTest
{
protected:
    void startWith(const WhiteboardLibrary &library)
    {
        ASSERT_TRUE(saveLibraryIn(m_zentrel.dataHome().toStdString(), library));
        ASSERT_TRUE(startAndWaitForDock().has_value()) << "no tray icon; " << stopAndDescribe();
        ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(windowTimeoutMs)))
            << "zentrel never listened; " << stopAndDescribe();
    }

    // Opens the whiteboard by command and, a moment later, sends another: how long that one
    // waited for its answer.
    double commandWaitAfterOpening(const std::string &when)
    {
        ChildProcess opening;
        m_zentrel.startAgain(opening, {toggleWhiteboard});
        const double waited = commandWait(m_zentrel, when);
        EXPECT_TRUE(exitedCleanly(opening.waitForExit(QDeadlineTimer(senderGivesUpMs))));
        EXPECT_TRUE(m_windows.waitForShown(whiteboardTitle, QDeadlineTimer(idleTimeoutMs)))
            << "the whiteboard never opened; " << situation();
        waitUntilIdle(m_zentrel.processId(), idleTimeoutMs);
        return waited;
    }
};

TEST_F(BoardOpening, ACommandIsAnsweredAtOnceEachTimeABoardOfRareCharactersOpens)
{
    ASSERT_NO_FATAL_FAILURE(startWith(rareCharactersLibrary()));
    EXPECT_LT(commandWaitAfterOpening("as the board of rare characters opens"), answeredWithinMs);
    ASSERT_TRUE(handOver(toggleWhiteboard));
    ASSERT_TRUE(m_windows.waitUntilNotShown(whiteboardTitle, QDeadlineTimer(idleTimeoutMs)));
    waitUntilIdle(m_zentrel.processId(), idleTimeoutMs);
    EXPECT_LT(commandWaitAfterOpening("as the board of rare characters reopens"), answeredWithinMs);
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// Importing goes through the toolbar's menu and a file dialog, under each window manager.
class RareCharactersImport : public UnderWindowManager
{};

TEST_P(RareCharactersImport, ACommandIsAnsweredAtOnceAfterADocumentOfRareCharactersIsImported)
{
    const QString path = m_zentrel.dataHome() + QStringLiteral("/Rare.excalidraw");
    QFile file(path);
    const QByteArray document = rareCharactersDocument();
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(document) == document.size());
    file.close();
    ASSERT_NO_FATAL_FAILURE(openFeature(toggleWhiteboard, whiteboardTitle));
    ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(importItem));
    ASSERT_NO_FATAL_FAILURE(answerFileDialog(QStringLiteral("Import Excalidraw Document"), path));
    EXPECT_LT(commandWait(m_zentrel,
                          "as a document of rare characters is imported under "
                              + nameOf(GetParam()).toStdString()),
              answeredWithinMs)
        << situation();
    waitUntilIdle(m_zentrel.processId(), idleTimeoutMs);
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         RareCharactersImport,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
