#pragma once

#include <QWidget>

namespace zentrel {

// The floating strip that carries a toolbar's controls: the content, padded by 10, on a light
// translucent rounded panel with a faint outline.
class TeachingControlStrip : public QWidget
{
    Q_OBJECT

public:
    // Takes the content over as a child.
    explicit TeachingControlStrip(QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_content;
};

} // namespace zentrel
