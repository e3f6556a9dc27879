#include "panels/overlay_window_factory.h"

#include "common/qt_path.h"
#include "overlay/panel_placement.h"
#include "panels/panel_backdrop.h"
#include "panels/panel_scroll_area.h"

namespace zentrel {
namespace {

SizeF fittingSize(const QWidget *content)
{
    return toSizeF(content->sizeHint());
}

} // namespace

OverlayWindowFactory::OverlayWindowFactory(const QRect &screenGeometry)
    : m_screen(screenGeometry)
{}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeOverlayPanel(QWidget *content,
                                                                     bool ignoresMouse) const
{
    return coverScreen(std::make_unique<OverlayPanel>(content, nullptr, ignoresMouse));
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeOpaqueOverlayPanel(QWidget *content) const
{
    return coverScreen(
        std::make_unique<OverlayPanel>(content, nullptr, false, PanelSurface::opaque));
}

std::unique_ptr<OverlayPanel>
OverlayWindowFactory::coverScreen(std::unique_ptr<OverlayPanel> panel) const
{
    panel->coverScreen(m_screen);
    return panel;
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeToolbarPanel(QWidget *content,
                                                                     OverlayPanel *owner) const
{
    auto panel = makePlacedPanel(PanelKind::toolbar, content, owner);
    // Its strip's corners, so the corners cut away are the ones left unpainted.
    panel->setCornerRadius(toolbarCornerRadius);
    return panel;
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeSettingsPanel(
    QWidget *content, OverlayPanel *owner, const std::optional<QRect> &toolbar) const
{
    content->setMinimumWidth(static_cast<int>(settingsPanelMinimumWidth));
    return makePanelBelowToolbar(PanelKind::settings, content, owner, toolbar);
}

std::unique_ptr<OverlayPanel>
OverlayWindowFactory::makeSettingsPanelBesideCard(QWidget *content, OverlayPanel &card) const
{
    content->setMinimumWidth(static_cast<int>(settingsPanelMinimumWidth));
    const RectF cardFrame = settingsBesideCard(toRectF(m_screen),
                                               toRectF(QRectF(card.geometry())),
                                               fittingSize(content))
                                .card;
    card.move(toQRectF(cardFrame).toAlignedRect().topLeft());
    return makeSettingsPanelBeside(content, card, cardFrame);
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeSettingsPanelBesideColumn(
    QWidget *content, OverlayPanel &page, QRect &column, int narrowestColumn) const
{
    content->setMinimumWidth(static_cast<int>(settingsPanelMinimumWidth));
    const RectF columnFrame =
        settingsBesideColumn(
            toRectF(m_screen), toRectF(QRectF(column)), narrowestColumn, fittingSize(content))
            .card;
    column = toQRectF(columnFrame).toAlignedRect();
    return makeSettingsPanelBeside(content, page, columnFrame);
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeSettingsPanelBeside(
    QWidget *content, OverlayPanel &owner, const RectF &beside) const
{
    const RectF screen = toRectF(m_screen);
    const double limit = settingsHeightLimitBesideCard(screen, beside, content->sizeHint().width());
    return makePanel(
        new PanelScrollArea(content, static_cast<int>(limit)),
        &owner,
        [screen, beside](SizeF size) { return settingsBesideCard(screen, beside, size).settings; });
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makePropertyPanel(
    QWidget *content, OverlayPanel *owner, const std::optional<QRect> &toolbar) const
{
    return makePanelBelowToolbar(PanelKind::property, content, owner, toolbar);
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makeCardPanel(QWidget *content,
                                                                  qreal cornerRadius) const
{
    auto panel = makePlacedPanel(PanelKind::card, content, nullptr);
    panel->setCornerRadius(cornerRadius);
    return panel;
}

std::unique_ptr<OverlayPanel>
OverlayWindowFactory::makePanelBelowToolbar(PanelKind kind,
                                            QWidget *content,
                                            OverlayPanel *owner,
                                            const std::optional<QRect> &toolbar) const
{
    std::optional<RectF> toolbarFrame;
    if (toolbar) {
        toolbarFrame = toRectF(*toolbar);
    }
    const double limit =
        panelHeightLimit(kind, toRectF(m_screen), content->sizeHint().width(), toolbarFrame);
    return makePlacedPanel(
        kind, new PanelScrollArea(content, static_cast<int>(limit)), owner, toolbarFrame);
}

std::unique_ptr<OverlayPanel>
OverlayWindowFactory::makePlacedPanel(PanelKind kind,
                                      QWidget *content,
                                      OverlayPanel *owner,
                                      const std::optional<RectF> &toolbar) const
{
    return makePanel(content, owner, [kind, screen = toRectF(m_screen), toolbar](SizeF size) {
        return panelFrame(kind, screen, size, toolbar);
    });
}

std::unique_ptr<OverlayPanel> OverlayWindowFactory::makePanel(
    QWidget *content, OverlayPanel *owner, const std::function<RectF(SizeF)> &frame) const
{
    auto panel = std::make_unique<OverlayPanel>(content, owner);
    panel->setPlacement(
        [frame](QSize size) { return toQRectF(frame(toSizeF(size))).toAlignedRect(); });
    panel->setCornerRadius(panelCornerRadius);
    return panel;
}

} // namespace zentrel
