// The store's folder tree: migration of the older layout, the temporary-file sweep, manifests and
// the pointer file on disk, listing, and setting unreadable folders aside.
#include "common/files/atomic_file.h"
#include "common/json/json_file.h"
#include "sessions/session_store.h"
#include "sessions/session_store_files.h"

#include <algorithm>

namespace zentrel {
namespace {

using Kind = SessionStoreError::Kind;

constexpr std::string_view setAsideMarker = ".corrupt-";

tl::unexpected<SessionStoreError> undecodable(const std::filesystem::path &path,
                                              const std::string &detail)
{
    return tl::unexpected(SessionStoreError{
        Kind::undecodable, 0, "\"" + path.string() + "\" could not be read: " + detail + "."});
}

// The file's JSON, with failures in the store's terms: malformed JSON is undecodable (and so
// set aside); a missing file is a read failure, since callers only read what they saw exist.
SessionStoreResult<nlohmann::json> readJson(const std::filesystem::path &path)
{
    auto json = readJsonFile(path);
    if (!json) {
        if (json.error().kind == JsonFileError::Kind::malformed) {
            return undecodable(path, "it is not valid JSON");
        }
        return sessionFileError(json.error().file);
    }
    if (!*json) {
        return sessionFileError(FileError{FileError::Kind::readFailed, path, "no such file"});
    }
    return std::move(**json);
}

// Set aside under the system clock's seconds, so the name says when it happened.
void setAside(const std::filesystem::path &path)
{
    (void)setAsideCorrupt(path, std::chrono::system_clock::now());
}

bool isHidden(const std::filesystem::path &path)
{
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
}

bool endsWithTmp(const std::filesystem::path &path)
{
    std::string name = path.filename().string();
    if (name.size() < 4) {
        return false;
    }
    std::transform(name.end() - 4, name.end(), name.end() - 4, [](char character) {
        return character >= 'A' && character <= 'Z' ? char(character - 'A' + 'a') : character;
    });
    return name.ends_with(".tmp");
}

// Only a manifest that cannot be decoded or migrated goes aside; a newer version or a passing
// read error leaves its folder where it is.
bool isSetAsideWorthy(const SessionStoreError &error)
{
    return error.kind == Kind::undecodable || error.kind == Kind::migrationFailed;
}

} // namespace

SessionStoreResult<void> SessionStore::migrateLegacyLayout() const
{
    if (m_isTidied) {
        return {};
    }
    std::error_code ec;
    std::filesystem::create_directories(m_root, ec);
    if (ec) {
        return sessionFileError(FileError::Kind::writeFailed, m_root, ec);
    }
    m_isTidied = m_operationDepth > 0;
    sweepTemporaryFiles();
    const std::filesystem::path legacyFolder = m_root / legacySessionFolderName;
    const std::filesystem::path manifest = legacyFolder / sessionManifestFileName;
    if (!std::filesystem::exists(manifest, ec)) {
        return {};
    }
    auto document = readManifest(manifest);
    if (!document) {
        // An unreadable older session must not block every operation: it goes aside, and one of
        // a newer version waits where it is.
        if (isSetAsideWorthy(document.error())) {
            setAside(legacyFolder);
            return {};
        }
        if (document.error().kind == Kind::unsupportedVersion) {
            return {};
        }
        return tl::unexpected(document.error());
    }
    return moveLegacySession(std::move(*document));
}

SessionStoreResult<void> SessionStore::moveLegacySession(SessionDocument document) const
{
    const std::filesystem::path legacyFolder = m_root / legacySessionFolderName;
    std::error_code ec;
    if (std::filesystem::exists(sessionFolder(document.id), ec)) {
        // Two folders answering to one identifier would let deleting one remove the other.
        document.id = m_makeID();
        if (auto written = writeManifest(legacyFolder / sessionManifestFileName, document);
            !written) {
            return written;
        }
    }
    std::filesystem::rename(legacyFolder, sessionFolder(document.id), ec);
    if (ec) {
        return sessionFileError(FileError::Kind::moveFailed, legacyFolder, ec);
    }
    if (!std::filesystem::exists(activePointerPath(), ec)) {
        if (auto written =
                writeFileAtomically(activePointerPath(), encodeActiveSession(document.id));
            !written) {
            return sessionFileError(written.error());
        }
    }
    return {};
}

void SessionStore::sweepTemporaryFiles() const
{
    std::error_code ec;
    // A root that is a link leads into a folder of the user's, whose "*.tmp" files are theirs.
    if (std::filesystem::is_symlink(m_root, ec) || ec) {
        return;
    }
    std::filesystem::recursive_directory_iterator entries(
        m_root, std::filesystem::directory_options::skip_permission_denied, ec);
    if (ec) {
        return;
    }
    for (auto entry = std::filesystem::begin(entries); entry != std::filesystem::end(entries);
         entry.increment(ec)) {
        if (ec) {
            return;
        }
        if (isHidden(entry->path())) {
            entry.disable_recursion_pending();
            continue;
        }
        // An entry whose type cannot be read is left alone; the sweep goes on. Links are never
        // followed: what they point at is not the store's.
        std::error_code typeError;
        if (entry->symlink_status(typeError).type() == std::filesystem::file_type::regular
            && !typeError && endsWithTmp(entry->path())) {
            std::error_code removeError;
            std::filesystem::remove(entry->path(), removeError);
        }
    }
}

SessionStoreResult<SessionDocument>
SessionStore::readManifest(const std::filesystem::path &path) const
{
    auto json = readJson(path);
    if (!json) {
        return tl::unexpected(json.error());
    }
    const auto version = decodeSessionVersion(*json);
    if (!version) {
        return undecodable(path, version.error().detail);
    }
    if (*version && **version > currentSessionVersion) {
        return tl::unexpected(SessionStoreError{Kind::unsupportedVersion, **version, {}});
    }
    if (*version && **version == currentSessionVersion) {
        auto document = decodeSessionDocument(*json);
        if (!document) {
            return undecodable(path, document.error().detail);
        }
        return std::move(*document);
    }
    auto legacy = decodeLegacySessionDocument(*json);
    if (!legacy) {
        return undecodable(path, legacy.error().detail);
    }
    if (legacy->version && *legacy->version != 0) {
        return tl::unexpected(SessionStoreError{Kind::migrationFailed, 0, {}});
    }
    SessionDocument document = std::move(legacy->document);
    document.version = currentSessionVersion;
    if (auto written = writeManifest(path, document); !written) {
        return tl::unexpected(written.error());
    }
    return document;
}

SessionStoreResult<void> SessionStore::writeManifest(const std::filesystem::path &path,
                                                     const SessionDocument &document) const
{
    if (auto written = writeFileAtomically(path, encodeSessionDocument(document)); !written) {
        return sessionFileError(written.error());
    }
    return {};
}

SessionStoreResult<std::optional<Uuid>> SessionStore::readActivePointer() const
{
    const std::filesystem::path path = activePointerPath();
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return std::optional<Uuid>{};
    }
    auto json = readJson(path);
    if (!json) {
        if (!isSetAsideWorthy(json.error())) {
            return tl::unexpected(json.error());
        }
    } else if (auto id = decodeActiveSession(*json)) {
        return std::optional<Uuid>{*id};
    }
    // An unreadable pointer would fail every later frame; without it the newest session is
    // made active again.
    setAside(path);
    return std::optional<Uuid>{};
}

