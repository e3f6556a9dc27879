#pragma once

#include "drawing/drawing_canvas_model.h"
#include "drawing/drawing_geometry.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>

class QTimer;

namespace zentrel {

// The live drawing surface over the screen: feeds pointer and key events to its model and
// paints what the model holds. Finished items are kept in a cached layer, so a drag repaints only
// around the segment that was just added.
class DrawingCanvasView : public QWidget
{
    Q_OBJECT

public:
    explicit DrawingCanvasView(QWidget *parent = nullptr);

    DrawingCanvasModel &model() { return m_model; }

    void setContrast(ContrastOptions contrast);

    // Shown under the drawing where the desktop cannot show through (no compositing manager).
    void setBackground(const QImage &screenImage);

    // After the history was changed from outside (undo, redo, clear): repaint, and run the fade
    // timer exactly while something can fade.
    void historyChanged();

    // The drawing over a picture of the screen, at the picture's resolution, as PNG; none when
    // the image could not be made.
    std::optional<QByteArray> renderPNG(const QImage &screenImage) const;

    std::function<void()> onEscape;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void paintContent(QPainter &painter, const QRect &area) const;
    void rebuildItemsLayer() const;
    void updateFadeTimer();
    void onFadeTick();
    QRect segmentArea() const;

    DrawingCanvasModel m_model;
    ContrastOptions m_contrast;
    QImage m_background;
    QTimer *m_fadeTimer;
    mutable QImage m_itemsLayer;
    mutable bool m_itemsLayerIsValid = false;
};

} // namespace zentrel
