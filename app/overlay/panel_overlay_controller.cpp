#include "overlay/panel_overlay_controller.h"

#include "overlay/feature_panel.h"

#include <QGuiApplication>
#include <QScreen>

namespace zentrel {
namespace {

QString featureTitle(AppMode mode)
{
    switch (mode) {
    case AppMode::idle:
        break;
    case AppMode::drawing:
        return QStringLiteral("Draw");
    case AppMode::zooming:
        return QStringLiteral("Zoom Loupe");
    case AppMode::spotlight:
        return QStringLiteral("Spotlight");
    case AppMode::freeze:
        return QStringLiteral("Zevizu & Vozurir");
    case AppMode::whiteboard:
        return QStringLiteral("Whiteboard");
    case AppMode::breakTimer:
        return QStringLiteral("Break Timer");
    case AppMode::cursorHalo:
        return QStringLiteral("Cursor Halo");
    }
    return {};
}

} // namespace

PanelOverlayController::PanelOverlayController(const QRect &screenGeometry,
                                               OverlayCallbacks callbacks)
    : m_screenGeometry(screenGeometry)
    , m_callbacks(std::move(callbacks))
{
    // A panel laid out for the old screens would now cover the wrong area.
    const auto closeOnScreenChange = [this] {
        close();
    };
    connect(qApp, &QGuiApplication::screenAdded, this, closeOnScreenChange);
    connect(qApp, &QGuiApplication::screenRemoved, this, closeOnScreenChange);
}

PanelOverlayController::~PanelOverlayController()
{
    delete m_panel;
}

void PanelOverlayController::start(AppMode mode)
{
    m_panel = new FeaturePanel(featureTitle(mode), m_screenGeometry);
    connect(m_panel, &FeaturePanel::escapePressed, this, &PanelOverlayController::close);
    m_panel->show();
    m_panel->raise();
    m_panel->activateWindow();
}

void PanelOverlayController::performAction(const PresentationAction &)
{}

void PanelOverlayController::close()
{
    if (m_isClosed) {
        return;
    }
    m_isClosed = true;
    if (m_panel) {
        m_panel->hide();
        m_panel->deleteLater();
    }
    m_callbacks.onExit();
}

std::unique_ptr<OverlayController> PanelOverlayFactory::makeOverlay(std::size_t screen,
                                                                    OverlayCallbacks callbacks)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    const QRect geometry = screen < static_cast<std::size_t>(screens.size())
                               ? screens[static_cast<qsizetype>(screen)]->geometry()
                               : QRect();
    return std::make_unique<PanelOverlayController>(geometry, std::move(callbacks));
}

} // namespace zentrel
