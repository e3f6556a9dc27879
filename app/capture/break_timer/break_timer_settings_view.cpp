#include "capture/break_timer/break_timer_settings_view.h"

#include "capture/color_well_button.h"
#include "common/qt_conversions.h"
#include "panels/panel_style.h"
#include "panels/toolbar/settings/toolbar_settings_label.h"
#include "panels/toolbar/settings/toolbar_toggle_row.h"
#include "panels/toolbar/toolbar_selection_button.h"
#include "shell/app_preferences.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace zentrel {

BreakTimerSettingsView::BreakTimerSettingsView(AppPreferences &preferences, QWidget *parent)
    : FeatureSettingsView(preferences, parent)
{
    setRows(makeContent());
}

const std::array<QString, 3> &BreakTimerSettingsView::messagePresets()
{
    static const std::array<QString, 3> presets{QStringLiteral("Short break"),
                                                QStringLiteral("Back in 05:00"),
                                                QStringLiteral("Q&A starts soon")};
    return presets;
}

QWidget *BreakTimerSettingsView::makeContent()
{
    auto *content = new QWidget(this);
    m_message = new QLineEdit(content);
    m_message->setPlaceholderText(QStringLiteral("Message"));
    m_message->setAccessibleName(QStringLiteral("Message"));
    m_message->setFont(panelFont(*m_message, 12, QFont::Normal));
    connect(m_message, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_preferences.setBreakTimerMessage(text.toStdString());
    });

    m_presets = new QComboBox(content);
    for (const QString &preset : messagePresets()) {
        m_presets->addItem(preset);
    }
    connect(m_presets, &QComboBox::activated, this, [this](int index) {
        m_preferences.setBreakTimerMessage(messagePresets().at(index).toStdString());
    });

    m_chime = new ToolbarToggleRow(QStringLiteral("Chime on finish"), content);
    connect(m_chime, &QAbstractButton::toggled, this, [this](bool on) {
        m_preferences.setBreakTimerChime(on);
    });

    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    layout->addWidget(new ToolbarSettingsLabel(QStringLiteral("Message"), content));
    layout->addWidget(m_message);
    layout->addWidget(m_presets);
    layout->addWidget(new ToolbarSettingsLabel(QStringLiteral("Presentation"), content));
    layout->addWidget(makeStylePicker(content));
    layout->addWidget(new ToolbarSettingsLabel(QStringLiteral("Appearance"), content));
    layout->addWidget(makeColorRow(QStringLiteral("Background"), m_background, content));
    layout->addWidget(makeColorRow(QStringLiteral("Text"), m_text, content));
    layout->addWidget(m_chime);
    connect(m_background, &ColorWellButton::colorPicked, this, [this](const QColor &color) {
        m_preferences.setBreakTimerBackgroundColor(toColor(color));
    });
    connect(m_text, &ColorWellButton::colorPicked, this, [this](const QColor &color) {
        m_preferences.setBreakTimerTextColor(toColor(color));
    });
    return content;
}

QWidget *BreakTimerSettingsView::makeStylePicker(QWidget *parent)
{
    auto *picker = new QWidget(parent);
    const auto segment = [this, picker](const QString &title, BreakTimerPresentationStyle style) {
        auto *button = new ToolbarSelectionButton(picker);
        button->setText(title);
        button->setAccessibleName(title);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(button, &QAbstractButton::clicked, this, [this, style] {
            // Choosing the style shown already changes nothing, so the card is not rebuilt.
            if (m_preferences.breakTimerPresentationStyle() != style) {
                m_preferences.setBreakTimerPresentationStyle(style);
            }
        });
        return button;
    };
    m_floating = segment(QStringLiteral("Floating"), BreakTimerPresentationStyle::floating);
    m_fullScreen = segment(QStringLiteral("Full screen"), BreakTimerPresentationStyle::fullScreen);
    auto *layout = new QHBoxLayout(picker);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_floating);
    layout->addWidget(m_fullScreen);
    return picker;
}

QWidget *
BreakTimerSettingsView::makeColorRow(const QString &title, ColorWellButton *&well, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *label = new QLabel(title, row);
    label->setFont(panelFont(*label, 12, QFont::Medium));
    well = new ColorWellButton(title, row);
    well->setSwatchSize(QSize(28, 22));
    well->setAccessibleName(title);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label, 0, Qt::AlignVCenter);
    layout->addStretch();
    layout->addWidget(well, 0, Qt::AlignVCenter);
    return row;
}

void BreakTimerSettingsView::refresh()
{
    const AppPreferences &preferences = m_preferences;
    const QString message = QString::fromStdString(preferences.breakTimerMessage());
    // Rewriting the text the user is typing would move the cursor to the end.
    if (m_message->text() != message) {
        m_message->setText(message);
    }
    const auto preset = std::find(messagePresets().begin(), messagePresets().end(), message);
    m_presets->setCurrentIndex(
        preset == messagePresets().end()
            ? -1
            : static_cast<int>(std::distance(messagePresets().begin(), preset)));
    const bool fullScreen =
        preferences.breakTimerPresentationStyle() == BreakTimerPresentationStyle::fullScreen;
    m_floating->setSelected(!fullScreen);
    m_fullScreen->setSelected(fullScreen);
    m_background->setColor(toQColor(preferences.breakTimerBackgroundColor()));
    m_text->setColor(toQColor(preferences.breakTimerTextColor()));
    const QSignalBlocker quiet(m_chime);
    m_chime->setChecked(preferences.breakTimerChime());
}

} // namespace zentrel
