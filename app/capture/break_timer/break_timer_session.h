#pragma once

#include "common/geometry.h"
#include "common/qt_shell_ports.h"
#include "common/signal.h"
#include "overlay/overlay_settings_model.h"
#include "panels/overlay_input_controller.h"
#include "panels/overlay_window_factory.h"
#include "shell/break_timer_presentation_style.h"

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTimer;

namespace zentrel {

class AppPreferences;
class BreakTimerModel;
class BreakTimerView;
class Clock;
class GlobalInputMonitor;
class OverlayPanel;
class SoundPlayer;

// One break-timer run on one screen, or on another once its card is dragged there: the
// countdown, its card or full-screen page, the settings panel, Escape, and the chime at the end.
// The overlay controller owns it for the run.
class BreakTimerSession final : public QObject
{
    Q_OBJECT

public:
    // The clock drives the countdown; the sound player plays the chime.
    BreakTimerSession(const QRect &screenGeometry,
                      AppPreferences &preferences,
                      std::unique_ptr<SoundPlayer> soundPlayer,
                      std::unique_ptr<Clock> clock,
                      std::function<void()> onRequestClose);
    ~BreakTimerSession() override;

    // Shows the countdown, idle until the user starts it. Once only.
    void start();
    // Ends the run: monitors, chime, countdown, panels. The session stays inert until dropped.
    void close();

    // The countdown while the run lasts, else null; timer actions go to it.
    BreakTimerModel *model() const;

    OverlayPanel *panel() const { return m_panel.get(); }

    OverlayPanel *settingsPanel() const { return m_settingsPanel.get(); }

    // The chime, or the beep standing in for it, is sounding.
    bool isChiming() const;

    static constexpr const char *chimeSoundName = "complete";

private:
    BreakTimerView *makeView();
    void installPanel(BreakTimerView *view);
    void showPanel(BreakTimerView *view);
    void installEscapeMonitor();
    void toggleSettings();
    void returnCard();
    void rebuildContent();
    void onCardDropped(QPoint pointer);
    // The card as if opened on that screen, placed where it was dropped (droppedCardFrame).
    void moveCardTo(const QRect &screen, const RectF &dropped, PointF pointer);
    void onModelChanged();
    void onFinished();
    void playCompletionChime();
    void stopChime();
    void requestClose();
    bool isOwnPanel(const QWidget *window) const;
    // Hides a panel and deletes it after the current event, which may be one of its own.
    void retirePanel(std::unique_ptr<OverlayPanel> &panel);
    void retireSettings();
    // The settings panel and the countdown panel, before a new countdown panel replaces them.
    void retirePanels();

    QRect m_screen;
    AppPreferences &m_preferences;
    std::unique_ptr<SoundPlayer> m_soundPlayer;
    std::unique_ptr<Clock> m_clock;
    std::function<void()> m_onRequestClose;
    OverlayWindowFactory m_windowFactory;
    OverlayInputController m_inputController;
    OverlaySettingsModel m_settingsModel;
    QtScheduler m_scheduler{this};
    std::unique_ptr<BreakTimerModel> m_model;
    std::unique_ptr<OverlayPanel> m_panel;
    QPointer<BreakTimerView> m_view;
    std::unique_ptr<OverlayPanel> m_settingsPanel;

    // Where the floating card was before it moved over for its settings, and where it went.
    struct CardMove
    {
        QPoint from;
        QPoint to;
    };

    std::optional<CardMove> m_cardMove;
    // Panels on their way out still show the model until they are deleted.
    std::vector<QPointer<QWidget>> m_retiredPanels;
    std::unique_ptr<GlobalInputMonitor> m_globalInput;
    BreakTimerPresentationStyle m_shownStyle = BreakTimerPresentationStyle::floating;
    bool m_isLooping = false;
    QTimer *m_fallbackAlarmTimer = nullptr;
    bool m_isClosed = false;
    ScopedConnection m_modelConnection;
    ScopedConnection m_styleConnection;
};

} // namespace zentrel
