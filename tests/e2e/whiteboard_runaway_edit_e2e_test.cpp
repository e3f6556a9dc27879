// Editing a text of one word of a megabyte: the running program answers a command URL sent as
// the editor opens on it, after keys are typed and as the edit ends, and the keys reach the
// saved text. How long each answer took and the main thread's longest stretch away from its
// event loop are printed, never judged: the sender's own give-up time is the limit.
#include "e2e/fixtures/board_library.h"
#include "e2e/fixtures/under_window_manager.h"
#include "e2e/processes/child_process.h"
#include "e2e/processes/process_use.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace zentrel {
namespace {

constexpr std::size_t wordLetters = 1'000'000;
// Past the 10 seconds after which `zentrel URL` gives up and says "Zentrel is not responding."
constexpr int senderGivesUpMs = 12000;
// The whole edit, ended and saved, with room for a slow machine.
constexpr int editSavedMs = 60000;
constexpr int idleTimeoutMs = 20000;
const QPoint onTheWord(450, 210);
const QPoint clearOfTheWord(1000, 700);
// Where a new text starts, clear of the toolbar and the property panel, and a point left of its
// editor, which runs down and to the right from there.
const QPoint newTextPoint(400, 200);
const QPoint leftOfTheNewText(350, 700);
const QString answeredCommand = QStringLiteral("zentrel://action/color/green");

class RunawayWordEdit : public UnderWindowManager
{
protected:
    // Does the step, then sends the command as a launcher would, which the running program
    // must take before the sender gives up; prints how long that took and the longest the main
    // thread was kept from its event loop from the step until the program fell idle.
    void stepAnswering(const std::string &step, const std::function<void()> &run)
    {
        const qint64 pid = m_zentrel.processId();
        MainThreadBusyness busyness(pid);
        run();
        if (HasFatalFailure()) {
            busyness.stop();
            return;
        }
        QElapsedTimer wall;
        wall.start();
        const ProcessExit exit =
            m_zentrel.runAgain({answeredCommand}, QDeadlineTimer(senderGivesUpMs));
        const double answerMs = double(wall.nsecsElapsed()) / 1e6;
        waitUntilIdle(pid, idleTimeoutMs);
        const MainThreadBusyness::Result busy = busyness.stop();
        const std::string what = step + " a 1 MB word under " + nameOf(GetParam()).toStdString();
        printFigure(what + ": command answered after", answerMs, "ms");
        printFigure(
            what + ": main thread longest busy stretch", busy.longestBusySeconds * 1000, "ms");
        ASSERT_TRUE(exitedCleanly(exit)) << "unanswered " << step << "; " << situation();
    }

    // Has xclip offer a word of `letters` letters on the clipboard for as long as `owner` runs;
    // a fatal failure when it never does.
    void offerWordOnClipboard(ChildProcess &owner, qsizetype letters)
    {
        const QString path = m_zentrel.dataHome() + QStringLiteral("/word.txt");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)
                    && file.write(QByteArray(letters, 'p')) == letters);
        file.close();
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("DISPLAY"), m_xvfb.display());
        ASSERT_TRUE(owner.start(QStringLiteral("xclip"),
                                {QStringLiteral("-selection"),
                                 QStringLiteral("clipboard"),
                                 QStringLiteral("-quiet"),
                                 QStringLiteral("-in"),
                                 path},
                                environment));
        const QDeadlineTimer deadline(windowTimeoutMs);
        while (!clipboardOffersText(environment)) {
            ASSERT_FALSE(deadline.hasExpired()) << "xclip never took the clipboard";
            QThread::msleep(savedPollMs);
        }
    }

    static bool clipboardOffersText(const QProcessEnvironment &environment)
    {
        QProcess targets;
        targets.setProcessEnvironment(environment);
        targets.start(QStringLiteral("xclip"),
                      {QStringLiteral("-selection"),
                       QStringLiteral("clipboard"),
                       QStringLiteral("-out"),
                       QStringLiteral("-target"),
                       QStringLiteral("TARGETS")});
        return targets.waitForFinished(windowTimeoutMs)
               && targets.readAllStandardOutput().contains("UTF8_STRING");
    }

    // The text of the board's one element once it is `letters` long, or as last saved.
    QString savedTextOf(qsizetype letters)
    {
        QString text;
        const QDeadlineTimer deadline(editSavedMs);
        do {
            const QJsonArray elements = m_zentrel.savedBoardElements();
            text = elements.isEmpty() ? QString() : elements[0][QStringLiteral("text")].toString();
            if (text.size() == letters) {
                break;
            }
            QThread::msleep(savedPollMs);
        } while (!deadline.hasExpired());
        return text;
    }
};

