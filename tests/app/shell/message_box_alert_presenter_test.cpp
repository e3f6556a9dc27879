#include "shell/message_box_alert_presenter.h"

#include "shell/error_alert_box.h"
#include "shell/error_alert_queue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

using namespace zentrel;

namespace {

bool isOnScreen(const QMessageBox *alert)
{
    return alert && alert->isVisible() && !alert->isMinimized() && alert->windowHandle()
           && alert->windowHandle()->isExposed();
}

// Windows of alerts with this text stay off screen, as if the window manager never mapped them.
class NeverMapped : public QObject
{
public:
    explicit NeverMapped(QString text)
        : m_text(std::move(text))
    {
        qApp->installEventFilter(this);
    }

    int windows = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *alert = qobject_cast<QMessageBox *>(watched);
        if (event->type() == QEvent::Show && alert && alert->informativeText() == m_text) {
            alert->setAttribute(Qt::WA_DontShowOnScreen);
            ++windows;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QString m_text;
};

// Counts the times `window` is raised.
class RaiseCounter : public QObject
{
public:
    RaiseCounter(QWidget &window, int &raises)
        : m_raises(raises)
    {
        window.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::ZOrderChange) {
            ++m_raises;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    int &m_raises;
};

// The queue as the program has it, with the real alert, which looks for itself every 50 ms.
class ErrorAlerts : public testing::Test
{
protected:
    bool waitForOnScreen(const QString &text)
    {
        return QTest::qWaitFor([&] {
            return isOnScreen(presenter.currentAlert())
                   && presenter.currentAlert()->informativeText() == text;
        });
    }

    MessageBoxAlertPresenter presenter{nullptr, std::chrono::milliseconds(50)};
    ErrorAlertQueue queue{presenter};
};

} // namespace

TEST(MessageBoxAlertPresenter, ShowsAWarningTitledZentrelAndReportsItsClose)
{
    MessageBoxAlertPresenter presenter;
    int closedCount = 0;
    bool wasOnScreen = false;
    std::optional<AlertOutcome> outcome;
    presenter.present(
        "No active display was found.",
        [&] { wasOnScreen = true; },
        [&](AlertOutcome ended) {
            ++closedCount;
            outcome = ended;
        });

    QMessageBox *alert = presenter.currentAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->windowTitle(), QStringLiteral("Zentrel"));
    EXPECT_EQ(alert->text(), QStringLiteral("Zentrel"));
    EXPECT_EQ(alert->informativeText(), QStringLiteral("No active display was found."));
    EXPECT_EQ(alert->icon(), QMessageBox::Warning);
    ASSERT_EQ(alert->buttons().size(), 1);
    EXPECT_EQ(alert->button(QMessageBox::Ok)->text(), QStringLiteral("OK"));
    // It must show above a feature's always-on-top panels.
    EXPECT_TRUE(alert->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(alert->isVisible());
    // Told once it is on screen, long before the next check a second later.
    EXPECT_TRUE(QTest::qWaitFor([&] { return wasOnScreen; }, 500));
    EXPECT_EQ(closedCount, 0);

    alert->button(QMessageBox::Ok)->click();
    EXPECT_EQ(closedCount, 1);
    EXPECT_EQ(outcome, AlertOutcome::closed);
}

// Quitting closes every alert still open before its last word: closing one opens the text that
// waited behind it, and once that closes too none is left.
TEST(MessageBoxAlertPresenter, ClosingTheOpenAlertOpensTheTextWaitingBehindIt)
{
    MessageBoxAlertPresenter presenter;
    ErrorAlertQueue queue(presenter);
    queue.report("The library was kept aside.");
    queue.report("The whiteboard could not be saved.");
    QMessageBox *first = presenter.currentAlert();
    ASSERT_NE(first, nullptr);

    first->close();
    QMessageBox *waiting = presenter.currentAlert();
    ASSERT_NE(waiting, nullptr);
    EXPECT_NE(waiting, first);
    EXPECT_EQ(waiting->informativeText(), QStringLiteral("The whiteboard could not be saved."));

    waiting->close();
    EXPECT_EQ(presenter.currentAlert(), nullptr);
    EXPECT_FALSE(queue.isPresenting());
}

// The last alert as the program quits: the quit waits for its answer, or for its time limit
// where nobody may be there to answer.
TEST(ErrorAlertBox, TheAlertBeforeQuittingWaitsForAnAnswerOrItsTimeLimit)
{
    QElapsedTimer waited;
    waited.start();
    showAlertBeforeQuitting(QStringLiteral("Gone"), std::chrono::milliseconds(50));
    EXPECT_GE(waited.elapsed(), 50);

    QString answered;
    QTimer::singleShot(0, [&] {
        auto *alert = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (alert) {
            answered = alert->informativeText();
            alert->button(QMessageBox::Ok)->click();
        }
    });
    waited.restart();
    showAlertBeforeQuitting(QStringLiteral("Lost"), std::chrono::seconds(20));
    EXPECT_EQ(answered, QStringLiteral("Lost"));
    EXPECT_LT(waited.elapsed(), 10000);
}

TEST(MessageBoxAlertPresenter, ShuttingDownWithAnOpenAlertTellsNobody)
{
    int closedCount = 0;
    {
        MessageBoxAlertPresenter presenter;
        presenter.present("Still open", {}, [&](AlertOutcome) { ++closedCount; });
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(closedCount, 0);
}

TEST_F(ErrorAlerts, ShowsTheWaitingTextOnceTheFirstIsAnswered)
{
    queue.report("first");
    queue.report("second");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("first")));
    QTest::keyClick(presenter.currentAlert(), Qt::Key_Escape);
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("second")));
    QTest::keyClick(presenter.currentAlert(), Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !queue.isPresenting(); }));
}

