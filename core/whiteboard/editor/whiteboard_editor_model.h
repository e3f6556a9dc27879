#pragma once

#include "common/clock.h"
#include "common/color.h"
#include "common/geometry.h"
#include "common/signal.h"
#include "common/uuid.h"
#include "shell/shell_ports.h"
#include "whiteboard/editor/save_debounce.h"
#include "whiteboard/editor/save_executor.h"
#include "whiteboard/editor/whiteboard_editor_change.h"
#include "whiteboard/model/store/whiteboard_library_store.h"
#include "whiteboard/model/whiteboard_interaction.h"
#include "whiteboard/model/whiteboard_library.h"
#include "whiteboard/model/whiteboard_tool.h"

#include <any>
#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace zentrel {

class UnsavedWhiteboardLibrary;

// A library value that no one changes while another holds it, so history entries and pending
// saves share it.
using WhiteboardLibrarySnapshot = std::shared_ptr<const WhiteboardLibrary>;
using WhiteboardSelection = std::set<Uuid>;
using WhiteboardErrorHandler = std::function<void(const std::string &text)>;

// What the model takes from its host. Clock, scheduler and random must be set; clock and
// scheduler outlive it. Without a save executor the debounced save writes on the main thread;
// one that is given must outlive the model. The whiteboard starts from the unsaved library, when
// one is kept there, and keeps its own there when the save on closing fails; it must outlive the
// model too.
struct WhiteboardEditorServices
{
    const Clock *clock = nullptr;
    Scheduler *scheduler = nullptr;
    UuidRandomSource random;
    SaveExecutor *saveExecutor = nullptr;
    UnsavedWhiteboardLibrary *unsaved = nullptr;
};

inline constexpr std::chrono::milliseconds whiteboardSaveDelay{350};
// While changes keep coming, the library is still written at least this often.
inline constexpr std::chrono::milliseconds whiteboardSaveLongestWait{2000};
inline constexpr std::size_t whiteboardUndoLimit = 100;
inline constexpr std::string_view whiteboardSaveFailurePrefix =
    "The whiteboard could not be saved: ";
inline constexpr std::string_view whiteboardLoadFailurePrefix =
    "The whiteboard library could not be loaded: ";

// A stored viewport the canvas can use: a non-finite or non-positive scale becomes 1 and a
// non-finite offset 0, so a damaged file cannot leave the board invisible.
WhiteboardViewport sanitizedViewport(WhiteboardViewport viewport);

// The editing model of one board library, for the whiteboard and for Zevizu & Vozurir. Every
// command changes the library through setLibrary, recordUndoSnapshot, commitChange and
// updateLibrary, so undo, change stamps and saving behave alike everywhere. Areas such as
// selection or clipboard add member functions in files of their own. Main thread only.
class WhiteboardEditorModel
{
public:
    // The whiteboard: the library an earlier run could not save, else the one loaded from
    // `store`. When loading fails the model edits a fresh library, saved from its first
    // committed change on; a bad file the store left in place is never written over.
    WhiteboardEditorModel(WhiteboardLibraryStore store,
                          Color drawingColor,
                          int roughness,
                          double lineWidth,
                          WhiteboardEditorServices services);
    ~WhiteboardEditorModel();
    WhiteboardEditorModel(const WhiteboardEditorModel &) = delete;
    WhiteboardEditorModel &operator=(const WhiteboardEditorModel &) = delete;

    // Published properties. `library()` is valid until the next library change.
    const WhiteboardLibrary &library() const { return *m_library; }

    WhiteboardLibrarySnapshot librarySnapshot() const { return m_library; }

    WhiteboardTool selectedTool() const { return m_selectedTool; }

    const WhiteboardSelection &selection() const { return m_selection; }

    WhiteboardInteraction interaction() const { return m_interaction; }

    bool canUndo() const { return !m_undoStates.empty(); }

    bool canRedo() const { return !m_redoStates.empty(); }

    double textFontSize() const { return m_textFontSize; }

