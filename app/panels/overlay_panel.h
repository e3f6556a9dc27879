#pragma once

#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QSize>
#include <QWidget>

#include <functional>

namespace zentrel {

// How much of the screen below a panel shows through it.
enum class PanelSurface {
    translucent, // wherever the content leaves clear
    opaque,      // none: the content paints every pixel, so nothing is cleared before it paints
};

// Every window of a feature run. The run's main window (the overlay, or the break timer's card)
// takes the keyboard. A floating panel (toolbar, settings or property panel) is tied to its
// owner, the main window, so every window manager keeps it above the owner however the owner is
// clicked or raised; it never takes the keyboard, so a click on one of its controls leaves the
// keys with the canvas, and it lends itself the keyboard only while a text control of its own
// is edited. Escape runs `onEscape` and goes no further, whether or not it is set.
class OverlayPanel : public QWidget
{
    Q_OBJECT

public:
    // A panel that ignores the mouse lets every click through and never takes the keyboard.
    OverlayPanel(QWidget *content,
                 OverlayPanel *owner,
                 bool ignoresMouse = false,
                 PanelSurface surface = PanelSurface::translucent);

    // Hands the keyboard back to the owner after a dialog or text control of the panel had it.
    void returnKeyboard();

    // The panel takes its content's size, and whenever that changes it goes where `placement`
    // puts a frame of the new size, so all of it stays on its screen.
    void setPlacement(std::function<QRect(QSize)> placement);
    // Rounded corners, cut away while no compositing manager blends their clear pixels.
    void setCornerRadius(qreal radius);

    qreal cornerRadius() const { return m_cornerRadius; }

    // Full screen on the screen with that geometry, whichever monitor the window manager would
    // pick itself.
    void coverScreen(const QRect &screenGeometry);

    std::function<void()> onEscape;

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void lendKeyboard();
    void refuseKeyboard();
    void cutCorners();
    void placeOnCoveredScreen();

    QPointer<OverlayPanel> m_owner;
    bool m_hasKeyboard = false;
    std::function<QRect(QSize)> m_placement;
    qreal m_cornerRadius = 0;
    // What the window is cut to, in screen pixels; empty while it is whole.
    QRegion m_shape;
    QRect m_coveredScreen;
    int m_screenReturns = 0;
};

} // namespace zentrel
