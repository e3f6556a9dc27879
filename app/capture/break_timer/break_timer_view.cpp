#include "capture/break_timer/break_timer_view.h"

#include "capture/break_timer/break_timer_controls.h"
#include "capture/break_timer/break_timer_ring.h"
#include "capture/break_timer_model.h"
#include "common/qt_conversions.h"
#include "overlay/overlay_settings_model.h"
#include "panels/panel_style.h"
#include "shell/app_preferences.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace zentrel {
namespace {

// The desktop's usual accent blue, on which prominent buttons carry white titles.
const QColor prominentFill(0, 122, 255);
constexpr int headerButtonSize = 36;
constexpr int controlHeight = 36;
constexpr int floatingWidth = 500;
constexpr int floatingHeight = 540;

// A row of controls on a faint capsule of the text colour.
class CapsuleBackdrop : public QWidget
{
public:
    using QWidget::QWidget;

    void setFill(const QColor &fill)
    {
        m_fill = fill;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_fill);
        const QRectF shape(rect());
        painter.drawRoundedRect(shape, shape.height() / 2, shape.height() / 2);
    }

private:
    QColor m_fill;
};

// A size already at the view's scale, in whole pixels.
int whole(double size)
{
    return static_cast<int>(std::lround(size));
}

void setTextColor(QLabel &label, const QColor &color)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, color);
    label.setPalette(palette);
}

} // namespace

BreakTimerView::BreakTimerView(BreakTimerModel &model,
                               AppPreferences &preferences,
                               BreakTimerPresentationStyle style,
                               OverlaySettingsModel &settingsModel,
                               double scale,
                               QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_preferences(preferences)
    , m_settingsModel(settingsModel)
    , m_style(style)
    , m_metrics(breakTimerMetrics(style, scale))
{
    const bool floating = style == BreakTimerPresentationStyle::floating;
    if (floating) {
        setFixedSize(scaled(floatingWidth), scaled(floatingHeight));
    } else {
        // The page takes its screen's size whatever its content asks for, so its window never
        // reaches past the screen; the scale has fitted the content to that size.
        setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    }
    m_outer = new QVBoxLayout(this);
    m_column = makeColumn();
    m_outer->addWidget(m_column, 0, floating ? Qt::Alignment() : Qt::AlignCenter);
    placeColumn(std::nullopt);

    refresh();
    m_modelConnection = m_model.changed.connect([this] { refresh(); });
    m_preferencesConnection =
        m_preferences.changed.connect([this](AppPreferences::Setting) { refresh(); });
    m_settingsConnection = m_settingsModel.changed.connect([this] { refresh(); });
}

QRect BreakTimerView::columnFrame() const
{
    return m_column->geometry();
}

int BreakTimerView::narrowestColumnWidth() const
{
    return m_column->layout()->minimumSize().width();
}

void BreakTimerView::placeColumn(const std::optional<QRect> &frame)
{
    const int padding = whole(m_metrics.outerPadding);
    const int messageWidth = whole(m_metrics.messageMaximumWidth);
    if (!frame) {
        if (m_metrics.maximumColumnWidth > 0) {
            m_column->setFixedWidth(whole(m_metrics.maximumColumnWidth));
        }
        m_message->setMaximumTextWidth(messageWidth);
        m_outer->setContentsMargins(padding, padding, padding, padding);
        return;
    }
    m_column->setFixedWidth(frame->width());
    m_message->setMaximumTextWidth(std::min(messageWidth, frame->width()));
    // The column is centred between the margins, so they put it in its place.
    m_outer->setContentsMargins(
        frame->left(), padding, std::max(0, width() - frame->right() - 1), padding);
}

QWidget *BreakTimerView::makeColumn()
{
    auto *column = new QWidget(this);
    m_message = new BreakTimerMessageLabel(
        whole(m_metrics.messageFontSize), whole(m_metrics.messageMaximumWidth), column);
    m_ring = new BreakTimerRing(m_metrics, column);
    m_chooser = makeChooser(column);
    m_runningControls = makeRunningControls(column);

    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(whole(m_metrics.columnSpacing));
    layout->addStretch();
    layout->addWidget(makeHeader(column));
    layout->addWidget(m_message, 0, Qt::AlignHCenter);
    layout->addWidget(m_ring, 0, Qt::AlignHCenter);
    layout->addWidget(m_chooser);
    layout->addWidget(m_runningControls);
    layout->addStretch();
    return column;
}

QWidget *BreakTimerView::makeHeader(QWidget *parent)
{
    auto *header = new QWidget(parent);
    header->setFixedHeight(whole(m_metrics.headerHeight));
    m_badge = new BreakTimerBadge(m_metrics.scale, header);

    const QString settingsLabel = QStringLiteral("Break timer settings");
    m_settingsButton = new BreakTimerCircleButton(
        QStringLiteral("slider.horizontal.3"), scaled(headerButtonSize), m_metrics.scale, header);
    m_settingsButton->setToolTip(settingsLabel);
    m_settingsButton->setAccessibleName(settingsLabel);
    connect(m_settingsButton,
            &QAbstractButton::clicked,
            this,
            &BreakTimerView::toggleSettingsRequested);

    m_closeButton = new BreakTimerCircleButton(
        QStringLiteral("xmark"), scaled(headerButtonSize), m_metrics.scale, header);
    m_closeButton->setText(QStringLiteral("Close"));
    m_closeButton->setToolTip(QStringLiteral("Close Break Timer"));
    m_closeButton->setAccessibleName(QStringLiteral("Close break timer"));
    connect(m_closeButton, &QAbstractButton::clicked, this, &BreakTimerView::closeRequested);

    auto *row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_badge, 0, Qt::AlignVCenter);
    row->addStretch();
    row->addWidget(m_settingsButton, 0, Qt::AlignVCenter);
    row->addWidget(m_closeButton, 0, Qt::AlignVCenter);
    return header;
}

