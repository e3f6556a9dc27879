#include "whiteboard/properties/whiteboard_property_panel.h"

#include "common/symbol_icon.h"
#include "overlay/toolbar/toolbar_style.h"
#include "shell/app_preferences.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/editor/whiteboard_layers.h"
#include "whiteboard/editor/whiteboard_property_commands.h"
#include "whiteboard/editor/whiteboard_styles.h"
#include "whiteboard/properties/whiteboard_color_group.h"
#include "whiteboard/properties/whiteboard_palettes.h"
#include "whiteboard/toolbar/whiteboard_button.h"
#include "whiteboard/toolbar/whiteboard_color_scheme.h"
#include "whiteboard/toolbar/whiteboard_text_alert.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

constexpr int panelWidth = 270;
constexpr int panelPadding = 18;
constexpr int groupSpacing = 16;
constexpr int titlePixelSize = 13;
constexpr int captionPixelSize = 11;
constexpr QSize choiceFrame(38, 30);
constexpr QSize textSizeFrame(36, 30);
constexpr qreal capsuleWidth = 17;
// The slider runs in thousandths so a drag feels continuous.
constexpr int opacitySteps = 1000;
constexpr int textSizes[] = {20, 24, 32, 48};

struct RoughnessChoice
{
    RoughnessLevel level;
    const char *symbol;
    const char *help;
};

constexpr RoughnessChoice roughnessChoices[] = {
    {RoughnessLevel::none, "minus", "Smooth"},
    {RoughnessLevel::low, "waveform.path", "Slightly Rough"},
    {RoughnessLevel::medium, "scribble", "Rough"},
    {RoughnessLevel::high, "scribble.variable", "Very Rough"},
};

struct LayerChoice
{
    WhiteboardLayerMove move;
    const char *symbol;
    const char *help;
};

constexpr LayerChoice layerChoices[] = {
    {WhiteboardLayerMove::toBack, "arrow.down.to.line", "Send to back"},
    {WhiteboardLayerMove::backward, "arrow.down", "Send backward"},
    {WhiteboardLayerMove::forward, "arrow.up", "Bring forward"},
    {WhiteboardLayerMove::toFront, "arrow.up.to.line", "Bring to front"},
};

// A whole number shown for a value, cut towards zero; a hair of tolerance keeps a value that
// binary fractions store just below a whole number (0.29 × 100) from showing one less.
qlonglong truncatedForDisplay(double value)
{
    return static_cast<qlonglong>(std::trunc(value + (value >= 0 ? 1e-9 : -1e-9)));
}

WhiteboardButton *makeChoiceButton(QSize frame, const QString &help, QWidget *parent)
{
    auto *button = new WhiteboardButton(WhiteboardButton::Look::property, frame, parent);
    button->setToolTip(help);
    button->setAccessibleName(help);
    return button;
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
    // Every change counts, the bare notice of a changed default included.
    m_modelConnection = m_model.changed.connect([this](WhiteboardEditorChange) { refresh(); });
}

WhiteboardPropertyPanel::~WhiteboardPropertyPanel() = default;

QWidget *
WhiteboardPropertyPanel::makeGroup(const QString &title, int spacing, QBoxLayout **rowLayout)
{
    auto *group = new QWidget(this);
    auto *column = new QVBoxLayout(group);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    auto *heading = new QLabel(title, group);
    heading->setFont(toolbarFont(*heading, titlePixelSize, QFont::Medium));
    column->addWidget(heading);
    if (rowLayout) {
        auto *row = new QHBoxLayout;
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(10);
        column->addLayout(row);
        *rowLayout = row;
    }
    return group;
}

