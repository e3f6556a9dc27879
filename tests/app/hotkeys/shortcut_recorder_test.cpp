#include "hotkeys/shortcut_recorder.h"

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_shortcut_grabber.h"
#include "fakes/fake_sound_player.h"
#include "fakes/switchable_key_characters.h"
#include "hotkeys/hotkey_registry.h"
#include "hotkeys/key.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using namespace zentrel;
using namespace zentrel::hotkeys;

namespace {

// X keycodes (Linux input codes plus 8) of the keys the tests press.
constexpr quint32 keycodeA = 38;
constexpr quint32 keycodeD = 40;
constexpr quint32 keycodeK = 45;
constexpr quint32 keycodeU = 30;
constexpr quint32 keycodeZ = 52;
constexpr quint32 keycodeEscape = 9;
constexpr quint32 keycodeBackspace = 22;
constexpr quint32 keycodeF6 = 72;

const Name draw{"toggleDraw", std::nullopt};
const Name zoom{"toggleZoom", std::nullopt};
const Shortcut ctrlOptD{keys::d.rawValue, carbon::control | carbon::option};
const Shortcut ctrlOptZ{keys::z.rawValue, carbon::control | carbon::option};
const Shortcut ctrlOptU{keys::u.rawValue, carbon::control | carbon::option};
const Shortcut cmdShiftK{keys::k.rawValue, carbon::command | carbon::shift};
const Qt::KeyboardModifiers ctrlAlt = Qt::ControlModifier | Qt::AltModifier;

void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers, quint32 keycode)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers, keycode, 0, 0);
    QApplication::sendEvent(target, &event);
}

QAbstractButton *button(QMessageBox *box, const QString &text)
{
    for (QAbstractButton *candidate : box->buttons()) {
        if (candidate->text() == text) {
            return candidate;
        }
    }
    return nullptr;
}

