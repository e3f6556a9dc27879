#include "e2e/fixtures/desktop_test.h"

#include <QColor>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

namespace zentrel {

namespace {

constexpr int paintTimeoutMs = 5000;
// A scribble covers only part of its square; these bounds still tell a drawn glyph from an
// empty slot and from a slot painted over in one colour.
constexpr double minInkShare = 0.03;
constexpr double minBackgroundShare = 0.2;
constexpr int inkDarkening = 80;

// Ink is what is clearly darker than the host behind the icon; background is the host itself
// showing through the icon's transparent parts.
testing::AssertionResult showsDarkGlyph(const QImage &screen, const QRect &slot)
{
    if (screen.isNull()) {
        return testing::AssertionFailure() << "no screenshot";
    }
    const QColor background = screen.pixelColor(slot.left() - 2, slot.center().y());
    int ink = 0;
    int shown = 0;
    for (int y = slot.top(); y <= slot.bottom(); ++y) {
        for (int x = slot.left(); x <= slot.right(); ++x) {
            const QColor pixel = screen.pixelColor(x, y);
            if (pixel == background) {
                ++shown;
            } else if (pixel.lightness() < background.lightness() - inkDarkening) {
                ++ink;
            }
        }
    }
    const double area = double(slot.width()) * slot.height();
    if (ink >= minInkShare * area && shown >= minBackgroundShare * area) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "icon slot " << slot.width() << "x" << slot.height() << " at " << slot.x() << ","
           << slot.y() << " has " << ink << " dark pixels and " << shown
           << " pixels of the host background " << background.name().toStdString();
}

// Start-up needs nothing beyond the shared desktop.
class TrayStartup : public DesktopTest
{
protected:
    QDir settings() const { return QDir(m_zentrel.configHome() + QStringLiteral("/Zentrel")); }

    // Starts zentrel on a defaults file holding contents, which it cannot use, and reads back
    // the one copy of the file it set aside.
    void startOnBadDefaults(const QByteArray &contents, QByteArray &setAside)
    {
        ASSERT_TRUE(settings().mkpath(QStringLiteral(".")));
        QFile bad(settings().filePath(QStringLiteral("defaults.json")));
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write(contents);
        bad.close();

        const std::optional<std::uint32_t> icon = startAndWaitForDock();
        ASSERT_TRUE(icon.has_value()) << "zentrel docked no tray icon; it " << stopAndDescribe();

        const QStringList copies =
            settings().entryList({QStringLiteral("defaults.json.corrupt-*")}, QDir::Files);
        ASSERT_EQ(copies.size(), 1) << "files in " << settings().path().toStdString() << ": "
                                    << settings().entryList(QDir::Files).join(' ').toStdString();
        QFile kept(settings().filePath(copies.first()));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        setAside = kept.readAll();
    }
};

TEST_F(TrayStartup, IconDocksAndAppQuitsOnTerm)
{
    const std::optional<std::uint32_t> icon = startAndWaitForDock();
    ASSERT_TRUE(icon.has_value()) << "zentrel docked no tray icon; it " << stopAndDescribe();
    const std::optional<QRect> slot = m_xvfb.windowRect(*icon);
    ASSERT_TRUE(slot.has_value()) << "the docked icon window is gone";

    // Docking comes before the first paint, so poll until the glyph shows.
    const QDeadlineTimer painted(paintTimeoutMs);
    QImage screen = m_xvfb.grabScreen();
    while (!showsDarkGlyph(screen, *slot) && !painted.hasExpired()) {
        screen = m_xvfb.grabScreen();
    }
    keepScreenshot(screen, QStringLiteral("tray_icon_docked.png"));
    EXPECT_TRUE(showsDarkGlyph(screen, *slot)) << "zentrel output:\n"
                                               << m_zentrel.output().toStdString();

    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(TrayStartup, CorruptDefaultsAreSetAsideAndAppStillDocks)
{
    QByteArray setAside;
    ASSERT_NO_FATAL_FAILURE(startOnBadDefaults("{not json", setAside));
    EXPECT_EQ(setAside, QByteArray("{not json")) << "the corrupt file was not kept as it was";
    QFile current(settings().filePath(QStringLiteral("defaults.json")));
    if (current.open(QIODevice::ReadOnly)) {
        EXPECT_NE(current.readAll(), QByteArray("{not json")) << "the corrupt file is still in use";
    }

    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

TEST_F(TrayStartup, DeeplyNestedDefaultsAreSetAsideAndAppStillDocks)
{
    // One value nested 50,000 levels deep: 100 KB that used to overflow the stack at every start.
    const QByteArray deep =
        "{\"drawing.color\": " + QByteArray(50'000, '[') + QByteArray(50'000, ']') + "}";
    QByteArray setAside;
    ASSERT_NO_FATAL_FAILURE(startOnBadDefaults(deep, setAside));
    EXPECT_EQ(setAside, deep) << "the set-aside file was not kept as it was";
    EXPECT_TRUE(exitedCleanly(m_zentrel.stop()));
}

} // namespace

} // namespace zentrel
