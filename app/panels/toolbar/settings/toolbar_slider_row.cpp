#include "panels/toolbar/settings/toolbar_slider_row.h"

#include "panels/panel_style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

constexpr int textPixelSize = 12;

// A thin groove filled with the accent colour up to a round white knob.
QString sliderStyleSheet(const QPalette &palette)
{
    return QStringLiteral(
               "QSlider::groove:horizontal { height: 4px; border-radius: 2px; background: %1; }"
               "QSlider::sub-page:horizontal { border-radius: 2px; background: %2; }"
               "QSlider::sub-page:horizontal:disabled { background: %1; }"
               "QSlider::handle:horizontal { width: 14px; height: 14px; margin: -6px 0;"
               " border-radius: 8px; border: 1px solid %3; background: white; }"
               "QSlider::handle:horizontal:disabled { border-color: %1; }")
        .arg(withOpacity(panelPrimaryColor(palette), 0.12).name(QColor::HexArgb),
             panelAccentColor(palette).name(QColor::HexArgb),
             withOpacity(panelPrimaryColor(palette), 0.25).name(QColor::HexArgb));
}

} // namespace

ToolbarSliderRow::ToolbarSliderRow(
    const QString &title, double minimum, double maximum, double step, QWidget *parent)
    : QWidget(parent)
    , m_minimum(minimum)
    , m_step(step)
    , m_title(new QLabel(title, this))
    , m_value(new QLabel(this))
    , m_slider(new QSlider(Qt::Horizontal, this))
{
    m_title->setFont(panelFont(*this, textPixelSize, QFont::Medium));
    // The usual UI fonts already draw digits of one width, so the value does not jitter.
    m_value->setFont(panelFont(*this, textPixelSize, QFont::Normal));
    QPalette valuePalette = m_value->palette();
    valuePalette.setColor(QPalette::WindowText, panelSecondaryColor(palette()));
    valuePalette.setColor(
        QPalette::Disabled, QPalette::WindowText, withOpacity(panelSecondaryColor(palette()), 0.5));
    m_value->setPalette(valuePalette);

    m_slider->setRange(0, static_cast<int>(std::lround((maximum - minimum) / step)));
    m_slider->setFocusPolicy(Qt::NoFocus);
    m_slider->setStyleSheet(sliderStyleSheet(palette()));
    connect(m_slider, &QSlider::valueChanged, this, &ToolbarSliderRow::onSliderMoved);

    auto *header = new QHBoxLayout;
    header->addWidget(m_title);
    header->addStretch();
    header->addWidget(m_value);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addLayout(header);
    layout->addWidget(m_slider);
}

QString ToolbarSliderRow::title() const
{
    return m_title->text();
}

QString ToolbarSliderRow::formattedValue() const
{
    return m_value->text();
}

double ToolbarSliderRow::value() const
{
    return m_minimum + m_slider->value() * m_step;
}

void ToolbarSliderRow::setValue(double value)
{
    if (!std::isfinite(value)) {
        return;
    }
    const double position = std::round((value - m_minimum) / m_step);
    const QSignalBlocker blocker(m_slider);
    m_slider->setValue(static_cast<int>(
        std::clamp(position, double(m_slider->minimum()), double(m_slider->maximum()))));
}

void ToolbarSliderRow::setFormattedValue(const QString &text)
{
    m_value->setText(text);
}

void ToolbarSliderRow::onSliderMoved(int position)
{
    Q_EMIT valueChanged(m_minimum + position * m_step);
}

} // namespace zentrel