// Minimized, or left on a desktop the user moved away from: the window manager unmaps it.
TEST_F(ErrorAlerts, AnAlertTakenOffScreenComesBackUnanswered)
{
    queue.report("first");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("first")));
    presenter.currentAlert()->showMinimized();
    EXPECT_TRUE(waitForOnScreen(QStringLiteral("first")));
    EXPECT_TRUE(queue.isPresenting());
}

TEST_F(ErrorAlerts, AnAlertHiddenOrDeletedUnansweredLetsTheNextTextShow)
{
    queue.report("first");
    queue.report("second");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("first")));
    const QPointer<QMessageBox> first = presenter.currentAlert();
    first->hide();
    EXPECT_TRUE(waitForOnScreen(QStringLiteral("second")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return first.isNull(); })) << "the hidden alert was kept";

    queue.report("third");
    delete presenter.currentAlert();
    EXPECT_TRUE(waitForOnScreen(QStringLiteral("third")));
}

// Answered with its button or a key sent to its window, or closed as a window manager's close
// button does: the next text shows.
TEST_F(ErrorAlerts, EveryWayOfAnsweringOrClosingAnAlertLetsTheNextTextShow)
{
    const auto keyClick = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return [key, modifiers](QMessageBox &alert) {
            QTest::keyClick(alert.windowHandle(), key, modifiers);
        };
    };
    const std::vector<std::pair<std::string, std::function<void(QMessageBox &)>>> ways{
        {"OK",
         [](QMessageBox &alert) {
             alert.button(QMessageBox::Ok)->click();
         }},
        {"Return", keyClick(Qt::Key_Return)},
        {"Enter", keyClick(Qt::Key_Enter, Qt::KeypadModifier)},
        {"Escape", keyClick(Qt::Key_Escape)},
        {"close",
         [](QMessageBox &alert) {
             alert.close();
         }},
    };
    for (const auto &[way, close] : ways) {
        queue.report("before " + way);
        queue.report("after " + way);
        ASSERT_TRUE(waitForOnScreen(QString::fromStdString("before " + way))) << way;
        close(*presenter.currentAlert());
        ASSERT_TRUE(waitForOnScreen(QString::fromStdString("after " + way))) << way;
        presenter.currentAlert()->button(QMessageBox::Ok)->click();
        EXPECT_FALSE(queue.isPresenting()) << way;
    }
}

// A key held down since before the alert opened, auto-repeating (presses only, as with XKB's
// detectable auto-repeat), does not answer it unread. The key that answers it does so as it is
// released: were the alert gone on the press, the release would find no window, and a sender
// that gives it to that window would leave the key held down.
TEST_F(ErrorAlerts, OnlyAKeyPressedAndReleasedInTheAlertAnswersIt)
{
    queue.report("first");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("first")));
    const QPointer<QWindow> window = presenter.currentAlert()->windowHandle();
    QTest::keyRelease(window, Qt::Key_Escape);
    for (int repeat = 0; repeat < 2 && window; ++repeat) {
        QTest::keyPress(window, Qt::Key_Return);
    }
    QTest::qWait(50);
    ASSERT_TRUE(isOnScreen(presenter.currentAlert())) << "answered by a key not yet released";
    EXPECT_TRUE(queue.isPresenting());

    QTest::keyRelease(window, Qt::Key_Return);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !queue.isPresenting(); }));
}

