// The whiteboard menu of the toolbar: boards, arrange, view, export and close. Its labels and
// enabled states are read from the model each time it opens.
#include "common/symbol_icon.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/editor/commands/whiteboard_viewport.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/toolbar/whiteboard_toolbar_view.h"

#include <QMenu>

namespace zentrel {

void WhiteboardToolbarView::fillMenu()
{
    if (onMenuOpens) {
        onMenuOpens();
    }
    m_menu->clear();
    addBoardItems();
    m_menu->addSeparator();
    addArrangeItems();
    m_menu->addSeparator();
    addViewItems();
    m_menu->addSeparator();
    addExportItems();
    m_menu->addSeparator();
    m_menu->addAction(
        QStringLiteral("Close Whiteboard"), this, hostAction(&WhiteboardToolbarView::onClose));
}

void WhiteboardToolbarView::addBoardItems()
{
    QMenu *boards = m_menu->addMenu(QStringLiteral("Boards"));
    boards->setPalette(m_menu->palette());
    const Uuid current = m_model.currentBoard().id;
    for (const WhiteboardBoard &board : m_model.library().boards) {
        QAction *entry = boards->addAction(QString::fromStdString(board.name));
        if (board.id == current) {
            entry->setIcon(symbolIcon(QStringLiteral("checkmark")));
        }
        connect(
            entry, &QAction::triggered, this, [this, id = board.id] { m_model.selectBoard(id); });
    }
    m_menu->addAction(QStringLiteral("New Board"), this, [this] { m_model.addBoard(); });
    m_menu->addAction(
        QStringLiteral("Duplicate Board"), this, [this] { m_model.duplicateBoard(); });
    m_menu->addAction(QStringLiteral("Rename Board"), this, [this] { startRenaming(); });
    // No confirmation: undo brings the board back.
    m_menu->addAction(
        QStringLiteral("Delete Board"), this, [this] { m_model.deleteCurrentBoard(); });
}

void WhiteboardToolbarView::addArrangeItems()
{
    const std::size_t selected = m_model.selection().size();
    const bool locked = selectionContainsLocked(m_model);
    m_menu->addAction(QStringLiteral("Group"), this, [this] { groupSelection(m_model); })
        ->setEnabled(selected >= 2);
    m_menu->addAction(QStringLiteral("Ungroup"), this, [this] { ungroup(m_model); })
        ->setEnabled(selected > 0);
    m_menu
        ->addAction(locked ? QStringLiteral("Unlock Selection") : QStringLiteral("Lock Selection"),
                    this,
                    [this] { toggleSelectionLock(m_model); })
        ->setEnabled(locked || selected > 0);
}

void WhiteboardToolbarView::addViewItems()
{
    const WhiteboardBoard &board = m_model.currentBoard();
    m_menu->addAction(board.showsGrid ? QStringLiteral("Hide Grid") : QStringLiteral("Show Grid"),
                      this,
                      [this] { toggleGrid(m_model); });
    const bool white = board.background.kind == WhiteboardBackground::Kind::white;
    m_menu->addAction(white ? QStringLiteral("Dark Background")
                            : QStringLiteral("Light Background"),
                      this,
                      [this] { toggleBackground(m_model); });
    m_menu->addSeparator();
    m_menu->addAction(
        QStringLiteral("Zoom In"), this, hostAction(&WhiteboardToolbarView::onZoomIn));
    m_menu->addAction(
        QStringLiteral("Zoom Out"), this, hostAction(&WhiteboardToolbarView::onZoomOut));
    const QString resetTitle =
        QStringLiteral("Reset View (%1%)")
            .arg(static_cast<qlonglong>(zoomPercentage(board.viewport.scale)));
    m_menu->addAction(resetTitle, this, [this] { m_model.resetView(); });
}

void WhiteboardToolbarView::addExportItems()
{
    m_menu->addAction(QStringLiteral("Save to Session"),
                      this,
                      hostAction(&WhiteboardToolbarView::onAddToSession));
    m_menu->addAction(
        QStringLiteral("Copy Viewport as PNG"), this, hostAction(&WhiteboardToolbarView::onCopy));
    m_menu->addAction(
        QStringLiteral("Export PNG"), this, hostAction(&WhiteboardToolbarView::onExportPNG));
    m_menu->addAction(
        QStringLiteral("Export SVG"), this, hostAction(&WhiteboardToolbarView::onExportSVG));
    m_menu->addSeparator();
    m_menu->addAction(QStringLiteral("Import .excalidraw"),
                      this,
                      hostAction(&WhiteboardToolbarView::onImportExcalidraw));
    m_menu->addAction(QStringLiteral("Export .excalidraw"),
                      this,
                      hostAction(&WhiteboardToolbarView::onExportExcalidraw));
}

} // namespace zentrel
