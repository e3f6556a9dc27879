#include "shell/caption_label.h"

#include <QLabel>

namespace zentrel {
namespace {

constexpr double captionScale = 0.9;

} // namespace

QLabel *captionLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setForegroundRole(QPalette::PlaceholderText);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * captionScale);
    label->setFont(font);
    return label;
}

} // namespace zentrel
