#include "e2e/text_ink_measure.h"

#include "e2e/child_process.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QRgb>

namespace zentrel {
namespace {

constexpr int toolTimeoutMs = 10000;

bool isInk(QRgb pixel)
{
    return qGray(pixel) < 128;
}

} // namespace

QSize measuredInk(const QString &fontFile, int pixelSize, const QString &text)
{
    ChildProcess tool;
    if (!tool.start(QStringLiteral(TEXT_INK_EXECUTABLE),
                    {fontFile, QString::number(pixelSize), text},
                    QProcessEnvironment::systemEnvironment())) {
        return {};
    }
    const auto size = tool.waitForLine(QRegularExpression(QStringLiteral("^(\\d+) (\\d+)$")),
                                       QDeadlineTimer(toolTimeoutMs));
    tool.waitForExit(QDeadlineTimer(toolTimeoutMs));
    return size ? QSize(size->captured(1).toInt(), size->captured(2).toInt()) : QSize();
}

QRect inkIn(const QImage &screen, const QRect &area)
{
    QRect found;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (isInk(screen.pixel(x, y))) {
                found |= QRect(x, y, 1, 1);
            }
        }
    }
    return found;
}

std::vector<QRect> inkRowsIn(const QImage &screen, const QRect &area)
{
    std::vector<QRect> rows;
    bool inRow = false;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const QRect ink = inkIn(screen, QRect(area.left(), y, area.width(), 1));
        if (ink.isEmpty()) {
            inRow = false;
        } else if (inRow) {
            rows.back() |= ink;
        } else {
            rows.push_back(ink);
            inRow = true;
        }
    }
    return rows;
}

} // namespace zentrel
