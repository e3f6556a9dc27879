#include "common/files/atomic_file.h"

#include "fakes/temporary_directory.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace zentrel;
namespace fs = std::filesystem;

namespace {

std::string contentsOf(const fs::path &path)
{
    std::ifstream stream(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(stream), std::istreambuf_iterator<char>()};
}

const std::chrono::system_clock::time_point someTime{std::chrono::seconds{1797713446}};

} // namespace

TEST(AtomicFileWrite, ReplacesTheWholeFileAndLeavesNothingElseBehind)
{
    TemporaryDirectory folder;
    const auto file = folder / "a" / "b" / "settings.json";
    ASSERT_TRUE(writeFileAtomically(file, "a much longer first version"));
    ASSERT_TRUE(writeFileAtomically(file, std::string("short\0bin", 9)));
    EXPECT_EQ(contentsOf(file), std::string("short\0bin", 9));
    ASSERT_TRUE(writeFileAtomically(file, ""));
    EXPECT_EQ(contentsOf(file), "");
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              1);
}

TEST(AtomicFileWrite, FailsWhenTheParentIsARegularFile)
{
    TemporaryDirectory folder;
    std::ofstream(folder / "blocker") << "x";
    const auto result = writeFileAtomically(folder / "blocker" / "c.txt", "data");
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error().kind, FileError::Kind::writeFailed);
    EXPECT_EQ(contentsOf(folder / "blocker"), "x");
}

TEST(AtomicFileWriter, WritesAsItGoesAndReplacesTheFileOnlyOnCommit)
{
    TemporaryDirectory folder;
    const auto file = folder / "a" / "library.json";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    std::string expected;
    {
        auto writer = AtomicFileWriter::create(file);
        ASSERT_TRUE(writer);
        for (int piece = 0; piece < 300; ++piece) {
            const std::string line = std::string(10'000, char('a' + piece % 26)) + '\n';
            writer->text() += line;
            expected += line;
            writer->pause();
        }
        // Most of it has gone to the pending file already.
        EXPECT_LT(writer->text().size(), expected.size() / 2);
        EXPECT_EQ(contentsOf(file), "old");
    }
    EXPECT_EQ(contentsOf(file), "old");
    auto writer = AtomicFileWriter::create(file);
    ASSERT_TRUE(writer);
    writer->text() = expected;
    writer->pause();
    ASSERT_TRUE(writer->commit());
    EXPECT_EQ(contentsOf(file), expected);
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()),
              1);
}

TEST(AtomicFileWriter, AWriteThatFailsMidwayLeavesTheOldFile)
{
    TemporaryDirectory folder;
    const auto file = folder / "library.json";
    ASSERT_TRUE(writeFileAtomically(file, "old"));
    // Files may grow to 1 MiB only; past that a write fails as on a full disk.
    rlimit limit{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
    const rlimit before = limit;
    limit.rlim_cur = 1 << 20;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    auto writer = AtomicFileWriter::create(file);
    ASSERT_TRUE(writer);
    for (int piece = 0; piece < 5; ++piece) {
        writer->text() += std::string(1 << 20, 'x');
        writer->pause();
    }
    const auto committed = writer->commit();
    setrlimit(RLIMIT_FSIZE, &before);
    std::signal(SIGXFSZ, oldHandler);
    ASSERT_FALSE(committed);
    EXPECT_EQ(committed.error().kind, FileError::Kind::writeFailed);
    EXPECT_EQ(committed.error().path, file);
    EXPECT_EQ(contentsOf(file), "old");
}

TEST(AtomicFileRead, GivesTheContentsOrNothingWhenAbsent)
{
    TemporaryDirectory folder;
    EXPECT_EQ(readFileIfPresent(folder / "missing").value(), std::nullopt);
    std::ofstream(folder / "present", std::ios::binary) << std::string("x\0y\n", 4);
    EXPECT_EQ(readFileIfPresent(folder / "present").value(), std::string("x\0y\n", 4));
    std::ofstream(folder / "empty", std::ios::binary).flush();
    EXPECT_EQ(readFileIfPresent(folder / "empty").value(), std::string());
    // Far larger than one read, and not a whole number of them.
    std::string large(300'007, 'a');
    for (std::size_t i = 0; i < large.size(); i += 997) {
        large[i] = static_cast<char>(i % 251);
    }
    std::ofstream(folder / "large", std::ios::binary) << large;
    EXPECT_EQ(readFileIfPresent(folder / "large").value(), large);
}

TEST(AtomicFileRead, FailsOnAFolder)
{
    TemporaryDirectory folder;
    fs::create_directory(folder / "sub");
    const auto result = readFileIfPresent(folder / "sub");
    ASSERT_FALSE(result) << "read as \"" << result->value_or("(absent)") << "\"";
    EXPECT_EQ(result.error().kind, FileError::Kind::readFailed);
}

TEST(AtomicFileSetAside, KeepsEarlierSetAsidesOfTheSameSecond)
{
    TemporaryDirectory folder;
    std::ofstream(folder / "board") << "first";
    const auto first = setAsideCorrupt(folder / "board", someTime + std::chrono::milliseconds{900});
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, folder / "board.corrupt-1797713446");
    EXPECT_FALSE(fs::exists(folder / "board"));

    std::ofstream(folder / "board") << "second";
    const auto second = setAsideCorrupt(folder / "board", someTime);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->parent_path(), folder.path());
    EXPECT_TRUE(second->filename().string().starts_with("board.corrupt-"));
    EXPECT_EQ(contentsOf(*first), "first");
    EXPECT_EQ(contentsOf(*second), "second");
}

TEST(AtomicFileSetAside, MovesFoldersAndFailsOnNothing)
{
    TemporaryDirectory folder;
    fs::create_directories(folder / "board.package" / "assets");
    const auto moved = setAsideCorrupt(folder / "board.package", someTime);
    ASSERT_TRUE(moved);
    EXPECT_TRUE(fs::is_directory(*moved / "assets"));
    const auto missing = setAsideCorrupt(folder / "missing", someTime);
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().kind, FileError::Kind::moveFailed);
}
