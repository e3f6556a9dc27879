#pragma once

#include "panels/toolbar/settings/feature_settings_view.h"
#include "shell/break_timer_presentation_style.h"

#include <array>

class QComboBox;
class QLineEdit;

namespace zentrel {

class ColorWellButton;
class ToolbarSelectionButton;
class ToolbarToggleRow;

// The break timer's settings panel: the message with its presets, floating card or full
// screen, the card's two colours and the chime. Every control writes its preference at once.
class BreakTimerSettingsView : public FeatureSettingsView
{
    Q_OBJECT

public:
    explicit BreakTimerSettingsView(AppPreferences &preferences, QWidget *parent = nullptr);

    static const std::array<QString, 3> &messagePresets();

private:
    QWidget *makeContent();
    QWidget *makeStylePicker(QWidget *parent);
    QWidget *makeColorRow(const QString &title, ColorWellButton *&well, QWidget *parent);
    void refresh() override;

    QLineEdit *m_message = nullptr;
    QComboBox *m_presets = nullptr;
    ToolbarSelectionButton *m_floating = nullptr;
    ToolbarSelectionButton *m_fullScreen = nullptr;
    ColorWellButton *m_background = nullptr;
    ColorWellButton *m_text = nullptr;
    ToolbarToggleRow *m_chime = nullptr;
};

} // namespace zentrel
