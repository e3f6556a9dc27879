#include "sessions/session_store.h"

#include "common/files/atomic_file.h"
#include "common/files/confined_file.h"
#include "common/text.h"
#include "sessions/png_file.h"
#include "sessions/session_store_files.h"

#include <algorithm>

namespace zentrel {
namespace {

using Kind = SessionStoreError::Kind;

tl::unexpected<SessionStoreError> storeError(Kind kind)
{
    return tl::unexpected(SessionStoreError{kind, 0, {}});
}

} // namespace

SessionStore::SessionStore(std::filesystem::path root, const Clock &clock, IdMaker makeID)
    : m_root(std::move(root))
    , m_clock(&clock)
    , m_makeID(std::move(makeID))
{}

Timestamp SessionStore::now() const
{
    return std::chrono::floor<std::chrono::seconds>(m_clock->now());
}

std::filesystem::path SessionStore::sessionFolder(const Uuid &id) const
{
    return m_root / id.text();
}

std::optional<std::filesystem::path> SessionStore::frameInRoot(const Uuid &sessionID,
                                                               const SessionFrame &frame) const
{
    const std::filesystem::path relative(frame.assetPath);
    if (relative.empty() || relative.is_absolute()) {
        return std::nullopt;
    }
    for (const auto &part : relative) {
        if (part == "..") {
            return std::nullopt;
        }
    }
    return std::filesystem::path(sessionID.text()) / relative;
}

std::optional<std::filesystem::path> SessionStore::frameFile(const Uuid &sessionID,
                                                             const SessionFrame &frame) const
{
    const auto relative = frameInRoot(sessionID, frame);
    if (!relative) {
        return std::nullopt;
    }
    return m_root / *relative;
}

tl::expected<std::string, FileError> SessionStore::readFrame(const Uuid &sessionID,
                                                             const SessionFrame &frame) const
{
    const auto relative = frameInRoot(sessionID, frame);
    if (!relative) {
        return tl::unexpected(FileError{
            FileError::Kind::readFailed, frame.assetPath, "the path leaves the session folder"});
    }
    return readConfinedFile(m_root, *relative);
}

SessionStoreResult<std::string> SessionStore::validatedTitle(std::string_view title)
{
    const std::string_view trimmed = trimmedBlanks(title);
    if (trimmed.empty()) {
        return storeError(Kind::invalidTitle);
    }
    return std::string(trimmed);
}

SessionStoreResult<std::optional<Uuid>> SessionStore::activeSessionID() const
{
    const Operation operation(*this);
    if (auto migrated = migrateLegacyLayout(); !migrated) {
        return tl::unexpected(migrated.error());
    }
    auto pointer = readActivePointer();
    if (!pointer) {
        return tl::unexpected(pointer.error());
    }
    if (*pointer && loadSession(**pointer)) {
        return *pointer;
    }
    auto sessions = listSessions();
    if (!sessions) {
        return tl::unexpected(sessions.error());
    }
    if (sessions->empty()) {
        return std::optional<Uuid>{};
    }
    if (auto written = writeActivePointer(sessions->front().id); !written) {
        return tl::unexpected(written.error());
    }
    return std::optional<Uuid>{sessions->front().id};
}

SessionStoreResult<SessionDocument> SessionStore::ensureActiveSession() const
{
    const Operation operation(*this);
    auto active = activeSessionID();
    if (!active) {
        return tl::unexpected(active.error());
    }
    if (*active) {
        return loadSession(**active);
    }
    return createSession(untitledSessionTitle);
}

SessionStoreResult<SessionDocument> SessionStore::createSession(std::string_view title) const
{
    const Operation operation(*this);
    if (auto migrated = migrateLegacyLayout(); !migrated) {
        return tl::unexpected(migrated.error());
    }
    auto validTitle = validatedTitle(title);
    if (!validTitle) {
        return tl::unexpected(validTitle.error());
    }
    const Timestamp created = now();
    SessionDocument document;
    document.id = m_makeID();
    document.title = std::move(*validTitle);
    document.createdAt = created;
    document.updatedAt = created;
    if (auto saved = saveManifest(document); !saved) {
        return tl::unexpected(saved.error());
    }
    if (auto pointed = writeActivePointer(document.id); !pointed) {
        return tl::unexpected(pointed.error());
    }
    return document;
}

SessionStoreResult<SessionDocument> SessionStore::loadSession(const Uuid &id) const
{
    const Operation operation(*this);
    if (auto migrated = migrateLegacyLayout(); !migrated) {
        return tl::unexpected(migrated.error());
    }
    const std::filesystem::path manifest = sessionFolder(id) / sessionManifestFileName;
    std::error_code ec;
    if (!std::filesystem::exists(manifest, ec)) {
        return storeError(Kind::sessionNotFound);
    }
    return readManifest(manifest);
}

SessionStoreResult<void> SessionStore::saveManifest(const SessionDocument &document) const
{
    const Operation operation(*this);
    if (auto migrated = migrateLegacyLayout(); !migrated) {
        return migrated;
    }
    if (document.version != currentSessionVersion) {
        return tl::unexpected(SessionStoreError{Kind::unsupportedVersion, document.version, {}});
    }
    return writeManifest(sessionFolder(document.id) / sessionManifestFileName, document);
}

SessionStoreResult<void> SessionStore::writeActivePointer(const Uuid &id) const
{
    const Operation operation(*this);
    if (auto loaded = loadSession(id); !loaded) {
        return tl::unexpected(loaded.error());
    }
    if (auto written = writeFileAtomically(activePointerPath(), encodeActiveSession(id));
        !written) {
        return sessionFileError(written.error());
    }
    return {};
}

SessionStoreResult<SessionDocument> SessionStore::addFrame(std::string_view png,
                                                           SessionFrameSource source) const
{
    const Operation operation(*this);
    const auto header = validatePng(png);
    if (!header) {
        return storeError(Kind::invalidPNG);
    }
    auto document = ensureActiveSession();
    if (!document) {
        return document;
    }
    const Uuid frameID = m_makeID();
    const Timestamp captured = now();
    const std::string assetPath = "Frames/" + frameID.text() + ".png";
    const std::filesystem::path file = sessionFolder(document->id) / assetPath;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    if (ec) {
        return sessionFileError(FileError::Kind::writeFailed, file.parent_path(), ec);
    }
    if (auto written = writeFileAtomically(file, png); !written) {
        return sessionFileError(written.error());
    }
    document->frames.push_back(
        SessionFrame{frameID, source, captured, assetPath, header->width, header->height});
    document->updatedAt = captured;
    if (auto saved = saveManifest(*document); !saved) {
        std::filesystem::remove(file, ec);
        return tl::unexpected(saved.error());
    }
    return document;
}

SessionStoreResult<SessionDocument> SessionStore::deleteFrame(const Uuid &sessionID,
                                                              const Uuid &frameID) const
{
    const Operation operation(*this);
    auto document = loadSession(sessionID);
    if (!document) {
        return document;
    }
    const auto found = std::find_if(document->frames.begin(),
                                    document->frames.end(),
                                    [&](const SessionFrame &frame) { return frame.id == frameID; });
    if (found == document->frames.end()) {
        return storeError(Kind::frameNotFound);
    }
    const SessionFrame removed = *found;
    document->frames.erase(found);
    document->updatedAt = now();
    if (auto saved = saveManifest(*document); !saved) {
        return tl::unexpected(saved.error());
    }
    // A frame reached through a link is not the session's to delete: it stays.
    if (const auto relative = frameInRoot(sessionID, removed)) {
        (void)removeConfinedFile(m_root, *relative);
    }
    return document;
}

SessionStoreResult<void> SessionStore::deleteSession(const Uuid &id) const
{
    const Operation operation(*this);
    if (auto migrated = migrateLegacyLayout(); !migrated) {
        return migrated;
    }
    const std::filesystem::path folder = sessionFolder(id);
    std::error_code ec;
    if (!std::filesystem::exists(folder, ec)) {
        return storeError(Kind::sessionNotFound);
    }
    std::filesystem::remove_all(folder, ec);
    if (ec) {
        return sessionFileError(FileError::Kind::writeFailed, folder, ec);
    }
    auto pointer = readActivePointer();
    if (!pointer) {
        return tl::unexpected(pointer.error());
    }
    if (!*pointer || **pointer != id) {
        return {};
    }
    std::filesystem::remove(activePointerPath(), ec);
    auto sessions = listSessions();
    if (!sessions) {
        return tl::unexpected(sessions.error());
    }
    if (!sessions->empty()) {
        return writeActivePointer(sessions->front().id);
    }
    return {};
}

SessionStoreResult<std::optional<SessionDocument>>
SessionStore::saveAndCloseSession(const Uuid &id) const
{
    const Operation operation(*this);
    auto active = activeSessionID();
    if (!active) {
        return tl::unexpected(active.error());
    }
    if (*active != id) {
        return std::optional<SessionDocument>{};
    }
    auto created = createSession(untitledSessionTitle);
    if (!created) {
        return tl::unexpected(created.error());
    }
    return std::optional<SessionDocument>{std::move(*created)};
}

} // namespace zentrel
