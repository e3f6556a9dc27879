// The sections of the property panel: colours, stroke width, roughness, opacity, layers and text
// size.
#include "panels/panel_style.h"
#include "shell/app_preferences.h"
#include "whiteboard/editor/commands/whiteboard_layers.h"
#include "whiteboard/editor/commands/whiteboard_property_commands.h"
#include "whiteboard/editor/commands/whiteboard_styles.h"
#include "whiteboard/editor/whiteboard_editor_model.h"
#include "whiteboard/properties/whiteboard_color_group.h"
#include "whiteboard/properties/whiteboard_property_panel.h"
#include "whiteboard/toolbar/whiteboard_button.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

namespace zentrel {

namespace {

constexpr int titlePixelSize = 13;
constexpr int captionPixelSize = 11;
constexpr QSize choiceFrame(38, 30);
constexpr QSize textSizeFrame(36, 30);
constexpr qreal capsuleWidth = 17;
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

WhiteboardButton *makeChoiceButton(QSize frame, const QString &help, QWidget *parent)
{
    auto *button = new WhiteboardButton(WhiteboardButton::Look::property, frame, parent);
    button->setToolTip(help);
    button->setAccessibleName(help);
    return button;
}

} // namespace

QWidget *
WhiteboardPropertyPanel::makeGroup(const QString &title, int spacing, QBoxLayout **rowLayout)
{
    auto *group = new QWidget(this);
    auto *column = new QVBoxLayout(group);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(spacing);
    auto *heading = new QLabel(title, group);
    heading->setFont(panelFont(*heading, titlePixelSize, QFont::Medium));
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
    zero->setFont(panelFont(*zero, captionPixelSize, QFont::Normal));
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
    title->setFont(panelFont(*title, titlePixelSize, QFont::Medium));
    m_textSizeValue = new QLabel(m_textSizeGroup);
    QFont digits = panelFont(*m_textSizeValue, captionPixelSize, QFont::Normal);
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

} // namespace zentrel
