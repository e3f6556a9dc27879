// The debounced save and the immediate save when the editor closes.
#include "whiteboard/editor/whiteboard_editor_model.h"

namespace zentrel {

namespace {

void reportFailure(const WhiteboardErrorHandler &onError, const WhiteboardLibraryStoreError &error)
{
    if (onError) {
        onError(std::string(whiteboardSaveFailurePrefix) + message(error));
    }
}

} // namespace

void WhiteboardEditorModel::scheduleSave()
{
    if (!m_isPersistent) {
        return;
    }
    if (m_saveCancelled) {
        *m_saveCancelled = true;
    }
    m_saveCancelled = std::make_shared<bool>(false);
    // The task holds values only, never the model, so it is safe to run after the model is gone;
    // it then finds itself cancelled. The library is the one of the last change of a burst.
    m_services.scheduler->postAfter(
        whiteboardSaveDelay,
        [cancelled = m_saveCancelled, library = m_library, store = m_store, onError = m_onError] {
            if (*cancelled) {
                return;
            }
            if (auto saved = store.save(*library); !saved) {
                reportFailure(onError, saved.error());
            }
        });
}

void WhiteboardEditorModel::saveNow()
{
    if (!m_isPersistent) {
        return;
    }
    if (m_saveCancelled) {
        *m_saveCancelled = true;
    }
    if (auto saved = m_store.save(*m_library); !saved) {
        reportSaveFailure(saved.error());
    }
}

void WhiteboardEditorModel::reportSaveFailure(const WhiteboardLibraryStoreError &error) const
{
    reportFailure(m_onError, error);
}

} // namespace zentrel