SessionStoreResult<std::vector<SessionDocument>> SessionStore::listSessions() const
{
    const Operation operation(*this);
    if (auto migrated = migrateLegacyLayout(); !migrated) {
        return tl::unexpected(migrated.error());
    }
    std::error_code ec;
    std::filesystem::directory_iterator children(m_root, ec);
    if (ec) {
        return sessionFileError(FileError::Kind::readFailed, m_root, ec);
    }
    std::vector<SessionDocument> documents;
    for (auto child = std::filesystem::begin(children); child != std::filesystem::end(children);
         child.increment(ec)) {
        if (ec) {
            return sessionFileError(FileError::Kind::readFailed, m_root, ec);
        }
        const std::filesystem::path folder = child->path();
        const std::string name = folder.filename().string();
        std::error_code typeError;
        // A folder set aside once stays as it is; one whose type cannot be read is passed over.
        if (isHidden(folder) || name == activeSessionFileName
            || name.find(setAsideMarker) != std::string::npos || !child->is_directory(typeError)
            || typeError || !std::filesystem::exists(folder / sessionManifestFileName, typeError)) {
            continue;
        }
        auto document = readManifest(folder / sessionManifestFileName);
        if (document) {
            documents.push_back(std::move(*document));
        } else if (isSetAsideWorthy(document.error())) {
            setAside(folder);
        }
    }
    std::stable_sort(documents.begin(),
                     documents.end(),
                     [](const SessionDocument &left, const SessionDocument &right) {
                         if (left.updatedAt != right.updatedAt) {
                             return left.updatedAt > right.updatedAt;
                         }
                         return left.createdAt > right.createdAt;
                     });
    return documents;
}

} // namespace zentrel
