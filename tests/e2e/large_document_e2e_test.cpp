// What the largest documents import takes cost the running program: the time and the most
// memory from choosing the file until the board is painted and saved, for its export and for
// closing the whiteboard. The figures are printed, never judged: they depend on the machine.
#include "core/whiteboard/model/excalidraw/large_excalidraw_documents.h"
#include "e2e/fixtures/under_window_manager.h"
#include "e2e/processes/process_use.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace zentrel {
namespace {

const QString whiteboardTitle = QStringLiteral("Whiteboard");
const QString importTitle = QStringLiteral("Import Excalidraw Document");
// Counted up from the last item of the whiteboard toolbar's "…" menu.
constexpr int importItem = 3;
constexpr int exportItem = 2;
constexpr int idleTimeoutMs = 120000;
// How long the program must spend next to nothing to count as done (see waitUntilIdle).
constexpr double idleWindowMs = 500;
// Past the 10 seconds after which `zentrel URL` gives up and says "Zentrel is not responding."
constexpr int senderGivesUpMs = 12000;
const QString answeredCommand = QStringLiteral("zentrel://action/color/green");
constexpr int zoomSteps = 3;

// Held while a test writes its gigabyte of library and export: one such test at a time, so the
// others running beside them are not kept waiting on a saturated disk past their timeouts.
class LargeWritesTurn
{
public:
    LargeWritesTurn()
        : m_file(::open(QDir::temp()
                            .filePath(QStringLiteral("zentrel-e2e-large-writes.lock"))
                            .toLocal8Bit()
                            .constData(),
                        O_RDWR | O_CREAT | O_CLOEXEC,
                        0666))
    {
        if (m_file >= 0) {
            ::flock(m_file, LOCK_EX);
        }
    }

    ~LargeWritesTurn()
    {
        if (m_file >= 0) {
            ::close(m_file);
        }
    }

    LargeWritesTurn(const LargeWritesTurn &) = delete;
    LargeWritesTurn &operator=(const LargeWritesTurn &) = delete;

private:
    int m_file;
};

// Run under each window manager, as the document goes in through a menu and a file dialog.
class LargeDocumentUse : public UnderWindowManager
{
protected:
    LargeWritesTurn m_turn;

    qint64 pid() const { return m_zentrel.processId(); }

    // Prints how long `step` and the work it started took until the program was idle again, its
    // main thread's share of that, and the most memory the program held meanwhile.
    void measure(const std::string &what, const std::function<void()> &step)
    {
        resetPeakResident(pid());
        const double mainBefore = mainThreadCpuSeconds(pid());
        QElapsedTimer wall;
        wall.start();
        step();
        waitUntilIdle(pid(), idleTimeoutMs);
        printFigure(what + ", until idle", double(wall.nsecsElapsed()) / 1e6 - idleWindowMs, "ms");
        printFigure(
            what + ", main-thread CPU", 1000 * (mainThreadCpuSeconds(pid()) - mainBefore), "ms");
        printFigure(what + ", peak memory", peakResidentMegabytes(pid()), "MB");
    }

    // Sends a command as a launcher would, which the running program must answer before the
    // sender gives up; prints how long that took.
    void answerCommand(const std::string &when)
    {
        QElapsedTimer wall;
        wall.start();
        const ProcessExit exit =
            m_zentrel.runAgain({answeredCommand}, QDeadlineTimer(senderGivesUpMs));
        printFigure("command answered " + when + " after", double(wall.nsecsElapsed()) / 1e6, "ms");
        EXPECT_TRUE(exitedCleanly(exit)) << "unanswered " << when << "; " << situation();
    }

    // Zooms in on the middle of the board with the keyboard, as the board shows there.
    void zoomIn(const std::string &name)
    {
        const QPoint middle(XvfbSession::screenWidth / 2, XvfbSession::screenHeight / 2);
        ASSERT_TRUE(m_input.moveTo(middle)) << m_input.lastError().toStdString();
        const QImage before = m_xvfb.grabScreen();
        measure("zooming in on the " + name, [&] {
            for (int step = 0; step < zoomSteps; ++step) {
                ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+equal")));
            }
            answerCommand("while zooming in on the " + name);
        });
        EXPECT_NE(m_xvfb.grabScreen(), before) << "the zoom showed nothing new; " << situation();
    }

