#include "common/readable_message_box.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>

#include <algorithm>

namespace zentrel {
namespace {

constexpr int charactersPerLine = 60;
constexpr int mostLines = 3;
// How far the column widens at a time while the text takes more lines than that.
constexpr int widening = 5;
constexpr int oneLineWidth = 100000;

// Sixty characters, or wider up to `widest` while the text would take more than three lines, as
// a long file name in it can; a text that fits on one line keeps its own width.
int readableColumn(const QLabel &label, int widest)
{
    const QFontMetrics metrics = label.fontMetrics();
    const int step = metrics.averageCharWidth();
    const int oneLine = label.heightForWidth(oneLineWidth);
    const int mostHeight = oneLine + (mostLines - 1) * metrics.lineSpacing();
    int column = std::min(step * charactersPerLine, widest);
    while (column < widest && label.heightForWidth(column) > mostHeight) {
        column = std::min(column + step * widening, widest);
    }
    if (label.heightForWidth(column) > oneLine) {
        return column;
    }
    int narrowest = 1;
    while (narrowest < column) {
        const int middle = (narrowest + column) / 2;
        if (label.heightForWidth(middle) <= oneLine) {
            column = middle;
        } else {
            narrowest = middle + 1;
        }
    }
    return column;
}

} // namespace

void setReadableWidth(QMessageBox &box)
{
    auto *grid = qobject_cast<QGridLayout *>(box.layout());
    // The informative text holds the sentence when there is one, else the main text does.
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
    if (!label) {
        label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    }
    const int index = grid && label ? grid->indexOf(label) : -1;
    if (index < 0) {
        return;
    }
    // Measured as it wraps; the box decides again whether its main text wraps once it shows.
    label->setWordWrap(true);
    // Half the screen at most, so a small screen keeps room beside the box.
    const int widest = box.screen()->availableGeometry().width() / 2;
    int row = 0;
    int column = 0;
    int rowSpan = 0;
    int columnSpan = 0;
    grid->getItemPosition(index, &row, &column, &rowSpan, &columnSpan);
    grid->setColumnMinimumWidth(column, readableColumn(*label, widest));
}

} // namespace zentrel
