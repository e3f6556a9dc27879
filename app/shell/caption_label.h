#pragma once

class QLabel;
class QString;
class QWidget;

namespace zentrel {

// The small, dimmed, wrapping text under a control that says what it does.
QLabel *captionLabel(const QString &text, QWidget *parent);

} // namespace zentrel
