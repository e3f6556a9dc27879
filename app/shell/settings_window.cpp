#include "shell/settings_window.h"

#include "common/symbol_icon.h"
#include "shell/app_preferences.h"
#include "shell/caption_label.h"
#include "shell/hotkeys_tab.h"
#include "shell/login/launch_at_login_manager.h"
#include "shell/onboarding/desktop_settings.h"
#include "shell/onboarding/permission_manager.h"
#include "shell/onboarding/permission_row.h"
#include "shell/updates/update_service.h"

#include <QCheckBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zentrel {
SettingsWindow::SettingsWindow(Services services)
    : m_services(std::move(services))
{
    setWindowTitle(QStringLiteral("Zentrel Settings"));
    setFixedSize(540, 430);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(makeGeneralTab(), symbolIcon(QStringLiteral("gear")), QStringLiteral("General"));
    tabs->addTab(new HotkeysTab(m_services.preferences, m_services.recorders),
                 symbolIcon(QStringLiteral("keyboard")),
                 QStringLiteral("Hotkeys"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->addWidget(tabs);
    showPreferences();
    showPermissions();
    showLaunchAtLogin();
    showUpdates();
    m_preferencesConnection = m_services.preferences.changed.connect(
        [this](AppPreferences::Setting) { showPreferences(); });
    m_permissionsConnection = m_services.permissions.changed.connect([this] { showPermissions(); });
    m_launchAtLoginConnection =
        m_services.launchAtLogin.changed.connect([this] { showLaunchAtLogin(); });
    m_updatesConnection = m_services.updates.changed.connect([this] { showUpdates(); });
}

void SettingsWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_services.permissions.refresh();
    m_services.launchAtLogin.refresh();
    // The updater may have finished a check since the window was last open.
    m_services.updates.refreshState();
}

QWidget *SettingsWindow::makeGeneralTab()
{
    auto *tab = new QWidget;
    m_enabled = new QCheckBox(QStringLiteral("Enable Zentrel"), tab);
    m_launchAtLogin = new QCheckBox(QStringLiteral("Launch at login"), tab);
    m_launchAtLoginError = new QLabel(tab);
    m_launchAtLoginError->setWordWrap(true);
    QPalette errorPalette = m_launchAtLoginError->palette();
    errorPalette.setColor(QPalette::WindowText, Qt::red);
    m_launchAtLoginError->setPalette(errorPalette);
    m_externalCommandUrls =
        new QCheckBox(QStringLiteral("Allow external command URLs (zentrel://)"), tab);
    auto *divider = new QFrame(tab);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    m_screenRecording =
        new PermissionRow(QStringLiteral("Screen Recording"),
                          QStringLiteral("Used only to capture the display for Zoom Loupe."),
                          tab);
    m_accessibility = new PermissionRow(
        QStringLiteral("Accessibility"), QStringLiteral("Used for global controls."), tab);
    auto *refreshPermissions = new QPushButton(QStringLiteral("Refresh Permission Status"), tab);

    connect(m_enabled, &QCheckBox::clicked, this, [this](bool on) {
        m_services.preferences.setEnabled(on);
    });
    // The box shows what the entry on disk says, not what was clicked: the manager reads it
    // back and reports the change.
    connect(m_launchAtLogin, &QCheckBox::clicked, this, [this](bool on) {
        m_services.launchAtLogin.setEnabled(on);
    });
    connect(m_externalCommandUrls, &QCheckBox::clicked, this, [this](bool on) {
        m_services.preferences.setAllowsExternalCommandURLs(on);
    });
    connect(m_screenRecording, &PermissionRow::requestClicked, this, [this] {
        m_services.permissions.requestScreenRecording();
    });
    connect(m_accessibility, &PermissionRow::requestClicked, this, [this] {
        m_services.permissions.requestAccessibility();
    });
    for (PermissionRow *row : {m_screenRecording, m_accessibility}) {
        connect(row, &PermissionRow::openSettingsClicked, this, &openDesktopSettings);
    }
    connect(refreshPermissions, &QPushButton::clicked, this, [this] {
        m_services.permissions.refresh();
    });

    auto *layout = new QVBoxLayout(tab);
    layout->setSpacing(6);
    layout->addWidget(m_enabled);
    layout->addWidget(makeUpdateSection(tab));
    layout->addWidget(m_launchAtLogin);
    layout->addWidget(m_launchAtLoginError);
    layout->addWidget(m_externalCommandUrls);
    layout->addWidget(captionLabel(
        QStringLiteral("When disabled, automation links from other apps cannot control Zentrel."),
        tab));
    layout->addWidget(divider);
    layout->addWidget(m_screenRecording);
    layout->addWidget(m_accessibility);
    layout->addWidget(refreshPermissions, 0, Qt::AlignLeft);
    layout->addStretch();
    return tab;
}

QWidget *SettingsWindow::makeUpdateSection(QWidget *tab)
{
    auto *section = new QWidget(tab);
    m_automaticUpdates = new QCheckBox(QStringLiteral("Automatically check for updates"), section);
    m_checkForUpdates = new QPushButton(QStringLiteral("Check for Updates\u2026"), section);
    connect(m_automaticUpdates, &QCheckBox::clicked, this, [this](bool on) {
        m_services.updates.setAutomaticCheck(on);
    });
    connect(m_checkForUpdates, &QPushButton::clicked, this, [this] {
        m_services.updates.checkForUpdates();
    });
    auto *row = new QHBoxLayout;
    row->addWidget(m_automaticUpdates);
    row->addStretch();
    row->addWidget(m_checkForUpdates);
    auto *layout = new QVBoxLayout(section);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(row);
    layout->addWidget(captionLabel(
        QStringLiteral("When enabled, Zentrel checks for updates once per day."), section));
    return section;
}

void SettingsWindow::showPreferences()
{
    m_enabled->setChecked(m_services.preferences.isEnabled());
    m_externalCommandUrls->setChecked(m_services.preferences.allowsExternalCommandURLs());
}

void SettingsWindow::showPermissions()
{
    m_screenRecording->setStatus(m_services.permissions.screenRecording());
    m_accessibility->setStatus(m_services.permissions.accessibility());
}

void SettingsWindow::showLaunchAtLogin()
{
    m_launchAtLogin->setChecked(m_services.launchAtLogin.isEnabled());
    const auto &error = m_services.launchAtLogin.errorMessage();
    m_launchAtLoginError->setText(error ? QString::fromStdString(*error) : QString());
    m_launchAtLoginError->setVisible(error.has_value());
}

void SettingsWindow::showUpdates()
{
    m_automaticUpdates->setChecked(m_services.updates.automaticallyChecksForUpdates());
    m_checkForUpdates->setEnabled(m_services.updates.canCheckForUpdates());
}

} // namespace zentrel
