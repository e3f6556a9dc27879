#pragma once

#include "common/files/atomic_file.h"
#include "core/sessions/png_fixture.h"
#include "fakes/fake_clock.h"
#include "fakes/temporary_directory.h"
#include "sessions/session_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace zentrel {

inline Uuid numberedUuid(int number)
{
    char text[40];
    std::snprintf(text, sizeof text, "00000000-0000-4000-8000-%012d", number);
    return *Uuid::parse(text);
}

// A store on a fresh folder, a clock that moves only when told, and identifiers 1, 2, 3, …
class SessionStoreTest : public testing::Test
{
protected:
    SessionStoreTest()
        : clock(Timestamp{} + std::chrono::seconds(1767225600))
        , store(folder / "Sessions", clock, [this] { return numberedUuid(++m_lastID); })
    {}

    std::filesystem::path root() const { return store.rootPath(); }

    void writeText(const std::filesystem::path &relative, const std::string &text) const
    {
        ASSERT_TRUE(writeFileAtomically(root() / relative, text).has_value());
    }

    std::vector<std::string> rootEntries() const
    {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto &entry : std::filesystem::directory_iterator(root(), ec)) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string manifestOf(const Uuid &id, std::int64_t version = 1, int frames = 0) const
    {
        SessionDocument document;
        document.version = version;
        document.id = id;
        document.title = "Session " + id.text().substr(30);
        document.createdAt = clock.now();
        document.updatedAt = clock.now();
        for (int i = 0; i < frames; ++i) {
            const Uuid frameID = numberedUuid(900 + i);
            document.frames.push_back(SessionFrame{frameID,
                                                   SessionFrameSource::drawing,
                                                   clock.now(),
                                                   "Frames/" + frameID.text() + ".png",
                                                   4,
                                                   3});
        }
        return encodeSessionDocument(document);
    }

    TemporaryDirectory folder;
    FakeClock clock;
    SessionStore store;

private:
    int m_lastID = 0;
};

} // namespace zentrel