    // The document goes in through the toolbar's menu, is painted, saved, exported and closed;
    // with `zoomsAndAnswers`, commands are answered while it imports and paints, and it is zoomed
    // in on before the export.
    void measureDocument(const std::string &document,
                         const std::string &documentName,
                         bool zoomsAndAnswers = false)
    {
        const std::string name = documentName + " under " + nameOf(GetParam()).toStdString();
        // Short paths, as they are typed into the file dialogs.
        const QString input = m_zentrel.dataHome() + QStringLiteral("/L.excalidraw");
        const QString output = m_zentrel.dataHome() + QStringLiteral("/E.excalidraw");
        QFile file(input);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(document.data(), qint64(document.size())), qint64(document.size()));
        file.close();
        ASSERT_NO_FATAL_FAILURE(
            openFeature(QStringLiteral("zentrel://toggle/whiteboard"), whiteboardTitle));
        waitUntilIdle(pid(), idleTimeoutMs);
        printFigure(
            "memory with the whiteboard open, before " + name, residentMegabytes(pid()), "MB");
        const QString library =
            m_zentrel.dataHome() + QStringLiteral("/Zentrel/WhiteboardLibrary.json");
        const qint64 emptyLibrary = QFileInfo(library).size();

        measure("importing the " + name + ", painting and saving it", [&] {
            chooseFromToolbarMenu(importItem);
            answerFileDialog(importTitle, input);
            if (zoomsAndAnswers) {
                answerCommand("while importing the " + name);
            }
        });
        EXPECT_GT(QFileInfo(library).size(), emptyLibrary + qint64(document.size()) / 4)
            << "the imported board was not saved; " << situation();
        printFigure("memory with the " + name + " shown", residentMegabytes(pid()), "MB");
        if (zoomsAndAnswers) {
            zoomIn(name);
        }

        measure("exporting the " + name, [&] {
            chooseFromToolbarMenu(exportItem);
            answerFileDialog(QStringLiteral("Save"), output);
            waitForFile(output);
        });
        EXPECT_GT(QFileInfo(output).size(), qint64(document.size()) / 4)
            << "nothing was exported; " << situation();

        measure("closing the whiteboard with the " + name, [&] {
            ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/whiteboard")));
            ASSERT_TRUE(
                m_windows.waitUntilNotShown(whiteboardTitle, QDeadlineTimer(idleTimeoutMs)));
        });
        printFigure("memory after closing the " + name, residentMegabytes(pid()), "MB");
        EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
    }
};

TEST_P(LargeDocumentUse, EightHundredFiftyThousandShapes)
{
    measureDocument(manyShapesDocument(850'000), "850,000-shape document");
}

TEST_P(LargeDocumentUse, LineOfAHundredThousandPoints)
{
    measureDocument(longLineDocument(100'000), "100,000-point line");
}

TEST_P(LargeDocumentUse, HugeHachureRectangle)
{
    measureDocument(
        hugeElementDocument(
            "rectangle", 1e9, "\"backgroundColor\":\"#ffc9c9\",\"fillStyle\":\"hachure\""),
        "10^9-point hachure rectangle");
}

// One closed line of 40,003 points whose every hatch line crosses it thousands of times: it
// imports, paints, zooms and saves while commands are answered.
TEST_P(LargeDocumentUse, CrossHatchedCombOfTenThousandTeeth)
{
    measureDocument(
        combDocument(
            10'000, 1e4, "line", "\"backgroundColor\":\"#ffc9c9\",\"fillStyle\":\"cross-hatch\""),
        "10,000-tooth cross-hatched comb",
        true);
}

// A solid zigzag of 4,000 corners, one of them 10^11 points away: the painter's own fill of it
// kept the program busy for minutes, on opening and on every reopening.
TEST_P(LargeDocumentUse, SolidZigzagWithOneFarCorner)
{
    measureDocument(closedLineDocument(farCornerZigzag(4'000, 1e4, 1e11),
                                       1e4,
                                       "line",
                                       "\"backgroundColor\":\"#ffc9c9\",\"fillStyle\":\"solid\""),
                    "4,000-corner zigzag with one far corner",
                    true);
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         LargeDocumentUse,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
