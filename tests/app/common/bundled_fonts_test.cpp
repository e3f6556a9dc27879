#include "common/bundled_fonts.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zentrel;

namespace {

const QString systemFont = QStringLiteral("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");

void placeFont(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(QFile::copy(systemFont, path));
}

} // namespace

TEST(BundledFonts, PrefersTheTopOfTheResourcesOverResourcesFonts)
{
    if (!QFile::exists(systemFont)) {
        GTEST_SKIP() << "no font file to stand in for the bundled one";
    }
    QTemporaryDir folder;
    const QString nested = folder.filePath(QStringLiteral("Resources/Fonts/Virgil.otf"));
    placeFont(nested);
    EXPECT_EQ(
        registerBundledFonts({folder.path()}, QStringLiteral("Virgil"), QStringLiteral("otf")),
        nested);

    const QString top = folder.filePath(QStringLiteral("Virgil.otf"));
    placeFont(top);
    EXPECT_EQ(
        registerBundledFonts({folder.path()}, QStringLiteral("Virgil"), QStringLiteral("otf")),
        top);
}

TEST(BundledFonts, AMissingFileRegistersNothing)
{
    QTemporaryDir folder;
    EXPECT_EQ(
        registerBundledFonts({folder.path()}, QStringLiteral("Virgil"), QStringLiteral("otf")),
        std::nullopt);
}
