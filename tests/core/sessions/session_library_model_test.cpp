#include "sessions/session_library_model.h"

#include "core/sessions/session_store_test_support.h"

#include <gmock/gmock.h>

namespace zentrel {
namespace {

using namespace std::chrono_literals;
using testing::ElementsAre;

class SessionLibraryModelTest : public SessionStoreTest
{
protected:
    std::vector<Uuid> frameIDs(const Uuid &session) const
    {
        std::vector<Uuid> ids;
        const SessionDocument document = store.loadSession(session).value();
        for (const SessionFrame &frame : document.frames) {
            ids.push_back(frame.id);
        }
        return ids;
    }
};

TEST_F(SessionLibraryModelTest, FreshInstallListsNothingAndNewSessionIsSelectedAndActive)
{
    SessionLibraryModel model(store);
    EXPECT_TRUE(model.sessions().empty());
    EXPECT_EQ(model.selectedSessionID(), std::nullopt);

    model.createSession();
    ASSERT_EQ(model.sessions().size(), 1u);
    EXPECT_EQ(model.selectedSession()->title, "Untitled Session");
    EXPECT_EQ(model.selectedSessionID(), store.activeSessionID().value());
    EXPECT_EQ(model.errorMessage(), std::nullopt);
}

TEST_F(SessionLibraryModelTest, ReloadSelectsTheActiveSessionWhenTheSelectedOneIsGone)
{
    const Uuid first = store.createSession("First").value().id;
    clock.advance(1s);
    const Uuid second = store.createSession("Second").value().id;
    SessionLibraryModel model(store);
    EXPECT_EQ(model.selectedSessionID(), second);
    model.selectSession(first);
    model.selectSession(std::nullopt);
    EXPECT_EQ(model.selectedSessionID(), first);
    ASSERT_TRUE(store.deleteSession(first).has_value());
    model.reload();
    EXPECT_EQ(model.selectedSessionID(), second);
}

TEST_F(SessionLibraryModelTest, RenameRefusesBlankTitlesAndKeepsTheOldOne)
{
    store.createSession("Keynote").value();
    SessionLibraryModel model(store);
    model.renameSession("   ");
    EXPECT_EQ(model.errorMessage(), "The session title cannot be empty.");
    EXPECT_EQ(model.selectedSession()->title, "Keynote");
    model.renameSession(" Q3 review ");
    EXPECT_EQ(model.errorMessage(), std::nullopt);
    EXPECT_EQ(model.selectedSession()->title, "Q3 review");
}

TEST_F(SessionLibraryModelTest, SaveAndCloseStartsANewSessionOnlyForTheActiveOne)
{
    const Uuid older = store.createSession("Older").value().id;
    const Uuid active = store.createSession("Active").value().id;
    SessionLibraryModel model(store);
    model.selectSession(older);
    model.saveAndClose("Older, renamed");
    EXPECT_EQ(model.selectedSessionID(), older);
    EXPECT_EQ(model.sessions().size(), 2u);

    model.selectSession(active);
    model.saveAndClose("Done");
    EXPECT_EQ(model.sessions().size(), 3u);
    EXPECT_EQ(model.selectedSession()->title, "Untitled Session");
    EXPECT_EQ(store.loadSession(active).value().title, "Done");
}

TEST_F(SessionLibraryModelTest, MovingFramesReordersTheManifest)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).has_value());
    }
    SessionLibraryModel model(store);
    const Uuid session = *model.selectedSessionID();
    const std::vector<Uuid> abc = frameIDs(session);
    const Uuid a = abc[0];
    const Uuid b = abc[1];
    const Uuid c = abc[2];

    model.moveFrames({0}, 3);
    EXPECT_THAT(frameIDs(session), ElementsAre(b, c, a));
    model.moveFrames({2}, 0);
    EXPECT_THAT(frameIDs(session), ElementsAre(a, b, c));
    model.moveFrames({0, 1}, 99);
    EXPECT_THAT(frameIDs(session), ElementsAre(c, a, b));
}

TEST_F(SessionLibraryModelTest, ReorderKeepsAFrameAddedMeanwhileAtTheEnd)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).has_value());
    }
    SessionLibraryModel model(store);
    const Uuid session = *model.selectedSessionID();
    const std::vector<Uuid> abc = frameIDs(session);
    // Another window of the program saves a frame the model has not seen yet.
    const Uuid added =
        store.addFrame(rgbPng(2, 2), SessionFrameSource::freeze).value().frames.back().id;

    model.moveFrames({0}, 3);
    EXPECT_THAT(frameIDs(session), ElementsAre(abc[1], abc[2], abc[0], added));
}

TEST_F(SessionLibraryModelTest, ReorderWithAFrameDeletedMeanwhileChangesNothing)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).has_value());
    }
    SessionLibraryModel model(store);
    const Uuid session = *model.selectedSessionID();
    const std::vector<Uuid> before = frameIDs(session);
    ASSERT_TRUE(store.deleteFrame(session, before[2]).has_value());
    model.moveFrames({2}, 0);
    EXPECT_EQ(model.errorMessage(), "The session frame could not be found.");
    EXPECT_THAT(frameIDs(session), ElementsAre(before[0], before[1]));
}

TEST_F(SessionLibraryModelTest, ExportReportsSkippedFramesAndClosesTheActiveSession)
{
    for (int i = 0; i < 3; ++i) {
        ASSERT_TRUE(store.addFrame(rgbPng(2, 2), SessionFrameSource::drawing).has_value());
    }
    SessionLibraryModel model(store);
    const SessionDocument exported = *model.selectedSession();
    std::filesystem::remove(*store.frameFile(exported.id, exported.frames[0]));
    std::filesystem::remove(*store.frameFile(exported.id, exported.frames[2]));

    model.exportPNGs(folder / "out");
    EXPECT_EQ(model.errorMessage(),
              "Export completed, but skipped unreadable frames: " + exported.frames[0].id.text()
                  + ".png, " + exported.frames[2].id.text() + ".png.");
    EXPECT_EQ(model.selectedSessionID(), exported.id) << "the exported session stays selected";
    EXPECT_NE(store.activeSessionID().value(), exported.id);
    EXPECT_EQ(model.sessions().size(), 2u);
}

TEST_F(SessionLibraryModelTest, ExportWithoutSelectionLeavesTheMessage)
{
    SessionLibraryModel model(store);
    model.renameSession("x"); // no selection: nothing happens
    model.exportPDF(folder / "none.pdf");
    EXPECT_EQ(model.errorMessage(), std::nullopt);
    EXPECT_FALSE(std::filesystem::exists(folder / "none.pdf"));
}

TEST(SanitizedSessionFileName, ReplacesSeparatorsTrimsAndFallsBack)
{
    EXPECT_EQ(sanitizedSessionFileName("//::"), "Zentrel Session");
    EXPECT_EQ(sanitizedSessionFileName("/a//b:"), "a-b");
    EXPECT_EQ(sanitizedSessionFileName("Talk: part/2"), "Talk- part-2");
    EXPECT_EQ(sanitizedSessionFileName("  Notes\nmore  "), "Notes-more");
    EXPECT_EQ(sanitizedSessionFileName("a\r\nb"), "a-b");
    EXPECT_EQ(sanitizedSessionFileName(""), "Zentrel Session");
}

} // namespace
} // namespace zentrel