QWidget *BreakTimerView::makeChooser(QWidget *parent)
{
    auto *chooser = new QWidget(parent);
    m_startButton = new BreakTimerCapsuleButton(
        QSize(whole(m_metrics.startLabelWidth), scaled(breakTimer::startButtonHeight)),
        scaled(13),
        m_metrics.scale,
        chooser);
    m_startButton->setSymbol(QStringLiteral("play.fill"));
    connect(m_startButton, &QAbstractButton::clicked, this, [this] { m_model.start(); });

    auto *chips = new QHBoxLayout;
    chips->setSpacing(scaled(8));
    chips->addStretch();
    for (const int minutes : breakTimer::quickDurations) {
        auto *chip = new BreakTimerCapsuleButton(QSize(scaled(48), scaled(breakTimer::chipHeight)),
                                                 scaled(12),
                                                 m_metrics.scale,
                                                 chooser);
        chip->setText(QStringLiteral("%1m").arg(minutes));
        // Checked reads as selected to assistive tools; only the duration decides it.
        chip->setCheckable(true);
        const QString label = QStringLiteral("Set %1 minutes").arg(minutes);
        chip->setToolTip(label);
        chip->setAccessibleName(label);
        connect(chip, &QAbstractButton::clicked, this, [this, minutes] {
            m_model.setDurationMinutes(minutes, 0);
        });
        chips->addWidget(chip);
        m_chips.push_back(chip);
    }
    chips->addStretch();

    auto *layout = new QVBoxLayout(chooser);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(whole(m_metrics.chooserSpacing));
    layout->addWidget(m_startButton, 0, Qt::AlignHCenter);
    auto *lower = new QVBoxLayout;
    lower->setSpacing(whole(m_metrics.chipRowSpacing));
    lower->addLayout(chips);
    lower->addWidget(makeFineAdjustRow(chooser), 0, Qt::AlignHCenter);
    layout->addLayout(lower);
    return chooser;
}

