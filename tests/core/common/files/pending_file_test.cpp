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
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
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

TEST(PendingFile, WithoutUnnamedFilesASaveLandsWholeAndAKilledOneLeavesANamedFile)
{
    TemporaryDirectory folder;
    const fs::path file = folder / "board.pdf";
    const auto saveWithoutUnnamedFiles = [&file] {
        forbidUnnamedFiles();
        const bool saved = writeFileAtomically(file, "whole").has_value();
        std::_Exit(saved && readFileIfPresent(file).value() == "whole" ? 0 : 1);
    };
    EXPECT_EXIT(saveWithoutUnnamedFiles(), testing::ExitedWithCode(0), "");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"board.pdf"});

    killWhileWriting([&file] {
        forbidUnnamedFiles();
        (void)writeFileAtomically(file, std::string(1 << 20, 'x'));
    });
    const std::vector<std::string> names = namesIn(folder.path());
    ASSERT_EQ(names.size(), 2u);
    EXPECT_TRUE(std::regex_match(names[1], std::regex(R"(board\.pdf\.[A-Za-z0-9]{6}\.tmp)")))
        << names[1];
}

TEST(PendingFile, ACopyGoesWholeToTheFirstFreeNameWithTheFilesMode)
{
    TemporaryDirectory folder;
    const fs::path file = folder / "board.json";
    std::ofstream(file) << "theirs";
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    std::ofstream(folder / "copy-0.json") << "taken";
    const auto named = [&folder](int attempt) {
        return folder / ("copy-" + std::to_string(attempt) + ".json");
    };

    EXPECT_EQ(copyFileToNewName(file, named, 3), folder / "copy-1.json");
    EXPECT_EQ(readFileIfPresent(folder / "copy-1.json").value(), "theirs");
    EXPECT_EQ(modeOf(folder / "copy-1.json"), 0600u);
    EXPECT_EQ(readFileIfPresent(folder / "copy-0.json").value(), "taken");
    EXPECT_FALSE(copyFileToNewName(file, named, 2));
    EXPECT_EQ(namesIn(folder.path()),
              (std::vector<std::string>{"board.json", "copy-0.json", "copy-1.json"}));
}

TEST(PendingFile, ACopyCutShortLeavesNoPartOfIt)
{
    TemporaryDirectory folder;
    const fs::path file = folder / "board.json";
    ASSERT_TRUE(writeFileAtomically(file, std::string(1 << 20, 'x')));
    const auto named = [&folder](int) {
        return folder / "copy.json";
    };
    killWhileWriting([&] { (void)copyFileToNewName(file, named, 1); });
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"board.json"});

    // Where files cannot go unnamed, what is left is the file's own leftover, swept with it.
    killWhileWriting([&] {
        forbidUnnamedFiles();
        (void)copyFileToNewName(file, named, 1);
    });
    EXPECT_EQ(namesIn(folder.path()).size(), 2u);
    sweepPendingLeftovers(file);
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"board.json"});
}

TEST(PendingFile, AbandonedSweepRemovesOnlyOldPendingFilesOfItsKind)
{
    using namespace std::chrono_literals;
    TemporaryDirectory folder;
    TemporaryDirectory elsewhere;
    const fs::file_time_type now = fs::file_time_type::clock::now();
    const auto writeAged = [&](const fs::path &path, fs::file_time_type::duration age) {
        std::ofstream(path) << path.filename().string();
        fs::last_write_time(path, now - age);
    };
    writeAged(folder / "Talk.pdf.Ab12Cd.tmp", 2min);
    writeAged(folder / "Old talk.pdf.zz99YY.tmp", 24h);
    const std::vector<std::string> kept = {
        ".pdf.Ab12Cd.tmp",
        "Busy.pdf.Ab12Cd.tmp",
        "Folder.pdf.Ab12Cd.tmp",
        "Linked.pdf.Ab12Cd.tmp",
        "Talk.pdf",
        "Talk.pdf.Ab-2Cd.tmp",
        "Talk.pdf.tmp",
        "Talk.png.Ab12Cd.tmp",
    };
    writeAged(folder / ".pdf.Ab12Cd.tmp", 2min);
    writeAged(folder / "Busy.pdf.Ab12Cd.tmp", 10s);
    fs::create_directory(folder / "Folder.pdf.Ab12Cd.tmp");
    writeAged(elsewhere / "notes.pdf", 2min);
    fs::create_symlink(elsewhere / "notes.pdf", folder / "Linked.pdf.Ab12Cd.tmp");
    for (const char *name :
         {"Talk.pdf", "Talk.pdf.Ab-2Cd.tmp", "Talk.pdf.tmp", "Talk.png.Ab12Cd.tmp"}) {
        writeAged(folder / name, 2min);
    }

    sweepAbandonedPendingFiles(folder.path(), ".pdf", now - 1min);

    EXPECT_EQ(namesIn(folder.path()), kept);
    EXPECT_EQ(readFileIfPresent(elsewhere / "notes.pdf").value(), "notes.pdf");
}

TEST(PendingFile, AbandonedLeftoversOfNamedFilesGoOnceAMinuteOld)
{
    using namespace std::chrono_literals;
    TemporaryDirectory data;
    TemporaryDirectory config;
    TemporaryDirectory elsewhere;
    const fs::file_time_type now = fs::file_time_type::clock::now();
    const auto writeAged = [&](const fs::path &path, fs::file_time_type::duration age) {
        std::ofstream(path) << path.filename().string();
        fs::last_write_time(path, now - age);
    };
    writeAged(data / "WhiteboardLibrary.json.Ab12Cd.tmp", 2min);
    writeAged(config / "defaults.json.zz99YY.tmp", 24h);
    const std::vector<std::string> keptData = {
        "Linked.json.Ab12Cd.tmp",
        "Other.json.Ab12Cd.tmp",
        "WhiteboardLibrary.json",
        "WhiteboardLibrary.json.Busy12.tmp",
        "WhiteboardLibrary.json.Folder.tmp",
        "WhiteboardLibrary.json.Linked.tmp",
    };
    writeAged(data / "WhiteboardLibrary.json", 2min);
    writeAged(data / "WhiteboardLibrary.json.Busy12.tmp", 10s);
    writeAged(data / "Other.json.Ab12Cd.tmp", 2min);
    fs::create_directory(data / "WhiteboardLibrary.json.Folder.tmp");
    fs::last_write_time(data / "WhiteboardLibrary.json.Folder.tmp", now - 2min);
    writeAged(elsewhere / "notes.txt", 2min);
    fs::create_symlink(elsewhere / "notes.txt", data / "WhiteboardLibrary.json.Linked.tmp");
    fs::create_symlink(elsewhere / "notes.txt", data / "Linked.json.Ab12Cd.tmp");

    sweepAbandonedLeftovers({data / "WhiteboardLibrary.json", config / "defaults.json"},
                            now - abandonedPendingAge);

    EXPECT_EQ(namesIn(data.path()), keptData);
    EXPECT_TRUE(namesIn(config.path()).empty());
    EXPECT_EQ(readFileIfPresent(elsewhere / "notes.txt").value(), "notes.txt");
}
