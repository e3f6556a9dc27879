// What importing a document with very long texts costs the running program, from the file
// dialog's answer until the board holding them is saved: wall time, CPU of all its threads and
// its peak resident memory. The figures are printed; only the memory a word on one line takes
// is judged, as painting it once took gigabytes.
#include "e2e/fixtures/under_window_manager.h"
#include "e2e/processes/process_use.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPoint>
#include <QRect>
#include <QThread>

#include <gtest/gtest.h>

#include <string>

namespace zentrel {
namespace {

// Counted up from the last item of the whiteboard toolbar's "…" menu.
constexpr int importItem = 3;
constexpr int importTimeoutMs = 300000;
constexpr int idleTimeoutMs = 60000;
// How long a wheel notch may take to show before it is taken as lost.
constexpr int notchTimeoutMs = 5000;
// What a megabyte of text may take at most, from the import through painting and zooming, as its
// glyphs' outlines are made only for the part the view shows, each distinct one once.
constexpr double megabyteTextPeakMegabytes = 300;

// Where a word imported at (100, 200) runs once the view is zoomed about a point on it.
const QPoint onTheWord(640, 212);
const QRect wordLineRight(700, 200, 500, 25);

// One text element of `text` in a box `width` points wide.
QByteArray documentWithText(const QString &text, double width)
{
    const QJsonObject element{{QStringLiteral("type"), QStringLiteral("text")},
                              {QStringLiteral("id"), QStringLiteral("long")},
                              {QStringLiteral("x"), 100},
                              {QStringLiteral("y"), 200},
                              {QStringLiteral("width"), width},
                              {QStringLiteral("height"), 25},
                              {QStringLiteral("fontSize"), 20},
                              {QStringLiteral("text"), text}};
    const QJsonObject document{{QStringLiteral("type"), QStringLiteral("excalidraw")},
                               {QStringLiteral("version"), 2},
                               {QStringLiteral("elements"), QJsonArray{element}}};
    return QJsonDocument(document).toJson(QJsonDocument::Compact);
}

class LongTextImport : public UnderWindowManager
{
protected:
    void measureImport(const std::string &what, const QByteArray &document)
    {
        const QString path = m_zentrel.dataHome() + QStringLiteral("/Long.excalidraw");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(document) == document.size());
        file.close();
        ASSERT_NO_FATAL_FAILURE(openFeature(QStringLiteral("zentrel://toggle/whiteboard"),
                                            QStringLiteral("Whiteboard")));
        ASSERT_NO_FATAL_FAILURE(chooseFromToolbarMenu(importItem));

        const qint64 pid = m_zentrel.processId();
        resetPeakResident(pid);
        const double cpuBefore = cpuSeconds(pid);
        QElapsedTimer wall;
        wall.start();
        ASSERT_NO_FATAL_FAILURE(
            answerFileDialog(QStringLiteral("Import Excalidraw Document"), path));
        ASSERT_TRUE(waitUntilSavedWith(document.size()))
            << "the imported text was never saved; " << situation();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        const std::string name = "importing " + what + " under " + nameOf(GetParam()).toStdString();
        printFigure(name + ", until saved", seconds, "s");
        printFigure(name + ", CPU", cpuSeconds(pid) - cpuBefore, "s");
        printFigure(name + ", peak memory", peakResidentMegabytes(pid), "MB");
    }

    // Control and a wheel notch in `direction` ("4" in, "5" out), `times` over.
    bool zoomNotches(int times, const char *direction)
    {
        return m_input.run({QStringLiteral("keydown"),
                            QStringLiteral("ctrl"),
                            QStringLiteral("click"),
                            QStringLiteral("--repeat"),
                            QString::number(times),
                            QStringLiteral("--delay"),
                            QStringLiteral("100"),
                            QLatin1String(direction),
                            QStringLiteral("keyup"),
                            QStringLiteral("ctrl")});
    }

