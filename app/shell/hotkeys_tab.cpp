#include "shell/hotkeys_tab.h"

#include "hotkeys/hotkey_registry.h"
#include "hotkeys/key.h"
#include "hotkeys/shortcut.h"
#include "hotkeys/shortcut_text.h"
#include "shell/app_preferences.h"
#include "shell/caption_label.h"
#include "shell/hotkeys/hotkey_names.h"
#include "shell/hotkeys/hotkey_titles.h"
#include "shell/tray/tray_menu_model.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>

#include <array>
#include <string>
#include <utility>

namespace zentrel {
namespace {

// The words the recorder warns with when a combination is taken.
const QString heldElsewhereText = QStringLiteral("Already used by another program");

// The features the caption names, each by the key the leader takes it with.
constexpr auto captionFeatures = std::to_array<std::pair<hotkeys::Key, const char *>>({
    {hotkeys::keys::d, "Draw"},
    {hotkeys::keys::z, "Zoom"},
    {hotkeys::keys::s, "Spotlight"},
    {hotkeys::keys::f, "Freeze"},
    {hotkeys::keys::w, "Whiteboard"},
    {hotkeys::keys::t, "Break Timer"},
    {hotkeys::keys::h, "Cursor Halo"},
});

// Each key as the layout types it, as the shortcut boxes show it: Y=Zoom on a German keyboard.
QString leaderCaption(const hotkeys::KeyCharacterSource &layout)
{
    QStringList features;
    for (const auto &[key, feature] : captionFeatures) {
        const std::string keyText =
            hotkeys::description(hotkeys::Shortcut{key.rawValue, 0}, layout);
        features.append(QStringLiteral("%1=%2").arg(QString::fromStdString(keyText),
                                                    QString::fromUtf8(feature)));
    }
    return QStringLiteral("Hold these modifiers, then tap the feature's letter: %1. Esc closes the "
                          "current feature.")
        .arg(features.join(QStringLiteral(", ")));
}

QLabel *warningLabel(QWidget *parent)
{
    QLabel *label = captionLabel(QString(), parent);
    label->setForegroundRole(QPalette::WindowText);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    label->hide();
    return label;
}

} // namespace

HotkeysTab::HotkeysTab(AppPreferences &preferences,
                       const ShortcutRecorder::Services &recorders,
                       QWidget *parent)
    : QWidget(parent)
    , m_preferences(preferences)
    , m_recorders(recorders)
{
    auto *layout = new QVBoxLayout(this);
    // Close together, so that a held key's mark and the shared pairs fit the window too.
    layout->setSpacing(4);
    layout->addWidget(makeLeaderGroup());
    m_shared = warningLabel(this);
    layout->addWidget(m_shared);
    m_leaderCaption = captionLabel(QString(), this);
    layout->addWidget(m_leaderCaption);
    layout->addWidget(makeShortcutsGroup());
    layout->addStretch();
    showLeader();
    showKeyTexts();
    m_preferencesConnection =
        m_preferences.onChange(AppPreferences::Setting::leaderModifiers, [this] { showLeader(); });
    m_shortcutsConnection = m_recorders.hotkeys.shortcutChanged.connect(
        [this](const std::string &) { showObstacles(); });
    m_refusalsConnection = m_recorders.hotkeys.refusalsChanged.connect([this] { showObstacles(); });
    m_keymapConnection = m_recorders.hotkeys.keymapChanged.connect([this] { showKeyTexts(); });
}

void HotkeysTab::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_recorders.hotkeys.retryRefused();
}

