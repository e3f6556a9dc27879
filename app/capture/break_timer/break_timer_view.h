#pragma once

#include "capture/break_timer_appearance.h"
#include "common/signal.h"
#include "shell/break_timer_presentation_style.h"

#include <QPoint>
#include <QRect>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QVBoxLayout;

namespace zentrel {

class AppPreferences;
class BreakTimerBadge;
class BreakTimerCapsuleButton;
class BreakTimerCircleButton;
class BreakTimerMessageLabel;
class BreakTimerModel;
class BreakTimerRing;
class OverlaySettingsModel;

// The countdown card, or the full-screen page: the break message, the ring with the time left,
// the state badge and the controls of each state. It keeps no state of its own: it shows the
// model, the break-timer preferences and whether the settings panel is open, and every control
// calls the model or asks its owner. `scale` shrinks the whole design to fit a small screen.
class BreakTimerView : public QWidget
{
    Q_OBJECT

public:
    BreakTimerView(BreakTimerModel &model,
                   AppPreferences &preferences,
                   BreakTimerPresentationStyle style,
                   OverlaySettingsModel &settingsModel,
                   double scale = 1,
                   QWidget *parent = nullptr);

    BreakTimerPresentationStyle presentationStyle() const { return m_style; }

    const BreakTimerMetrics &metrics() const { return m_metrics; }

    // The full-screen page's column of content, in the page's coordinates.
    QRect columnFrame() const;
    // The least width the column takes: its message wraps, nothing else gives way.
    int narrowestColumnWidth() const;
    // Moves the full-screen page's column to the left edge and width of `frame`, in the page's
    // coordinates, making room for the settings panel; none puts it back in the middle.
    void placeColumn(const std::optional<QRect> &frame);

Q_SIGNALS:
    void toggleSettingsRequested();
    void closeRequested();
    // The floating card was dragged by its background and let go with the pointer there.
    void cardDropped(QPoint pointer);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QWidget *makeColumn();
    QWidget *makeHeader(QWidget *parent);
    QWidget *makeChooser(QWidget *parent);
    QWidget *makeFineAdjustRow(QWidget *parent);
    QWidget *makeRunningControls(QWidget *parent);
    void adjustDuration(int deltaSeconds);
    void togglePause();
    void refresh();
    void refreshChooser(const QColor &text, const QColor &background);
    // A size of the design at the view's scale.
    int scaled(double designSize) const;

    BreakTimerModel &m_model;
    AppPreferences &m_preferences;
    OverlaySettingsModel &m_settingsModel;
    BreakTimerPresentationStyle m_style;
    BreakTimerMetrics m_metrics;

    QVBoxLayout *m_outer = nullptr;
    QWidget *m_column = nullptr;
    BreakTimerBadge *m_badge = nullptr;
    BreakTimerCircleButton *m_settingsButton = nullptr;
    BreakTimerCircleButton *m_closeButton = nullptr;
    BreakTimerMessageLabel *m_message = nullptr;
    BreakTimerRing *m_ring = nullptr;
    // The lower area: one of the two shows, by the state.
    QWidget *m_chooser = nullptr;
    QWidget *m_runningControls = nullptr;
    BreakTimerCapsuleButton *m_startButton = nullptr;
    std::vector<BreakTimerCapsuleButton *> m_chips;
    BreakTimerCircleButton *m_decreaseButton = nullptr;
    BreakTimerCircleButton *m_increaseButton = nullptr;
    QWidget *m_fineAdjustRow = nullptr;
    QLabel *m_customCaption = nullptr;
    QLabel *m_customTime = nullptr;
    BreakTimerCapsuleButton *m_pauseButton = nullptr;
    BreakTimerCapsuleButton *m_addMinuteButton = nullptr;
    // Where a drag of the floating card's background took hold of it.
    QPoint m_dragOffset;
    bool m_isDragging = false;

    ScopedConnection m_modelConnection;
    ScopedConnection m_preferencesConnection;
    ScopedConnection m_settingsConnection;
};

} // namespace zentrel
