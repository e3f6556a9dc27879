#pragma once

#include <QWidget>

namespace zentrel {

class OverlaySettingsModel;

// The whole toolbar of the zoom loupe and the spotlight: a settings button, selected while the
// feature's settings panel shows, and a close button. It draws no background: the panel that
// hosts it does.
class BasicOverlayToolbar : public QWidget
{
    Q_OBJECT

public:
    // The labels are the two buttons' help texts and accessibility labels, such as "Zoom loupe
    // settings" and "Close zoom loupe".
    BasicOverlayToolbar(OverlaySettingsModel &settingsModel,
                        const QString &settingsLabel,
                        const QString &closeLabel,
                        QWidget *parent = nullptr);

Q_SIGNALS:
    void toggleSettingsRequested();
    void closeRequested();
};

} // namespace zentrel
