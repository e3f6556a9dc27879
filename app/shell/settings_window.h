#pragma once

#include "common/signal.h"
#include "hotkeys/shortcut_recorder.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zentrel {

class AppPreferences;
class LaunchAtLoginManager;
class PermissionManager;
class PermissionRow;
class UpdateService;

// The settings window: every change takes effect at once. Opening it reads the permissions,
// the login item and the updater's state anew.
class SettingsWindow : public QWidget
{
    Q_OBJECT

public:
    struct Services
    {
        AppPreferences &preferences;
        PermissionManager &permissions;
        LaunchAtLoginManager &launchAtLogin;
        UpdateService &updates;
        ShortcutRecorder::Services recorders;
    };

    explicit SettingsWindow(Services services);

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *makeGeneralTab();
    QWidget *makeUpdateSection(QWidget *tab);
    void showPreferences();
    void showPermissions();
    void showLaunchAtLogin();
    void showUpdates();

    Services m_services;
    QCheckBox *m_enabled = nullptr;
    QCheckBox *m_automaticUpdates = nullptr;
    QPushButton *m_checkForUpdates = nullptr;
    QCheckBox *m_launchAtLogin = nullptr;
    QLabel *m_launchAtLoginError = nullptr;
    QCheckBox *m_externalCommandUrls = nullptr;
    PermissionRow *m_screenRecording = nullptr;
    PermissionRow *m_accessibility = nullptr;
    ScopedConnection m_preferencesConnection;
    ScopedConnection m_permissionsConnection;
    ScopedConnection m_launchAtLoginConnection;
    ScopedConnection m_updatesConnection;
};

} // namespace zentrel
