#include "common/files/pending_file.h"

#include "common/files/atomic_file.h"
#include "common/settings/json_file_defaults_store.h"
#include "core/common/files/killed_save.h"
#include "fakes/fake_clock.h"
#include "fakes/folder_names.h"
#include "fakes/temporary_directory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

using namespace zentrel;
namespace fs = std::filesystem;

namespace {

mode_t modeOf(const fs::path &path)
{
    struct stat status
    {};

    ::stat(path.c_str(), &status);
    return status.st_mode & 07777;
}

// Sets the process umask for one scope.
class UmaskScope
{
public:
    explicit UmaskScope(mode_t mask)
        : m_previous(::umask(mask))
    {}

    ~UmaskScope() { ::umask(m_previous); }

    UmaskScope(const UmaskScope &) = delete;
    UmaskScope &operator=(const UmaskScope &) = delete;

private:
    mode_t m_previous;
};

} // namespace

TEST(PendingFile, ANewFileGetsTheModeTheUmaskLeaves)
{
    TemporaryDirectory folder;
    {
        const UmaskScope privateFiles(077);
        ASSERT_TRUE(writeFileAtomically(folder / "private.json", "{}"));
    }
    {
        const UmaskScope sharedFiles(022);
        ASSERT_TRUE(writeFileAtomically(folder / "shared.json", "{}"));
    }
    EXPECT_EQ(modeOf(folder / "private.json"), 0600u);
    EXPECT_EQ(modeOf(folder / "shared.json"), 0644u);
}

TEST(PendingFile, ReplacingKeepsTheModeOfTheFileReplaced)
{
    TemporaryDirectory folder;
    const UmaskScope privateFiles(077);
    std::ofstream(folder / "settings.json") << "old";
    fs::permissions(folder / "settings.json", static_cast<fs::perms>(0640));
    ASSERT_TRUE(writeFileAtomically(folder / "settings.json", "new"));
    EXPECT_EQ(modeOf(folder / "settings.json"), 0640u);
}

TEST(PendingFile, DroppedUncommittedLeavesTheTargetAndNothingElse)
{
    TemporaryDirectory folder;
    std::ofstream(folder / "board.pdf") << "kept";
    {
        auto pending = PendingFile::create(folder / "board.pdf");
        ASSERT_TRUE(pending.has_value());
        ASSERT_EQ(::write(pending->descriptor(), "partial", 7), 7);
    }
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"board.pdf"});
    EXPECT_EQ(readFileIfPresent(folder / "board.pdf").value(), "kept");
}

TEST(PendingFile, AKilledSaveLeavesNothingOnceTheSettingsAreOpened)
{
    TemporaryDirectory folder;
    FakeClock clock;
    const fs::path file = folder / "settings.json";
    std::ofstream(file) << "{\"a\": 1}";
    killDuringSave(file);
    ASSERT_NE(JsonFileDefaultsStore::open(file, clock), nullptr);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"settings.json"});
    EXPECT_EQ(readFileIfPresent(file).value(), "{\"a\": 1}");
}

TEST(PendingFile, SweepRemovesOnlyWhatAWriterOfThatFileLeaves)
{
    TemporaryDirectory folder;
    const std::vector<std::string> kept = {
        "other.json.Ab12Cd.tmp",
        "settings.json",
        "settings.json.Ab-2Cd.tmp",
        "settings.json.Ab12C.tmp",
        "settings.json.Ab12Cde.tmp",
        "settings.json.tmp",
    };
    for (const std::string &name : kept) {
        std::ofstream(folder / name) << name;
    }
    std::ofstream(folder / "settings.json.Ab12Cd.tmp") << "left by a killed save";
    fs::create_directory(folder / "settings.json.Folder.tmp");
    TemporaryDirectory elsewhere;
    std::ofstream(elsewhere / "notes.txt") << "the user's";
    fs::create_symlink(elsewhere / "notes.txt", folder / "settings.json.Linked.tmp");

    sweepPendingLeftovers(folder / "settings.json");

    std::vector<std::string> expected = kept;
    expected.push_back("settings.json.Folder.tmp");
    expected.push_back("settings.json.Linked.tmp");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder.path()), expected);
    EXPECT_EQ(readFileIfPresent(elsewhere / "notes.txt").value(), "the user's");
}
