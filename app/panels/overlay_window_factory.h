#pragma once

#include "overlay/panel_placement.h"
#include "panels/overlay_panel.h"

#include <QRect>

#include <functional>
#include <memory>
#include <optional>

namespace zentrel {

// Makes the panels of one feature run on its screen, each in its place: the overlay covering
// the screen, the toolbar centred 40 below the top edge, the settings panel 96 below it and at
// least 260 wide, the property panel 24 from the left and 100 below the top, the break timer's
// card in the middle. The settings and property panels keep below the run's toolbar and scroll
// what the room below it cannot show.
class OverlayWindowFactory
{
public:
    explicit OverlayWindowFactory(const QRect &screenGeometry);

    const QRect &screenGeometry() const { return m_screen; }

    // A panel that lets clicks through stays out of the way of the programs below it.
    std::unique_ptr<OverlayPanel> makeOverlayPanel(QWidget *content, bool ignoresMouse) const;
    // An overlay whose content covers the screen with pixels of its own, such as a board: each
    // frame then goes to the screen without being cleared and blended first.
    std::unique_ptr<OverlayPanel> makeOpaqueOverlayPanel(QWidget *content) const;
    // The floating panels stay above `owner`, the run's overlay or card; `toolbar` is where the
    // run's toolbar is, where it has one.
    std::unique_ptr<OverlayPanel> makeToolbarPanel(QWidget *content, OverlayPanel *owner) const;
    std::unique_ptr<OverlayPanel>
    makeSettingsPanel(QWidget *content,
                      OverlayPanel *owner,
                      const std::optional<QRect> &toolbar = std::nullopt) const;
    // The settings panel of the break timer's floating card goes beside the card, which moves over
    // where only that leaves room for both.
    std::unique_ptr<OverlayPanel> makeSettingsPanelBesideCard(QWidget *content,
                                                              OverlayPanel &card) const;
    // The settings panel of the break timer's full-screen page goes beside the page's column of
    // content, `column` on the screen, which it updates to where the column has to go to make
    // room, narrowed no further than `narrowestColumn`.
    std::unique_ptr<OverlayPanel> makeSettingsPanelBesideColumn(QWidget *content,
                                                                OverlayPanel &page,
                                                                QRect &column,
                                                                int narrowestColumn) const;
    std::unique_ptr<OverlayPanel>
    makePropertyPanel(QWidget *content,
                      OverlayPanel *owner,
                      const std::optional<QRect> &toolbar = std::nullopt) const;
    // The break timer's countdown card, centred on the screen at the content's size, with the
    // content's corner radius.
    std::unique_ptr<OverlayPanel> makeCardPanel(QWidget *content, qreal cornerRadius) const;

private:
    // Beside the card or column at `beside`, which leaves it room already.
    std::unique_ptr<OverlayPanel>
    makeSettingsPanelBeside(QWidget *content, OverlayPanel &owner, const RectF &beside) const;
    std::unique_ptr<OverlayPanel>
    makePlacedPanel(PanelKind kind,
                    QWidget *content,
                    OverlayPanel *owner,
                    const std::optional<RectF> &toolbar = std::nullopt) const;
    std::unique_ptr<OverlayPanel> makePanelBelowToolbar(PanelKind kind,
                                                        QWidget *content,
                                                        OverlayPanel *owner,
                                                        const std::optional<QRect> &toolbar) const;
    std::unique_ptr<OverlayPanel> makePanel(QWidget *content,
                                            OverlayPanel *owner,
                                            const std::function<RectF(SizeF)> &frame) const;
    std::unique_ptr<OverlayPanel> coverScreen(std::unique_ptr<OverlayPanel> panel) const;

    QRect m_screen;
};

} // namespace zentrel
