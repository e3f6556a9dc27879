// Sessions folders that hold links, leftovers of killed saves, bombs and files built to break
// the readers: the store deletes, reads and sweeps only what is its own.
#include "core/common/files/killed_save.h"
#include "core/sessions/session_store_test_support.h"
#include "fakes/folder_names.h"
#include "sessions/session_exporter.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

namespace zentrel {
namespace {

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::MatchesRegex;
using testing::StartsWith;

// 12 KB of samples that do not compress, so writing the frame out takes more than 4 KB.
std::string noisePng()
{
    PngFixture noise;
    noise.width = 64;
    noise.height = 64;
    noise.samples = [](std::uint32_t x, std::uint32_t y) {
        const std::uint32_t mixed = (x * 2654435761u) ^ (y * 40503u);
        return std::vector<std::uint8_t>{
            std::uint8_t(mixed), std::uint8_t(mixed >> 8), std::uint8_t(mixed >> 16)};
    };
    return noise.encode();
}

class SessionStoreHostileTest : public SessionStoreTest
{
protected:
    fs::path framesOf(const SessionDocument &session) const
    {
        return root() / session.id.text() / "Frames";
    }

    // Puts a link in place of the session's "Frames" folder, to a folder of the user's holding
    // files of the same names.
    fs::path linkFramesElsewhere(const SessionDocument &session)
    {
        const fs::path elsewhere = folder / "Documents";
        fs::create_directories(elsewhere);
        for (const SessionFrame &frame : session.frames) {
            fs::rename(root() / session.id.text() / frame.assetPath,
                       elsewhere / fs::path(frame.assetPath).filename());
        }
        fs::remove(framesOf(session));
        fs::create_directory_symlink(elsewhere, framesOf(session));
        return elsewhere;
    }

    SessionExporter exporter;
};

TEST_F(SessionStoreHostileTest, DeletingAFrameNeverDeletesThroughALink)
{
    const SessionDocument session =
        store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).value();
    const SessionFrame frame = session.frames.front();
    const fs::path elsewhere = linkFramesElsewhere(session);

    const auto updated = store.deleteFrame(session.id, frame.id);
    ASSERT_TRUE(updated.has_value()) << message(updated.error());
    EXPECT_THAT(updated->frames, IsEmpty());
    EXPECT_EQ(readFileIfPresent(elsewhere / (frame.id.text() + ".png")).value(), rgbPng(2, 2));
}

TEST_F(SessionStoreHostileTest, ExportSkipsFramesReachedThroughALink)
{
    SessionDocument session = store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).value();
    session = store.addFrame(rgbPng(3, 3), SessionFrameSource::drawing).value();
    // The first frame's file is a link to a picture of the user's; the second stays the store's.
    const fs::path first = root() / session.id.text() / session.frames[0].assetPath;
    ASSERT_TRUE(writeFileAtomically(folder / "private.png", rgbPng(9, 9)));
    fs::remove(first);
    fs::create_symlink(folder / "private.png", first);

    const auto exported = exporter.exportPNGs(session, store, folder / "out");
    ASSERT_TRUE(exported.has_value()) << message(exported.error());
    EXPECT_THAT(exported->skipped, ElementsAre(session.frames[0].id.text() + ".png"));
    ASSERT_EQ(exported->written.size(), 1u);
    EXPECT_EQ(readFileIfPresent(exported->written[0]).value(), rgbPng(3, 3));

    linkFramesElsewhere(session);
    const auto linkedFolder = exporter.exportPDF(session, store, folder / "out.pdf");
    ASSERT_FALSE(linkedFolder.has_value());
    EXPECT_EQ(message(linkedFolder.error()),
              "The session frame \u201C" + session.frames[0].id.text() + ".png, "
                  + session.frames[1].id.text() + ".png\u201D could not be read.");
}

TEST_F(SessionStoreHostileTest, SweepNeverEntersALinkedRootOrFollowsALink)
{
    const fs::path documents = folder / "Documents";
    ASSERT_TRUE(writeFileAtomically(documents / "draft.tmp", "the user's"));
    const SessionStore linked(folder / "Linked", clock, [] { return numberedUuid(1); });
    fs::create_directory_symlink(documents, linked.rootPath());
    ASSERT_TRUE(linked.listSessions().has_value());
    EXPECT_EQ(readFileIfPresent(documents / "draft.tmp").value(), "the user's");

    writeText("Stray.tmp", "left by a killed save");
    fs::create_symlink(documents / "draft.tmp", root() / "Link.tmp");
    ASSERT_TRUE(store.listSessions().has_value());
    EXPECT_THAT(rootEntries(), ElementsAre("Link.tmp"));
    EXPECT_EQ(readFileIfPresent(documents / "draft.tmp").value(), "the user's");
}

TEST_F(SessionStoreHostileTest, AKilledFrameSaveLeavesNothingAfterTheNextOperation)
{
    const SessionDocument session =
        store.addFrame(rgbPng(2, 2), SessionFrameSource::freeze).value();
    killDuringSave(framesOf(session) / "Killed.png");
    killDuringSave(root() / session.id.text() / "Session.json");
    ASSERT_TRUE(store.listSessions().has_value());
    EXPECT_THAT(namesIn(framesOf(session)), ElementsAre(session.frames.front().id.text() + ".png"));
    EXPECT_THAT(namesIn(root() / session.id.text()), ElementsAre("Frames", "Session.json"));
    EXPECT_EQ(store.loadSession(session.id).value(), session);
}

