#pragma once

#include "common/signal.h"
#include "whiteboard/model/whiteboard_tool.h"

#include <QWidget>

#include <array>
#include <functional>
#include <utility>
#include <vector>

class QHBoxLayout;
class QMenu;

namespace zentrel {

class WhiteboardButton;
class WhiteboardEditorModel;
class WhiteboardTextAlert;

// The tools both the whiteboard and Zevizu & Vozurir show, in toolbar order.
inline constexpr std::array<WhiteboardTool, 11> whiteboardToolbarTools{
    WhiteboardTool::pan,
    WhiteboardTool::selection,
    WhiteboardTool::rectangle,
    WhiteboardTool::diamond,
    WhiteboardTool::ellipse,
    WhiteboardTool::arrow,
    WhiteboardTool::line,
    WhiteboardTool::freedraw,
    WhiteboardTool::text,
    WhiteboardTool::eraser,
    WhiteboardTool::marker,
};

// The floating strip of the whiteboard and of Zevizu & Vozurir: the lock of the selection, one
// button per tool, undo, redo, renumbering the markers, then the whiteboard menu (boards,
// arrange, view, export, close) or, over a frozen screen, Copy PNG, Save PNG and Save to Session,
// and close.
// Editing commands go straight to the model; everything that needs windows, files, the
// clipboard or the session store goes to the host's callbacks, each called once per click. It
// follows every change the model publishes.
class WhiteboardToolbarView : public QWidget
{
    Q_OBJECT

public:
    WhiteboardToolbarView(WhiteboardEditorModel &model,
                          bool isFreezeMode,
                          std::vector<WhiteboardTool> tools,
                          QWidget *parent = nullptr);
    ~WhiteboardToolbarView() override;

    std::function<void()> onZoomOut;
    std::function<void()> onZoomIn;
    std::function<void()> onCopy;
    std::function<void()> onExportPNG;
    std::function<void()> onExportSVG;
    std::function<void()> onImportExcalidraw;
    std::function<void()> onExportExcalidraw;
    std::function<void()> onAddToSession;
    std::function<void()> onClose;
    // Before the menu shows: its board commands must not leave a text being typed behind.
    std::function<void()> onMenuOpens;

    bool isFreezeMode() const { return m_isFreezeMode; }

    bool isRenamingBoard() const { return m_isRenamingBoard; }

    const QString &boardNameDraft() const { return m_boardNameDraft; }

    // The whiteboard menu, filled afresh each time it is about to show; none over a frozen
    // screen.
    QMenu *whiteboardMenu() const { return m_menu; }

    WhiteboardTextAlert *renameAlert() const { return m_renameAlert; }

    static QString helpText();

private:
    QWidget *makeContent();
    void addToolButtons(QWidget *content, QHBoxLayout *row);
    void addDivider(QWidget *content, QHBoxLayout *row);
    WhiteboardButton *addButton(QWidget *content,
                                QHBoxLayout *row,
                                const QString &symbol,
                                const QString &helpText,
                                std::function<void()> action);
    void fillMenu();
    void addBoardItems();
    void addArrangeItems();
    void addViewItems();
    void addExportItems();
    void startRenaming();
    void refresh();
    void applyColorScheme();
    // Runs a host callback when the host gave one.
    std::function<void()> hostAction(std::function<void()> WhiteboardToolbarView::*callback);

    WhiteboardEditorModel &m_model;
    bool m_isFreezeMode;
    std::vector<WhiteboardTool> m_tools;
    bool m_isRenamingBoard = false;
    QString m_boardNameDraft;
    std::vector<std::pair<WhiteboardTool, WhiteboardButton *>> m_toolButtons;
    WhiteboardButton *m_lockButton = nullptr;
    WhiteboardButton *m_undoButton = nullptr;
    WhiteboardButton *m_redoButton = nullptr;
    WhiteboardButton *m_renumberButton = nullptr;
    QMenu *m_menu = nullptr;
    WhiteboardTextAlert *m_renameAlert = nullptr;
    bool m_isDark = false;
    ScopedConnection m_modelConnection;
};

} // namespace zentrel
