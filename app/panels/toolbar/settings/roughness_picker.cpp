#include "panels/toolbar/settings/roughness_picker.h"

#include "panels/panel_style.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>

namespace zentrel {

namespace {

constexpr int textPixelSize = 12;
constexpr int segmentPadding = 7;
constexpr int segmentHeight = 22;
constexpr int trackInset = 2;
constexpr qreal trackRadius = 6;

// One segment: plain text, drawn on a raised white face while it is the chosen level.
class RoughnessSegment : public QAbstractButton
{
public:
    RoughnessSegment(const QString &text, QWidget *parent)
        : QAbstractButton(parent)
    {
        setText(text);
        setCheckable(true);
        setFocusPolicy(Qt::NoFocus);
        setFont(panelFont(*this, textPixelSize, QFont::Normal));
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        return QSize(fontMetrics().horizontalAdvance(text()) + 2 * segmentPadding, segmentHeight);
    }

    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPalette &colors = palette();
        if (isChecked()) {
            const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
            painter.setPen(QPen(withOpacity(panelPrimaryColor(colors), 0.12), 1));
            painter.setBrush(colors.color(QPalette::Base));
            painter.drawRoundedRect(face, trackRadius - trackInset, trackRadius - trackInset);
        } else if (isDown()) {
            painter.setPen(Qt::NoPen);
            painter.setBrush(withOpacity(panelPrimaryColor(colors), 0.08));
            painter.drawRoundedRect(QRectF(rect()), trackRadius - 2, trackRadius - 2);
        }
        painter.setPen(panelPrimaryColor(colors));
        painter.drawText(rect(), Qt::AlignCenter, text());
    }

    void nextCheckState() override {}
};

} // namespace

RoughnessPicker::RoughnessPicker(QWidget *parent)
    : QWidget(parent)
    , m_title(new QLabel(QStringLiteral("Roughness"), this))
    , m_segmentRow(new QWidget(this))
{
    m_title->setFont(panelFont(*this, textPixelSize, QFont::Normal));
    auto *segmentLayout = new QHBoxLayout(m_segmentRow);
    segmentLayout->setContentsMargins(trackInset, trackInset, trackInset, trackInset);
    segmentLayout->setSpacing(0);
    for (const RoughnessLevel level : allRoughnessLevels) {
        auto *segment = new RoughnessSegment(label(level), m_segmentRow);
        segment->setObjectName(QString::number(static_cast<int>(level)));
        segment->setAccessibleName(label(level));
        connect(
            segment, &QAbstractButton::clicked, this, [this, level] { Q_EMIT levelChosen(level); });
        segmentLayout->addWidget(segment);
        m_segments[static_cast<std::size_t>(level)] = segment;
    }
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_title);
    layout->addWidget(m_segmentRow, 1);
    setLevel(m_level);
}

QString RoughnessPicker::label(RoughnessLevel level)
{
    switch (level) {
    case RoughnessLevel::none:
        return QStringLiteral("Smooth");
    case RoughnessLevel::low:
        return QStringLiteral("Slightly Rough");
    case RoughnessLevel::medium:
        return QStringLiteral("Rough");
    case RoughnessLevel::high:
        return QStringLiteral("Very Rough");
    }
    return {};
}

void RoughnessPicker::setLevel(RoughnessLevel level)
{
    m_level = level;
    for (std::size_t index = 0; index < m_segments.size(); ++index) {
        m_segments[index]->setChecked(allRoughnessLevels[index] == level);
    }
}

void RoughnessPicker::setTitleVisible(bool visible)
{
    m_title->setVisible(visible);
}

void RoughnessPicker::paintEvent(QPaintEvent *)
{
    // The track behind the segments; the chosen segment draws its raised face over it.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(withOpacity(panelPrimaryColor(palette()), 0.08));
    painter.drawRoundedRect(QRectF(m_segmentRow->geometry()), trackRadius, trackRadius);
}

} // namespace zentrel
