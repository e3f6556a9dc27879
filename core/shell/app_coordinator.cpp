#include "shell/app_coordinator.h"

namespace zentrel {

AppCoordinator::AppCoordinator(DefaultsStore &defaults, Ports ports)
    : m_preferences(defaults)
    , m_ports(ports)
    , m_errorAlerts(ports.alerts)
{
    // Switching the program off closes the running feature.
    m_preferencesConnection = m_preferences.onChange(AppPreferences::Setting::isEnabled, [this] {
        if (!m_preferences.isEnabled()) {
            handleCloseCurrentMode();
        }
    });
}

AppCoordinator::~AppCoordinator()
{
    stopCurrentMode();
}

void AppCoordinator::toggleFeature(AppMode mode)
{
    if (!m_preferences.isEnabled()) {
        return;
    }
    m_hotkeyActivationState.heldFeature.reset();
    if (mode != AppMode::idle && mode != m_mode) {
        startMode(mode);
    } else {
        stopCurrentMode();
    }
}

void AppCoordinator::activateFeature(AppMode mode)
{
    if (!m_preferences.isEnabled() || mode == m_mode) {
        return;
    }
    if (mode == AppMode::idle) {
        stopCurrentMode();
    } else {
        startMode(mode);
    }
}

void AppCoordinator::stopCurrentMode()
{
    // Moved out first: closing reports the exit, which must not destroy the controller while
    // its close is still running.
    if (auto overlay = std::move(m_overlay)) {
        overlay->close();
    }
    setMode(AppMode::idle);
}

void AppCoordinator::startMode(AppMode mode)
{
    stopCurrentMode();
    const auto screen = m_ports.screens.activeScreen();
    if (!screen) {
        reportError("No active display was found.");
        return;
    }
    const std::uint64_t run = ++m_run;
    OverlayCallbacks callbacks{
        [this, run, mode] { handleOverlayExit(run, mode); },
        [this](const std::string &message) { reportError(message); },
    };
    m_overlay = m_ports.overlays.makeOverlay(*screen, std::move(callbacks));
    setMode(mode);
    m_overlay->start(mode);
}

void AppCoordinator::handleOverlayExit(std::uint64_t run, AppMode mode)
{
    if (run != m_run) {
        return;
    }
    if (m_hotkeyActivationState.heldFeature == presentationFeature(mode)) {
        m_hotkeyActivationState.heldFeature.reset();
    }
    // The controller may still be on the call stack; let it unwind before it goes.
    if (m_overlay) {
        m_ports.scheduler.post([overlay = std::shared_ptr(std::move(m_overlay))] {});
    }
    setMode(AppMode::idle);
}

void AppCoordinator::performOverlayAction(const PresentationAction &action)
{
    if (!m_preferences.isEnabled()) {
        return;
    }
    if (action.kind == PresentationAction::Kind::selectColor) {
        m_preferences.setDrawingColor(systemColor(action.color));
        return;
    }
    if (m_overlay) {
        m_overlay->performAction(action);
    }
}

void AppCoordinator::handleCommandUrl(const CommandUrlParts &url)
{
    if (!m_preferences.allowsExternalCommandURLs()) {
        reportError("External command URLs are disabled. Enable them in Settings > General.");
        return;
    }
    const auto command = parseCommandUrl(url);
    if (!command) {
        reportError("The Zentrel command URL is invalid.");
        return;
    }
    dispatch(*command);
}

void AppCoordinator::dispatch(const PresentationCommand &command)
{
    switch (command.kind) {
    case PresentationCommand::Kind::activate:
        m_hotkeyActivationState.heldFeature.reset();
        activateFeature(appMode(command.feature));
        break;
    case PresentationCommand::Kind::toggle:
        toggleFeature(appMode(command.feature));
        break;
    case PresentationCommand::Kind::stop:
        handleCloseCurrentMode();
        break;
    case PresentationCommand::Kind::action:
        performOverlayAction(command.action);
        break;
    }
}

void AppCoordinator::handleHotkeyDown(PresentationFeature feature)
{
    carryOut(m_hotkeyActivationState.keyDown(feature, m_preferences.activationStyle(feature)));
}

void AppCoordinator::handleHotkeyUp(PresentationFeature feature)
{
    carryOut(m_hotkeyActivationState.keyUp(feature, m_preferences.activationStyle(feature)));
}

void AppCoordinator::handleCloseCurrentMode()
{
    m_hotkeyActivationState.heldFeature.reset();
    stopCurrentMode();
}

void AppCoordinator::carryOut(const HotkeyActivationDecision &decision)
{
    switch (decision.kind) {
    case HotkeyActivationDecision::Kind::activate:
        activateFeature(decision.mode);
        break;
    case HotkeyActivationDecision::Kind::toggle:
        toggleFeature(decision.mode);
        break;
    case HotkeyActivationDecision::Kind::stop:
        stopCurrentMode();
        break;
    case HotkeyActivationDecision::Kind::ignore:
        break;
    }
}

void AppCoordinator::reportError(const std::string &text, std::function<void()> shown)
{
    m_errorAlerts.report(text, std::move(shown));
}

void AppCoordinator::setMode(AppMode mode)
{
    if (m_mode == mode) {
        return;
    }
    m_mode = mode;
    modeChanged.notify(mode);
}

} // namespace zentrel