class ShortcutRecorderTest : public testing::Test
{
protected:
    ShortcutRecorderTest()
    {
        registry.setShortcut(ctrlOptD, draw);
        registry.setShortcut(ctrlOptZ, zoom);
        auto *column = new QVBoxLayout(&window);
        column->addWidget(drawRecorder);
        column->addWidget(zoomRecorder);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    ShortcutRecorder::Services services()
    {
        return ShortcutRecorder::Services{registry,
                                          layout,
                                          grabber,
                                          [] {
                                              return std::vector<NamedShortcut>{
                                                  {"Zoom Loupe", ctrlOptZ, "toggleZoom"},
                                                  {"Undo", ctrlOptU, "undoPresentationAction"}};
                                          },
                                          sounds};
    }

    void startRecording(ShortcutRecorder *recorder)
    {
        QTest::mouseClick(recorder, Qt::LeftButton);
        ASSERT_TRUE(recorder->isRecording());
    }

    MemoryDefaultsStore defaults;
    FakeShortcutGrabber grabber;
    FakeSoundPlayer sounds;
    SwitchableKeyCharacters layout;
    HotkeyRegistry registry{defaults, grabber, layout};
    QWidget window;
    ShortcutRecorder *drawRecorder = new ShortcutRecorder(services(), draw, &window);
    ShortcutRecorder *zoomRecorder = new ShortcutRecorder(services(), zoom, &window);
};

TEST_F(ShortcutRecorderTest, ShowsTheStoredCombinationAndFollowsChangesMadeElsewhere)
{
    EXPECT_EQ(drawRecorder->text(), QStringLiteral("Ctrl+Alt+D"));
    registry.setShortcut(cmdShiftK, draw);
    EXPECT_EQ(drawRecorder->text(), QStringLiteral("Shift+Super+K"));
    // Its window handing it the focus starts no recording.
    EXPECT_FALSE(drawRecorder->isRecording());
    EXPECT_EQ(drawRecorder->placeholderText(), QStringLiteral("Record Shortcut"));
}

TEST_F(ShortcutRecorderTest, WritesTheCombinationForTheLayoutAfterTheKeymapChanges)
{
    EXPECT_EQ(zoomRecorder->text(), QStringLiteral("Ctrl+Alt+Z"));
    layout.isGerman = true;
    registry.followKeymapChange();
    EXPECT_EQ(zoomRecorder->text(), QStringLiteral("Ctrl+Alt+Y"));
}

TEST_F(ShortcutRecorderTest, RecordsAChordStoresItAndStops)
{
    QSignalSpy changes(drawRecorder, &ShortcutRecorder::shortcutChanged);
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    EXPECT_TRUE(registry.isPaused());
    // Emptied, so that its request for a chord shows.
    EXPECT_TRUE(drawRecorder->text().isEmpty());
    EXPECT_EQ(drawRecorder->placeholderText(), QStringLiteral("Press Shortcut"));

    // A modifier on its own records nothing; a plain letter is refused with a beep.
    press(drawRecorder, Qt::Key_Control, Qt::ControlModifier, 37);
    EXPECT_EQ(sounds.beeps, 0);
    press(drawRecorder, Qt::Key_A, Qt::NoModifier, keycodeA);
    EXPECT_EQ(sounds.beeps, 1);
    EXPECT_TRUE(drawRecorder->isRecording());
    EXPECT_EQ(registry.shortcut(draw), ctrlOptD);

    press(drawRecorder, Qt::Key_K, Qt::MetaModifier | Qt::ShiftModifier, keycodeK);
    EXPECT_EQ(sounds.beeps, 1);
    EXPECT_EQ(registry.shortcut(draw), cmdShiftK);
    EXPECT_EQ(defaults.storedValue("Hotkeys_toggleDraw"), cmdShiftK.jsonText());
    EXPECT_EQ(drawRecorder->text(), QStringLiteral("Shift+Super+K"));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_FALSE(drawRecorder->isRecording());
    EXPECT_FALSE(registry.isPaused());
    EXPECT_TRUE(grabber.grabbed.contains(cmdShiftK));
}

TEST_F(ShortcutRecorderTest, EscapeCancelsDeleteClearsAndShiftedFunctionKeysAreStored)
{
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    press(drawRecorder, Qt::Key_Escape, Qt::NoModifier, keycodeEscape);
    EXPECT_FALSE(drawRecorder->isRecording());
    EXPECT_EQ(drawRecorder->text(), QStringLiteral("Ctrl+Alt+D")) << "shown again";
    EXPECT_EQ(registry.shortcut(draw), ctrlOptD);

    QSignalSpy changes(drawRecorder, &ShortcutRecorder::shortcutChanged);
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    press(drawRecorder, Qt::Key_Backspace, Qt::NoModifier, keycodeBackspace);
    EXPECT_EQ(registry.shortcut(draw), std::nullopt);
    EXPECT_TRUE(drawRecorder->isRecording()) << "clearing keeps recording";
    // Nothing left to clear: no second change.
    press(drawRecorder, Qt::Key_Backspace, Qt::NoModifier, keycodeBackspace);
    EXPECT_EQ(changes.count(), 1);

    press(drawRecorder, Qt::Key_F6, Qt::ShiftModifier, keycodeF6);
    EXPECT_EQ(registry.shortcut(draw), (Shortcut{keys::f6.rawValue, carbon::shift}));
    EXPECT_EQ(drawRecorder->text(), QStringLiteral("Shift+F6"));
}

// The reason is too long for the box, which keeps asking for a chord: it goes to whoever shows it.
TEST_F(ShortcutRecorderTest, AKeyAloneIsRefusedWithTheReasonAndThePreviousOneStays)
{
    QSignalSpy refusals(drawRecorder, &ShortcutRecorder::refusalChanged);
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    press(drawRecorder, Qt::Key_D, Qt::NoModifier, keycodeD);
    EXPECT_EQ(registry.shortcut(draw), ctrlOptD);
    EXPECT_EQ(sounds.beeps, 1);
    EXPECT_TRUE(drawRecorder->isRecording());
    EXPECT_EQ(drawRecorder->refusal(), QStringLiteral("D needs a modifier"));
    EXPECT_EQ(drawRecorder->placeholderText(), QStringLiteral("Press Shortcut"));
    EXPECT_TRUE(drawRecorder->toolTip().contains(QStringLiteral("Ctrl, Alt or Super")));
    EXPECT_EQ(drawRecorder->clashAlert(), nullptr);

    // Shift is no modifier of its own here; ending shows the combination kept.
    press(drawRecorder, Qt::Key_K, Qt::ShiftModifier, keycodeK);
    EXPECT_EQ(drawRecorder->refusal(), QStringLiteral("Shift+K needs a modifier"));
    press(drawRecorder, Qt::Key_Escape, Qt::NoModifier, keycodeEscape);
    EXPECT_EQ(drawRecorder->text(), QStringLiteral("Ctrl+Alt+D"));
    EXPECT_EQ(drawRecorder->placeholderText(), QStringLiteral("Record Shortcut"));
    EXPECT_TRUE(drawRecorder->refusal().isEmpty());
    EXPECT_TRUE(drawRecorder->toolTip().isEmpty());
    ASSERT_EQ(refusals.count(), 3);
    EXPECT_EQ(refusals.last().first().toString(), QString());
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    EXPECT_EQ(drawRecorder->placeholderText(), QStringLiteral("Press Shortcut"));

    // A chord taken ends the reason too.
    press(drawRecorder, Qt::Key_D, Qt::NoModifier, keycodeD);
    press(drawRecorder, Qt::Key_F6, Qt::NoModifier, keycodeF6);
    EXPECT_TRUE(drawRecorder->refusal().isEmpty());
}

// The box draws its own request while it records, which the line edit does not repaint for.
TEST_F(ShortcutRecorderTest, ANewRequestRepaintsTheWholeBox)
{
    struct PaintedAreas : QObject
    {
        QRegion painted;

        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint) {
                painted += static_cast<QPaintEvent *>(event)->region();
            }
            return false;
        }
    } areas;

    // The window hands the box the focus back, which records nothing until a click.
    drawRecorder->setFocus(Qt::ActiveWindowFocusReason);
    ASSERT_FALSE(drawRecorder->isRecording());
    QApplication::processEvents();
    drawRecorder->installEventFilter(&areas);
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    QApplication::processEvents();
    EXPECT_EQ(areas.painted, QRegion(drawRecorder->rect()));
}

