#include "shell/settings_window.h"

#include "common/memory_defaults_store.h"
#include "shell/app_preferences.h"

#include <QCheckBox>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

QCheckBox *checkBox(const SettingsWindow &window, const QString &text)
{
    for (QCheckBox *box : window.findChildren<QCheckBox *>()) {
        if (box->text() == text) {
            return box;
        }
    }
    return nullptr;
}

class SettingsWindowTest : public testing::Test
{
protected:
    MemoryDefaultsStore defaults;
    AppPreferences preferences{defaults};
    SettingsWindow window{preferences};
};

TEST_F(SettingsWindowTest, LeaderTogglesShowAndWriteTheStoredLeader)
{
    QCheckBox *control = checkBox(window, QString::fromUtf8("Control (\u2303)"));
    QCheckBox *shift = checkBox(window, QString::fromUtf8("Shift (\u21E7)"));
    ASSERT_TRUE(control && shift);
    EXPECT_TRUE(control->isChecked());
    EXPECT_FALSE(shift->isChecked());

    shift->click();
    EXPECT_EQ(defaults.storedValue("controls.leaderKey"), 262144 + 524288 + 131072);
    shift->click();
    EXPECT_EQ(defaults.storedValue("controls.leaderKey"), 262144 + 524288);
}

TEST_F(SettingsWindowTest, GeneralSwitchesFollowThePreferences)
{
    QCheckBox *urls = checkBox(window, QStringLiteral("Allow external command URLs (zentrel://)"));
    QCheckBox *enabled = checkBox(window, QStringLiteral("Enable Zentrel"));
    ASSERT_TRUE(urls && enabled);
    EXPECT_FALSE(urls->isChecked());
    urls->click();
    EXPECT_TRUE(preferences.allowsExternalCommandURLs());

    preferences.setEnabled(false);
    EXPECT_FALSE(enabled->isChecked());
}

} // namespace