TEST_F(SessionStoreHostileTest, AKilledPdfExportLeavesNoPartialFile)
{
    const int unnamed = ::open(folder.path().c_str(), O_TMPFILE | O_WRONLY, 0600);
    if (unnamed < 0) {
        GTEST_SKIP() << "the temporary folder's file system cannot hold unnamed files";
    }
    ::close(unnamed);
    const SessionDocument session = store.addFrame(noisePng(), SessionFrameSource::freeze).value();
    fs::create_directories(folder / "out");
    killWhileWriting(
        [&] { (void)exporter.exportPDF(session, store, folder / "out" / "Talk.pdf"); });
    EXPECT_THAT(namesIn(folder / "out"), IsEmpty());
}

TEST_F(SessionStoreHostileTest, ExportsSweepWhatKilledExportsLeftWhereFilesCannotBeUnnamed)
{
    const SessionDocument session = store.addFrame(noisePng(), SessionFrameSource::freeze).value();
    const fs::path out = folder / "out";
    fs::create_directories(out);
    killWhileWriting([&] {
        forbidUnnamedFiles();
        (void)exporter.exportPDF(session, store, out / "Talk.pdf");
    });
    killWhileWriting([&] {
        forbidUnnamedFiles();
        (void)exporter.exportPNGs(session, store, out);
    });
    const std::string pngLeftover = R"(001-freeze-.*\.png\.[A-Za-z0-9]{6}\.tmp)";
    const std::string pdfLeftover = R"(Talk\.pdf\.[A-Za-z0-9]{6}\.tmp)";
    ASSERT_THAT(namesIn(out), ElementsAre(MatchesRegex(pngLeftover), MatchesRegex(pdfLeftover)));
    for (const std::string &name : namesIn(out)) {
        fs::last_write_time(out / name, fs::file_time_type::clock::now() - std::chrono::minutes(2));
    }
    // Another export into the folder may be writing this one right now.
    std::ofstream(out / "Busy.pdf.Ab12Cd.tmp") << "being written";

    ASSERT_TRUE(exporter.exportPDF(session, store, out / "Other.pdf").has_value());
    EXPECT_THAT(namesIn(out),
                ElementsAre(MatchesRegex(pngLeftover), "Busy.pdf.Ab12Cd.tmp", "Other.pdf"));
    const auto pngs = exporter.exportPNGs(session, store, out);
    ASSERT_TRUE(pngs.has_value());
    EXPECT_THAT(
        namesIn(out),
        ElementsAre(pngs->written.front().filename().string(), "Busy.pdf.Ab12Cd.tmp", "Other.pdf"));
}

TEST_F(SessionStoreHostileTest, ManifestsNestedTooDeeplyOrOutOfRangeAreSetAside)
{
    nlohmann::json deep = nlohmann::json::parse(manifestOf(numberedUuid(41)));
    deep["notes"] = nlohmann::json::parse(std::string(5000, '[') + std::string(5000, ']'));
    writeText(numberedUuid(41).text() + "/Session.json", deep.dump());
    nlohmann::json future = nlohmann::json::parse(manifestOf(numberedUuid(42)));
    future["createdAt"] = "2300-01-01T00:00:00Z";
    writeText(numberedUuid(42).text() + "/Session.json", future.dump());
    writeText(numberedUuid(43).text() + "/Session.json", manifestOf(numberedUuid(43)));

    const auto sessions = store.listSessions();
    ASSERT_TRUE(sessions.has_value());
    ASSERT_EQ(sessions->size(), 1u);
    EXPECT_EQ(sessions->front().id, numberedUuid(43));
    // Set aside under the system clock's seconds, kept as they were.
    EXPECT_THAT(rootEntries(),
                ElementsAre(StartsWith(numberedUuid(41).text() + ".corrupt-"),
                            StartsWith(numberedUuid(42).text() + ".corrupt-"),
                            numberedUuid(43).text()));
}

TEST_F(SessionStoreHostileTest, ABombFrameIsRefusedWhenAddedAndWhenExported)
{
    // One row past the bound: 33 MB of pixels in about 33 KB of file.
    const std::string bomb = blankGreyPng(8192, 4097);
    const auto refused = store.addFrame(bomb, SessionFrameSource::whiteboard);
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(message(refused.error()), "The rendered frame is not a valid PNG image.");

    // One planted behind the store's back is an unreadable frame to either export.
    const SessionDocument session =
        store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).value();
    ASSERT_TRUE(
        writeFileAtomically(root() / session.id.text() / session.frames[0].assetPath, bomb));
    const std::string unreadable =
        "The session frame \u201C" + session.frames[0].id.text() + ".png\u201D could not be read.";
    for (const auto &result : {exporter.exportPNGs(session, store, folder / "out"),
                               exporter.exportPDF(session, store, folder / "out.pdf")}) {
        ASSERT_FALSE(result.has_value());
        EXPECT_EQ(message(result.error()), unreadable);
    }
    EXPECT_FALSE(fs::exists(folder / "out.pdf"));
}

TEST_F(SessionStoreHostileTest, AFailedPngExportRemovesOnlyTheFilesItAdded)
{
    SessionDocument session;
    for (int size : {2, 3, 4}) {
        session = store.addFrame(rgbPng(size, size), SessionFrameSource::freeze).value();
    }
    const auto name = [&](int position) {
        return "00" + std::to_string(position) + "-freeze-" + session.frames[position - 1].id.text()
               + ".png";
    };
    // An earlier export's first file, and a folder where the third file would go.
    ASSERT_TRUE(writeFileAtomically(folder / "out" / name(1), rgbPng(2, 2)));
    fs::create_directories(folder / "out" / name(3));

    const auto failed = exporter.exportPNGs(session, store, folder / "out");
    ASSERT_FALSE(failed.has_value());
    EXPECT_THAT(namesIn(folder / "out"), ElementsAre(name(1), name(3)));
}

} // namespace
} // namespace zentrel
