#pragma once

#include "common/clock.h"
#include "common/files/file_error.h"
#include "common/uuid.h"
#include "sessions/session_document.h"
#include "sessions/session_store_error.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

inline constexpr std::string_view activeSessionFileName = "ActiveSession.json";
inline constexpr std::string_view sessionManifestFileName = "Session.json";
inline constexpr std::string_view legacySessionFolderName = "Current";
inline constexpr std::string_view untitledSessionTitle = "Untitled Session";

// Sessions as plain files under one root: a folder per session with its manifest and its
// "Frames", and "ActiveSession.json" naming the session that receives new frames. Every call goes
// to the disk and nothing is cached, so stores on the same root see each other's changes. The
// clock must outlive the store; copies share it.
class SessionStore
{
public:
    using IdMaker = std::function<Uuid()>;

    SessionStore(std::filesystem::path root, const Clock &clock, IdMaker makeID);

    const std::filesystem::path &rootPath() const { return m_root; }

    // Whole seconds, as the manifests store dates, so a document reads back equal.
    Timestamp now() const;

    // Readable sessions, the latest changed first (then the latest created).
    SessionStoreResult<std::vector<SessionDocument>> listSessions() const;
    SessionStoreResult<std::optional<Uuid>> activeSessionID() const;
    SessionStoreResult<SessionDocument> ensureActiveSession() const;
    SessionStoreResult<SessionDocument> createSession(std::string_view title) const;
    SessionStoreResult<SessionDocument> loadSession(const Uuid &id) const;
    SessionStoreResult<void> saveManifest(const SessionDocument &document) const;
    SessionStoreResult<void> writeActivePointer(const Uuid &id) const;
    // Stores the PNG unchanged as a new frame of the active session, making one when none is.
    SessionStoreResult<SessionDocument> addFrame(std::string_view png,
                                                 SessionFrameSource source) const;
    SessionStoreResult<SessionDocument> deleteFrame(const Uuid &sessionID,
                                                    const Uuid &frameID) const;
    SessionStoreResult<void> deleteSession(const Uuid &id) const;
    // When `id` is the active session, starts a new "Untitled Session" and returns it.
    SessionStoreResult<std::optional<SessionDocument>> saveAndCloseSession(const Uuid &id) const;

    // Trimmed; empty after trimming is refused.
    static SessionStoreResult<std::string> validatedTitle(std::string_view title);

    std::filesystem::path sessionFolder(const Uuid &id) const;
    // Where the frame's image lies; nothing for an asset path that would leave the session
    // folder, which the store never writes and never follows.
    std::optional<std::filesystem::path> frameFile(const Uuid &sessionID,
                                                   const SessionFrame &frame) const;
    // The frame image's bytes, reached without following a symbolic link below the root, so a
    // link placed in a session never hands out a file from elsewhere.
    tl::expected<std::string, FileError> readFrame(const Uuid &sessionID,
                                                   const SessionFrame &frame) const;

private:
    // The frame's image relative to the root, or nothing for an asset path leaving its session.
    std::optional<std::filesystem::path> frameInRoot(const Uuid &sessionID,
                                                     const SessionFrame &frame) const;

    // Operations call one another; the folder tree is tidied (legacy layout migrated, temporary
    // files swept) once per outermost operation, by whichever step asks first.
    class Operation
    {
    public:
        explicit Operation(const SessionStore &store)
            : m_store(store)
        {
            ++m_store.m_operationDepth;
        }

        ~Operation()
        {
            if (--m_store.m_operationDepth == 0) {
                m_store.m_isTidied = false;
            }
        }

        Operation(const Operation &) = delete;
        Operation &operator=(const Operation &) = delete;

    private:
        const SessionStore &m_store;
    };

    SessionStoreResult<void> migrateLegacyLayout() const;
    SessionStoreResult<void> moveLegacySession(SessionDocument document) const;
    void sweepTemporaryFiles() const;
    SessionStoreResult<SessionDocument> readManifest(const std::filesystem::path &path) const;
    SessionStoreResult<void> writeManifest(const std::filesystem::path &path,
                                           const SessionDocument &document) const;
    // The pointer's session, or nothing when there is no pointer file or it was unreadable
    // (then it is set aside).
    SessionStoreResult<std::optional<Uuid>> readActivePointer() const;

    std::filesystem::path activePointerPath() const { return m_root / activeSessionFileName; }

    std::filesystem::path m_root;
    const Clock *m_clock;
    IdMaker m_makeID;
    mutable int m_operationDepth = 0;
    mutable bool m_isTidied = false;
};

} // namespace zentrel
