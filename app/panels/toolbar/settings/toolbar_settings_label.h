#pragma once

#include <QLabel>

namespace zentrel {

// A section heading of a settings panel: the title in upper case, small, semibold and dimmed,
// across the full width.
class ToolbarSettingsLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ToolbarSettingsLabel(const QString &title, QWidget *parent = nullptr);
};

} // namespace zentrel
