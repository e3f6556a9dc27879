#pragma once

#include "common/signal.h"
#include "shell/tray_menu_model.h"

#include <QObject>

class QMenu;

namespace zentrel {

class AppCoordinator;

// The tray's menu, rebuilt from the menu model whenever the mode or the enabled switch changes.
class TrayMenu : public QObject
{
    Q_OBJECT

public:
    TrayMenu(AppCoordinator &coordinator, QObject *parent = nullptr);
    ~TrayMenu() override;

    QMenu *menu() const { return m_menu; }

Q_SIGNALS:
    void itemChosen(const zentrel::TrayMenuItem &item);

private:
    void rebuild();

    AppCoordinator &m_coordinator;
    QMenu *m_menu;
    ScopedConnection m_modeConnection;
    ScopedConnection m_preferencesConnection;
};

} // namespace zentrel
