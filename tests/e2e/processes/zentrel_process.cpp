#include "e2e/processes/zentrel_process.h"

#include "shell/command_message.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalSocket>
#include <QThread>

#include <chrono>

namespace zentrel {

namespace {

constexpr int stopTimeoutMs = 10000;
constexpr int listenPollMs = 20;
constexpr int busStartTimeoutMs = 10000;

// Inherited so sanitizer and loader settings of the build still reach the program.
const QStringList passedThrough{
    QStringLiteral("PATH"),
    QStringLiteral("LD_LIBRARY_PATH"),
    QStringLiteral("ASAN_OPTIONS"),
    QStringLiteral("UBSAN_OPTIONS"),
    QStringLiteral("LSAN_OPTIONS"),
    QStringLiteral("TSAN_OPTIONS"),
};

} // namespace

ZentrelProcess::ZentrelProcess()
{
    if (!m_home.isValid()) {
        return;
    }
    const QDir home(m_home.path());
    for (const char *name : {"config", "data", "cache", "runtime"}) {
        home.mkpath(QLatin1String(name));
    }
    // Qt ignores a runtime folder that others may read.
    QFile::setPermissions(homePath(QStringLiteral("runtime")),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

QString ZentrelProcess::configHome() const
{
    return homePath(QStringLiteral("config"));
}

QString ZentrelProcess::runtimeFolder() const
{
    return homePath(QStringLiteral("runtime"));
}

QString ZentrelProcess::dataHome() const
{
    return homePath(QStringLiteral("data"));
}

namespace {

QJsonObject readJsonObject(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object()
                                          : QJsonObject();
}

} // namespace

QJsonObject ZentrelProcess::savedDefaults() const
{
    return readJsonObject(configHome() + QStringLiteral("/Zentrel/defaults.json"));
}

QJsonObject ZentrelProcess::savedLibrary() const
{
    return readJsonObject(dataHome() + QStringLiteral("/Zentrel/WhiteboardLibrary.json"));
}

QJsonArray ZentrelProcess::savedBoardElements() const
{
    const QJsonObject library = savedLibrary();
    const QString current = library[QStringLiteral("currentBoardID")].toString();
    for (const QJsonValue board : library[QStringLiteral("boards")].toArray()) {
        if (board[QStringLiteral("id")].toString() == current) {
            return board[QStringLiteral("elements")].toArray();
        }
    }
    return {};
}

QJsonArray ZentrelProcess::savedSessionFrames() const
{
    QJsonArray frames;
    const QDir root(dataHome() + QStringLiteral("/Zentrel/Sessions"));
    for (const QString &folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QJsonObject manifest =
            readJsonObject(root.filePath(folder + QStringLiteral("/Session.json")));
        for (const QJsonValue frame : manifest[QStringLiteral("frames")].toArray()) {
            frames.append(frame);
        }
    }
    return frames;
}

QImage ZentrelProcess::firstSessionFrame(QDeadlineTimer deadline) const
{
    constexpr int pollMs = 50;
    for (;;) {
        QDirIterator frames(dataHome() + QStringLiteral("/Zentrel/Sessions"),
                            {QStringLiteral("*.png")},
                            QDir::Files,
                            QDirIterator::Subdirectories);
        if (frames.hasNext() || deadline.hasExpired()) {
            return frames.hasNext() ? QImage(frames.next()) : QImage();
        }
        QThread::msleep(pollMs);
    }
}

bool ZentrelProcess::writeDefaults(const QJsonObject &given) const
{
    // The welcome window would take the focus from what most tests do.
    QJsonObject defaults = given;
    const QString onboardingKey = QStringLiteral("onboarding.completed");
    if (!m_isFirstStart && !defaults.contains(onboardingKey)) {
        defaults.insert(onboardingKey, true);
    }
    // xfwm4 holds Ctrl+Alt+D itself; the alert saying so at a first start would cover what most
    // tests look at. Tests of that alert set the key themselves.
    const QString toldKey = QStringLiteral("hotkeys.toldHeldElsewhere");
    if (!defaults.contains(toldKey)) {
        defaults.insert(
            toldKey,
            QJsonArray{QStringLiteral(R"(toggleDraw {"carbonKeyCode":2,"carbonModifiers":6144})")});
    }
    const QDir folder(configHome() + QStringLiteral("/Zentrel"));
    if (!folder.mkpath(QStringLiteral("."))) {
        return false;
    }
    QFile file(folder.filePath(QStringLiteral("defaults.json")));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(QJsonDocument(defaults).toJson()) >= 0 && file.flush();
}

bool ZentrelProcess::start(const QString &display)
{
    // A settings file the test wrote itself, whatever it holds, is left as it is.
    const bool hasDefaults = QFile::exists(configHome() + QStringLiteral("/Zentrel/defaults.json"));
    if (!m_isFirstStart && !hasDefaults && !writeDefaults({})) {
        return false;
    }
    if (m_wantsSessionBus && m_sessionBusAddress.isEmpty() && !startSessionBus()) {
        return false;
    }
    QProcessEnvironment withDisplay = environment();
    withDisplay.insert(QStringLiteral("DISPLAY"), display);
    return m_process.start(QStringLiteral(ZENTREL_EXECUTABLE), {}, withDisplay);
}

bool ZentrelProcess::waitUntilListening(QDeadlineTimer deadline)
{
    for (;;) {
        if (answersCommands(deadline)) {
            return true;
        }
        if (deadline.hasExpired() || !isRunning()) {
            return false;
        }
        QThread::msleep(listenPollMs);
    }
}

// The program listens before its event loop runs, and takes messages only from that loop. A
// message without URLs asks nothing of it.
bool ZentrelProcess::answersCommands(QDeadlineTimer deadline)
{
    QLocalSocket socket;
    socket.connectToServer(runtimeFolder() + QStringLiteral("/zentrel-commands"));
    if (!socket.waitForConnected(int(deadline.remainingTime()))) {
        return false;
    }
    const CommandMessage nothing{
        {}, std::chrono::system_clock::now() + std::chrono::milliseconds(deadline.remainingTime())};
    socket.write(QByteArray::fromStdString(encodeCommandMessage(nothing)) + '\n');
    QByteArray answer;
    // A program that ends, or refuses the message, closes the connection.
    while (!answer.contains('\n') && socket.waitForReadyRead(int(deadline.remainingTime()))) {
        answer += socket.readAll();
    }
    return answer.startsWith("ok\n");
}

ProcessExit ZentrelProcess::runAgain(const QStringList &arguments, QDeadlineTimer deadline) const
{
    ChildProcess again;
    startAgain(again, arguments);
    return again.waitForExit(deadline);
}

void ZentrelProcess::startAgain(ChildProcess &again, const QStringList &arguments) const
{
    // One that fails to start reports so through waitForExit.
    again.start(QStringLiteral(ZENTREL_EXECUTABLE), arguments, environment());
}

ProcessExit ZentrelProcess::stop()
{
    return m_process.stop(QDeadlineTimer(stopTimeoutMs));
}

ProcessExit ZentrelProcess::waitForExit(QDeadlineTimer deadline)
{
    return m_process.waitForExit(deadline);
}

// At $XDG_RUNTIME_DIR/bus, where a user's service manager puts it, and named in the environment.
bool ZentrelProcess::startSessionBus()
{
    const QString address = QStringLiteral("unix:path=") + runtimeFolder() + QStringLiteral("/bus");
    if (!m_sessionBus.start(QStringLiteral("dbus-daemon"),
                            {QStringLiteral("--session"),
                             QStringLiteral("--nofork"),
                             QStringLiteral("--nopidfile"),
                             QStringLiteral("--print-address"),
                             QStringLiteral("--address=") + address},
                            environment())) {
        return false;
    }
    const auto printed = m_sessionBus.waitForLine(QRegularExpression(QStringLiteral("^unix:.+")),
                                                  QDeadlineTimer(busStartTimeoutMs));
    if (printed) {
        m_sessionBusAddress = printed->captured(0);
    }
    return printed.has_value();
}

QString ZentrelProcess::homePath(const QString &name) const
{
    return m_home.filePath(name);
}

// Built from nothing rather than from our own environment, so no session bus, session manager,
// desktop theme or Wayland display of the machine running the tests leaks in.
QProcessEnvironment ZentrelProcess::environment() const
{
    const QProcessEnvironment inherited = QProcessEnvironment::systemEnvironment();
    QProcessEnvironment result;
    for (const QString &name : passedThrough) {
        if (inherited.contains(name)) {
            result.insert(name, inherited.value(name));
        }
    }
    result.insert(QStringLiteral("HOME"), m_home.path());
    result.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome());
    result.insert(QStringLiteral("XDG_DATA_HOME"), dataHome());
    result.insert(QStringLiteral("XDG_CACHE_HOME"), homePath(QStringLiteral("cache")));
    result.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeFolder());
    result.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    result.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    if (!m_sessionBusAddress.isEmpty()) {
        result.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_sessionBusAddress);
    }
    result.insert(m_extra);
    return result;
}

} // namespace zentrel
