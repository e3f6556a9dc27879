#pragma once

#include "capture/lanczos_resampler.h"
#include "capture/loupe/loupe_lens.h"
#include "capture/loupe_model.h"

#include <QImage>
#include <QRegion>
#include <QWidget>

#include <functional>

namespace zentrel {

// The round magnifying glass over the screen: the part of the captured screen under the
// pointer, scaled up with our own Lanczos resampler. Around it the view stays clear. Only what
// changed is painted again: where the loupe was and is, when it moved, resized or when the
// screen under it changed.
class LoupeView : public QWidget
{
    Q_OBJECT

public:
    // `screenSize` is the captured screen in points; the image may be denser.
    LoupeView(const QImage &screenImage, QSize screenSize);

    void setImage(const QImage &screenImage);
    // A live frame of part of the screen, placed at its offset() in the screen's picture.
    // Pixels the same as before repaint nothing.
    void updateRegion(const QImage &frame);
    void setMouseLocation(QPointF location);
    void setSettings(const LoupeSettings &settings);
    // Where no compositing manager runs the clear surroundings would show black: the window is
    // cut to the loupe instead.
    void setShapesWindow(bool shapesWindow);

    const LoupeSettings &settings() const { return m_settings; }

    QPointF mouseLocation() const { return m_mouseLocation; }

    std::function<void()> onEscape;
    std::function<void(double)> onZoomChange;
    std::function<void(double)> onSizeChange;

protected:
    // Touchpad pinches (native zoom gestures).
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    void apply(const LoupeAdjustment &adjustment);
    LoupeGeometry geometry() const;
    // Where the loupe and its rims paint, in view points.
    QRect lensArea() const;
    // Runs `change` and repaints where the loupe was and where it is now.
    template <typename Change>
    void moveLens(Change change);
    void updateShape();

    QImage m_image;
    QSize m_screenSize;
    QPointF m_mouseLocation;
    LoupeSettings m_settings;
    LanczosResampler m_resampler;
    QImage m_magnified;
    LoupeLens m_lens;
    bool m_shapesWindow = false;
    // The window's shape for the last diameter, at the origin; moved, not made, on each report.
    QRegion m_discShape;
    double m_discShapeDiameter = 0;
};

} // namespace zentrel
