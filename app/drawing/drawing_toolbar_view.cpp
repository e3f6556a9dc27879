#include "drawing/drawing_toolbar_view.h"

#include "common/symbol_icon.h"
#include "drawing/drawing_toolbar_model.h"
#include "panels/panel_backdrop.h"
#include "panels/panel_style.h"
#include "panels/toolbar/toolbar_color_palette_view.h"
#include "panels/toolbar/toolbar_selection_button.h"
#include "panels/toolbar/toolbar_settings_button.h"

#include <QHBoxLayout>
#include <QToolButton>

namespace zentrel {

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
    auto *content = new QWidget(this);
    auto *row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    addToolButtons(content, row);
    row->addWidget(makeToolbarDivider(content), 0, Qt::AlignVCenter);
    row->addWidget(new ToolbarColorPaletteView(preferences, content), 0, Qt::AlignVCenter);
    row->addWidget(makeToolbarDivider(content), 0, Qt::AlignVCenter);

    auto addButton = [this, content, row](const char *symbol,
                                          const QString &helpText,
                                          const QString &accessibleName,
                                          void (DrawingToolbarView::*signal)()) {
        QToolButton *button =
            makeToolbarButton(QString::fromUtf8(symbol), helpText, accessibleName, content);
        connect(button, &QToolButton::clicked, this, signal);
        row->addWidget(button, 0, Qt::AlignVCenter);
        return button;
    };
    addButton("arrow.uturn.backward",
              QStringLiteral("Undo"),
              QStringLiteral("Undo"),
              &DrawingToolbarView::undoRequested);
    addButton("arrow.uturn.forward",
              QStringLiteral("Redo"),
              QStringLiteral("Redo"),
              &DrawingToolbarView::redoRequested);
    addButton("trash",
              QStringLiteral("Clear"),
              QStringLiteral("Clear drawing"),
              &DrawingToolbarView::clearRequested);
    row->addWidget(makeToolbarDivider(content), 0, Qt::AlignVCenter);

    QToolButton *save = addButton("rectangle.stack.badge.plus",
                                  QStringLiteral("Save visible frame to current session"),
                                  QStringLiteral("Save to Session"),
                                  &DrawingToolbarView::addToSessionRequested);
    save->setText(QStringLiteral("Save to Session"));
    save->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    save->setAccessibleDescription(
        QStringLiteral("Adds the current drawing to the active session"));

    auto *settings =
        new ToolbarSettingsButton(settingsModel, QStringLiteral("Draw settings"), content);
    connect(settings, &QToolButton::clicked, this, &DrawingToolbarView::toggleSettingsRequested);
    row->addWidget(settings, 0, Qt::AlignVCenter);

    addButton("xmark",
              QStringLiteral("Close"),
              QStringLiteral("Close drawing"),
              &DrawingToolbarView::closeRequested);
    return content;
}

void DrawingToolbarView::addToolButtons(QWidget *content, QHBoxLayout *row)
{
    int digit = 0;
    for (const DrawingTool tool : allDrawingTools) {
        const QString shortcut = QString::number(++digit);
        auto *button = new ToolbarSelectionButton(content);
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
