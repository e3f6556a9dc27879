#include "whiteboard/editor/whiteboard_editor_model.h"

#include "whiteboard/editor/unsaved_whiteboard_library.h"
#include "whiteboard/editor/whiteboard_library_changes.h"

#include <algorithm>
#include <cmath>
#include <system_error>
#include <utility>

namespace zentrel {

struct WhiteboardEditorModel::Setup
{
    WhiteboardEditorServices services;
    WhiteboardLibraryStore store;
    WhiteboardLibrary library;
    std::optional<std::string> loadFailure;
    bool isPersistent = true;
    bool waitsForFirstChange = false;
    bool isViewportBounded = false;
    std::any backgroundImage;
    SizeF sceneSize;
};

namespace {

// An earlier whiteboard run closed without writing its library, and this run takes it over.
bool takesUnsavedLibrary(const WhiteboardEditorServices &services)
{
    return services.unsaved && services.unsaved->hasLibrary();
}

} // namespace

WhiteboardViewport sanitizedViewport(WhiteboardViewport viewport)
{
    if (!std::isfinite(viewport.scale) || viewport.scale <= 0) {
        viewport.scale = 1;
    }
    if (!std::isfinite(viewport.translation.x)) {
        viewport.translation.x = 0;
    }
    if (!std::isfinite(viewport.translation.y)) {
        viewport.translation.y = 0;
    }
    return viewport;
}

WhiteboardEditorModel::Setup
WhiteboardEditorModel::whiteboardSetup(WhiteboardLibraryStore store,
                                       WhiteboardEditorServices services)
{
    // The file on disk is older than what the last run could not write. Its saves judge the
    // file as that run's would: by what that run's store last read or wrote.
    if (takesUnsavedLibrary(services)) {
        store.adoptLibraryFileStamp(services.unsaved->libraryFileStamp());
    }
    Setup setup{services, store, {}, {}, true, false, false, {}, {}};
    if (takesUnsavedLibrary(services)) {
        setup.library = services.unsaved->library();
        return setup;
    }
    auto loaded = store.load();
    if (loaded) {
        setup.library = std::move(*loaded);
        for (WhiteboardBoard &board : setup.library.boards) {
            board.viewport = sanitizedViewport(board.viewport);
        }
        return setup;
    }
    // What the fresh board gets drawn is saved like any other work. The older document that
    // failed to migrate is never written, and the store refuses to write over a bad library
    // file it could not set aside: that work stays in memory as after a failed save.
    setup.library.boards = {store.defaultBoard()};
    setup.library.currentBoardID = setup.library.boards.front().id;
    setup.library.migrationCompleted = true;
    setup.loadFailure = std::string(whiteboardLoadFailurePrefix) + message(loaded.error());
    setup.waitsForFirstChange = true;
    return setup;
}

WhiteboardEditorModel::WhiteboardEditorModel(WhiteboardLibraryStore store,
                                             Color drawingColor,
                                             int roughness,
                                             double lineWidth,
                                             WhiteboardEditorServices services)
    : WhiteboardEditorModel(whiteboardSetup(std::move(store), services))
{
    m_drawingColor = drawingColor;
    m_roughness = roughness;
    m_lineWidth = lineWidth;
    if (takesUnsavedLibrary(m_services)) {
        // Written as soon as there is room, even without a new change. The user heard of the
        // failure when the last run closed, so a save that fails again says nothing until one
        // works or this run closes.
        *m_saveFailureReported = true;
        scheduleSave();
    }
}

WhiteboardEditorModel::WhiteboardEditorModel(Setup setup)
    : m_services(std::move(setup.services))
    , m_store(std::move(setup.store))
    , m_library(std::make_shared<const WhiteboardLibrary>(std::move(setup.library)))
    , m_loadFailure(std::move(setup.loadFailure))
    , m_isPersistent(setup.isPersistent)
    , m_waitsForFirstChange(setup.waitsForFirstChange)
    , m_isViewportBounded(setup.isViewportBounded)
    , m_backgroundImage(std::move(setup.backgroundImage))
    , m_sceneSize(setup.sceneSize)
{}

WhiteboardEditorModel::~WhiteboardEditorModel()
{
    // A change less than the save delay old is lost unless the owner called saveNow first.
    if (m_saveCancelled) {
        *m_saveCancelled = true;
    }
    // A save already handed to the executor still writes: its job owns what it needs.
    *m_isAlive = false;
}

std::unique_ptr<WhiteboardEditorModel> makeFreezeEditorModel(std::any image,
                                                             Color drawingColor,
                                                             int roughness,
                                                             SizeF sceneSize,
                                                             double lineWidth,
                                                             WhiteboardEditorServices services)
{
    std::error_code ec;
    std::filesystem::path temporary = std::filesystem::temp_directory_path(ec);
    if (ec) {
        temporary = "/tmp";
    }
    const auto scratch = temporary / ("ZentrelFreeze-" + Uuid::generate(services.random).text());
    // Named only so the model has a store like any other; it is never loaded or written.
    WhiteboardLibraryStore store(scratch / "FreezeLibrary.json",
                                 scratch / "FreezeLegacy.json",
                                 *services.clock,
                                 services.random);

    WhiteboardBoard board =
        blankBoard(Uuid::generate(services.random), "Freeze", services.clock->now());
    board.background = WhiteboardBackground::withImage(image);
    board.showsGrid = false;

    WhiteboardLibrary library;
    library.version = 1;
    library.currentBoardID = board.id;
    library.boards = {std::move(board)};
    library.migrationCompleted = true;

    WhiteboardEditorModel::Setup setup{services,
                                       std::move(store),
                                       std::move(library),
                                       {},
                                       false,
                                       false,
                                       true,
                                       std::move(image),
                                       sceneSize};
    std::unique_ptr<WhiteboardEditorModel> model(new WhiteboardEditorModel(std::move(setup)));
    model->m_drawingColor = drawingColor;
    model->m_roughness = roughness;
    model->m_lineWidth = lineWidth;
    return model;
}

void WhiteboardEditorModel::setOnError(WhiteboardErrorHandler handler)
{
    m_onError = std::move(handler);
    if (m_onError && m_loadFailure && !m_loadFailureDelivered) {
        m_loadFailureDelivered = true;
        m_onError(*m_loadFailure);
    }
}

const WhiteboardBoard &WhiteboardEditorModel::currentBoard() const
{
    return m_library->boards[currentBoardIndex()];
}

std::size_t WhiteboardEditorModel::currentBoardIndex() const
{
    const auto &boards = m_library->boards;
    const auto found = std::find_if(boards.begin(), boards.end(), [&](const WhiteboardBoard &b) {
        return b.id == m_library->currentBoardID;
    });
    return found == boards.end() ? 0 : static_cast<std::size_t>(found - boards.begin());
}

void WhiteboardEditorModel::setLibrary(WhiteboardLibrary library)
{
    setLibrary(std::make_shared<const WhiteboardLibrary>(std::move(library)));
}

void WhiteboardEditorModel::setLibrary(WhiteboardLibrarySnapshot library)
{
    // Every command works on the current board, so a library without one is never taken.
    if (!library || library->boards.empty() || library == m_library) {
        return;
    }
    if (library != m_viewportLibrary) {
        m_viewportLibrary.reset();
    }
    const WhiteboardEditorChange changes = libraryChanges(*m_library, *library);
    m_library = std::move(library);
    publish(changes);
}

void WhiteboardEditorModel::setViewport(const WhiteboardViewport &viewport)
{
    const std::size_t index = currentBoardIndex();
    if (m_library->boards[index].viewport == viewport) {
        return;
    }
    // Held here twice, as the current library and as the one to change, and nowhere else; a
    // save handed to another thread took its reference here, so none can go unseen.
    if (m_viewportLibrary == m_library && m_library.use_count() == 2) {
        m_viewportLibrary->boards[index].viewport = viewport;
        forgetWrittenLibrary();
        publish(WhiteboardEditorChange::viewport | WhiteboardEditorChange::library);
        return;
    }
    m_viewportLibrary = std::make_shared<WhiteboardLibrary>(*m_library);
    m_viewportLibrary->boards[index].viewport = viewport;
    setLibrary(WhiteboardLibrarySnapshot(m_viewportLibrary));
}

void WhiteboardEditorModel::setSelectedTool(WhiteboardTool tool)
{
    if (tool != m_selectedTool) {
        m_selectedTool = tool;
        publish(WhiteboardEditorChange::tool);
    }
}

void WhiteboardEditorModel::setSelection(WhiteboardSelection selection)
{
    if (selection != m_selection) {
        m_selection = std::move(selection);
        publish(WhiteboardEditorChange::selection);
    }
}

void WhiteboardEditorModel::setInteraction(WhiteboardInteraction interaction)
{
    if (!(interaction == m_interaction)) {
        m_interaction = interaction;
        publish(WhiteboardEditorChange::interaction);
    }
}

void WhiteboardEditorModel::setTextFontSize(double size)
{
    const double kept = std::isfinite(size) ? std::clamp(size, 8.0, 144.0) : m_textFontSize;
    if (kept != m_textFontSize) {
        m_textFontSize = kept;
        publish(WhiteboardEditorChange::textFontSize);
    }
}

void WhiteboardEditorModel::keepSelectionOnCurrentBoard()
{
    WhiteboardSelection kept;
    for (const ElementPtr &element : currentBoard().elements) {
        if (m_selection.contains(element->id)) {
            kept.insert(element->id);
        }
    }
    setSelection(std::move(kept));
}

WhiteboardEditorModel::ChangeBatch::ChangeBatch(WhiteboardEditorModel &model)
    : m_model(model)
{
    ++m_model.m_batchDepth;
}

WhiteboardEditorModel::ChangeBatch::~ChangeBatch()
{
    if (--m_model.m_batchDepth == 0) {
        m_model.publish(WhiteboardEditorChange::none);
    }
}

void WhiteboardEditorModel::publish(WhiteboardEditorChange changes)
{
    m_pendingChanges |= changes;
    if (m_batchDepth > 0 || m_pendingChanges == WhiteboardEditorChange::none) {
        return;
    }
    changed.notify(std::exchange(m_pendingChanges, WhiteboardEditorChange::none));
}

} // namespace zentrel
