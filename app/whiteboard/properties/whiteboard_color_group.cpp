#include "whiteboard/properties/whiteboard_color_group.h"

#include "panels/panel_style.h"
#include "whiteboard/properties/whiteboard_swatch_button.h"
#include "whiteboard/toolbar/whiteboard_button.h"

#include <QGraphicsDropShadowEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace zentrel {

namespace {

constexpr int titleSpacing = 8;
constexpr int rowSpacing = 9 - WhiteboardSwatchButton::ringMargin;
constexpr int gridColumns = 6;
constexpr int gridSpacing = 8 - WhiteboardSwatchButton::ringMargin;
constexpr int gridPadding = 10;
constexpr int gridOffset = 38;
constexpr QSize moreColorsFrame(30, 30);

// The floating card behind the extra colours.
class ColorGridCard : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(withOpacity(panelSecondaryColor(palette()), 0.25), 1));
        painter.setBrush(palette().color(QPalette::Active, QPalette::Window));
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);
    }
};

} // namespace

WhiteboardColorGroup::WhiteboardColorGroup(const std::vector<WhiteboardColorSwatch> &row,
                                           bool offersTransparent,
                                           const std::vector<WhiteboardColorSwatch> &gridColors,
                                           QWidget *overlayParent,
                                           QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(titleSpacing);
    m_title = new QLabel(this);
    m_title->setFont(panelFont(*this, 13, QFont::Medium));
    layout->addWidget(m_title);

    m_row = new QWidget(this);
    auto *rowLayout = new QHBoxLayout(m_row);
    rowLayout->setContentsMargins(0, 0, 0, 0);
    rowLayout->setSpacing(rowSpacing);
    if (offersTransparent) {
        rowLayout->addWidget(addSwatch(QStringLiteral("Transparent"), std::nullopt, false, m_row));
    }
    for (const WhiteboardColorSwatch &swatch : row) {
        rowLayout->addWidget(addSwatch(swatch.name, swatch.color, false, m_row));
    }
    m_moreColors = new WhiteboardButton(WhiteboardButton::Look::property, moreColorsFrame, m_row);
    m_moreColors->setSymbol(QStringLiteral("paintpalette"));
    connect(m_moreColors, &QAbstractButton::clicked, this, [this] {
        if (onMoreColors) {
            onMoreColors();
        }
    });
    rowLayout->addWidget(m_moreColors, 0, Qt::AlignVCenter);
    rowLayout->addStretch(1);
    layout->addWidget(m_row);

    m_grid = makeGrid(gridColors, overlayParent);
}

QWidget *WhiteboardColorGroup::makeGrid(const std::vector<WhiteboardColorSwatch> &colors,
                                        QWidget *overlayParent)
{
    auto *card = new ColorGridCard(overlayParent);
    auto *layout = new QGridLayout(card);
    layout->setContentsMargins(gridPadding, gridPadding, gridPadding, gridPadding);
    layout->setSpacing(gridSpacing);
    int index = 0;
    for (const WhiteboardColorSwatch &swatch : colors) {
        layout->addWidget(addSwatch(swatch.name, swatch.color, true, card),
                          index / gridColumns,
                          index % gridColumns);
        ++index;
    }
    auto *shadow = new QGraphicsDropShadowEffect(card);
    shadow->setColor(QColor(0, 0, 0, 84));
    shadow->setBlurRadius(16);
    shadow->setOffset(0, 4);
    card->setGraphicsEffect(shadow);
    card->adjustSize();
    card->hide();
    return card;
}

WhiteboardSwatchButton *WhiteboardColorGroup::addSwatch(const QString &name,
                                                        const std::optional<Color> &color,
                                                        bool inGrid,
                                                        QWidget *parent)
{
    auto *button = new WhiteboardSwatchButton(name, color, parent);
    connect(button, &QAbstractButton::clicked, this, [this, color, inGrid] {
        if (onChoice) {
            onChoice(color, inGrid);
        }
    });
    m_swatches.push_back(button);
    return button;
}

QString WhiteboardColorGroup::title() const
{
    return m_title->text();
}

void WhiteboardColorGroup::setTitle(const QString &title)
{
    if (title == m_title->text()) {
        return;
    }
    m_title->setText(title);
    const QString help = QStringLiteral("More ") + title.toLower() + QStringLiteral(" colors");
    m_moreColors->setToolTip(help);
    m_moreColors->setAccessibleName(help);
}

void WhiteboardColorGroup::showCurrent(const std::optional<std::string> &colorText)
{
    for (WhiteboardSwatchButton *swatch : m_swatches) {
        swatch->showCurrent(colorText);
    }
}

void WhiteboardColorGroup::setGridOpen(bool open)
{
    m_moreColors->setSelected(open);
    if (open) {
        placeGrid();
        m_grid->raise();
    }
    m_grid->setVisible(open);
}

void WhiteboardColorGroup::placeGrid()
{
    m_grid->move(m_row->mapTo(m_grid->parentWidget(), QPoint(0, gridOffset)));
}

} // namespace zentrel