TEST_F(ShortcutRecorderTest, AFunctionKeyAloneIsStoredAndGrabbed)
{
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    press(drawRecorder, Qt::Key_F6, Qt::NoModifier, keycodeF6);
    EXPECT_EQ(sounds.beeps, 0);
    EXPECT_EQ(registry.shortcut(draw), (Shortcut{keys::f6.rawValue, 0}));
    EXPECT_TRUE(grabber.grabbed.contains(Shortcut{keys::f6.rawValue, 0}));
    EXPECT_EQ(drawRecorder->text(), QStringLiteral("F6"));
}

TEST_F(ShortcutRecorderTest, AMenuClashWarnsStoresNothingAndRecordsAgain)
{
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    press(drawRecorder, Qt::Key_Z, ctrlAlt, keycodeZ);
    QMessageBox *alert = drawRecorder->clashAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_TRUE(alert->text().contains(QStringLiteral("\u201CZoom Loupe\u201D")));
    EXPECT_FALSE(drawRecorder->isRecording()) << "not while the warning is up";
    EXPECT_FALSE(registry.isPaused());
    EXPECT_EQ(registry.shortcut(draw), ctrlOptD);
    EXPECT_EQ(button(alert, QStringLiteral("Use Anyway")), nullptr);

    // The warning holds the activation; the window gets it back once it is answered.
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    button(alert, QStringLiteral("OK"))->click();
    EXPECT_FALSE(drawRecorder->isRecording());
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_TRUE(drawRecorder->isRecording());
    EXPECT_EQ(registry.shortcut(draw), ctrlOptD);
}