void WhiteboardPropertyPanel::addColorGroups(QBoxLayout *layout)
{
    m_strokeGroup = new WhiteboardColorGroup(m_strokeColors, false, m_customColors, this, this);
    m_strokeGroup->onChoice = [this](const std::optional<Color> &color, bool fromGrid) {
        if (color) {
            chooseStrokeColor(m_model, m_preferences, *color);
        }
        if (fromGrid) {
            m_expandedColorSection.reset();
            refresh();
        }
    };
    m_strokeGroup->onMoreColors = [this] {
        toggleColorSection(m_strokeGroup->title());
    };
    layout->addWidget(m_strokeGroup);

    m_fillGroup = new WhiteboardColorGroup(m_fillColors, true, m_customColors, this, this);
    m_fillGroup->setTitle(QStringLiteral("Background"));
    m_fillGroup->onChoice = [this](const std::optional<Color> &color, bool fromGrid) {
        chooseFillColor(m_model, color);
        if (fromGrid) {
            m_expandedColorSection.reset();
            refresh();
        }
    };
    m_fillGroup->onMoreColors = [this] {
        toggleColorSection(m_fillGroup->title());
    };
    layout->addWidget(m_fillGroup);
}

void WhiteboardPropertyPanel::addWidthGroup(QBoxLayout *layout)
{
    QBoxLayout *row = nullptr;
    layout->addWidget(makeGroup(QStringLiteral("Stroke width"), 8, &row));
    for (const double width : m_widths) {
        auto *button = makeChoiceButton(
            choiceFrame, QStringLiteral("%1 pt").arg(static_cast<qlonglong>(width)), this);
        button->setLabelPainter([width](QPainter &painter, const QRectF &frame, const QColor &ink) {
            QRectF capsule(0, 0, capsuleWidth, std::max(width, 1.0));
            capsule.moveCenter(frame.center());
            QPainterPath path;
            path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
            painter.fillPath(path, ink);
        });
        connect(button, &QAbstractButton::clicked, this, [this, width] {
            chooseStrokeWidth(m_model, m_preferences, width);
        });
        row->addWidget(button);
        m_widthButtons.emplace_back(width, button);
    }
    row->addStretch(1);
}

void WhiteboardPropertyPanel::addRoughnessGroup(QBoxLayout *layout)
{
    QBoxLayout *row = nullptr;
    layout->addWidget(makeGroup(QStringLiteral("Roughness"), 8, &row));
    for (const RoughnessChoice &choice : roughnessChoices) {
        auto *button = makeChoiceButton(choiceFrame, QString::fromUtf8(choice.help), this);
        button->setSymbol(QString::fromUtf8(choice.symbol));
        connect(button, &QAbstractButton::clicked, this, [this, level = choice.level] {
            chooseRoughness(m_model, m_preferences, level);
        });
        row->addWidget(button);
        m_roughnessButtons.emplace_back(static_cast<int>(choice.level), button);
    }
    row->addStretch(1);
}

void WhiteboardPropertyPanel::addOpacityGroup(QBoxLayout *layout)
{
    QWidget *group = makeGroup(QStringLiteral("Opacity"), 5, nullptr);
    auto *column = static_cast<QVBoxLayout *>(group->layout());
    m_opacitySlider = new QSlider(Qt::Horizontal, group);
    m_opacitySlider->setRange(0, opacitySteps);
    m_opacitySlider->setAccessibleName(QStringLiteral("Opacity"));
    connect(m_opacitySlider, &QSlider::valueChanged, this, [this](int value) {
        chooseOpacity(m_model, static_cast<double>(value) / opacitySteps);
    });
    // One drag of the slider is one undo step.
    connect(m_opacitySlider, &QSlider::sliderPressed, this, [this] {
        beginContinuousStyleChange(m_model);
    });
    connect(m_opacitySlider, &QSlider::sliderReleased, this, [this] {
        endContinuousStyleChange(m_model);
    });
    column->addWidget(m_opacitySlider);

    auto *scale = new QHBoxLayout;
    auto *zero = new QLabel(QStringLiteral("0"), group);
    zero->setFont(toolbarFont(*zero, captionPixelSize, QFont::Normal));
    m_opacityValue = new QLabel(group);
    m_opacityValue->setFont(zero->font());
    scale->addWidget(zero);
    scale->addStretch(1);
    scale->addWidget(m_opacityValue);
    column->addLayout(scale);
    layout->addWidget(group);
}

