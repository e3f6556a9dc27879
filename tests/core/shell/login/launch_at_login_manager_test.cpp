#include "shell/login/launch_at_login_manager.h"

#include "common/files/atomic_file.h"
#include "fakes/temporary_directory.h"
#include "shell/login/autostart_entry.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace zentrel;

namespace {

std::string contents(const std::filesystem::path &path)
{
    const auto read = readFileIfPresent(path);
    return read && *read ? **read : std::string();
}

} // namespace

TEST(LaunchAtLoginManager, WritesTheEntryAndRemovesItAgain)
{
    TemporaryDirectory folder;
    const auto entry = folder / "config/autostart/zentrel.desktop";
    LaunchAtLoginManager manager(entry, "/opt/Zentrel Apps/zentrel");
    EXPECT_FALSE(manager.isEnabled());
    int changes = 0;
    const ScopedConnection connection = manager.changed.connect([&] { ++changes; });

    manager.setEnabled(true);
    EXPECT_TRUE(manager.isEnabled());
    EXPECT_FALSE(manager.errorMessage());
    EXPECT_EQ(contents(entry), autostartEntryText("/opt/Zentrel Apps/zentrel"));
    EXPECT_NE(contents(entry).find("Exec=\"/opt/Zentrel Apps/zentrel\"\n"), std::string::npos);

    manager.setEnabled(false);
    EXPECT_FALSE(manager.isEnabled());
    EXPECT_FALSE(std::filesystem::exists(entry));
    // Switching off what is already off is no failure.
    manager.setEnabled(false);
    EXPECT_FALSE(manager.errorMessage());
    EXPECT_EQ(changes, 3);
}

TEST(LaunchAtLoginManager, ShowsAnEntryRemovedOrSwitchedOffOutsideOnceReadAgain)
{
    TemporaryDirectory folder;
    const auto entry = folder / "zentrel.desktop";
    LaunchAtLoginManager manager(entry, "/usr/bin/zentrel");
    manager.setEnabled(true);

    ASSERT_TRUE(
        writeFileAtomically(entry, autostartEntryText("/usr/bin/zentrel") + "Hidden=true\n"));
    EXPECT_TRUE(manager.isEnabled()) << "not watched";
    manager.refresh();
    EXPECT_FALSE(manager.isEnabled());

    manager.setEnabled(true);
    std::filesystem::remove(entry);
    manager.refresh();
    EXPECT_FALSE(manager.isEnabled());
    EXPECT_TRUE(LaunchAtLoginManager(entry, "x").isEnabled() == false);
}

TEST(LaunchAtLoginManager, AFailedChangeKeepsItsReasonUntilTheNextSuccess)
{
    TemporaryDirectory folder;
    // A file where the autostart folder should be makes every write fail.
    ASSERT_TRUE(writeFileAtomically(folder / "autostart", "not a folder"));
    const auto entry = folder / "autostart/zentrel.desktop";
    LaunchAtLoginManager manager(entry, "/usr/bin/zentrel");

    manager.setEnabled(true);
    EXPECT_FALSE(manager.isEnabled());
    ASSERT_TRUE(manager.errorMessage());
    EXPECT_EQ(manager.errorMessage()->rfind("Could not write \"", 0), 0u)
        << *manager.errorMessage();

    std::filesystem::remove(folder / "autostart");
    manager.setEnabled(true);
    EXPECT_TRUE(manager.isEnabled());
    EXPECT_FALSE(manager.errorMessage());
}

TEST(AutostartEntry, CountsOnlyADesktopEntryThatIsNotSwitchedOff)
{
    const std::string ours = autostartEntryText("/usr/bin/zentrel");
    EXPECT_TRUE(isActiveAutostartEntry(ours));
    EXPECT_FALSE(isActiveAutostartEntry(ours + "Hidden = True\n"));
    EXPECT_FALSE(isActiveAutostartEntry(ours + "X-GNOME-Autostart-enabled=false\n"));
    EXPECT_FALSE(isActiveAutostartEntry(""));
    EXPECT_FALSE(isActiveAutostartEntry("Exec=zentrel\n"));
    EXPECT_FALSE(isActiveAutostartEntry("[Desktop Entry]\nExec=\n"));
    // Keys of other groups are not the entry's.
    EXPECT_TRUE(isActiveAutostartEntry(ours + "[Desktop Action x]\nHidden=true\n"));
    EXPECT_TRUE(isActiveAutostartEntry("# comment\r\n[Desktop Entry]\r\nExec=zentrel\r\n"));
}

TEST(AutostartEntry, QuotesExecArgumentsAsDesktopEntriesRequire)
{
    EXPECT_EQ(desktopExecArgument("/usr/bin/zentrel"), "/usr/bin/zentrel");
    EXPECT_EQ(desktopExecArgument("/a b/zentrel"), "\"/a b/zentrel\"");
    EXPECT_EQ(desktopExecArgument("/100%/z"), "/100%%/z");
    // Escaped once for the Exec rules, then the backslashes again for the string value.
    EXPECT_EQ(desktopExecArgument("/x$y"), "\"/x\\\\$y\"");
    EXPECT_EQ(desktopExecArgument(""), "\"\"");
}
