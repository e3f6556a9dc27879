#include "whiteboard/properties/whiteboard_property_panel.h"

#include "common/symbol_icon.h"
#include "panels/panel_backdrop.h"
#include "panels/panel_style.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_property_commands.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/properties/whiteboard_color_group.h"
#include "whiteboard/properties/whiteboard_palettes.h"
#include "whiteboard/toolbar/whiteboard_button.h"
#include "whiteboard/toolbar/whiteboard_color_scheme.h"
#include "whiteboard/toolbar/whiteboard_text_alert.h"

#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

constexpr WhiteboardEditorChange panelChanges =
    WhiteboardEditorChange::geometry | WhiteboardEditorChange::selection
    | WhiteboardEditorChange::boards | WhiteboardEditorChange::defaults
    | WhiteboardEditorChange::tool | WhiteboardEditorChange::textFontSize;
constexpr int panelWidth = 270;
constexpr int panelPadding = 18;
constexpr int groupSpacing = 16;

// A whole number shown for a value, cut towards zero; a hair of tolerance keeps a value that
// binary fractions store just below a whole number (0.29 × 100) from showing one less.
qlonglong truncatedForDisplay(double value)
{
    return static_cast<qlonglong>(std::trunc(value + (value >= 0 ? 1e-9 : -1e-9)));
}

} // namespace

WhiteboardPropertyPanel::WhiteboardPropertyPanel(WhiteboardEditorModel &model,
                                                 AppPreferences &preferences,
                                                 QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_preferences(preferences)
    , m_strokeColors(whiteboardStrokeColors())
    , m_fillColors(whiteboardFillColors())
    , m_customColors(whiteboardCustomColors())
{
    setFixedWidth(panelWidth);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(panelPadding, panelPadding, panelPadding, panelPadding);
    layout->setSpacing(groupSpacing);
    addColorGroups(layout);
    addWidthGroup(layout);
    addRoughnessGroup(layout);
    addOpacityGroup(layout);
    addLayersGroup(layout);
    addTextSizeGroup(layout);
    addMoreProperties(layout);
    makeLinkAlert();

    refresh();
    // What the panel shows: the selection's style, or the defaults when nothing is selected.
    // Pans, zooms and pointer gestures leave it alone.
    m_modelConnection = m_model.changed.connect([this](WhiteboardEditorChange change) {
        if (touches(change, panelChanges)) {
            refresh();
        }
    });
}

WhiteboardPropertyPanel::~WhiteboardPropertyPanel() = default;

void WhiteboardPropertyPanel::toggleColorSection(const QString &title)
{
    if (m_expandedColorSection == title) {
        m_expandedColorSection.reset();
    } else {
        m_expandedColorSection = title;
    }
    refreshColorGroups();
}

void WhiteboardPropertyPanel::refresh()
{
    const WhiteboardElementStyle style = effectiveStyle(m_model);
    setEnabled(!selectionContainsLocked(m_model));
    refreshColorGroups();
    for (const auto &[width, button] : m_widthButtons) {
        button->setSelected(style.strokeWidth == width);
    }
    for (const auto &[number, button] : m_roughnessButtons) {
        button->setSelected(style.roughness == number);
    }
    {
        const QSignalBlocker blocker(m_opacitySlider);
        m_opacitySlider->setValue(static_cast<int>(std::lround(style.opacity * opacitySteps)));
    }
    m_opacityValue->setText(QString::number(truncatedForDisplay(style.opacity * 100)));
    const bool hasSelection = !m_model.selection().empty();
    for (WhiteboardButton *button : m_layerButtons) {
        button->setEnabled(hasSelection);
    }
    refreshTextSize();
    applyColorScheme();
}

void WhiteboardPropertyPanel::refreshColorGroups()
{
    const WhiteboardElementStyle style = effectiveStyle(m_model);
    m_strokeGroup->setTitle(selectionIsAllText(m_model) ? QStringLiteral("Text color")
                                                        : QStringLiteral("Stroke"));
    m_strokeGroup->showCurrent(style.strokeColor);
    m_fillGroup->showCurrent(style.fillColor);
    // A grid opened under one title of the stroke group stays hidden under the other.
    m_strokeGroup->setGridOpen(m_expandedColorSection == m_strokeGroup->title());
    m_fillGroup->setGridOpen(m_expandedColorSection == m_fillGroup->title());
}

void WhiteboardPropertyPanel::refreshTextSize()
{
    const bool shows = showsTextSizeChoices(m_model);
    m_textSizeGroup->setVisible(shows);
    const double size = effectiveTextFontSize(m_model);
    m_textSizeValue->setText(QStringLiteral("%1 pt").arg(truncatedForDisplay(size)));
    for (const auto &[choice, button] : m_textSizeButtons) {
        button->setSelected(size == choice);
    }
    const QSignalBlocker blocker(m_textSizeStepper);
    m_textSizeStepper->setValue(static_cast<int>(truncatedForDisplay(size)));
}

void WhiteboardPropertyPanel::applyColorScheme()
{
    const bool dark = prefersDarkScheme(m_model.currentBoard());
    if (m_isDark == dark) {
        return;
    }
    m_isDark = dark;
    const QPalette palette = whiteboardSchemePalette(dark);
    setPalette(palette);
    QPalette dim = palette;
    dim.setColor(QPalette::WindowText, panelSecondaryColor(palette));
    m_textSizeValue->setPalette(dim);
    // The menu button draws its icon as given, so the symbol is tinted to the scheme here.
    m_moreButton->setIcon(tintedPixmap(symbolIcon(QStringLiteral("slider.horizontal.3")),
                                       m_moreButton->iconSize().width(),
                                       devicePixelRatioF(),
                                       panelPrimaryColor(palette)));
    // Menus and dialogs are windows of their own, which take no palette from their parent.
    m_moreMenu->setPalette(palette);
    m_linkAlert->setPalette(palette);
}

void WhiteboardPropertyPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(withOpacity(panelSecondaryColor(palette()), 0.2), 1));
    painter.setBrush(palette().color(QPalette::Active, QPalette::Window));
    painter.drawRoundedRect(
        QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), panelCornerRadius, panelCornerRadius);
}

void WhiteboardPropertyPanel::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    m_strokeGroup->placeGrid();
    m_fillGroup->placeGrid();
}

void WhiteboardPropertyPanel::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_strokeGroup->placeGrid();
    m_fillGroup->placeGrid();
}

} // namespace zentrel