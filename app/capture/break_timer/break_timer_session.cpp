#include "capture/break_timer/break_timer_session.h"

#include "capture/break_timer/break_timer_settings_view.h"
#include "capture/break_timer/break_timer_view.h"
#include "capture/break_timer_fit.h"
#include "capture/break_timer_model.h"
#include "common/qt_path.h"
#include "overlay/panel_placement.h"
#include "panels/event_monitor.h"
#include "panels/overlay_panel.h"
#include "platform/global_input_monitor.h"
#include "platform/platform_services.h"
#include "platform/sound_player.h"
#include "shell/app_preferences.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QTimer>

namespace zentrel {
namespace {

constexpr std::chrono::milliseconds fallbackBeepInterval{1000};

// Where a card of some size goes once dropped on the screen (droppedCardFrame).
std::function<QRect(QSize)> cardPlace(const QRect &screen, const RectF &dropped, PointF pointer)
{
    return [screen = toRectF(QRectF(screen)), dropped, pointer](QSize size) {
        return toQRectF(droppedCardFrame(screen, dropped, pointer, toSizeF(size))).toRect();
    };
}

} // namespace

BreakTimerSession::BreakTimerSession(const QRect &screenGeometry,
                                     AppPreferences &preferences,
                                     std::unique_ptr<SoundPlayer> soundPlayer,
                                     std::unique_ptr<Clock> clock,
                                     std::function<void()> onRequestClose)
    : m_screen(screenGeometry)
    , m_preferences(preferences)
    , m_soundPlayer(std::move(soundPlayer))
    , m_clock(std::move(clock))
    , m_onRequestClose(std::move(onRequestClose))
    , m_windowFactory(screenGeometry)
{}

BreakTimerSession::~BreakTimerSession()
{
    close();
    // Retired panels may still wait for their deferred deletion, and their views show the model.
    for (const QPointer<QWidget> &panel : m_retiredPanels) {
        delete panel;
    }
}

BreakTimerModel *BreakTimerSession::model() const
{
    return m_isClosed ? nullptr : m_model.get();
}

bool BreakTimerSession::isChiming() const
{
    return m_isLooping || m_fallbackAlarmTimer;
}

void BreakTimerSession::start()
{
    if (m_model || m_isClosed) {
        return;
    }
    m_model = std::make_unique<BreakTimerModel>(m_preferences.breakTimerDuration() * 60,
                                                m_preferences.breakTimerMessage(),
                                                *m_clock,
                                                m_scheduler);
    m_model->onFinished = [this] {
        onFinished();
    };
    m_model->onStarted = [this] {
        stopChime();
    };
    m_modelConnection = m_model->changed.connect([this] { onModelChanged(); });
    installPanel(makeView());
    installEscapeMonitor();
    m_styleConnection =
        m_preferences.onChange(AppPreferences::Setting::breakTimerPresentationStyle, [this] {
            // After the current event: the change may come from a click in a panel that the
            // rebuild closes.
            QTimer::singleShot(0, this, &BreakTimerSession::rebuildContent);
        });
}

BreakTimerView *BreakTimerSession::makeView()
{
    m_shownStyle = m_preferences.breakTimerPresentationStyle();
    const QSizeF screen = m_screen.size();
    const double scale = breakTimerScale(m_shownStyle, SizeF{screen.width(), screen.height()});
    auto *view = new BreakTimerView(*m_model, m_preferences, m_shownStyle, m_settingsModel, scale);
    connect(
        view, &BreakTimerView::toggleSettingsRequested, this, &BreakTimerSession::toggleSettings);
    connect(view, &BreakTimerView::closeRequested, this, &BreakTimerSession::requestClose);
    connect(view, &BreakTimerView::cardDropped, this, &BreakTimerSession::onCardDropped);
    return view;
}

void BreakTimerSession::installPanel(BreakTimerView *view)
{
    if (view->presentationStyle() == BreakTimerPresentationStyle::fullScreen) {
        m_panel = m_windowFactory.makeOverlayPanel(view, false);
    } else {
        m_panel = m_windowFactory.makeCardPanel(view, view->metrics().cornerRadius);
    }
    showPanel(view);
}

void BreakTimerSession::showPanel(BreakTimerView *view)
{
    m_view = view;
    m_panel->setWindowTitle(QStringLiteral("Break Timer"));
    m_panel->onEscape = [this] {
        requestClose();
    };
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
    view->setFocus();
}

void BreakTimerSession::installEscapeMonitor()
{
    const auto isEscape = [](QEvent *event) {
        return static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape;
    };
    m_inputController.addMonitor(std::make_unique<EventMonitor>(
        QEvent::KeyPress,
        [this](const QWidget *window) { return isOwnPanel(window); },
        isEscape,
        [this, isEscape](QEvent *event) {
            if (isEscape(event)) {
                QTimer::singleShot(0, this, &BreakTimerSession::requestClose);
            }
        }));
    // Escape typed while another program has the keyboard ends the break timer too, unless it
    // closes one of our dialogs (a colour picker).
    m_globalInput = makeGlobalInputMonitor();
    if (m_globalInput) {
        connect(m_globalInput.get(), &GlobalInputMonitor::escapePressed, this, [this] {
            if (!QApplication::activeModalWidget()) {
                QTimer::singleShot(0, this, &BreakTimerSession::requestClose);
            }
        });
    }
}

bool BreakTimerSession::isOwnPanel(const QWidget *window) const
{
    return window && (window == m_panel.get() || window == m_settingsPanel.get());
}

void BreakTimerSession::toggleSettings()
{
    if (m_settingsModel.isSettingsVisible()) {
        retireSettings();
        returnCard();
        return;
    }
    auto *content = new BreakTimerSettingsView(m_preferences);
    if (m_shownStyle == BreakTimerPresentationStyle::floating) {
        const QPoint home = m_panel->pos();
        m_settingsPanel = m_windowFactory.makeSettingsPanelBesideCard(content, *m_panel);
        m_cardMove = CardMove{home, m_panel->pos()};
    } else {
        // The page covers the screen from its corner.
        QRect column = m_view->columnFrame().translated(m_screen.topLeft());
        m_settingsPanel = m_windowFactory.makeSettingsPanelBesideColumn(
            content, *m_panel, column, m_view->narrowestColumnWidth());
        m_view->placeColumn(column.translated(-m_screen.topLeft()));
    }
    m_settingsPanel->setWindowTitle(QStringLiteral("Break timer settings"));
    m_settingsPanel->onEscape = [this] {
        toggleSettings();
    };
    m_settingsPanel->show();
    m_settingsPanel->raise();
    m_settingsModel.setSettingsVisible(true);
}

// Back where it was before it made room for its settings, unless the user has dragged it since;
// the page's column back in the middle.
void BreakTimerSession::returnCard()
{
    if (m_view) {
        m_view->placeColumn(std::nullopt);
    }
    if (m_cardMove && m_panel && m_panel->pos() == m_cardMove->to) {
        m_panel->move(m_cardMove->from);
    }
    m_cardMove.reset();
}

void BreakTimerSession::rebuildContent()
{
    if (!m_model || m_isClosed || m_preferences.breakTimerPresentationStyle() == m_shownStyle) {
        return;
    }
    BreakTimerView *view = makeView();
    retirePanels();
    installPanel(view);
}

// Let go on its own screen, the card only comes back whole onto it. On another screen it takes
// the size it opens at there, after the current event: that event is the old card's own.
void BreakTimerSession::onCardDropped(QPoint pointer)
{
    if (!m_panel || m_isClosed) {
        return;
    }
    const QScreen *screen = QGuiApplication::screenAt(pointer);
    const QRect target = screen ? screen->geometry() : m_screen;
    const RectF dropped = toRectF(QRectF(m_panel->geometry()));
    const PointF at = toPointF(QPointF(pointer));
    if (target == m_screen) {
        m_panel->move(cardPlace(target, dropped, at)(m_panel->size()).topLeft());
        return;
    }
    QTimer::singleShot(0, this, [this, target, dropped, at] { moveCardTo(target, dropped, at); });
}

void BreakTimerSession::moveCardTo(const QRect &screen, const RectF &dropped, PointF pointer)
{
    if (!m_model || m_isClosed) {
        return;
    }
    m_screen = screen;
    m_windowFactory = OverlayWindowFactory(screen);
    BreakTimerView *view = makeView();
    retirePanels();
    m_panel = m_windowFactory.makeCardPanel(view, view->metrics().cornerRadius);
    m_panel->setPlacement(cardPlace(screen, dropped, pointer));
    showPanel(view);
}

void BreakTimerSession::onModelChanged()
{
    // Whatever takes the countdown out of its end (another minute, another duration, a new
    // start) also ends the chime calling for attention to that end.
    if (m_model->state() != BreakTimerState::finished) {
        stopChime();
    }
}

void BreakTimerSession::onFinished()
{
    if (m_preferences.breakTimerChime()) {
        playCompletionChime();
    }
}

void BreakTimerSession::playCompletionChime()
{
    stopChime();
    if (m_soundPlayer->startLoop(QString::fromLatin1(chimeSoundName))) {
        m_isLooping = true;
        return;
    }
    m_soundPlayer->beep();
    m_fallbackAlarmTimer = new QTimer(this);
    m_fallbackAlarmTimer->setInterval(fallbackBeepInterval);
    connect(m_fallbackAlarmTimer, &QTimer::timeout, this, [this] { m_soundPlayer->beep(); });
    m_fallbackAlarmTimer->start();
}

void BreakTimerSession::stopChime()
{
    if (m_isLooping) {
        m_soundPlayer->stopLoop();
        m_isLooping = false;
    }
    delete m_fallbackAlarmTimer;
    m_fallbackAlarmTimer = nullptr;
}

void BreakTimerSession::requestClose()
{
    if (!m_isClosed && m_onRequestClose) {
        m_onRequestClose();
    }
}

void BreakTimerSession::close()
{
    if (m_isClosed) {
        return;
    }
    m_isClosed = true;
    m_inputController.removeAllMonitors();
    m_globalInput.reset();
    stopChime();
    if (m_model) {
        m_model->stop();
    }
    retireSettings();
    retirePanel(m_panel);
    m_styleConnection.disconnect();
}

void BreakTimerSession::retireSettings()
{
    retirePanel(m_settingsPanel);
    m_settingsModel.setSettingsVisible(false);
}

void BreakTimerSession::retirePanels()
{
    retireSettings();
    m_cardMove.reset();
    retirePanel(m_panel);
}

void BreakTimerSession::retirePanel(std::unique_ptr<OverlayPanel> &panel)
{
    if (panel) {
        panel->hide();
        m_retiredPanels.emplace_back(panel.get());
        panel.release()->deleteLater();
    }
}

} // namespace zentrel
