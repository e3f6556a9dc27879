#pragma once

#include "common/signal.h"
#include "sessions/session_document.h"
#include "sessions/session_exporter.h"
#include "sessions/session_store.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

// The state behind the "Sessions" window: the saved sessions, the selected one, and the last
// error or export report. Every action goes to its store at once; every failure becomes
// errorMessage(). It knows of frames other stores added only after reload().
class SessionLibraryModel
{
public:
    explicit SessionLibraryModel(SessionStore store);

    const std::vector<SessionDocument> &sessions() const { return m_sessions; }

    std::optional<Uuid> selectedSessionID() const { return m_selectedSessionID; }

    const std::optional<std::string> &errorMessage() const { return m_errorMessage; }

    const SessionDocument *selectedSession() const;

    void reload();
    void createSession();
    // Nothing changes for no identifier.
    void selectSession(std::optional<Uuid> id);
    void renameSession(std::string_view title);
    // Renames and, when the session is the active one, starts a new "Untitled Session".
    void saveAndClose(std::string_view title);
    // The rows at `offsets` go, in their order, before the row that was at `destination`.
    void moveFrames(const std::vector<int> &offsets, int destination);
    // Writes the frame order of `document` into its stored session, in one manifest write.
    SessionStoreResult<void> replaceFrames(const SessionDocument &document);
    void deleteFrame(const SessionFrame &frame);
    void deleteSession();
    std::optional<std::filesystem::path> assetPath(const SessionFrame &frame) const;
    void exportPNGs(const std::filesystem::path &folder);
    void exportPDF(const std::filesystem::path &file);
    void clearErrorMessage();

    // Sessions, selection or message changed.
    Signal<> changed;

private:
    using ExportOperation = tl::expected<SessionExportResult, SessionExportError> (
        SessionExporter::*)(const SessionDocument &,
                            const SessionStore &,
                            const std::filesystem::path &) const;

    void exportSelectedSession(const std::filesystem::path &destination, ExportOperation operation);
    std::optional<std::string> performExport(const SessionDocument &session,
                                             const std::filesystem::path &destination,
                                             ExportOperation operation);
    void reportSkippedFrames(const std::vector<std::string> &names);
    // Store outcome: a failure becomes the message; success clears it and reloads.
    template <typename T>
    bool finish(const SessionStoreResult<T> &result);
    SessionStoreResult<SessionDocument> retitleSelected(std::string_view title);
    void setError(std::string text);

    SessionStore m_store;
    SessionExporter m_exporter;
    std::vector<SessionDocument> m_sessions;
    std::optional<Uuid> m_selectedSessionID;
    std::optional<std::string> m_errorMessage;
};

// The proposed PDF name's stem: the title split at "/", ":" and line breaks, the non-empty
// pieces joined by "-", trimmed; "Zentrel Session" when nothing is left.
std::string sanitizedSessionFileName(std::string_view title);

} // namespace zentrel
