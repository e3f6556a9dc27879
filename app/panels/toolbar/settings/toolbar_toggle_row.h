#pragma once

#include <QCheckBox>

namespace zentrel {

// A titled switch of a settings panel: the title leading, a small switch trailing. The whole
// row takes clicks.
class ToolbarToggleRow : public QCheckBox
{
    Q_OBJECT

public:
    explicit ToolbarToggleRow(const QString &title, QWidget *parent = nullptr);

    QSize sizeHint() const override;

    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    bool hitButton(const QPoint &position) const override;
};

} // namespace zentrel
