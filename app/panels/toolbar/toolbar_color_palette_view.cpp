#include "panels/toolbar/toolbar_color_palette_view.h"

#include "common/qt_conversions.h"
#include "panels/panel_style.h"
#include "shell/app_preferences.h"
#include "shell/presentation_color.h"

#include <QAbstractButton>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QSignalBlocker>

#include <cmath>

namespace zentrel {

namespace {

constexpr int swatchDiameter = 18;
constexpr int swatchPadding = 3;
constexpr QSize customColorSize(28, 24);
constexpr double matchTolerance = 0.01;

// A round colour button, ringed while selected; only the caller changes the selection.
class ColorSwatchButton : public QAbstractButton
{
public:
    ColorSwatchButton(const QColor &color, QWidget *parent)
        : QAbstractButton(parent)
        , m_color(color)
    {
        setCheckable(true);
        setFocusPolicy(Qt::NoFocus);
        setFixedSize(sizeHint());
    }

    QSize sizeHint() const override
    {
        const int side = swatchDiameter + 2 * swatchPadding;
        return QSize(side, side);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF circle(swatchPadding, swatchPadding, swatchDiameter, swatchDiameter);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_color);
        painter.drawEllipse(circle);
        if (isChecked()) {
            painter.setPen(QPen(panelPrimaryColor(palette()), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(circle);
        }
    }

    void nextCheckState() override {}

private:
    QColor m_color;
};

// The custom colour well: the current drawing colour in a small rounded frame.
class CustomColorButton : public QAbstractButton
{
public:
    CustomColorButton(const AppPreferences &preferences, QWidget *parent)
        : QAbstractButton(parent)
        , m_preferences(preferences)
    {
        setFocusPolicy(Qt::NoFocus);
        setFixedSize(customColorSize);
    }

    QSize sizeHint() const override { return customColorSize; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.setPen(QPen(withOpacity(panelPrimaryColor(palette()), 0.25), 1));
        painter.setBrush(withOpacity(panelPrimaryColor(palette()), isDown() ? 0.18 : 0.06));
        painter.drawRoundedRect(frame, 6, 6);
        QColor current = toQColor(m_preferences.drawingColor());
        current.setAlphaF(1);
        painter.setPen(QPen(withOpacity(panelPrimaryColor(palette()), 0.2), 1));
        painter.setBrush(current);
        painter.drawRoundedRect(frame.adjusted(4, 4, -4, -4), 3, 3);
    }

private:
    const AppPreferences &m_preferences;
};

} // namespace

bool drawingColorsMatch(const Color &first, const Color &second)
{
    const double components[][2] = {
        {first.red, second.red},
        {first.green, second.green},
        {first.blue, second.blue},
    };
    for (const auto &[a, b] : components) {
        if (!std::isfinite(a) || !std::isfinite(b) || std::abs(a - b) >= matchTolerance) {
            return false;
        }
    }
    return true;
}

ToolbarColorPaletteView::ToolbarColorPaletteView(AppPreferences &preferences, QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (const PresentationColor name : presentationColorText.values()) {
        const Color color = systemColor(name);
        auto *swatch = new ColorSwatchButton(toQColor(color), this);
        QString word = QString::fromUtf8(presentationColorText.text(name));
        word[0] = word[0].toUpper();
        swatch->setToolTip(word);
        swatch->setAccessibleName(word + QStringLiteral(" drawing color"));
        connect(swatch, &QAbstractButton::clicked, this, [this, color] {
            m_preferences.setDrawingColor(color);
        });
        layout->addWidget(swatch, 0, Qt::AlignVCenter);
        m_swatches.emplace_back(color, swatch);
    }
    m_customColor = new CustomColorButton(m_preferences, this);
    m_customColor->setToolTip(QStringLiteral("Custom color"));
    m_customColor->setAccessibleName(QStringLiteral("Custom drawing color"));
    connect(
        m_customColor, &QAbstractButton::clicked, this, &ToolbarColorPaletteView::showColorDialog);
    layout->addWidget(m_customColor, 0, Qt::AlignVCenter);

    refresh();
    m_preferencesConnection =
        m_preferences.onChange(AppPreferences::Setting::drawingColor, [this] { refresh(); });
}

void ToolbarColorPaletteView::refresh()
{
    const Color current = m_preferences.drawingColor();
    for (const auto &[color, swatch] : m_swatches) {
        swatch->setChecked(drawingColorsMatch(current, color));
    }
    m_customColor->update();
}

void ToolbarColorPaletteView::showColorDialog()
{
    if (!m_colorDialog) {
        m_colorDialog = new QColorDialog(this);
        m_colorDialog->setWindowTitle(QStringLiteral("Custom drawing color"));
        // Live like the desktop's colour panels: every colour chosen is written at once, so
        // there is nothing to confirm or cancel. Qt's own dialog reports each change.
        m_colorDialog->setOptions(QColorDialog::NoButtons | QColorDialog::DontUseNativeDialog);
        m_colorDialog->setWindowFlag(Qt::WindowStaysOnTopHint);
        connect(m_colorDialog, &QColorDialog::currentColorChanged, this, [this](const QColor &c) {
            m_preferences.setDrawingColor(toColor(c));
        });
    }
    {
        const QSignalBlocker blocker(m_colorDialog);
        m_colorDialog->setCurrentColor(toQColor(m_preferences.drawingColor()));
    }
    m_colorDialog->show();
    m_colorDialog->raise();
    m_colorDialog->activateWindow();
}

} // namespace zentrel
