#pragma once

#include <QToolButton>

namespace zentrel {

// A toolbar button that marks the selected tool or open panel: a rounded rectangle in the
// accent colour with a white symbol while selected, a faint one otherwise. Its selection comes
// only from the caller (a click does not toggle it); it reads as "checked" to assistive tools.
class ToolbarSelectionButton : public QToolButton
{
    Q_OBJECT

public:
    explicit ToolbarSelectionButton(QWidget *parent = nullptr);

    bool isSelected() const { return isChecked(); }

    void setSelected(bool selected) { setChecked(selected); }

    // Small text at the symbol's bottom-right corner, such as a tool's shortcut digit.
    void setBadge(const QString &badge);

    QString badge() const { return m_badge; }

    QSize sizeHint() const override;

    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override;

private:
    QColor foregroundColor() const;
    QSize contentSize() const;

    QString m_badge;
};

} // namespace zentrel
