#pragma once

#include <QWidget>

#include <functional>

namespace zentrel {

// Every window of a feature run: borderless, above other windows, taking keys. Escape runs
// `onEscape` and goes no further, whether or not it is set.
class OverlayPanel : public QWidget
{
    Q_OBJECT

public:
    // Stacking among our own panels: the full-screen overlay, toolbars and property panels
    // above it, the settings panel above those.
    enum class Level {
        overlay,
        toolbar,
        settings,
    };

    OverlayPanel(Level level, QWidget *content);

    Level level() const { return m_level; }

    // Puts the panel in its place again after another window came up, keeping our own order.
    void raiseInOrder();

    std::function<void()> onEscape;

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    Level m_level;
};

} // namespace zentrel