QWidget *BreakTimerView::makeFineAdjustRow(QWidget *parent)
{
    auto *row = new CapsuleBackdrop(parent);
    m_fineAdjustRow = row;
    const int adjustButtonSize = scaled(breakTimer::adjustButtonSize);
    m_decreaseButton =
        new BreakTimerCircleButton(QStringLiteral("minus"), adjustButtonSize, m_metrics.scale, row);
    m_decreaseButton->setAccessibleName(QStringLiteral("Decrease duration by 30 seconds"));
    connect(m_decreaseButton, &QAbstractButton::clicked, this, [this] {
        adjustDuration(-breakTimer::adjustStep);
    });
    m_increaseButton =
        new BreakTimerCircleButton(QStringLiteral("plus"), adjustButtonSize, m_metrics.scale, row);
    m_increaseButton->setAccessibleName(QStringLiteral("Increase duration by 30 seconds"));
    connect(m_increaseButton, &QAbstractButton::clicked, this, [this] {
        adjustDuration(breakTimer::adjustStep);
    });

    auto *custom = new QWidget(row);
    custom->setFixedWidth(scaled(104));
    m_customCaption = new QLabel(QStringLiteral("Custom"), custom);
    m_customCaption->setFont(panelFont(*m_customCaption, scaled(10), QFont::DemiBold));
    m_customTime = new QLabel(custom);
    m_customTime->setFont(panelFont(*m_customTime, scaled(24), QFont::DemiBold));
    auto *stack = new QVBoxLayout(custom);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(scaled(2));
    stack->addWidget(m_customCaption, 0, Qt::AlignHCenter);
    stack->addWidget(m_customTime, 0, Qt::AlignHCenter);

    auto *layout = new QHBoxLayout(row);
    const int verticalPadding = scaled(breakTimer::fineAdjustVerticalPadding);
    layout->setContentsMargins(scaled(14), verticalPadding, scaled(14), verticalPadding);
    layout->setSpacing(scaled(14));
    layout->addWidget(m_decreaseButton, 0, Qt::AlignVCenter);
    layout->addWidget(custom, 0, Qt::AlignVCenter);
    layout->addWidget(m_increaseButton, 0, Qt::AlignVCenter);
    return row;
}

QWidget *BreakTimerView::makeRunningControls(QWidget *parent)
{
    auto *controls = new QWidget(parent);
    m_pauseButton = new BreakTimerCapsuleButton(
        QSize(scaled(130), scaled(controlHeight)), scaled(13), m_metrics.scale, controls);
    m_pauseButton->setAccessibleDescription(QStringLiteral("Pauses or resumes the countdown"));
    connect(m_pauseButton, &QAbstractButton::clicked, this, &BreakTimerView::togglePause);
    m_addMinuteButton = new BreakTimerCapsuleButton(
        QSize(scaled(112), scaled(controlHeight)), scaled(13), m_metrics.scale, controls);
    m_addMinuteButton->setText(QStringLiteral("+1 min"));
    m_addMinuteButton->setSymbol(QStringLiteral("plus"));
    m_addMinuteButton->setAccessibleName(QStringLiteral("Add one minute"));
    connect(m_addMinuteButton, &QAbstractButton::clicked, this, [this] { m_model.addMinute(); });

    auto *layout = new QHBoxLayout(controls);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(scaled(12));
    layout->setAlignment(Qt::AlignHCenter);
    layout->addWidget(m_pauseButton);
    layout->addWidget(m_addMinuteButton);
    return controls;
}

int BreakTimerView::scaled(double designSize) const
{
    return scaledSize(designSize, m_metrics.scale);
}

void BreakTimerView::adjustDuration(int deltaSeconds)
{
    const DurationChoice choice = adjustedDuration(m_model.configuredDuration(), deltaSeconds);
    m_model.setDurationMinutes(choice.minutes, choice.seconds);
}

void BreakTimerView::togglePause()
{
    if (m_model.state() == BreakTimerState::running) {
        m_model.pause();
    } else if (m_model.state() == BreakTimerState::paused) {
        m_model.resume();
    }
}

