#include "core/sessions/session_store_test_support.h"

#include <gmock/gmock.h>

namespace zentrel {
namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;
using testing::StartsWith;

TEST_F(SessionStoreTest, FirstFrameMakesAnUntitledActiveSessionWithItsPng)
{
    clock.advance(250ms); // dates are kept to the second, in memory as on disk
    const std::string png = rgbPng(7, 5);
    const auto document = store.addFrame(png, SessionFrameSource::freeze);
    ASSERT_TRUE(document.has_value()) << message(document.error());

    EXPECT_EQ(document->title, "Untitled Session");
    ASSERT_EQ(document->frames.size(), 1u);
    const SessionFrame &frame = document->frames.front();
    EXPECT_EQ(frame.assetPath, "Frames/" + frame.id.text() + ".png");
    EXPECT_EQ(frame.capturedAt, document->updatedAt);
    EXPECT_EQ(frame.capturedAt, Timestamp{} + 1767225600s);
    EXPECT_EQ(frame.pixelWidth, 7);
    EXPECT_EQ(frame.pixelHeight, 5);
    EXPECT_EQ(readFileIfPresent(root() / document->id.text() / frame.assetPath).value(), png);
    EXPECT_EQ(store.loadSession(document->id).value(), *document);
    EXPECT_EQ(store.activeSessionID().value(), document->id);

    const auto second = store.addFrame(png, SessionFrameSource::drawing);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->id, document->id) << "the active session takes the next frame";
    EXPECT_EQ(second->frames.size(), 2u);
}

TEST_F(SessionStoreTest, NotAPngIsRefusedBeforeAnythingIsWritten)
{
    std::string damaged = rgbPng(4, 4);
    damaged.resize(damaged.size() - 30);
    for (const std::string &bytes : {std::string("GIF89a"), damaged}) {
        const auto refused = store.addFrame(bytes, SessionFrameSource::drawing);
        ASSERT_FALSE(refused.has_value());
        EXPECT_EQ(message(refused.error()), "The rendered frame is not a valid PNG image.");
    }
    EXPECT_FALSE(std::filesystem::exists(root()));
}

TEST_F(SessionStoreTest, TitlesAreTrimmedAndBlankOnesRefused)
{
    EXPECT_EQ(store.createSession("  \tTalk\n ").value().title, "Talk");
    const auto refused = store.createSession(" \n\t\u3000");
    ASSERT_FALSE(refused.has_value());
    EXPECT_EQ(message(refused.error()), "The session title cannot be empty.");

    // Pasted titles bring Unicode blanks along: NEL, no-break, em, narrow no-break and
    // mathematical spaces, the line separator.
    EXPECT_EQ(
        SessionStore::validatedTitle("\u0085\u00A0\u2003Talk \u00A0Two\u202F\u205F\u2028").value(),
        "Talk \u00A0Two");
    // Malformed bytes are kept, never taken for a blank or read past.
    for (const std::string title : {"\xE2\x80", "\xE2\x80\x41", "\xC0\xA0"}) {
        EXPECT_EQ(SessionStore::validatedTitle(title).value(), title);
    }
}

TEST_F(SessionStoreTest, ListsNewestChangeFirstThenNewestCreation)
{
    writeText(numberedUuid(50).text() + "/Session.json", manifestOf(numberedUuid(50)));
    clock.advance(10s);
    writeText(numberedUuid(51).text() + "/Session.json", manifestOf(numberedUuid(51)));
    clock.advance(10s);
    const Uuid newest = store.createSession("Newest").value().id;
    const auto sessions = store.listSessions();
    ASSERT_TRUE(sessions.has_value());
    ASSERT_EQ(sessions->size(), 3u);
    EXPECT_EQ((*sessions)[0].id, newest);
    EXPECT_EQ((*sessions)[1].id, numberedUuid(51));
    EXPECT_EQ((*sessions)[2].id, numberedUuid(50));
}

