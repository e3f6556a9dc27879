// The debounced save, run by the save executor, and the immediate save when the editor closes.
#include "common/text.h"
#include "whiteboard/editor/unsaved_whiteboard_library.h"
#include "whiteboard/editor/whiteboard_editor_model.h"

#include <utility>

namespace zentrel {

namespace {

// With an unsaved holder the library outlives the run in memory only: a kill loses it, so the
// user hears how long it is kept.
void reportSaveFailure(const WhiteboardLibraryStoreError &error,
                       const WhiteboardErrorHandler &onError,
                       bool keptUntilQuit)
{
    if (onError) {
        onError(std::string(whiteboardSaveFailurePrefix) + endedAsSentence(message(error))
                + std::string(keptUntilQuit ? whiteboardKeptUntilQuitNote : ""));
    }
}

// Debounced saves that keep failing while the user draws make one alert, and another only after
// a save has worked in between.
void noteSaveResult(const WhiteboardStoreResult<void> &result,
                    const WhiteboardErrorHandler &onError,
                    bool keptUntilQuit,
                    bool &failureReported)
{
    if (result) {
        failureReported = false;
        return;
    }
    if (failureReported) {
        return;
    }
    failureReported = true;
    reportSaveFailure(result.error(), onError, keptUntilQuit);
}

} // namespace

WhiteboardStoreResult<void>
WhiteboardEditorModel::savedAndNoted(const WhiteboardLibraryStore &store,
                                     const WhiteboardLibrarySnapshot &library,
                                     WrittenLibrary &written)
{
    auto saved = store.save(*library);
    if (saved) {
        const std::lock_guard lock(written.mutex);
        written.library = library;
    }
    return saved;
}

void WhiteboardEditorModel::forgetWrittenLibrary()
{
    const std::lock_guard lock(m_written->mutex);
    m_written->library.reset();
}

void WhiteboardEditorModel::scheduleSave()
{
    if (!m_isPersistent || m_waitsForFirstChange) {
        return;
    }
    if (m_saveCancelled) {
        *m_saveCancelled = true;
    }
    m_saveCancelled = std::make_shared<bool>(false);
    // The task reaches the model only while it is not cancelled, and the destructor cancels it.
    // The library is the one of the last change of a burst, not a later uncommitted pan.
    m_services.scheduler->postAfter(m_saveDebounce.delayAfterChange(now()),
                                    [this, cancelled = m_saveCancelled, library = m_library] {
                                        if (!*cancelled) {
                                            startSave(library);
                                        }
                                    });
}

void WhiteboardEditorModel::startSave(WhiteboardLibrarySnapshot library)
{
    m_saveDebounce.saveStarted();
    const std::uint64_t number = ++*m_latestSave;
    // The job may run on another thread after the model is gone, so it holds copies only: the
    // store, the snapshot of this moment (never changed again) and the save counter.
    SaveJob job = [library = std::move(library),
                   store = m_store,
                   latest = m_latestSave,
                   written = m_written,
                   number] {
        if (latest->load() != number) {
            return WhiteboardStoreResult<void>{};
        }
        return savedAndNoted(store, library, *written);
    };
    // A save that a newer one overtook says nothing: the newer one's result is what counts.
    SaveCompletion done = [isAlive = m_isAlive,
                           onError = m_onError,
                           keptUntilQuit = m_services.unsaved != nullptr,
                           reported = m_saveFailureReported,
                           latest = m_latestSave,
                           number](const auto &result) {
        if (*isAlive && latest->load() == number) {
            noteSaveResult(result, onError, keptUntilQuit, *reported);
        }
    };
    saveExecutor().run(std::move(job), *m_services.scheduler, std::move(done));
}

void WhiteboardEditorModel::saveNow()
{
    if (!m_isPersistent || m_waitsForFirstChange) {
        return;
    }
    if (m_saveCancelled) {
        *m_saveCancelled = true;
    }
    m_saveDebounce.saveStarted();
    // Queued saves hold older libraries: skip them, wait out the one being written, then write
    // unless that wrote this very library.
    ++*m_latestSave;
    saveExecutor().drain();
    bool isWritten = false;
    {
        const std::lock_guard lock(m_written->mutex);
        isWritten = m_written->library.lock() == m_library;
    }
    const auto saved =
        isWritten ? WhiteboardStoreResult<void>{} : savedAndNoted(m_store, m_library, *m_written);
    *m_saveFailureReported = !saved;
    if (saved) {
        if (m_services.unsaved) {
            m_services.unsaved->drop();
        }
        return;
    }
    // Closing drops the model: what it holds would otherwise go without a word.
    if (m_services.unsaved) {
        m_services.unsaved->keep(m_library, m_store.libraryFileStamp());
    }
    reportSaveFailure(saved.error(), m_onError, m_services.unsaved != nullptr);
}

SaveExecutor &WhiteboardEditorModel::saveExecutor()
{
    return m_services.saveExecutor ? *m_services.saveExecutor : m_inlineSaveExecutor;
}

} // namespace zentrel
