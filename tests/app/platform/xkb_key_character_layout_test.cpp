#include "platform/x11/input/xkb_key_character_layout.h"

#include <gtest/gtest.h>
#include <xkbcommon/xkbcommon.h>

#include <memory>

using namespace zentrel;

namespace {

// Keymaps compiled from the xkb data on disk, as setxkbmap would make them; no X server.
class XkbKeyCharacterLayout : public testing::Test
{
protected:
    using Keymap = std::unique_ptr<xkb_keymap, decltype(&xkb_keymap_unref)>;

    void SetUp() override
    {
        if (!m_context || !keymapOf("us")) {
            GTEST_SKIP() << "no xkb data (xkb-data) to compile keymaps from";
        }
    }

    Keymap keymapOf(const char *layouts) const
    {
        const xkb_rule_names names{"evdev", "pc105", layouts, "", ""};
        return Keymap(
            xkb_keymap_new_from_names(m_context.get(), &names, XKB_KEYMAP_COMPILE_NO_FLAGS),
            &xkb_keymap_unref);
    }

    std::optional<uint32_t> layoutFor(const char *layouts, uint32_t current) const
    {
        const Keymap keymap = keymapOf(layouts);
        if (!keymap) {
            ADD_FAILURE() << "no keymap for " << layouts;
            return std::nullopt;
        }
        return xkbKeyCharacterLayout(keymap.get(), current);
    }

    // Only the names given here count, never those of the environment.
    std::unique_ptr<xkb_context, decltype(&xkb_context_unref)> m_context{
        xkb_context_new(XKB_CONTEXT_NO_ENVIRONMENT_NAMES), &xkb_context_unref};
};

} // namespace

TEST_F(XkbKeyCharacterLayout, ALatinLayoutNamesKeysItselfWhenCurrent)
{
    EXPECT_EQ(layoutFor("us", 0), 0u);
    EXPECT_EQ(layoutFor("de", 0), 0u);
    EXPECT_EQ(layoutFor("fr", 0), 0u);
    EXPECT_EQ(layoutFor("tr", 0), 0u);
    EXPECT_EQ(layoutFor("ru,us", 1), 1u);
    EXPECT_EQ(layoutFor("de,us", 1), 1u);
}

TEST_F(XkbKeyCharacterLayout, OtherScriptsHandKeysToTheFirstLatinLayout)
{
    EXPECT_EQ(layoutFor("ru,us", 0), 1u);
    EXPECT_EQ(layoutFor("us,ru", 1), 0u);
    EXPECT_EQ(layoutFor("ru,gr,de,us", 1), 2u);
}

TEST_F(XkbKeyCharacterLayout, AKeymapWithoutALatinLayoutHasNone)
{
    EXPECT_EQ(layoutFor("ru", 0), std::nullopt);
    EXPECT_EQ(layoutFor("ru,gr", 1), std::nullopt);
}
