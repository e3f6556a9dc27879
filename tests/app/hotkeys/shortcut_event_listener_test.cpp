#include "hotkeys/shortcut_event_listener.h"

#include "common/settings/memory_defaults_store.h"
#include "fakes/fake_shortcut_grabber.h"
#include "hotkeys/hotkey_registry.h"
#include "hotkeys/us_key_characters.h"

#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

using namespace zentrel;
using namespace zentrel::hotkeys;

namespace {

const Name draw{"toggleDraw", std::nullopt};
const Shortcut ctrlOptD{keys::d.rawValue, carbon::control | carbon::option};

class ShortcutEventListenerTest : public testing::Test
{
protected:
    ShortcutEventListenerTest() { registry.setShortcut(ctrlOptD, draw); }

    void strike()
    {
        registry.handleKeyDown(ctrlOptD);
        registry.handleKeyUp(ctrlOptD);
    }

    MemoryDefaultsStore defaults;
    FakeShortcutGrabber grabber;
    UsKeyCharacters layout;
    HotkeyRegistry registry{defaults, grabber, layout};
};

TEST_F(ShortcutEventListenerTest, RunsTheActionOnlyWhileTheViewIsShown)
{
    QWidget window;
    auto *view = new QWidget(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(view);
    std::vector<EventType> events;
    onShortcutEvent(*view, registry, draw, [&events](EventType type) { events.push_back(type); });

    strike();
    EXPECT_TRUE(events.empty()) << "not shown yet";
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    strike();
    EXPECT_EQ(events, (std::vector{EventType::keyDown, EventType::keyUp}));

    // Hidden with its window or by itself, it hears nothing until shown again.
    window.hide();
    strike();
    window.show();
    view->hide();
    strike();
    EXPECT_EQ(events.size(), 2u);
    view->show();
    strike();
    EXPECT_EQ(events.size(), 4u);

    delete view;
    strike();
    EXPECT_EQ(events.size(), 4u) << "the listener went with its view";
}

TEST_F(ShortcutEventListenerTest, TheTypedFormRunsOncePerPressOfAViewAlreadyShown)
{
    QWidget view;
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    int presses = 0;
    int releases = 0;
    onShortcutEvent(view, registry, draw, EventType::keyDown, [&presses] { ++presses; });
    onShortcutEvent(view, registry, draw, EventType::keyUp, [&releases] { ++releases; });
    strike();
    strike();
    registry.handleKeyDown(ctrlOptD);
    EXPECT_EQ(presses, 3);
    EXPECT_EQ(releases, 2);
}

} // namespace
