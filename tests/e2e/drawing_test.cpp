#include "e2e/drawing_test.h"

#include <QFile>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>

#include <set>

namespace zentrel {

namespace {

constexpr int listenTimeoutMs = 10000;
constexpr int clipboardTimeoutMs = 10000;
constexpr int compositorTimeoutMs = 10000;
constexpr int fileTimeoutMs = 5000;
constexpr unsigned long filePollMs = 50;

QString currentTestName()
{
    return QString::fromLatin1(testing::UnitTest::GetInstance()->current_test_info()->name());
}

} // namespace

DrawingTest::DrawingTest(QSize screen)
    : DesktopTest(screen)
    , m_desktop(m_xvfb.display())
    , m_clipboard(m_xvfb.display())
{}

void DrawingTest::SetUp()
{
    ASSERT_NO_FATAL_FAILURE(DesktopTest::SetUp());
    ASSERT_TRUE(m_desktop.isConnected());
    ASSERT_TRUE(m_desktop.setWallpaper(wallpaper));
    // Outline and shadow would ring the stroke in other colours.
    ASSERT_TRUE(m_zentrel.writeDefaults(
        QJsonObject{{QStringLiteral("controls.allowsExternalCommandURLs"), true},
                    {QStringLiteral("drawing.color"), green.name().toUpper()},
                    {QStringLiteral("drawing.highContrast"), false},
                    {QStringLiteral("drawing.highContrastOutline"), false}}));
}

void DrawingTest::startCompositor()
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("DISPLAY"), m_xvfb.display());
    ASSERT_TRUE(m_compositor.start(QStringLiteral("xcompmgr"), {QStringLiteral("-n")}, environment))
        << m_compositor.output().toStdString();
    ASSERT_TRUE(m_desktop.waitForCompositor(QDeadlineTimer(compositorTimeoutMs)))
        << "xcompmgr took no compositing selection:\n"
        << m_compositor.output().toStdString();
}

void DrawingTest::startDrawing()
{
    if (!m_zentrel.isRunning()) {
        const std::optional<std::uint32_t> icon = startAndWaitForDock();
        ASSERT_TRUE(icon.has_value()) << "zentrel docked no tray icon; it " << stopAndDescribe();
        m_trayIcon = *icon;
    }
    ASSERT_TRUE(m_zentrel.waitUntilListening(QDeadlineTimer(listenTimeoutMs)))
        << "zentrel never listened for command URLs; it " << stopAndDescribe();
    const QImage bare =
        grabUntil([](const QImage &screen) { return showsBare(screen, quietCorner); });
    ASSERT_TRUE(showsBare(bare, quietCorner)) << "the wallpaper never showed";

    ASSERT_TRUE(handOver(QStringLiteral("zentrel://toggle/draw")));
    const auto draw = m_windows.waitForShown(drawTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(draw.has_value()) << "toggle/draw showed no Draw window; " << situation();
    const auto toolbar = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(toolbar.has_value()) << "toggle/draw showed no toolbar; " << situation();
    m_draw = *draw;
    m_toolbar = *toolbar;
    const QImage screen = grabUntil([this](const QImage &shown) {
        return showsTinted(shown, quietCorner) && isPainted(shown, m_toolbar.frame);
    });
    keepScreenshot(screen, QStringLiteral("drawing_started_%1.png").arg(currentTestName()));
    ASSERT_TRUE(showsTinted(screen, quietCorner)) << "no tint over the desktop; " << situation();
    ASSERT_TRUE(isPainted(screen, m_toolbar.frame)) << "the toolbar was never painted";
}

QImage DrawingTest::drawLine(const QLine &line, const QColor &color)
{
    if (!m_input.drag(line.p1(), line.p2())) {
        ADD_FAILURE() << m_input.lastError().toStdString();
    }
    return grabUntil([&](const QImage &screen) { return showsColorAlong(screen, line, color); });
}

QImage DrawingTest::copy(const QString &artifactName)
{
    const testing::AssertionResult handed = handOver(QStringLiteral("zentrel://action/copy"));
    if (!handed) {
        ADD_FAILURE() << handed.message();
        return {};
    }
    const QImage copied = m_clipboard.waitForPng(QDeadlineTimer(clipboardTimeoutMs));
    keepScreenshot(copied, artifactName);
    if (copied.isNull()) {
        ADD_FAILURE() << m_clipboard.lastError().toStdString() << "; " << situation();
    }
    return copied;
}

void DrawingTest::pressInDraw(const QString &key)
{
    ASSERT_TRUE(m_input.focus(m_draw.id)) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_input.pressKeys({key})) << m_input.lastError().toStdString();
}

void DrawingTest::chooseFromToolbarMenu(int stepsUp)
{
    const auto toolbar = m_windows.waitForShown(toolbarTitle, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(toolbar.has_value()) << "no whiteboard toolbar; " << situation();
    // The "…" button sits just left of the close button at the toolbar's right end.
    const QPoint more(toolbar->frame.right() - 61, toolbar->frame.center().y());
    const std::set<std::uint32_t> before = m_windows.shownIds();
    ASSERT_TRUE(m_input.click(more)) << m_input.lastError().toStdString();
    const auto menu = m_windows.waitForNewPopup(before, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(menu.has_value()) << "the toolbar menu did not open; " << situation();
    QStringList keys;
    for (int i = 0; i < stepsUp; ++i) {
        keys << QStringLiteral("Up");
    }
    keys << QStringLiteral("Return");
    ASSERT_TRUE(m_input.pressKeys(keys)) << m_input.lastError().toStdString();
}

void DrawingTest::answerFileDialog(const QString &title, const QString &path)
{
    const auto dialog = m_windows.waitForShown(title, QDeadlineTimer(windowTimeoutMs));
    ASSERT_TRUE(dialog.has_value()) << "no " << title.toStdString() << " dialog; " << situation();
    ASSERT_TRUE(m_input.focus(dialog->id));
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("ctrl+a")}));
    ASSERT_TRUE(m_input.typeText(path)) << m_input.lastError().toStdString();
    ASSERT_TRUE(m_input.pressKeys({QStringLiteral("Return")}));
    ASSERT_TRUE(m_windows.waitUntilNotShown(dialog->id, QDeadlineTimer(windowTimeoutMs)));
}

bool DrawingTest::waitForFile(const QString &path)
{
    const QDeadlineTimer deadline(fileTimeoutMs);
    while (!QFile::exists(path) && !deadline.hasExpired()) {
        QThread::msleep(filePollMs);
    }
    return QFile::exists(path);
}

} // namespace zentrel