TEST_F(SessionStoreTest, OnlyUndecodableManifestsAreSetAsideAndOnlyOnce)
{
    const std::string broken = numberedUuid(60).text();
    const std::string newer = numberedUuid(61).text();
    const std::string minusOne = numberedUuid(62).text();
    writeText(broken + "/Session.json", "{ not json");
    writeText(newer + "/Session.json", manifestOf(numberedUuid(61), 2));
    writeText(minusOne + "/Session.json", manifestOf(numberedUuid(62), -1));
    writeText("Plain folder/notes.txt", "kept");

    ASSERT_TRUE(store.listSessions().value().empty());
    const std::vector<std::string> afterFirst = rootEntries();
    EXPECT_EQ(afterFirst.size(), 4u);
    EXPECT_THAT(afterFirst[0], StartsWith(numberedUuid(60).text() + ".corrupt-"));
    EXPECT_EQ(afterFirst[1], newer) << "a newer version waits for a newer program";
    EXPECT_THAT(afterFirst[2], StartsWith(minusOne + ".corrupt-"));
    EXPECT_EQ(afterFirst[3], "Plain folder");

    const auto load = store.loadSession(numberedUuid(61));
    ASSERT_FALSE(load.has_value());
    EXPECT_EQ(message(load.error()), "Session version 2 is not supported.");
    ASSERT_TRUE(store.listSessions().has_value());
    EXPECT_EQ(rootEntries(), afterFirst) << "a folder set aside is never renamed again";
}

TEST_F(SessionStoreTest, OlderManifestIsUpgradedInPlace)
{
    nlohmann::json legacy = nlohmann::json::parse(manifestOf(numberedUuid(70), 1, 1));
    legacy.erase("version");
    legacy.erase("updatedAt");
    writeText(numberedUuid(70).text() + "/Session.json", legacy.dump());
    const auto loaded = store.loadSession(numberedUuid(70));
    ASSERT_TRUE(loaded.has_value()) << message(loaded.error());
    EXPECT_EQ(loaded->version, 1);
    EXPECT_EQ(loaded->updatedAt, loaded->createdAt);
    const std::string rewritten =
        readFileIfPresent(root() / numberedUuid(70).text() / "Session.json").value().value();
    EXPECT_EQ(rewritten, encodeSessionDocument(*loaded));
}

TEST_F(SessionStoreTest, LegacyCurrentFolderMovesUnderItsIdentifierAndBecomesActive)
{
    writeText("Current/Session.json", manifestOf(numberedUuid(80), 0, 1));
    writeText("Current/Frames/" + numberedUuid(900).text() + ".png", rgbPng(4, 3));
    const auto sessions = store.listSessions();
    ASSERT_TRUE(sessions.has_value());
    ASSERT_EQ(sessions->size(), 1u);
    EXPECT_EQ(sessions->front().id, numberedUuid(80));
    EXPECT_TRUE(std::filesystem::exists(root() / numberedUuid(80).text() / "Frames"));
    EXPECT_FALSE(std::filesystem::exists(root() / "Current"));
    EXPECT_EQ(store.activeSessionID().value(), numberedUuid(80));
}

TEST_F(SessionStoreTest, LegacySessionWithATakenIdentifierGetsAFreshOne)
{
    writeText(numberedUuid(81).text() + "/Session.json", manifestOf(numberedUuid(81)));
    writeText("Current/Session.json", manifestOf(numberedUuid(81), 0, 1));
    const auto sessions = store.listSessions();
    ASSERT_TRUE(sessions.has_value());
    ASSERT_EQ(sessions->size(), 2u);
    EXPECT_NE((*sessions)[0].id, (*sessions)[1].id);
    const Uuid fresh =
        (*sessions)[0].id == numberedUuid(81) ? (*sessions)[1].id : (*sessions)[0].id;
    EXPECT_EQ(store.loadSession(fresh).value().frames.size(), 1u);

    ASSERT_TRUE(store.deleteSession(fresh).has_value());
    EXPECT_TRUE(store.loadSession(numberedUuid(81)).has_value())
        << "deleting the migrated session left the other alone";
}

TEST_F(SessionStoreTest, UnreadableCurrentManifestGoesAsideAndFramesStillArrive)
{
    writeText("Current/Session.json", "[broken");
    const auto document = store.addFrame(rgbPng(3, 3), SessionFrameSource::drawing);
    ASSERT_TRUE(document.has_value()) << message(document.error());
    const std::vector<std::string> entries = rootEntries();
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [](const std::string &name) {
        return name.starts_with("Current.corrupt-");
    }));
}

TEST_F(SessionStoreTest, UnreadablePointerGoesAsideAndTheNewestSessionBecomesActive)
{
    const Uuid older = store.createSession("Older").value().id;
    clock.advance(5s);
    const Uuid newer = store.createSession("Newer").value().id;
    ASSERT_TRUE(store.writeActivePointer(older).has_value());
    writeText("ActiveSession.json", "not json");
    ASSERT_EQ(store.listSessions().value().size(), 2u);
    EXPECT_EQ(store.activeSessionID().value(), newer);
    const auto document = store.addFrame(rgbPng(3, 3), SessionFrameSource::drawing);
    ASSERT_TRUE(document.has_value()) << message(document.error());
    EXPECT_EQ(document->id, newer);
}

