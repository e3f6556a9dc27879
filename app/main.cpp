#include "common/clock.h"
#include "common/json_file_defaults_store.h"
#include "platform/termination_signals.h"
#include "shell/app_preferences.h"
#include "shell/application_paths.h"
#include "shell/tray_icon.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("Zentrel"));
    QApplication::setDesktopFileName(QStringLiteral("zentrel"));
    QApplication application(argc, argv);
    // Features come and go in their own windows; only the tray keeps the program alive.
    QApplication::setQuitOnLastWindowClosed(false);

    zentrel::TerminationSignals terminationSignals;
    QObject::connect(&terminationSignals,
                     &zentrel::TerminationSignals::received,
                     &application,
                     &QCoreApplication::quit);

    const zentrel::SystemClock clock;
    const auto defaults = zentrel::JsonFileDefaultsStore::open(zentrel::defaultsFilePath(), clock);
    zentrel::AppPreferences preferences(*defaults);
    zentrel::TrayIcon trayIcon(preferences);

    return QApplication::exec();
}
