#include "drawing/drawing_toolbar_view.h"

#include "common/symbol_icon.h"
#include "drawing/drawing_toolbar_model.h"
#include "panels/panel_backdrop.h"
#include "panels/panel_style.h"
#include "panels/toolbar/toolbar_color_palette_view.h"
#include "panels/toolbar/toolbar_rows.h"
#include "panels/toolbar/toolbar_selection_button.h"
#include "panels/toolbar/toolbar_settings_button.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace zentrel {
namespace {

constexpr int spacing = 8;

} // namespace

DrawingToolbarView::DrawingToolbarView(DrawingToolbarModel &model,
                                       AppPreferences &preferences,
                                       OverlaySettingsModel &settingsModel,
                                       QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new TeachingControlStrip(makeContent(preferences, settingsModel), this));

    refresh();
    m_modelConnection = m_model.selectedToolChanged.connect([this](DrawingTool) { refresh(); });
}

QString DrawingToolbarView::displayName(DrawingTool tool)
{
    switch (tool) {
    case DrawingTool::freehand:
        return QStringLiteral("Pen");
    case DrawingTool::arrow:
        return QStringLiteral("Arrow");
    case DrawingTool::rectangle:
        return QStringLiteral("Rectangle");
    case DrawingTool::ellipse:
        return QStringLiteral("Ellipse");
    case DrawingTool::diamond:
        return QStringLiteral("Diamond");
    case DrawingTool::line:
        return QStringLiteral("Line");
    case DrawingTool::number:
        return QStringLiteral("Number");
    case DrawingTool::eraser:
        return QStringLiteral("Eraser");
    }
    return {};
}

QString DrawingToolbarView::symbolName(DrawingTool tool)
{
    switch (tool) {
    case DrawingTool::freehand:
        return QStringLiteral("pencil.tip");
    case DrawingTool::arrow:
        return QStringLiteral("arrow.up.right");
    case DrawingTool::rectangle:
        return QStringLiteral("rectangle");
    case DrawingTool::ellipse:
        return QStringLiteral("circle");
    case DrawingTool::diamond:
        return QStringLiteral("diamond");
    case DrawingTool::line:
        return QStringLiteral("line.diagonal");
    case DrawingTool::number:
        return QStringLiteral("number.circle");
    case DrawingTool::eraser:
        return QStringLiteral("eraser");
    }
    return {};
}

QWidget *DrawingToolbarView::makeContent(AppPreferences &preferences,
                                         OverlaySettingsModel &settingsModel)
{
    std::vector<QWidget *> groups;
    addToolButtons(ToolbarRows::addGroup(groups, spacing, this));
    groups.push_back(new ToolbarColorPaletteView(preferences, this));

    QHBoxLayout *edits = ToolbarRows::addGroup(groups, spacing, this);
    auto addButton = [this](QHBoxLayout *group,
                            const char *symbol,
                            const QString &helpText,
                            const QString &accessibleName,
                            void (DrawingToolbarView::*signal)()) {
        QToolButton *button =
            makeToolbarButton(QString::fromUtf8(symbol), helpText, accessibleName, this);
        connect(button, &QToolButton::clicked, this, signal);
        group->addWidget(button, 0, Qt::AlignVCenter);
        return button;
    };
    addButton(edits,
              "arrow.uturn.backward",
              QStringLiteral("Undo"),
              QStringLiteral("Undo"),
              &DrawingToolbarView::undoRequested);
    addButton(edits,
              "arrow.uturn.forward",
              QStringLiteral("Redo"),
              QStringLiteral("Redo"),
              &DrawingToolbarView::redoRequested);
    addButton(edits,
              "trash",
              QStringLiteral("Clear"),
              QStringLiteral("Clear drawing"),
              &DrawingToolbarView::clearRequested);

    QHBoxLayout *run = ToolbarRows::addGroup(groups, spacing, this);
    QToolButton *save = addButton(run,
                                  "rectangle.stack.badge.plus",
                                  QStringLiteral("Save visible frame to current session"),
                                  QStringLiteral("Save to Session"),
                                  &DrawingToolbarView::addToSessionRequested);
    save->setText(QStringLiteral("Save to Session"));
    save->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    save->setAccessibleDescription(
        QStringLiteral("Adds the current drawing to the active session"));

    auto *settings =
        new ToolbarSettingsButton(settingsModel, QStringLiteral("Draw settings"), this);
    connect(settings, &QToolButton::clicked, this, &DrawingToolbarView::toggleSettingsRequested);
    run->addWidget(settings, 0, Qt::AlignVCenter);

    addButton(run,
              "xmark",
              QStringLiteral("Close"),
              QStringLiteral("Close drawing"),
              &DrawingToolbarView::closeRequested);
    m_rows = new ToolbarRows(groups, spacing, this);
    return m_rows;
}

void DrawingToolbarView::fitWithin(int width)
{
    // The strip's padding and outline take their share of the width first.
    m_rows->fitWithin(width - (sizeHint().width() - m_rows->sizeHint().width()));
}

void DrawingToolbarView::addToolButtons(QHBoxLayout *row)
{
    int digit = 0;
    for (const DrawingTool tool : allDrawingTools) {
        const QString shortcut = QString::number(++digit);
        auto *button = new ToolbarSelectionButton(this);
        button->setIcon(symbolIcon(symbolName(tool)));
        button->setBadge(shortcut);
        button->setToolTip(QStringLiteral("%1 (%2)").arg(displayName(tool), shortcut));
        button->setAccessibleName(displayName(tool));
        button->setAccessibleDescription(QStringLiteral("Shortcut ") + shortcut);
        connect(
            button, &QToolButton::clicked, this, [this, tool] { m_model.setSelectedTool(tool); });
        row->addWidget(button, 0, Qt::AlignVCenter);
        m_toolButtons.emplace_back(tool, button);
    }
}

void DrawingToolbarView::refresh()
{
    for (const auto &[tool, button] : m_toolButtons) {
        button->setSelected(tool == m_model.selectedTool());
    }
}

} // namespace zentrel
