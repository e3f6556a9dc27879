#include "e2e/drawing_test.h"

#include <QJsonObject>
#include <QProcessEnvironment>

namespace zentrel {

namespace {

constexpr int listenTimeoutMs = 10000;
constexpr int clipboardTimeoutMs = 10000;
constexpr int compositorTimeoutMs = 10000;

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

} // namespace zentrel