QWidget *HotkeysTab::makeLeaderGroup()
{
    struct Toggle
    {
        ModifierFlag flag;
        const char *title;
        const char *tip;
    };

    // Named as the keys of a PC keyboard; the stored bits keep their own names.
    const Toggle toggles[] = {
        {ModifierFlag::control, "Ctrl", "The Ctrl key"},
        {ModifierFlag::option, "Alt", "The Alt key"},
        {ModifierFlag::shift, "Shift", "The Shift key"},
        {ModifierFlag::command, "Super", "The Super key (the Windows key)"},
    };
    auto *group = new QGroupBox(QStringLiteral("Leader key"), this);
    auto *groupLayout = new QGridLayout(group);
    groupLayout->setVerticalSpacing(2);
    for (const Toggle &toggle : toggles) {
        auto *box = new QCheckBox(QString::fromUtf8(toggle.title), group);
        box->setToolTip(QString::fromUtf8(toggle.tip));
        connect(box, &QCheckBox::clicked, this, [this, flag = toggle.flag](bool on) {
            m_preferences.setLeaderModifier(flag, on);
        });
        const auto index = static_cast<int>(m_leaderToggles.size());
        groupLayout->addWidget(box, index / 2, index % 2);
        m_leaderToggles.emplace_back(toggle.flag, box);
    }
    return group;
}

// Two features a row, each with why its box refused a chord and the mark that another program
// holds its key beneath it.
QWidget *HotkeysTab::makeShortcutsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Feature shortcuts"), this);
    auto *grid = new QGridLayout(group);
    grid->setVerticalSpacing(4);
    constexpr int rowsPerFeature = 3;
    int index = 0;
    for (const auto &[feature, title] : featureMenuTitles) {
        const hotkeys::Name &name = featureHotkeyName(feature);
        auto *recorder = new ShortcutRecorder(m_recorders, name, group);
        auto *label = new QLabel(QString::fromUtf8(title), group);
        QLabel *refusal = warningLabel(group);
        connect(
            recorder, &ShortcutRecorder::refusalChanged, refusal, [refusal](const QString &text) {
                refusal->setText(text);
                refusal->setVisible(!text.isEmpty());
            });
        QLabel *held = warningLabel(group);
        held->setText(heldElsewhereText);
        const int row = (index / 2) * rowsPerFeature;
        const int column = (index % 2) * 2;
        grid->addWidget(label, row, column);
        grid->addWidget(recorder, row, column + 1);
        grid->addWidget(refusal, row + 1, column, 1, 2);
        grid->addWidget(held, row + 2, column, 1, 2);
        m_heldMarks.emplace_back(name, held);
        ++index;
    }
    // Recorded combinations last as long as the leader does (see the leader-key bindings).
    grid->addWidget(captionLabel(QStringLiteral("A recorded shortcut stays, also after a restart, "
                                                "until a new leader key binds every feature to "
                                                "the leader again."),
                                 group),
                    ((index + 1) / 2) * rowsPerFeature,
                    0,
                    1,
                    4);
    return group;
}

void HotkeysTab::showLeader()
{
    for (const auto &[flag, box] : m_leaderToggles) {
        box->setChecked(m_preferences.leaderModifiers().contains(flag));
    }
}

void HotkeysTab::showKeyTexts()
{
    m_leaderCaption->setText(leaderCaption(m_recorders.layout));
    showObstacles();
}

void HotkeysTab::showObstacles()
{
    for (const auto &[name, mark] : m_heldMarks) {
        mark->setVisible(m_recorders.hotkeys.isHeldElsewhere(name));
    }
    QStringList pairs;
    const auto shortcutOf = [this](const hotkeys::Name &name) {
        return m_recorders.hotkeys.shortcut(name);
    };
    for (const SharedHotkey &shared : sharedHotkeys(shortcutOf)) {
        pairs.append(QStringLiteral("%1 and %2 (%3)")
                         .arg(QString::fromStdString(shared.firstTitle),
                              QString::fromStdString(shared.secondTitle),
                              QString::fromStdString(
                                  hotkeys::menuText(shared.shortcut, m_recorders.layout))));
    }
    // In the recorder's words for a clash, with what a press then does.
    m_shared->setText(QStringLiteral("Already used by Zentrel\u2019s own hot keys, so a press "
                                     "runs only the first: %1.")
                          .arg(pairs.join(QStringLiteral(", "))));
    m_shared->setVisible(!pairs.isEmpty());
}

} // namespace zentrel