    // Zooms about the pointer on the text's first line, which stays there, and judges the memory
    // the program took through it: in by five notches, then out by twelve.
    void expectLittleMemoryThroughZooming(const std::string &what)
    {
        const qint64 pid = m_zentrel.processId();
        ASSERT_TRUE(m_input.moveTo(onTheWord)) << m_input.lastError().toStdString();
        // A busy program hears of the pointer's coming late and then takes the wheel's place as
        // it is by then, losing the notches sent meanwhile: one notch is seen to zoom first.
        const QRect aroundTheWord(onTheWord - QPoint(300, 40), QSize(600, 80));
        const QImage before = readUntil([&](const QImage &screen) {
                                  return isPainted(screen, aroundTheWord);
                              }).copy(aroundTheWord);
        const auto zoomedIn = [&](const QImage &screen) {
            return screen.copy(aroundTheWord) != before;
        };
        const QDeadlineTimer deadline(idleTimeoutMs);
        bool zoomed = false;
        while (!zoomed && !deadline.hasExpired()) {
            ASSERT_TRUE(zoomNotches(1, "4")) << m_input.lastError().toStdString();
            zoomed = zoomedIn(readUntil(zoomedIn, notchTimeoutMs));
        }
        ASSERT_TRUE(zoomed) << "Ctrl and the wheel never zoomed; " << situation();
        ASSERT_TRUE(zoomNotches(4, "4") && zoomNotches(12, "5"))
            << m_input.lastError().toStdString();
        waitUntilIdle(pid, idleTimeoutMs);
        const std::string name = what + " under " + nameOf(GetParam()).toStdString();
        printFigure(name + ", memory while shown", residentMegabytes(pid), "MB");
        const double peak = peakResidentMegabytes(pid);
        printFigure(name + ", peak memory through zooming", peak, "MB");
        EXPECT_LT(peak, megabyteTextPeakMegabytes);
    }

    // The library file holds at least the text's bytes once the imported board is saved.
    bool waitUntilSavedWith(qint64 bytes)
    {
        const QString library =
            m_zentrel.dataHome() + QStringLiteral("/Zentrel/WhiteboardLibrary.json");
        const QDeadlineTimer deadline(importTimeoutMs);
        while (QFileInfo(library).size() < bytes) {
            if (deadline.hasExpired()) {
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }
};

TEST_P(LongTextImport, OneWordOf100KilobytesInANarrowBox)
{
    measureImport("one 100 KB word in a 60-point box",
                  documentWithText(QString(100000, QLatin1Char('x')), 60));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_P(LongTextImport, AMegabyteOfOrdinaryWords)
{
    QString words;
    while (words.size() < 1000000) {
        words += QStringLiteral("the whiteboard keeps every word whole ");
    }
    measureImport("1 MB of ordinary words in a 400-point box", documentWithText(words, 400));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_P(LongTextImport, OneWordOfAMegabyteOnOneLineTakesLittleMemory)
{
    // Ten points a letter: the box holds the word on one line.
    constexpr int letters = 1000000;
    ASSERT_NO_FATAL_FAILURE(
        measureImport("one 1 MB word on one line",
                      documentWithText(QString(letters, QLatin1Char('x')), letters * 10.0)));
    ASSERT_NO_FATAL_FAILURE(expectLittleMemoryThroughZooming("one 1 MB word on one line"));
    // Painted again once the zooms rest, late on a busy machine.
    const auto showsWord = [](const QImage &screen) {
        return darkPixelsIn(screen, wordLineRight, 160) > 100;
    };
    EXPECT_TRUE(showsWord(grabUntil(showsWord))) << "the word does not show";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

// Every glyph's outline differs here, as far as the machine's fonts cover the script (without
// them nothing shows): each is kept once.
TEST_P(LongTextImport, AMegabyteOf20000DistinctCjkCharactersTakesLittleMemory)
{
    constexpr int distinct = 20000;
    QString text;
    // Three bytes each in UTF-8.
    for (int i = 0; i < 1000000 / 3; ++i) {
        text += QChar(0x4E00 + i % distinct);
    }
    ASSERT_NO_FATAL_FAILURE(
        measureImport("1 MB of 20,000 distinct CJK characters", documentWithText(text, 2000)));
    ASSERT_NO_FATAL_FAILURE(
        expectLittleMemoryThroughZooming("1 MB of 20,000 distinct CJK characters"));
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         LongTextImport,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
