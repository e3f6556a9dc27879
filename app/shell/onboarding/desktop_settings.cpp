#include "shell/onboarding/desktop_settings.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QStringList>

#include <array>

namespace zentrel {
namespace {

struct DesktopSettingsProgram
{
    const char *desktop;
    const char *program;
};

// Keyed by a word of $XDG_CURRENT_DESKTOP.
constexpr auto settingsPrograms = std::to_array<DesktopSettingsProgram>({
    {"GNOME", "gnome-control-center"},
    {"Unity", "gnome-control-center"},
    {"KDE", "systemsettings"},
    {"XFCE", "xfce4-settings-manager"},
    {"MATE", "mate-control-center"},
    {"X-Cinnamon", "cinnamon-settings"},
    {"LXQt", "lxqt-config"},
});

} // namespace

void openDesktopSettings()
{
    const QStringList desktops = QProcessEnvironment::systemEnvironment()
                                     .value(QStringLiteral("XDG_CURRENT_DESKTOP"))
                                     .split(QLatin1Char(':'), Qt::SkipEmptyParts);
    for (const QString &desktop : desktops) {
        for (const DesktopSettingsProgram &known : settingsPrograms) {
            if (desktop.compare(QLatin1String(known.desktop), Qt::CaseInsensitive) != 0) {
                continue;
            }
            const QString program =
                QStandardPaths::findExecutable(QString::fromLatin1(known.program));
            if (!program.isEmpty()) {
                QProcess::startDetached(program, {});
            }
            return;
        }
    }
}

} // namespace zentrel
