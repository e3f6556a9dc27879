#include "whiteboard/toolbar/whiteboard_toolbar_view.h"

#include "panels/panel_backdrop.h"
#include "panels/panel_style.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_text.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/toolbar/whiteboard_button.h"
#include "whiteboard/toolbar/whiteboard_color_scheme.h"
#include "whiteboard/toolbar/whiteboard_text_alert.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>

namespace zentrel {

namespace {

constexpr QSize symbolFrame(22, 22);
constexpr QSize toolSymbolFrame(24, 24);
constexpr int controlSpacing = 3;
constexpr int dividerHeight = 26;
constexpr int dividerPadding = 4;
constexpr int menuButtonWidth = 34;

constexpr WhiteboardEditorChange stripChanges =
    WhiteboardEditorChange::geometry | WhiteboardEditorChange::boards
    | WhiteboardEditorChange::selection | WhiteboardEditorChange::history
    | WhiteboardEditorChange::tool;

QString qText(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

WhiteboardToolbarView::WhiteboardToolbarView(WhiteboardEditorModel &model,
                                             bool isFreezeMode,
                                             std::vector<WhiteboardTool> tools,
                                             QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_isFreezeMode(isFreezeMode)
    , m_tools(std::move(tools))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *strip = new TeachingControlStrip(makeContent(), this);
    strip->setToolTip(helpText());
    layout->addWidget(strip);

    m_renameAlert =
        new WhiteboardTextAlert(QStringLiteral("Rename Board"), QStringLiteral("Board name"), this);
    m_renameAlert->addAction(QStringLiteral("Cancel"), WhiteboardTextAlert::Role::cancel, [] {});
    m_renameAlert->addAction(QStringLiteral("Rename"), WhiteboardTextAlert::Role::confirm, [this] {
        m_model.renameBoard(m_boardNameDraft.toStdString());
    });
    connect(m_renameAlert->field(), &QLineEdit::textChanged, this, [this](const QString &text) {
        m_boardNameDraft = text;
    });
    connect(m_renameAlert, &QDialog::finished, this, [this] { m_isRenamingBoard = false; });

    m_isDark = !prefersDarkScheme(m_model.currentBoard());
    refresh();
    m_modelConnection = m_model.changed.connect([this](WhiteboardEditorChange changes) {
        if (touches(changes, stripChanges)) {
            refresh();
        }
    });
}

WhiteboardToolbarView::~WhiteboardToolbarView() = default;

QString WhiteboardToolbarView::helpText()
{
    return QStringLiteral("Space-drag or scroll to pan. Ctrl-scroll or Ctrl +/- to zoom.");
}

QWidget *WhiteboardToolbarView::makeContent()
{
    auto *content = new QWidget(this);
    content->setToolTip(helpText());
    auto *row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(controlSpacing);

    m_lockButton = addButton(
        content, row, QStringLiteral("lock.open"), {}, [this] { toggleSelectionLock(m_model); });
    addDivider(content, row);
    addToolButtons(content, row);
    addDivider(content, row);
    m_undoButton = addButton(
        content, row, QStringLiteral("arrow.uturn.backward"), QStringLiteral("Undo"), [this] {
            m_model.undo();
        });
    m_redoButton = addButton(
        content, row, QStringLiteral("arrow.uturn.forward"), QStringLiteral("Redo"), [this] {
            m_model.redo();
        });
    m_renumberButton = addButton(
        content, row, QStringLiteral("textformat.123"), QStringLiteral("Renumber markers"), [this] {
            if (hasMarkers(m_model)) {
                renumberMarkers(m_model);
            }
        });
    addDivider(content, row);

    if (m_isFreezeMode) {
        addButton(content,
                  row,
                  QStringLiteral("doc.on.doc"),
                  QStringLiteral("Copy PNG"),
                  hostAction(&WhiteboardToolbarView::onCopy));
        addButton(content,
                  row,
                  QStringLiteral("square.and.arrow.down"),
                  QStringLiteral("Save PNG"),
                  hostAction(&WhiteboardToolbarView::onExportPNG));
        // Named as on Draw's toolbar: the frozen screen with its marks becomes a session frame.
        WhiteboardButton *save = addButton(content,
                                           row,
                                           QStringLiteral("rectangle.stack.badge.plus"),
                                           QStringLiteral("Save visible frame to current session"),
                                           hostAction(&WhiteboardToolbarView::onAddToSession));
        save->setAccessibleName(QStringLiteral("Save to Session"));
    } else {
        m_menu = new QMenu(this);
        connect(m_menu, &QMenu::aboutToShow, this, &WhiteboardToolbarView::fillMenu);
        WhiteboardButton *menuButton = addButton(
            content, row, QStringLiteral("ellipsis"), QStringLiteral("Whiteboard menu"), {});
        menuButton->setFixedWidth(menuButtonWidth);
        connect(menuButton, &QAbstractButton::clicked, this, [this, menuButton] {
            m_menu->popup(menuButton->mapToGlobal(QPoint(0, menuButton->height())));
        });
    }
    addButton(content,
              row,
              QStringLiteral("xmark"),
              QStringLiteral("Close"),
              hostAction(&WhiteboardToolbarView::onClose));
    return content;
}

void WhiteboardToolbarView::addToolButtons(QWidget *content, QHBoxLayout *row)
{
    for (const WhiteboardTool tool : m_tools) {
        auto *button =
            new WhiteboardButton(WhiteboardButton::Look::compact, toolSymbolFrame, content);
        const QString key = qText(shortcutKey(tool));
        button->setSymbol(qText(symbolName(tool)));
        button->setBadge(key);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(qText(title(tool)), key));
        button->setAccessibleName(qText(title(tool)));
        button->setAccessibleDescription(QStringLiteral("Shortcut ") + key);
        connect(button, &QAbstractButton::clicked, this, [this, tool] {
            m_model.setSelectedTool(tool);
        });
        row->addWidget(button, 0, Qt::AlignVCenter);
        m_toolButtons.emplace_back(tool, button);
    }
}

void WhiteboardToolbarView::addDivider(QWidget *content, QHBoxLayout *row)
{
    QWidget *divider = makeToolbarDivider(content);
    divider->setFixedHeight(dividerHeight);
    row->addSpacing(dividerPadding);
    row->addWidget(divider, 0, Qt::AlignVCenter);
    row->addSpacing(dividerPadding);
}

WhiteboardButton *WhiteboardToolbarView::addButton(QWidget *content,
                                                   QHBoxLayout *row,
                                                   const QString &symbol,
                                                   const QString &helpText,
                                                   std::function<void()> action)
{
    auto *button = new WhiteboardButton(WhiteboardButton::Look::compact, symbolFrame, content);
    button->setSymbol(symbol);
    button->setToolTip(helpText);
    button->setAccessibleName(helpText);
    if (action) {
        connect(
            button, &QAbstractButton::clicked, this, [action = std::move(action)] { action(); });
    }
    row->addWidget(button, 0, Qt::AlignVCenter);
    return button;
}

std::function<void()>
WhiteboardToolbarView::hostAction(std::function<void()> WhiteboardToolbarView::*callback)
{
    return [this, callback] {
        if (const auto &action = this->*callback) {
            action();
        }
    };
}

void WhiteboardToolbarView::refresh()
{
    const bool hasSelection = !m_model.selection().empty();
    const bool locked = selectionContainsLocked(m_model);
    const QString lockHelp =
        locked ? QStringLiteral("Unlock selection") : QStringLiteral("Lock selection");
    m_lockButton->setSymbol(locked ? QStringLiteral("lock.fill") : QStringLiteral("lock.open"));
    m_lockButton->setToolTip(lockHelp);
    m_lockButton->setAccessibleName(lockHelp);
    m_lockButton->setSelected(locked);
    m_lockButton->setEnabled(hasSelection);

    for (const auto &[tool, button] : m_toolButtons) {
        button->setSelected(tool == m_model.selectedTool());
    }
    m_undoButton->setEnabled(m_model.canUndo());
    m_redoButton->setEnabled(m_model.canRedo());
    m_renumberButton->setEnabled(hasMarkers(m_model));
    applyColorScheme();
}

void WhiteboardToolbarView::applyColorScheme()
{
    const bool dark = prefersDarkScheme(m_model.currentBoard());
    if (dark == m_isDark) {
        return;
    }
    m_isDark = dark;
    const QPalette palette = whiteboardSchemePalette(dark);
    setPalette(palette);
    // Menus and dialogs are windows of their own, which take no palette from their parent.
    if (m_menu) {
        m_menu->setPalette(palette);
    }
    if (m_renameAlert) {
        m_renameAlert->setPalette(palette);
    }
}

void WhiteboardToolbarView::startRenaming()
{
    m_boardNameDraft = QString::fromStdString(m_model.currentBoard().name);
    m_isRenamingBoard = true;
    m_renameAlert->present(m_boardNameDraft);
}

} // namespace zentrel