TEST_P(RunawayWordEdit, CommandsAreAnsweredWhileAMegabyteWordIsEditedAndTheKeysAreSaved)
{
    ASSERT_TRUE(saveLibraryIn(
        m_zentrel.dataHome().toStdString(),
        libraryWithText("Runaway word", {400, 200, 400, 25}, std::string(wordLetters, 'w'), 20)));
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/whiteboard"), QStringLiteral("Whiteboard")));
    ASSERT_TRUE(m_input.moveTo(onTheWord)) << m_input.lastError().toStdString();
    ASSERT_TRUE(pointerFinds(m_main, onTheWord));
    // The board's first painting done, so that the steps' figures are their own.
    waitUntilIdle(m_zentrel.processId(), idleTimeoutMs);

    ASSERT_NO_FATAL_FAILURE(stepAnswering("opening the editor on", [this] {
        ASSERT_TRUE(m_input.run({QStringLiteral("click"),
                                 QStringLiteral("--repeat"),
                                 QStringLiteral("2"),
                                 QStringLiteral("--delay"),
                                 QStringLiteral("100"),
                                 QStringLiteral("1")}))
            << m_input.lastError().toStdString();
    }));
    ASSERT_NO_FATAL_FAILURE(stepAnswering("typing into", [this] {
        // The editor opens with the whole text selected: the keys go before it.
        ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+Home")));
        ASSERT_TRUE(m_input.typeText(QStringLiteral("abc"))) << m_input.lastError().toStdString();
    }));
    ASSERT_NO_FATAL_FAILURE(stepAnswering("ending the edit of", [this] {
        ASSERT_TRUE(m_input.click(clearOfTheWord)) << m_input.lastError().toStdString();
    }));

    const QString saved = savedTextOf(qsizetype(wordLetters) + 3);
    EXPECT_EQ(saved.size(), qsizetype(wordLetters) + 3) << situation();
    EXPECT_TRUE(saved.startsWith(QStringLiteral("abcwww"))) << saved.left(20).toStdString();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_P(RunawayWordEdit, CommandsAreAnsweredWhileAMegabyteWordIsPastedAndTheKeysAreSaved)
{
    ChildProcess clipboardOwner;
    ASSERT_NO_FATAL_FAILURE(offerWordOnClipboard(clipboardOwner, qsizetype(wordLetters)));
    ASSERT_NO_FATAL_FAILURE(
        openFeature(QStringLiteral("zentrel://toggle/whiteboard"), QStringLiteral("Whiteboard")));
    ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("t")));
    ASSERT_TRUE(m_input.click(newTextPoint)) << m_input.lastError().toStdString();

    ASSERT_NO_FATAL_FAILURE(stepAnswering(
        "pasting", [this] { ASSERT_NO_FATAL_FAILURE(press(QStringLiteral("ctrl+v"))); }));
    ASSERT_NO_FATAL_FAILURE(stepAnswering("typing after pasting", [this] {
        ASSERT_TRUE(m_input.typeText(QStringLiteral("xyz"))) << m_input.lastError().toStdString();
    }));
    ASSERT_NO_FATAL_FAILURE(stepAnswering("ending the edit after pasting", [this] {
        ASSERT_TRUE(m_input.click(leftOfTheNewText)) << m_input.lastError().toStdString();
    }));

    const QString saved = savedTextOf(qsizetype(wordLetters) + 3);
    EXPECT_EQ(saved.size(), qsizetype(wordLetters) + 3) << situation();
    EXPECT_TRUE(saved.endsWith(QStringLiteral("pppxyz"))) << saved.right(20).toStdString();
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers,
                         RunawayWordEdit,
                         testing::ValuesIn(everyWindowManager()),
                         testNameOf);

} // namespace
} // namespace zentrel
