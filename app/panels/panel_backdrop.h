#pragma once

#include <QWidget>

namespace zentrel {

// The corners of every settings and property panel's frame.
inline constexpr qreal panelCornerRadius = 10;
// The corners of every toolbar's strip.
inline constexpr qreal toolbarCornerRadius = 8;

// A light translucent rounded panel with a faint outline behind padded content: the one look of
// every toolbar strip and settings panel.
class PanelBackdrop : public QWidget
{
    Q_OBJECT

public:
    QWidget *content() const { return m_content; }

protected:
    // Takes the content over as a child.
    PanelBackdrop(QWidget *content, int padding, qreal cornerRadius, QWidget *parent);

    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_content;
    qreal m_cornerRadius;
};

// The strip that carries a toolbar's controls.
class TeachingControlStrip : public PanelBackdrop
{
    Q_OBJECT

public:
    explicit TeachingControlStrip(QWidget *content, QWidget *parent = nullptr)
        : PanelBackdrop(content, 10, toolbarCornerRadius, parent)
    {}
};

// The frame of a feature's settings panel.
class ToolbarSettingsContainer : public PanelBackdrop
{
    Q_OBJECT

public:
    explicit ToolbarSettingsContainer(QWidget *content, QWidget *parent = nullptr)
        : PanelBackdrop(content, 12, panelCornerRadius, parent)
    {}
};

} // namespace zentrel
