#include "whiteboard/canvas/painted_element.h"

#include "common/qt_conversions.h"
#include "common/qt_path.h"
#include "whiteboard/canvas/whiteboard_fonts.h"
#include "whiteboard/render/element_render_plan.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QTextLayout>

#include <algorithm>

namespace zentrel {

namespace {

// Curves are split finely enough for stroked outlines to stay smooth at five times zoom.
constexpr double strokeCurveThreshold = 0.05;

QPen penFor(const RenderStroke &stroke)
{
    QPen pen(toQColor(stroke.color));
    pen.setWidthF(stroke.width);
    pen.setCapStyle(stroke.cap == RenderLineCap::round ? Qt::RoundCap : Qt::FlatCap);
    pen.setJoinStyle(stroke.roundJoin ? Qt::RoundJoin : Qt::MiterJoin);
    if (!stroke.dash.empty()) {
        // Qt measures dashes in line widths.
        QList<qreal> pattern;
        for (const double length : stroke.dash) {
            pattern.append(length / stroke.width);
        }
        pen.setDashPattern(pattern);
    }
    return pen;
}

QPainterPath strokedArea(const RenderStroke &stroke)
{
    QPainterPathStroker stroker(penFor(stroke));
    stroker.setCurveThreshold(strokeCurveThreshold);
    return stroker.createStroke(toQPainterPath(stroke.path));
}

// Lines wrap inside the box's width and stand `lineHeight` line spacings apart. Lines that run
// past the box's bottom are still drawn, so no typed text is ever hidden.
std::shared_ptr<QTextLayout> laidOutText(const RenderText &text)
{
    QString string = QString::fromStdString(text.text);
    string.replace(QLatin1Char('\n'), QChar::LineSeparator);
    auto layout = std::make_shared<QTextLayout>(string, whiteboardFont(text.family, text.fontSize));
    QTextOption option(qtAlignment(text.alignment));
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->setCacheEnabled(true);
    const double width = std::max(text.box.width, 0.0);
    double y = 0;
    layout->beginLayout();
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(width);
        line.setPosition({0, y});
        y += line.height() * text.lineHeight;
    }
    layout->endLayout();
    return layout;
}

} // namespace

PaintedElement paintedElement(const WhiteboardElement &element, double viewportScale)
{
    return paintedPlan(elementRenderPlan(
        element, elementRenderRoughness(element), viewportScale, whiteboardTextMeasurer()));
}

PaintedElement paintedPlan(const ElementRenderPlan &plan)
{
    PaintedElement painted;
    if (plan.rotation != 0) {
        painted.rotation = QTransform()
                               .translate(plan.centre.x, plan.centre.y)
                               .rotateRadians(plan.rotation)
                               .translate(-plan.centre.x, -plan.centre.y);
    }
    if (plan.fillColor) {
        painted.areas.emplace_back(toQPainterPath(plan.fillPath), toQColor(*plan.fillColor));
    }
    for (const std::optional<RenderStroke> *stroke : {&plan.hatch, &plan.stroke}) {
        if (*stroke) {
            painted.areas.emplace_back(strokedArea(**stroke), toQColor((*stroke)->color));
        }
    }
    if (plan.text) {
        painted.text = laidOutText(*plan.text);
        painted.textOrigin = QPointF(plan.text->box.x, plan.text->box.y);
        painted.textColor = toQColor(plan.text->color);
    }
    return painted;
}

void paintElement(QPainter &painter, const PaintedElement &element)
{
    if (element.rotation) {
        painter.save();
        painter.setTransform(*element.rotation, true);
    }
    for (const auto &[area, colour] : element.areas) {
        painter.fillPath(area, colour);
    }
    if (element.text) {
        painter.setPen(element.textColor);
        element.text->draw(&painter, element.textOrigin);
    }
    if (element.rotation) {
        painter.restore();
    }
}

} // namespace zentrel
