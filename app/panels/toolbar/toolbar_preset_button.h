#pragma once

#include <QAbstractButton>

namespace zentrel {

// A small capsule button of a settings panel, 44 by 24 whatever its title, filled with the
// accent colour while selected. Its selection comes only from the caller.
class ToolbarPresetButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ToolbarPresetButton(const QString &title, QWidget *parent = nullptr);

    bool isSelected() const { return isChecked(); }

    void setSelected(bool selected) { setChecked(selected); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override;
};

} // namespace zentrel
