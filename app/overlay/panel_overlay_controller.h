#pragma once

#include "overlay/overlay_controller.h"

#include <QObject>
#include <QPointer>
#include <QRect>

namespace zentrel {

class FeaturePanel;

// Hosts one feature run as a full-screen panel on one screen. It closes once: on Escape, when
// the screen configuration changes, or when the coordinator asks.
class PanelOverlayController final : public QObject, public OverlayController
{
    Q_OBJECT

public:
    PanelOverlayController(const QRect &screenGeometry, OverlayCallbacks callbacks);
    ~PanelOverlayController() override;

    void start(AppMode mode) override;
    void performAction(const PresentationAction &action) override;
    void close() override;

private:
    QRect m_screenGeometry;
    OverlayCallbacks m_callbacks;
    QPointer<FeaturePanel> m_panel;
    bool m_isClosed = false;
};

class PanelOverlayFactory final : public OverlayFactory
{
public:
    std::unique_ptr<OverlayController> makeOverlay(std::size_t screen,
                                                   OverlayCallbacks callbacks) override;
};

} // namespace zentrel