TEST_F(SessionStoreTest, PointerToAMissingSessionMovesToTheNewest)
{
    EXPECT_EQ(store.activeSessionID().value(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(root() / "ActiveSession.json"));
    const Uuid only = store.createSession("Only").value().id;
    writeText("ActiveSession.json", encodeActiveSession(numberedUuid(99)));
    EXPECT_EQ(store.activeSessionID().value(), only);
}

TEST_F(SessionStoreTest, DeletingSessionsMovesOrRemovesThePointer)
{
    const Uuid first = store.createSession("First").value().id;
    clock.advance(5s);
    const Uuid second = store.createSession("Second").value().id;
    clock.advance(5s);
    const Uuid third = store.createSession("Third").value().id;

    ASSERT_TRUE(store.deleteSession(first).has_value());
    EXPECT_EQ(store.activeSessionID().value(), third) << "another session's deletion";
    ASSERT_TRUE(store.deleteSession(third).has_value());
    EXPECT_EQ(store.activeSessionID().value(), second);
    ASSERT_TRUE(store.deleteSession(second).has_value());
    EXPECT_FALSE(std::filesystem::exists(root() / "ActiveSession.json"));
    const auto missing = store.deleteSession(second);
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(message(missing.error()), "The session could not be found.");
}

TEST_F(SessionStoreTest, SaveAndCloseStartsANewSessionOnlyForTheActiveOne)
{
    const Uuid first = store.createSession("First").value().id;
    const Uuid second = store.createSession("Second").value().id;
    EXPECT_EQ(store.saveAndCloseSession(first).value(), std::nullopt);
    EXPECT_EQ(store.activeSessionID().value(), second);
    const auto started = store.saveAndCloseSession(second);
    ASSERT_TRUE(started.has_value() && started->has_value());
    EXPECT_EQ((*started)->title, "Untitled Session");
    EXPECT_TRUE((*started)->frames.empty());
    EXPECT_EQ(store.activeSessionID().value(), (*started)->id);
}

TEST_F(SessionStoreTest, DeletingAFrameRemovesEntryThenFile)
{
    ASSERT_TRUE(store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).has_value());
    const SessionDocument document =
        store.addFrame(rgbPng(3, 3), SessionFrameSource::freeze).value();
    const SessionFrame gone = document.frames.front();
    const auto missing = store.deleteFrame(document.id, numberedUuid(999));
    ASSERT_FALSE(missing.has_value());
    EXPECT_EQ(message(missing.error()), "The session frame could not be found.");

    const auto updated = store.deleteFrame(document.id, gone.id);
    ASSERT_TRUE(updated.has_value());
    EXPECT_EQ(updated->frames.size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(*store.frameFile(document.id, gone)));
    EXPECT_TRUE(std::filesystem::exists(*store.frameFile(document.id, updated->frames[0])));
}

TEST_F(SessionStoreTest, AssetPathsNeverLeaveTheSessionFolder)
{
    SessionFrame frame;
    frame.assetPath = "../../outside.png";
    EXPECT_FALSE(store.frameFile(numberedUuid(1), frame).has_value());
    frame.assetPath = "/etc/passwd";
    EXPECT_FALSE(store.frameFile(numberedUuid(1), frame).has_value());
    frame.assetPath = "Frames/x.png";
    EXPECT_EQ(store.frameFile(numberedUuid(1), frame).value(),
              root() / numberedUuid(1).text() / "Frames/x.png");
}

TEST_F(SessionStoreTest, SweepRemovesTmpFilesButNotHiddenOnesOrFolders)
{
    writeText("a.tmp", "x");
    writeText("Deep/Er/B.TMP", "x");
    writeText(".hidden.tmp", "x");
    writeText("Folder.tmp/keep.txt", "x");
    std::filesystem::create_symlink(root() / "nowhere", root() / "dangling");
    ASSERT_TRUE(store.listSessions().has_value());
    EXPECT_FALSE(std::filesystem::exists(root() / "a.tmp"));
    EXPECT_FALSE(std::filesystem::exists(root() / "Deep/Er/B.TMP"));
    EXPECT_TRUE(std::filesystem::exists(root() / ".hidden.tmp"));
    EXPECT_TRUE(std::filesystem::exists(root() / "Folder.tmp/keep.txt"));
}

} // namespace
} // namespace zentrel
