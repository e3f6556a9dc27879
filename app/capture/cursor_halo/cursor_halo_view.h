#pragma once

#include "capture/cursor_halo_model.h"

#include <QWidget>

#include <functional>

class QTimer;

namespace zentrel {

class AppPreferences;

// Rings the pointer with a soft glow and shows each click as a ripple that grows and fades
// where the click happened. It only draws: clicks reach the programs below.
class CursorHaloView : public QWidget
{
    Q_OBJECT

public:
    using Now = std::function<Timestamp()>;

    explicit CursorHaloView(const AppPreferences &preferences,
                            Now now = &std::chrono::system_clock::now,
                            QWidget *parent = nullptr);

    void applyPreferences(const AppPreferences &preferences);
    // The pointer in view coordinates; redraws the halo where it was and where it is.
    void updateMouseLocation(QPointF location);
    // A ripple at the pointer; the 60 Hz animation runs while any ripple lives.
    void recordClick(CursorClickKind kind, Timestamp at);

    // Without a compositing manager translucent pixels show black: the window is then cut to
    // what the halo and the ripples cover, and they are painted opaque.
    void setShapesWindow(bool shapesWindow);

    const CursorHaloModel &model() const { return m_model; }

    bool isAnimating() const;

    // What the window is cut to while it shapes it.
    QRegion shape() const;

    // Escape runs this and goes no further, also when it is unset.
    std::function<void()> onEscape;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void animationTick();
    void paintHalo(QPainter &painter) const;
    void paintRipple(QPainter &painter, const RippleAppearance &ripple) const;
    void updateShape();

    CursorHaloModel m_model;
    Now m_now;
    QTimer *m_animationTimer;
    bool m_shapesWindow = false;
};

} // namespace zentrel
