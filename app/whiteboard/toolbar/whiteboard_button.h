#pragma once

#include <QAbstractButton>

#include <functional>

namespace zentrel {

// A button of the whiteboard's toolbar strip or property panel, drawn in one of the two
// whiteboard button styles. Its label fills a fixed frame: a symbol, a text, or a shape the
// caller paints. Only the caller changes its selection (a click does not toggle it); it reads as
// "checked" to assistive tools while selected.
class WhiteboardButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Look {
        compact,
        property,
    };

    // Paints the label into `frame` in the foreground colour of the button's style.
    using LabelPainter =
        std::function<void(QPainter &painter, const QRectF &frame, const QColor &foreground)>;

    WhiteboardButton(Look look, QSize labelSize, QWidget *parent = nullptr);

    bool isSelected() const { return isChecked(); }

    void setSelected(bool selected) { setChecked(selected); }

    // A symbol image by name, drawn in the foreground colour.
    void setSymbol(const QString &symbol);

    QString symbol() const { return m_symbol; }

    // Small text at the symbol's bottom-right corner: a tool's shortcut key.
    void setBadge(const QString &badge);

    QString badge() const { return m_badge; }

    void setLabelPainter(LabelPainter painter);

    QColor foregroundColor() const;
    QColor backgroundColor() const;

    QSize sizeHint() const override;

    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void nextCheckState() override;

private:
    int padding() const;
    void paintLabel(QPainter &painter, const QRectF &frame, const QColor &foreground) const;

    Look m_look;
    QSize m_labelSize;
    QString m_symbol;
    QString m_badge;
    LabelPainter m_labelPainter;
};

} // namespace zentrel
