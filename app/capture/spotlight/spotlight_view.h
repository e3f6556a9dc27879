#pragma once

#include "capture/spotlight_model.h"

#include <QImage>
#include <QWidget>

#include <functional>

namespace zentrel {

class AppPreferences;

// Dims the whole screen but a clear circle around the pointer. Drawn over the live desktop by a
// translucent panel or, without a compositing manager, over a still picture of the screen.
class SpotlightView : public QWidget
{
    Q_OBJECT

public:
    explicit SpotlightView(QWidget *parent = nullptr);

    // Moves the circle to a point in view coordinates, redrawing only what it leaves and enters.
    void updateMouseLocation(QPointF location);
    void applyPreferences(const AppPreferences &preferences);
    // Painted below the dimming, for desktops where a translucent window shows no desktop.
    void setBackground(const QImage &background);

    const SpotlightModel &model() const { return m_model; }

    // Escape runs this and goes no further, also when it is unset.
    std::function<void()> onEscape;

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    SpotlightModel m_model;
    QImage m_background;
};

} // namespace zentrel