TEST(MessageBoxAlertPresenter, AnAlertThatNeverReachesTheScreenEndsAsNotShown)
{
    MessageBoxAlertPresenter presenter{nullptr, std::chrono::milliseconds(20)};
    NeverMapped neverMapped(QStringLiteral("lost"));
    bool wasOnScreen = false;
    std::optional<AlertOutcome> outcome;
    presenter.present(
        "lost", [&] { wasOnScreen = true; }, [&](AlertOutcome ended) { outcome = ended; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }));
    EXPECT_EQ(outcome, AlertOutcome::notShown);
    EXPECT_FALSE(wasOnScreen);
    EXPECT_GT(neverMapped.windows, 1) << "the alert was not shown again";
}

// Given up on, the text lets the next one show, and comes back once that one is answered.
TEST_F(ErrorAlerts, AnAlertThatNeverReachesTheScreenIsShownAgainAfterTheNextText)
{
    std::optional<NeverMapped> neverMapped(std::in_place, QStringLiteral("first"));
    queue.report("first");
    queue.report("second");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("second")));
    EXPECT_GT(neverMapped->windows, 1) << "the alert was not shown again";
    EXPECT_EQ(queue.notShownText(), "first");

    neverMapped.reset();
    QTest::keyClick(presenter.currentAlert(), Qt::Key_Return);
    EXPECT_TRUE(waitForOnScreen(QStringLiteral("first")));
}

TEST_F(ErrorAlerts, TakesTheKeyboardBackFromAWindowOpenedOverIt)
{
    queue.report("first");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("first")));
    // A feature's full-screen panel, shown and given the keyboard while the alert is up.
    QWidget overlay(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    bool overlayHadKeyboard = false;
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &overlay, [&](QWindow *focus) {
        overlayHadKeyboard = overlayHadKeyboard || focus == overlay.windowHandle();
    });
    overlay.show();
    overlay.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return overlayHadKeyboard && QApplication::activeWindow() == presenter.currentAlert();
    }));
}

// Window managers put a focused full-screen window above every stays-on-top one, but never above
// its own transients: over a run the alert is one of the run's window, and never modal, so a
// click still gives the run its keys. It outlives the run, unanswered.
TEST_F(ErrorAlerts, OverARunTheAlertIsANonModalTransientOfItsWindowAndOutlivesIt)
{
    QWidget run(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    run.show();
    queue.report("first");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("first")));
    EXPECT_EQ(presenter.currentAlert()->windowModality(), Qt::NonModal);
    EXPECT_EQ(presenter.currentAlert()->windowHandle()->transientParent(), run.windowHandle());

    run.hide();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return presenter.currentAlert()
               && !presenter.currentAlert()->windowHandle()->transientParent()
               && isOnScreen(presenter.currentAlert());
    })) << "the alert did not outlive the run";
    EXPECT_TRUE(queue.isPresenting());

    // A run that opens while the alert waits has it over it too.
    QWidget next(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    next.show();
    EXPECT_TRUE(QTest::qWaitFor([&] {
        return presenter.currentAlert()
               && presenter.currentAlert()->windowHandle()->transientParent()
                      == next.windowHandle();
    }));
    EXPECT_EQ(presenter.currentAlert()->informativeText(), QStringLiteral("first"));
}

// The window manager keeps the alert above the run's window it is a transient of, and xfwm4
// takes a raise for an activation: the run taking the keys must not raise it, or the alert would
// take back the keys a click gave the run. Any other window of ours that takes them still does.
TEST_F(ErrorAlerts, TheRunTakingTheKeysLeavesTheAlertWhereItIs)
{
    QWidget run(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    run.show();
    QWidget settings(nullptr, Qt::Window);
    settings.show();
    queue.report("first");
    ASSERT_TRUE(waitForOnScreen(QStringLiteral("first")));
    QTest::qWait(100);
    int raises = 0;
    RaiseCounter counter(*presenter.currentAlert(), raises);

    run.activateWindow();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &run; }));
    QTest::qWait(100);
    EXPECT_EQ(raises, 0) << "the alert was raised over the run's window";
    EXPECT_EQ(QApplication::activeWindow(), &run);

    settings.activateWindow();
    EXPECT_TRUE(QTest::qWaitFor([&] { return raises > 0; }))
        << "the alert stayed below another window";
}