void BreakTimerView::refresh()
{
    const QColor text = toQColor(m_preferences.breakTimerTextColor());
    const QColor background = toQColor(m_preferences.breakTimerBackgroundColor());
    const BreakTimerStateAppearance appearance = breakTimerAppearance(m_model.state());
    const QColor accent = toQColor(appearance.accent);

    m_badge->showState(QString::fromUtf8(appearance.badgeTitle), accent, text);
    m_settingsButton->setTextColor(text);
    m_settingsButton->setOpacities(m_settingsModel.isSettingsVisible() ? 0.22 : 0.08, 0.14, 0.72);
    m_closeButton->setTextColor(text);
    m_closeButton->setOpacities(0.08, 0.14, 0.72);
    m_message->setMessage(QString::fromStdString(m_preferences.breakTimerMessage()), text);
    m_ring->setContent(
        {breakTimerProgress(m_model.state(), m_model.remainingSeconds(), m_model.countdownLength()),
         QString::fromStdString(m_model.formattedRemaining()),
         QString::fromUtf8(appearance.statusLine),
         accent,
         text});

    const QString primaryTitle = QString::fromUtf8(appearance.primaryTitle);
    const QString primarySymbol = QString::fromUtf8(appearance.primarySymbol);
    if (appearance.isChoosing) {
        m_runningControls->hide();
        m_chooser->show();
        m_startButton->setText(primaryTitle);
        m_startButton->setColors(prominentFill, Qt::white);
        refreshChooser(text, background);
    } else {
        m_chooser->hide();
        m_runningControls->show();
        m_pauseButton->setText(primaryTitle);
        m_pauseButton->setSymbol(primarySymbol);
        m_pauseButton->setColors(prominentFill, Qt::white);
        m_addMinuteButton->setColors(withOpacity(text, 0.14), text);
    }
    update();
}

void BreakTimerView::refreshChooser(const QColor &text, const QColor &background)
{
    const double configured = m_model.configuredDuration();
    for (std::size_t index = 0; index < m_chips.size(); ++index) {
        const bool selected =
            isQuickDurationSelected(configured, breakTimer::quickDurations[index]);
        m_chips[index]->setChecked(selected);
        m_chips[index]->setColors(selected ? text : withOpacity(text, 0.11),
                                  selected ? background : text);
    }
    const bool canDecrease = canDecreaseDuration(configured);
    const bool canIncrease = canIncreaseDuration(configured);
    m_decreaseButton->setEnabled(canDecrease);
    m_increaseButton->setEnabled(canIncrease);
    for (auto [button, enabled] :
         {std::pair{m_decreaseButton, canDecrease}, std::pair{m_increaseButton, canIncrease}}) {
        button->setTextColor(text);
        button->setOpacities(enabled ? 0.14 : 0.05, 0, 1);
    }
    static_cast<CapsuleBackdrop *>(m_fineAdjustRow)->setFill(withOpacity(text, 0.08));
    setTextColor(*m_customCaption, withOpacity(text, 0.62));
    setTextColor(*m_customTime, text);
    m_customTime->setText(QString::fromStdString(m_model.formattedRemaining()));
}

void BreakTimerView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF card(rect());
    const qreal radius = m_metrics.cornerRadius;
    painter.setPen(Qt::NoPen);
    painter.setBrush(toQColor(m_preferences.breakTimerBackgroundColor()));
    painter.drawRoundedRect(card, radius, radius);
    if (m_metrics.hasBorder) {
        painter.setPen(QPen(withOpacity(toQColor(m_preferences.breakTimerTextColor()), 0.16), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(card.adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);
    }
}

void BreakTimerView::mousePressEvent(QMouseEvent *event)
{
    if (m_style == BreakTimerPresentationStyle::floating && event->button() == Qt::LeftButton) {
        m_dragOffset = event->globalPosition().toPoint() - window()->pos();
        m_isDragging = false;
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

void BreakTimerView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_style == BreakTimerPresentationStyle::floating && (event->buttons() & Qt::LeftButton)) {
        window()->move(event->globalPosition().toPoint() - m_dragOffset);
        m_isDragging = true;
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void BreakTimerView::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_isDragging && event->button() == Qt::LeftButton) {
        m_isDragging = false;
        event->accept();
        Q_EMIT cardDropped(event->globalPosition().toPoint());
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace zentrel
