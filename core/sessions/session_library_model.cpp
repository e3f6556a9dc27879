#include "sessions/session_library_model.h"

#include <algorithm>

namespace zentrel {
namespace {

constexpr std::string_view skippedFramesText = "Export completed, but skipped unreadable frames: ";

// The length of a line break starting at `at` (CR LF counts as one), else 0.
std::size_t lineBreakLength(std::string_view text, std::size_t at)
{
    const std::string_view rest = text.substr(at);
    if (rest.starts_with("\r\n")) {
        return 2;
    }
    if (rest.front() == '\n' || rest.front() == '\r' || rest.front() == '\v'
        || rest.front() == '\f') {
        return 1;
    }
    if (rest.starts_with("\xC2\x85")) {
        return 2;
    }
    if (rest.starts_with("\xE2\x80\xA8") || rest.starts_with("\xE2\x80\xA9")) {
        return 3;
    }
    return 0;
}

} // namespace

std::string sanitizedSessionFileName(std::string_view title)
{
    // The pieces between separators, empty ones dropped, joined by "-".
    std::string name;
    std::string piece;
    const auto endPiece = [&] {
        if (!piece.empty()) {
            name += (name.empty() ? "" : "-") + piece;
            piece.clear();
        }
    };
    for (std::size_t i = 0; i < title.size();) {
        if (title[i] == '/' || title[i] == ':') {
            endPiece();
            ++i;
        } else if (const std::size_t length = lineBreakLength(title, i)) {
            endPiece();
            i += length;
        } else {
            piece += title[i++];
        }
    }
    endPiece();
    return SessionStore::validatedTitle(name).value_or("Zentrel Session");
}

SessionLibraryModel::SessionLibraryModel(SessionStore store)
    : m_store(std::move(store))
{
    reload();
}

const SessionDocument *SessionLibraryModel::selectedSession() const
{
    if (!m_selectedSessionID) {
        return nullptr;
    }
    const auto found =
        std::find_if(m_sessions.begin(), m_sessions.end(), [this](const SessionDocument &session) {
            return session.id == *m_selectedSessionID;
        });
    return found == m_sessions.end() ? nullptr : &*found;
}

void SessionLibraryModel::setError(std::string text)
{
    m_errorMessage = std::move(text);
    changed.notify();
}

void SessionLibraryModel::clearErrorMessage()
{
    if (m_errorMessage) {
        m_errorMessage.reset();
        changed.notify();
    }
}

template <typename T>
bool SessionLibraryModel::finish(const SessionStoreResult<T> &result)
{
    if (!result) {
        setError(message(result.error()));
        return false;
    }
    m_errorMessage.reset();
    reload();
    return true;
}

void SessionLibraryModel::reload()
{
    auto sessions = m_store.listSessions();
    if (!sessions) {
        setError(message(sessions.error()));
        return;
    }
    m_sessions = std::move(*sessions);
    auto active = m_store.activeSessionID();
    if (!active) {
        setError(message(active.error()));
        return;
    }
    if (!selectedSession()) {
        m_selectedSessionID = *active;
    }
    changed.notify();
}

void SessionLibraryModel::createSession()
{
    auto created = m_store.createSession(untitledSessionTitle);
    if (created) {
        m_selectedSessionID = created->id;
    }
    finish(created);
}

void SessionLibraryModel::selectSession(std::optional<Uuid> id)
{
    if (id && id != m_selectedSessionID) {
        m_selectedSessionID = id;
        changed.notify();
    }
}

SessionStoreResult<SessionDocument> SessionLibraryModel::retitleSelected(std::string_view title)
{
    auto document = m_store.loadSession(*m_selectedSessionID);
    if (!document) {
        return document;
    }
    auto validTitle = SessionStore::validatedTitle(title);
    if (!validTitle) {
        return tl::unexpected(validTitle.error());
    }
    document->title = std::move(*validTitle);
    document->updatedAt = m_store.now();
    if (auto saved = m_store.saveManifest(*document); !saved) {
        return tl::unexpected(saved.error());
    }
    return document;
}

void SessionLibraryModel::renameSession(std::string_view title)
{
    if (m_selectedSessionID) {
        finish(retitleSelected(title));
    }
}

void SessionLibraryModel::saveAndClose(std::string_view title)
{
    if (!m_selectedSessionID) {
        return;
    }
    const Uuid id = *m_selectedSessionID;
    auto closed = retitleSelected(title).and_then(
        [&](const SessionDocument &) { return m_store.saveAndCloseSession(id); });
    if (closed && *closed) {
        m_selectedSessionID = (*closed)->id;
    }
    finish(closed);
}

void SessionLibraryModel::moveFrames(const std::vector<int> &offsets, int destination)
{
    const SessionDocument *selected = selectedSession();
    if (!selected) {
        return;
    }
    SessionDocument session = *selected;
    std::vector<int> sorted = offsets;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::erase_if(sorted,
                  [&](int offset) { return offset < 0 || offset >= int(session.frames.size()); });
    std::vector<SessionFrame> moved;
    for (auto offset = sorted.rbegin(); offset != sorted.rend(); ++offset) {
        moved.insert(moved.begin(), session.frames[std::size_t(*offset)]);
        session.frames.erase(session.frames.begin() + *offset);
    }
    const int before = int(std::count_if(
        sorted.begin(), sorted.end(), [&](int offset) { return offset < destination; }));
    const int index = std::clamp(destination - before, 0, int(session.frames.size()));
    session.frames.insert(session.frames.begin() + index, moved.begin(), moved.end());
    finish(replaceFrames(session));
}

SessionStoreResult<void> SessionLibraryModel::replaceFrames(const SessionDocument &document)
{
    auto stored = m_store.loadSession(document.id);
    if (!stored) {
        return tl::unexpected(stored.error());
    }
    std::vector<SessionFrame> remaining = std::move(stored->frames);
    std::vector<SessionFrame> ordered;
    for (const SessionFrame &frame : document.frames) {
        const auto found =
            std::find_if(remaining.begin(), remaining.end(), [&](const SessionFrame &candidate) {
                return candidate.id == frame.id;
            });
        if (found == remaining.end()) {
            return tl::unexpected(SessionStoreError{SessionStoreError::Kind::frameNotFound, 0, {}});
        }
        ordered.push_back(*found);
        remaining.erase(found);
    }
    // Frames another writer added meanwhile stay, after the placed ones.
    ordered.insert(ordered.end(), remaining.begin(), remaining.end());
    stored->frames = std::move(ordered);
    stored->updatedAt = m_store.now();
    return m_store.saveManifest(*stored);
}

void SessionLibraryModel::deleteFrame(const SessionFrame &frame)
{
    if (m_selectedSessionID) {
        finish(m_store.deleteFrame(*m_selectedSessionID, frame.id));
    }
}

void SessionLibraryModel::deleteSession()
{
    if (!m_selectedSessionID) {
        return;
    }
    auto deleted = m_store.deleteSession(*m_selectedSessionID);
    if (deleted) {
        m_selectedSessionID.reset();
    }
    finish(deleted);
}

std::optional<std::filesystem::path> SessionLibraryModel::assetPath(const SessionFrame &frame) const
{
    if (!m_selectedSessionID) {
        return std::nullopt;
    }
    return m_store.frameFile(*m_selectedSessionID, frame);
}

void SessionLibraryModel::exportPNGs(const std::filesystem::path &folder)
{
    exportSelectedSession(folder, &SessionExporter::exportPNGs);
}

void SessionLibraryModel::exportPDF(const std::filesystem::path &file)
{
    exportSelectedSession(file, &SessionExporter::exportPDF);
}

void SessionLibraryModel::exportSelectedSession(const std::filesystem::path &destination,
                                                ExportOperation operation)
{
    const SessionDocument *selected = selectedSession();
    if (!selected) {
        return;
    }
    const SessionDocument session = *selected;
    m_errorMessage.reset();
    if (auto failure = performExport(session, destination, operation)) {
        m_errorMessage = std::move(*failure);
    }
    reload();
}

std::optional<std::string>
SessionLibraryModel::performExport(const SessionDocument &session,
                                   const std::filesystem::path &destination,
                                   ExportOperation operation)
{
    auto exported = (m_exporter.*operation)(session, m_store, destination);
    if (!exported) {
        return message(exported.error());
    }
    reportSkippedFrames(exported->skipped);
    // A finished export closes the active session, so the next frame starts a new one. The
    // exported session stays selected: the user may well export it again in the other format.
    if (auto closed = m_store.saveAndCloseSession(session.id); !closed) {
        return message(closed.error());
    }
    return std::nullopt;
}

void SessionLibraryModel::reportSkippedFrames(const std::vector<std::string> &names)
{
    if (names.empty()) {
        m_errorMessage.reset();
        return;
    }
    std::string text(skippedFramesText);
    for (std::size_t i = 0; i < names.size(); ++i) {
        text += (i == 0 ? "" : ", ") + names[i];
    }
    m_errorMessage = text + ".";
}

} // namespace zentrel
