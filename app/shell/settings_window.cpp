#include "shell/settings_window.h"

#include "common/symbol_icon.h"
#include "shell/app_preferences.h"

#include <QCheckBox>
#include <QGroupBox>
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
    tabs->addTab(
        makeHotkeysTab(), symbolIcon(QStringLiteral("keyboard")), QStringLiteral("Hotkeys"));
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

QWidget *SettingsWindow::makeHotkeysTab()
{
    struct Toggle
    {
        ModifierFlag flag;
        const char *title;
        const char *key;
    };

    // The titles name the modifiers as the stored leader does; the tips say which key it is here.
    const Toggle toggles[] = {
        {ModifierFlag::control, "Control (\u2303)", "Ctrl"},
        {ModifierFlag::option, "Option (\u2325)", "Alt"},
        {ModifierFlag::shift, "Shift (\u21E7)", "Shift"},
        {ModifierFlag::command, "Command (\u2318)", "Super (the Windows key)"},
    };
    auto *tab = new QWidget;
    auto *group = new QGroupBox(QStringLiteral("Leader key"), tab);
    auto *groupLayout = new QVBoxLayout(group);
    for (const Toggle &toggle : toggles) {
        auto *box = new QCheckBox(QString::fromUtf8(toggle.title), group);
        box->setToolTip(QStringLiteral("The %1 key").arg(QString::fromUtf8(toggle.key)));
        connect(box, &QCheckBox::clicked, this, [this, flag = toggle.flag](bool on) {
            m_preferences.setLeaderModifier(flag, on);
        });
        groupLayout->addWidget(box);
        m_leaderToggles.emplace_back(toggle.flag, box);
    }
    auto *footer = new QLabel(
        QStringLiteral("Hold these modifiers, then tap the feature's letter: D=Draw, Z=Zoom, "
                       "S=Spotlight, F=Freeze, W=Whiteboard, T=Break Timer, H=Cursor Halo. Esc "
                       "closes the current feature."),
        tab);
    footer->setWordWrap(true);
    footer->setForegroundRole(QPalette::PlaceholderText);
    auto *layout = new QVBoxLayout(tab);
    layout->addWidget(group);
    layout->addWidget(footer);
    layout->addStretch();
    return tab;
}

void SettingsWindow::refresh()
{
    for (const auto &[flag, box] : m_leaderToggles) {
        box->setChecked(m_preferences.leaderModifiers().contains(flag));
    }
    m_enabled->setChecked(m_preferences.isEnabled());
    m_externalCommandUrls->setChecked(m_preferences.allowsExternalCommandURLs());
}

} // namespace zentrel
