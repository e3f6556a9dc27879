#include "overlay/overlay_window_factory.h"

#include "overlay/panel_placement.h"
#include "platform/platform_services.h"

#include <QPainterPath>
#include <QRegion>

namespace zentrel {
namespace {

RectF toRectF(const QRect &rect)
{
    return RectF{static_cast<double>(rect.x()),
                 static_cast<double>(rect.y()),
                 static_cast<double>(rect.width()),
                 static_cast<double>(rect.height())};
}

QRect toRect(const RectF &rect)
{
    return QRectF(rect.x, rect.y, rect.width, rect.height).toAlignedRect();
}

} // namespace

OverlayWindowFactory::OverlayWindowFactory(const QRect &screenGeometry)
    : m_screen(screenGeometry)
{}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeOverlayPanel(QWidget *content,
                                                                     bool ignoresMouse) const
{
    auto panel = std::make_unique<OverlayPanel>(OverlayPanel::Level::overlay, content);
    panel->setAttribute(Qt::WA_TransparentForMouseEvents, ignoresMouse);
    if (ignoresMouse) {
        panel->setWindowFlag(Qt::WindowTransparentForInput);
        panel->setWindowFlag(Qt::WindowDoesNotAcceptFocus);
    }
    panel->setGeometry(m_screen);
    return panel;
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeToolbarPanel(QWidget *content) const
{
    return makeFloatingPanel(PanelKind::toolbar, content);
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeSettingsPanel(QWidget *content) const
{
    content->setMinimumWidth(static_cast<int>(settingsPanelMinimumWidth));
    return makeFloatingPanel(PanelKind::settings, content);
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makePropertyPanel(QWidget *content) const
{
    return makeFloatingPanel(PanelKind::property, content);
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeCardPanel(QWidget *content) const
{
    return makeFloatingPanel(PanelKind::card, content);
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeFloatingPanel(PanelKind kind,
                                                                      QWidget *content) const
{
    // The card sits with the full-screen overlays, below every toolbar and settings panel.
    const auto level = kind == PanelKind::settings ? OverlayPanel::Level::settings
                       : kind == PanelKind::card   ? OverlayPanel::Level::overlay
                                                   : OverlayPanel::Level::toolbar;
    const qreal cornerRadius = kind == PanelKind::card ? 28 : 10;
    auto panel = std::make_unique<OverlayPanel>(level, content);
    const QSize size = panel->sizeHint();
    const SizeF fitting{static_cast<double>(size.width()), static_cast<double>(size.height())};
    panel->setGeometry(toRect(panelFrame(kind, toRectF(m_screen), fitting)));
    // Without a compositing manager the clear corners of a rounded panel would show black;
    // cut them away instead.
    if (!isCompositingActive()) {
        QPainterPath outline;
        outline.addRoundedRect(
            QRectF(QPointF(0, 0), QSizeF(panel->size())), cornerRadius, cornerRadius);
        panel->setMask(QRegion(outline.toFillPolygon().toPolygon()));
    }
    return panel;
}

} // namespace zentrel
