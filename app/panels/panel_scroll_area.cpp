#include "panels/panel_scroll_area.h"

#include "panels/panel_backdrop.h"
#include "panels/panel_style.h"

#include <QChildEvent>
#include <QEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace zentrel {

namespace {

constexpr int shortestHandle = 24;

// A rounded handle on no groove and no arrows, in the panel's own colours.
QString scrollBarStyleSheet(const QPalette &palette)
{
    return QStringLiteral(
               "QScrollBar:vertical { background: transparent; border: none; margin: 0;"
               " width: %1px; }"
               "QScrollBar::handle:vertical { background: %2; border-radius: %3px;"
               " min-height: %4px; }"
               "QScrollBar::handle:vertical:hover, QScrollBar::handle:vertical:pressed"
               " { background: %5; }"
               "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical"
               " { height: 0; border: none; background: none; }"
               "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }")
        .arg(PanelScrollArea::barThickness)
        .arg(withOpacity(panelSecondaryColor(palette), 0.45).name(QColor::HexArgb))
        .arg(PanelScrollArea::barThickness / 2)
        .arg(shortestHandle)
        .arg(withOpacity(panelSecondaryColor(palette), 0.8).name(QColor::HexArgb));
}

} // namespace

PanelScrollArea::PanelScrollArea(QWidget *content, int heightLimit, QWidget *parent)
    : QScrollArea(parent)
    , m_heightLimit(heightLimit)
    , m_bar(new QScrollBar(Qt::Vertical, this))
{
    setFrameShape(QFrame::NoFrame);
    // The area's own bars would take room beside the content, outside the frame it paints.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWidgetResizable(true);
    setWidget(content);
    // The panel's own rounded background shows through, as it does without a scroll area.
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);

    m_bar->setFocusPolicy(Qt::NoFocus);
    m_bar->hide();
    paintBarInPanelColours();
    connect(
        verticalScrollBar(), &QScrollBar::rangeChanged, this, &PanelScrollArea::followScrolling);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, m_bar, &QScrollBar::setValue);
    connect(m_bar, &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    watchWheelOf(content);
}

QSize PanelScrollArea::sizeHint() const
{
    const QSize content = widget()->sizeHint().expandedTo(widget()->minimumSize());
    return {content.width(), std::min(content.height(), m_heightLimit)};
}

QSize PanelScrollArea::minimumSizeHint() const
{
    return sizeHint();
}

// Controls added later, as a panel shows other properties, are watched from the start.
void PanelScrollArea::watchWheelOf(QWidget *widget)
{
    widget->installEventFilter(this);
    for (QWidget *child : widget->findChildren<QWidget *>()) {
        child->installEventFilter(this);
    }
}

// Popups and dialogs opened from the panel (a menu, a colour picker) are windows of their own,
// whose lists still scroll with the wheel.
bool PanelScrollArea::isOwnControl(const QObject *watched) const
{
    const auto *control = qobject_cast<const QWidget *>(watched);
    return control && (control == widget() || widget()->isAncestorOf(control))
           && control->window() == window();
}

bool PanelScrollArea::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::ChildAdded) {
        if (auto *child = qobject_cast<QWidget *>(static_cast<QChildEvent *>(event)->child())) {
            watchWheelOf(child);
        }
    } else if (event->type() == QEvent::Wheel && isOwnControl(watched)) {
        wheelEvent(static_cast<QWheelEvent *>(event));
        return true;
    } else if (watched == widget() && event->type() == QEvent::LayoutRequest) {
        // The window takes this area's size: it hears of the content's new size, which the
        // content's layout announces to the content, only from here. Also while hidden, so it
        // shows at its new size.
        updateGeometry();
    } else if (watched == widget() && event->type() == QEvent::PaletteChange) {
        paintBarInPanelColours();
    }
    return QScrollArea::eventFilter(watched, event);
}

void PanelScrollArea::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    followScrolling();
}

// The bar mirrors the area's own hidden one, and keeps clear of the frame's rounded corners.
void PanelScrollArea::followScrolling()
{
    const QScrollBar *scrolled = verticalScrollBar();
    m_bar->setRange(scrolled->minimum(), scrolled->maximum());
    m_bar->setPageStep(viewport()->height());
    m_bar->setSingleStep(scrolled->singleStep());
    m_bar->setValue(scrolled->value());
    const int corner = static_cast<int>(std::ceil(panelCornerRadius));
    m_bar->setGeometry(width() - barInset - barThickness,
                       corner,
                       barThickness,
                       std::max(0, height() - 2 * corner));
    m_bar->setVisible(scrolled->maximum() > scrolled->minimum());
    m_bar->raise();
}

void PanelScrollArea::paintBarInPanelColours()
{
    m_bar->setStyleSheet(scrollBarStyleSheet(widget()->palette()));
}

} // namespace zentrel
