#include "shell/settings_window.h"

#include "common/symbol_icon.h"
#include "shell/app_preferences.h"

#include <QCheckBox>
#include <QLabel>
#include <QTabWidget>
#include <QVBoxLayout>

namespace zentrel {

SettingsWindow::SettingsWindow(AppPreferences &preferences)
    : m_preferences(preferences)
{
    setWindowTitle(QStringLiteral("Zentrel Settings"));
    setFixedSize(540, 430);
    auto *tabs = new QTabWidget(this);
    tabs->addTab(makeGeneralTab(), symbolIcon(QStringLiteral("gear")), QStringLiteral("General"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    refresh();
    m_preferencesConnection =
        m_preferences.changed.connect([this](AppPreferences::Setting) { refresh(); });
}

QWidget *SettingsWindow::makeGeneralTab()
{
    auto *tab = new QWidget;
    m_enabled = new QCheckBox(QStringLiteral("Enable Zentrel"), tab);
    m_externalCommandUrls =
        new QCheckBox(QStringLiteral("Allow external command URLs (zentrel://)"), tab);
    auto *caption = new QLabel(
        QStringLiteral("When disabled, automation links from other apps cannot control Zentrel."),
        tab);
    caption->setWordWrap(true);
    caption->setForegroundRole(QPalette::PlaceholderText);
    connect(
        m_enabled, &QCheckBox::clicked, this, [this](bool on) { m_preferences.setEnabled(on); });
    connect(m_externalCommandUrls, &QCheckBox::clicked, this, [this](bool on) {
        m_preferences.setAllowsExternalCommandURLs(on);
    });
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(m_enabled);
    layout->addWidget(m_externalCommandUrls);
    layout->addWidget(caption);
    layout->addStretch();
    return tab;
}

void SettingsWindow::refresh()
{
    m_enabled->setChecked(m_preferences.isEnabled());
    m_externalCommandUrls->setChecked(m_preferences.allowsExternalCommandURLs());
}

} // namespace zentrel