    // Plain writes of the published properties: no undo step, no stamp, no save. A library
    // without boards is ignored, so there is always a current board.
    void setLibrary(WhiteboardLibrary library);
    void setLibrary(WhiteboardLibrarySnapshot library);
    void setSelectedTool(WhiteboardTool tool);
    void setSelection(WhiteboardSelection selection);
    void setInteraction(WhiteboardInteraction interaction);
    void setTextFontSize(double size); // kept within 8…144
    // The current board's viewport, published as a viewport change; no undo step, no stamp, no
    // save. Pan and zoom steps come at pointer rate: a library that no history entry, drag, save
    // or caller shares is changed where it is, so a step copies none of the board's elements.
    void setViewport(const WhiteboardViewport &viewport);

    // Announced once per command, after the change, with everything it touched.
    Signal<WhiteboardEditorChange> changed;

    // Holds announcements back until the outermost batch ends, then sends them as one.
    class ChangeBatch
    {
    public:
        explicit ChangeBatch(WhiteboardEditorModel &model);
        ~ChangeBatch();
        ChangeBatch(const ChangeBatch &) = delete;
        ChangeBatch &operator=(const ChangeBatch &) = delete;

    private:
        WhiteboardEditorModel &m_model;
    };

    // Drawing defaults that new elements take; a real change is published as `defaults`.
    Color drawingColor() const { return m_drawingColor; }

    void setDrawingColor(Color color) { setDefault(m_drawingColor, color); }

    const std::optional<Color> &fillColor() const { return m_fillColor; }

    void setFillColor(std::optional<Color> color) { setDefault(m_fillColor, color); }

    double lineWidth() const { return m_lineWidth; }

    void setLineWidth(double width) { setDefault(m_lineWidth, width); }

    int roughness() const { return m_roughness; }

    void setRoughness(int roughness) { setDefault(m_roughness, roughness); }

    double opacity() const { return m_opacity; }

    void setOpacity(double opacity) { setDefault(m_opacity, opacity); }

    // Where failure texts go. A load failure that happened before the owner could set this is
    // delivered at once by the first call.
    void setOnError(WhiteboardErrorHandler handler);

    const WhiteboardErrorHandler &onError() const { return m_onError; }

    const std::optional<std::string> &loadFailure() const { return m_loadFailure; }

    bool isPersistent() const { return m_isPersistent; }

    bool isViewportBounded() const { return m_isViewportBounded; }

    const std::any &backgroundImage() const { return m_backgroundImage; }

    SizeF sceneSize() const { return m_sceneSize; }

    const WhiteboardLibraryStore &store() const { return m_store; }

    Timestamp now() const { return m_services.clock->now(); }

    Uuid makeIdentifier() const { return Uuid::generate(m_services.random); }

    // The board named by currentBoardID, else the first; commands write the board at the index.
    const WhiteboardBoard &currentBoard() const;
    std::size_t currentBoardIndex() const;

    // History, transactions and saving.
    void recordUndoSnapshot(WhiteboardLibrarySnapshot before);
    void recordUndoSnapshot(WhiteboardLibrary before);
    void commitChange();
    void updateLibrary(WhiteboardLibrary library);
    void undo();
    void redo();

    std::size_t undoCount() const { return m_undoStates.size(); }

    std::size_t redoCount() const { return m_redoStates.size(); }

    void beginTransaction();
    void endTransaction();
    void cancelInteraction();

    bool isTransactionOpen() const { return m_transactionStart != nullptr; }

    // The library as it was when the open drag began; none without a drag.
    WhiteboardLibrarySnapshot transactionStart() const { return m_transactionStart; }

    // The debounced save hands the library to the save executor; saveNow waits for that
    // executor's queued saves, then writes on the calling thread, so nothing writes after it.
    // saveNow is the save on closing: its failure is always told, and the library is kept
    // in the unsaved holder for the next run.
    void scheduleSave();
    void saveNow();
    void resetView();

    // Boards (whiteboard_editor_boards.cpp).
    void addBoard();
    // Puts `board` after the current board and makes it current, as one undo step; the boards
    // already there stay as they are.
    void insertBoard(WhiteboardBoard board);
    void renameBoard(std::string_view name);
    void duplicateBoard();
    void selectBoard(const Uuid &boardID);
    void deleteCurrentBoard();
    // Empty, white, grid shown, default viewport, made now.
    WhiteboardBoard makeBoard(std::string name) const;

private:
    struct Setup;
    explicit WhiteboardEditorModel(Setup setup);
    static Setup whiteboardSetup(WhiteboardLibraryStore store, WhiteboardEditorServices services);
    friend std::unique_ptr<WhiteboardEditorModel>
    makeFreezeEditorModel(std::any image,
                          Color drawingColor,
                          int roughness,
                          SizeF sceneSize,
                          double lineWidth,
                          WhiteboardEditorServices services);

