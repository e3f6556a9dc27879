#pragma once

#include <QWidget>

namespace zentrel {

// The rounded panel around a feature's settings: the content, padded by 12, on a light translucent
// rounded panel with a faint outline.
class ToolbarSettingsContainer : public QWidget
{
    Q_OBJECT

public:
    // Takes the content over as a child.
    explicit ToolbarSettingsContainer(QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_content;
};

} // namespace zentrel
