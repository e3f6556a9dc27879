#include "panels/toolbar/settings/feature_settings_view.h"

#include "panels/panel_backdrop.h"
#include "shell/app_preferences.h"

#include <QVBoxLayout>

namespace zentrel {

FeatureSettingsView::FeatureSettingsView(AppPreferences &preferences, QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
{}

void FeatureSettingsView::setRows(QWidget *rows)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new ToolbarSettingsContainer(rows, this));
    refresh();
    m_preferencesConnection =
        m_preferences.changed.connect([this](AppPreferences::Setting) { refresh(); });
}

} // namespace zentrel