    void publish(WhiteboardEditorChange changes);

    template <typename Value>
    void setDefault(Value &field, Value value)
    {
        if (!(field == value)) {
            field = std::move(value);
            publish(WhiteboardEditorChange::defaults);
        }
    }

    void keepSelectionOnCurrentBoard();
    void startSave(WhiteboardLibrarySnapshot library);

    struct WrittenLibrary
    {
        std::mutex mutex;
        std::weak_ptr<const WhiteboardLibrary> library;
    };

    // A library changed where it is is no longer the one a save wrote.
    void forgetWrittenLibrary();
    // Saves the library and, once it is written, notes it as written.
    static WhiteboardStoreResult<void> savedAndNoted(const WhiteboardLibraryStore &store,
                                                     const WhiteboardLibrarySnapshot &library,
                                                     WrittenLibrary &written);
    SaveExecutor &saveExecutor();

    WhiteboardEditorServices m_services;
    WhiteboardLibraryStore m_store;
    WhiteboardLibrarySnapshot m_library;
    // The library the last viewport step made, while it is the current one: the only library the
    // model changes where it is, and only while nothing else holds it.
    std::shared_ptr<WhiteboardLibrary> m_viewportLibrary;
    WhiteboardTool m_selectedTool = WhiteboardTool::selection;
    WhiteboardSelection m_selection;
    WhiteboardInteraction m_interaction;
    Color m_drawingColor;
    std::optional<Color> m_fillColor;
    double m_lineWidth = 1;
    int m_roughness = 0;
    double m_opacity = 1;
    double m_textFontSize = 32;
    WhiteboardErrorHandler m_onError;
    std::optional<std::string> m_loadFailure;
    bool m_loadFailureDelivered = false;
    bool m_isPersistent = true;
    // After a failed load: the fresh library alone is not worth a write.
    bool m_waitsForFirstChange = false;
    bool m_isViewportBounded = false;
    std::any m_backgroundImage;
    SizeF m_sceneSize;
    std::deque<WhiteboardLibrarySnapshot> m_undoStates;  // oldest first
    std::vector<WhiteboardLibrarySnapshot> m_redoStates; // next redo last
    WhiteboardLibrarySnapshot m_transactionStart;
    SaveDebounce m_saveDebounce{whiteboardSaveDelay, whiteboardSaveLongestWait};
    // Set to true to cancel the pending debounced save; the scheduler cannot take work back.
    std::shared_ptr<bool> m_saveCancelled;
    InlineSaveExecutor m_inlineSaveExecutor;
    // Numbers the saves handed to the executor; a queued job that is no longer the newest skips
    // its write, since a later save writes a newer library anyway. Shared with those jobs.
    std::shared_ptr<std::atomic<std::uint64_t>> m_latestSave =
        std::make_shared<std::atomic<std::uint64_t>>(0);
    // Whether the last failed save was reported and no save has worked since; shared with the
    // completions of the debounced saves, which run on the main thread.
    std::shared_ptr<bool> m_saveFailureReported = std::make_shared<bool>(false);
    // The library the last save wrote whole, so closing does not write it again: a large one
    // takes seconds. Shared with the save jobs, which may run on another thread.
    std::shared_ptr<WrittenLibrary> m_written = std::make_shared<WrittenLibrary>();
    // False once the model is gone, so a late completion reports to no one; shared with them.
    std::shared_ptr<bool> m_isAlive = std::make_shared<bool>(true);
    int m_batchDepth = 0;
    WhiteboardEditorChange m_pendingChanges = WhiteboardEditorChange::none;
};

// Zevizu & Vozurir: one "Freeze" board over the captured image, a scratch store in a folder
// that is never created, and nothing ever saved.
std::unique_ptr<WhiteboardEditorModel> makeFreezeEditorModel(std::any image,
                                                             Color drawingColor,
                                                             int roughness,
                                                             SizeF sceneSize,
                                                             double lineWidth,
                                                             WhiteboardEditorServices services);

} // namespace zentrel