void WhiteboardPropertyPanel::addLayersGroup(QBoxLayout *layout)
{
    QBoxLayout *row = nullptr;
    layout->addWidget(makeGroup(QStringLiteral("Layers"), 8, &row));
    for (const LayerChoice &choice : layerChoices) {
        auto *button = makeChoiceButton(choiceFrame, QString::fromUtf8(choice.help), this);
        button->setSymbol(QString::fromUtf8(choice.symbol));
        connect(button, &QAbstractButton::clicked, this, [this, move = choice.move] {
            moveInLayers(m_model, move);
        });
        row->addWidget(button);
        m_layerButtons.push_back(button);
    }
    row->addStretch(1);
}

void WhiteboardPropertyPanel::addTextSizeGroup(QBoxLayout *layout)
{
    m_textSizeGroup = new QWidget(this);
    auto *column = new QVBoxLayout(m_textSizeGroup);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(8);
    auto *heading = new QHBoxLayout;
    auto *title = new QLabel(QStringLiteral("Text size"), m_textSizeGroup);
    title->setFont(toolbarFont(*title, titlePixelSize, QFont::Medium));
    m_textSizeValue = new QLabel(m_textSizeGroup);
    QFont digits = toolbarFont(*m_textSizeValue, captionPixelSize, QFont::Normal);
    digits.setStyleHint(QFont::Monospace);
    m_textSizeValue->setFont(digits);
    heading->addWidget(title);
    heading->addStretch(1);
    heading->addWidget(m_textSizeValue);
    column->addLayout(heading);

    auto *row = new QHBoxLayout;
    row->setSpacing(8);
    for (const int size : textSizes) {
        auto *button = makeChoiceButton(textSizeFrame, QString::number(size), m_textSizeGroup);
        button->setText(QString::number(size));
        connect(button, &QAbstractButton::clicked, this, [this, size] {
            setTextFontSize(m_model, size);
        });
        row->addWidget(button);
        m_textSizeButtons.emplace_back(size, button);
    }
    m_textSizeStepper = new QSpinBox(m_textSizeGroup);
    m_textSizeStepper->setRange(8, 144);
    m_textSizeStepper->setSingleStep(2);
    m_textSizeStepper->setKeyboardTracking(false);
    m_textSizeStepper->setAccessibleName(QStringLiteral("Text size"));
    connect(m_textSizeStepper, &QSpinBox::valueChanged, this, [this](int size) {
        setTextFontSize(m_model, size);
    });
    row->addWidget(m_textSizeStepper);
    column->addLayout(row);
    layout->addWidget(m_textSizeGroup);
}

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
    if (shows != !m_textSizeGroup->isHidden()) {
        m_textSizeGroup->setVisible(shows);
        Q_EMIT preferredSizeChanged();
    }
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
    dim.setColor(QPalette::WindowText, toolbarSecondaryColor(palette));
    m_textSizeValue->setPalette(dim);
    // The menu button draws its icon as given, so the symbol is tinted to the scheme here.
    m_moreButton->setIcon(tintedPixmap(symbolIcon(QStringLiteral("slider.horizontal.3")),
                                       m_moreButton->iconSize().width(),
                                       devicePixelRatioF(),
                                       toolbarPrimaryColor(palette)));
    // Menus and dialogs are windows of their own, which take no palette from their parent.
    m_moreMenu->setPalette(palette);
    m_linkAlert->setPalette(palette);
}

void WhiteboardPropertyPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(withOpacity(toolbarSecondaryColor(palette()), 0.2), 1));
    painter.setBrush(palette().color(QPalette::Active, QPalette::Window));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
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