TEST_F(ShortcutRecorderTest, AClashWithAnotherProgramIsStoredOnlyWhenTheUserInsists)
{
    grabber.refusals[cmdShiftK] = 10;
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    press(drawRecorder, Qt::Key_K, Qt::MetaModifier | Qt::ShiftModifier, keycodeK);
    ASSERT_NE(drawRecorder->clashAlert(), nullptr);
    button(drawRecorder->clashAlert(), QStringLiteral("OK"))->click();
    EXPECT_EQ(registry.shortcut(draw), ctrlOptD);

    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ASSERT_TRUE(drawRecorder->isRecording());
    press(drawRecorder, Qt::Key_K, Qt::MetaModifier | Qt::ShiftModifier, keycodeK);
    ASSERT_NE(drawRecorder->clashAlert(), nullptr);
    button(drawRecorder->clashAlert(), QStringLiteral("Use Anyway"))->click();
    EXPECT_EQ(registry.shortcut(draw), cmdShiftK);
}

TEST_F(ShortcutRecorderTest, HotKeysStayPausedUntilTheLastRecorderStops)
{
    // A second recorder elsewhere (another window) starts while this one records.
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    registry.pause();
    press(drawRecorder, Qt::Key_Escape, Qt::NoModifier, keycodeEscape);
    EXPECT_TRUE(registry.isPaused());
    registry.resume();
    EXPECT_FALSE(registry.isPaused());

    // Moving from one recorder to the next ends one recording and starts the other.
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    ASSERT_NO_FATAL_FAILURE(startRecording(zoomRecorder));
    EXPECT_FALSE(drawRecorder->isRecording());
    EXPECT_TRUE(registry.isPaused());
    zoomRecorder->clearFocus();
    EXPECT_FALSE(registry.isPaused());
}

TEST_F(ShortcutRecorderTest, AHotKeyOutsideTheMenuClashesToo)
{
    ASSERT_NO_FATAL_FAILURE(startRecording(drawRecorder));
    press(drawRecorder, Qt::Key_U, ctrlAlt, keycodeU);
    ASSERT_NE(drawRecorder->clashAlert(), nullptr);
    EXPECT_TRUE(drawRecorder->clashAlert()->text().contains(QStringLiteral("\u201CUndo\u201D")));
    EXPECT_EQ(registry.shortcut(draw), ctrlOptD);
    button(drawRecorder->clashAlert(), QStringLiteral("OK"))->click();
}

TEST_F(ShortcutRecorderTest, TheOwnMenuEntryIsNoClash)
{
    ASSERT_NO_FATAL_FAILURE(startRecording(zoomRecorder));
    press(zoomRecorder, Qt::Key_Z, ctrlAlt, keycodeZ);
    EXPECT_EQ(zoomRecorder->clashAlert(), nullptr);
    EXPECT_FALSE(zoomRecorder->isRecording());
    EXPECT_EQ(registry.shortcut(zoom), ctrlOptZ);
}

TEST_F(ShortcutRecorderTest, TheClearButtonClearsTheStoredCombination)
{
    QSignalSpy changes(drawRecorder, &ShortcutRecorder::shortcutChanged);
    drawRecorder->setText(QString());
    Q_EMIT drawRecorder->textEdited(QString());
    EXPECT_EQ(registry.shortcut(draw), std::nullopt);
    ASSERT_EQ(changes.count(), 1);
    EXPECT_TRUE(drawRecorder->isRecording()) << "the next chord is recorded";
}

} // namespace
